// One full paint of a strip of 60 boxes, offscreen: prints "ui.paint60_us <median> us".
#include "config/GlobalSettings.h"
#include "mainwnd/StripPainter.h"
#include "monitor/MonitorTable.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QImage Solid(int w, int h, QRgb c) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(c);
    return image;
}

// Sixty boxes in a realistic mix: mostly on-line with icons, some off-line with bitmaps, some in
// the error states, every line shown.
void Fill(CMonitorTable& table) {
    const MonitorStatus statuses[] = {
        MonitorStatus::Up,       MonitorStatus::Up,      MonitorStatus::Down,     MonitorStatus::Close,
        MonitorStatus::NETERROR, MonitorStatus::IPERROR, MonitorStatus::CHECKING, MonitorStatus::Up};
    const QImage icon = Solid(32, 32, qRgb(30, 120, 30));
    const QImage bitmap = Solid(64, 48, qRgb(120, 30, 30));
    for (int i = 0; i < MaxMonitors; ++i) {
        auto box = std::make_unique<CMonitorBox>(nullptr, i);
        box->Status = statuses[i % 8];
        box->VerifyMetod = i % 3 == 0 ? MethodTcp : MethodPing;
        box->Port = 8000 + i;
        box->Text = QStringLiteral("Server &%1").arg(i);
        box->IPAdress = QStringLiteral("192.168.10.%1").arg(i);
        box->ReplyTime = i;
        box->OnLineBoxColor = 0x0000C000;
        box->OffLineBoxColor = 0x000000C0;
        box->OnLineTextColor = 0x00000000;
        box->OffLineTextColor = 0x00FFFFFF;
        box->PicTypeOnLine = 1;
        box->PicTypeOffLine = 0;
        box->OnLineIcon = CBoxIcon{icon, 32, 32};
        box->OffLineBitmap.Attach(bitmap);
        table.Slots[i] = std::move(box);
    }
    table.NumBox = MaxMonitors;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    CMonitorTable table;
    Fill(table);
    CGlobalSettings settings;
    settings.XBox = 90;
    settings.YBox = 80;
    settings.WinPos = 1;
    settings.ShowReplyTime = true;
    settings.ShowStatus = true;
    settings.ShowIPandMethod = true;
    const StripSelection selection{3, 1, 0};

    CStripPainter painter;
    const QSize size = StripSize(StripGeometry::From(settings, table.NumBox));
    QImage target(size, QImage::Format_RGB32);
    const QColor background(239, 239, 239);

    const auto paintOnce = [&] {
        QPainter p(&target);
        painter.Paint(p, QRect(QPoint(0, 0), size), background, table, settings, selection);
    };
    for (int i = 0; i < 20; ++i) // warm the glyph caches
        paintOnce();

    std::vector<double> samples;
    QElapsedTimer timer;
    for (int i = 0; i < 200; ++i) {
        // Each paint follows a report: one box has a new reply time, so one new text.
        table.Slots[i % MaxMonitors]->ReplyTime += 1000;
        timer.start();
        paintOnce();
        samples.push_back(static_cast<double>(timer.nsecsElapsed()) / 1000.0);
    }
    std::sort(samples.begin(), samples.end());
    std::printf("ui.paint60_us %.0f us\n", samples[samples.size() / 2]);

    // The first paint, before any text or icon has been laid out.
    std::vector<double> cold;
    for (int i = 0; i < 20; ++i) {
        const CStripPainter fresh;
        QPainter p(&target);
        timer.start();
        fresh.Paint(p, QRect(QPoint(0, 0), size), background, table, settings, selection);
        cold.push_back(static_cast<double>(timer.nsecsElapsed()) / 1000.0);
    }
    std::sort(cold.begin(), cold.end());
    std::printf("ui.paint60_first_us %.0f us\n", cold[cold.size() / 2]);

    // The share of the list building in it.
    std::vector<double> build;
    for (int i = 0; i < 200; ++i) {
        timer.start();
        const auto ops = painter.Build(table, settings, selection);
        build.push_back(static_cast<double>(timer.nsecsElapsed()) / 1000.0);
    }
    std::sort(build.begin(), build.end());
    std::printf("ui.paint60_build_us %.0f us\n", build[build.size() / 2]);
    return 0;
}
