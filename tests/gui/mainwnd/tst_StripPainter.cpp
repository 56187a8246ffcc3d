#include "config/GlobalSettings.h"
#include "mainwnd/StripPainter.h"
#include "monitor/MonitorTable.h"
#include "support/StripFixture.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QTest>

#include <cstdlib>

namespace {

const QColor Background(212, 208, 200);
const QColor OnBox(0, 160, 0);
const QColor OffBox(200, 0, 0);
const QColor OnText(0, 0, 255);
const QColor OffText(255, 255, 0);
const QColor IconOn(10, 20, 30);
const QColor IconOff(40, 50, 60);
const QColor BitmapOn(70, 80, 90);

std::uint32_t Ref(const QColor& c) {
    return static_cast<std::uint32_t>(c.red()) | static_cast<std::uint32_t>(c.green()) << 8 |
           static_cast<std::uint32_t>(c.blue()) << 16;
}

QImage Solid(int w, int h, const QColor& c) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(c);
    return image;
}

// Pixel (x, y) holds (x, y, 77), so a copy shows which part of the bitmap it took.
QImage Gradient(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x, y, 77));
    return image;
}

int Distance(QRgb a, const QColor& b) {
    return std::abs(qRed(a) - b.red()) + std::abs(qGreen(a) - b.green()) + std::abs(qBlue(a) - b.blue());
}

// Pixels of a region that are not the ground: the text drawn there.
struct Ink {
    int Count = 0;
    QRect Bounds;
    int Closest = 1 << 20; // distance of the pixel nearest to the expected ink colour
};

Ink InkIn(const QImage& image, const QRect& region, const QColor& ground, const QColor& ink) {
    Ink result;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (Distance(p, ground) <= 30)
                continue;
            ++result.Count;
            result.Bounds = result.Bounds.united(QRect(x, y, 1, 1));
            result.Closest = std::min(result.Closest, Distance(p, ink));
        }
    return result;
}

#define COMPARE_PIXEL(image, x, y, colour)                                                                   \
    QVERIFY2(QColor((image).pixel((x), (y))) == (colour),                                                    \
             qPrintable(QStringLiteral("pixel %1,%2 is %3, expected %4")                                     \
                            .arg(x)                                                                          \
                            .arg(y)                                                                          \
                            .arg(QColor((image).pixel((x), (y))).name(), QColor(colour).name())))

struct Strip : CStripFixture {
    explicit Strip(bool horizontal = true) : CStripFixture(horizontal) {}

    CMonitorBox& Add(MonitorStatus status, int method = MethodPing) {
        CMonitorBox& b = AddBox(status, method, Ref(OnBox), Ref(OffBox), Ref(OnText), Ref(OffText));
        // Every box gets pictures, so a status that shows none is seen to draw none.
        b.OnLineBitmap.Attach(Solid(40, 20, BitmapOn));
        b.OffLineBitmap.Attach(Gradient(100, 100));
        b.OnLineIcon = CBoxIcon{Solid(32, 32, IconOn), 32, 32};
        b.OffLineIcon = CBoxIcon{Solid(48, 32, IconOff), 48, 32};
        return b;
    }

    StripRect Box(int k) const { return BoxRect(StripGeometry::From(Settings, Table.NumBox), k); }

    QImage Render(const CStripPainter& strip, qreal dpr = 1.0) {
        const QSize size = StripSize(StripGeometry::From(Settings, Table.NumBox));
        QImage image((QSizeF(size) * dpr).toSize(), QImage::Format_RGB32);
        image.setDevicePixelRatio(dpr);
        image.fill(Qt::magenta); // anything left unpainted shows up
        QPainter painter(&image);
        strip.Paint(painter, QRect(QPoint(0, 0), size), Background, Table, Settings, Selection);
        return image;
    }
    QImage Render() { return Render(CStripPainter()); }
};

// Every status side by side: 1 Ping Up (square icon), 2 TCP Open (bitmap), 3 Ping Down (large
// bitmap), 4 TCP Close (wide icon), 5 NETERROR, 6 IPERROR, 7 CHECKING, 8 NoStatus.
struct EveryStatus : Strip {
    QImage Image;
    EveryStatus() {
        Add(MonitorStatus::Up).PicTypeOnLine = 1;
        Add(MonitorStatus::Open, MethodTcp);
        Add(MonitorStatus::Down);
        Add(MonitorStatus::Close, MethodTcp).PicTypeOffLine = 1;
        Add(MonitorStatus::NETERROR);
        Add(MonitorStatus::IPERROR, MethodTcp);
        Add(MonitorStatus::CHECKING);
        Add(MonitorStatus::NoStatus);
        for (int i = 4; i < 8; ++i) {
            Table.Slots[i]->PicTypeOnLine = 1;
            Table.Slots[i]->PicTypeOffLine = 0;
        }
        Image = Render();
    }
};

QRect Rows(const StripRect& box, int top, int bottom) {
    return QRect(box.Left, top, box.Width(), bottom - top + 1);
}

} // namespace

class tst_StripRender : public QObject {
    Q_OBJECT
private slots:
    void fonts();
    void outlineAndGrip();
    void fills_data();
    void fills();
    void pictures();
    void noPictureOutsideOnOffLine_data();
    void noPictureOutsideOnOffLine();
    void texts_data();
    void texts();
    void fitAndMnemonic();
    void typicalTextsFitTheBox_data();
    void typicalTextsFitTheBox();
    void selection_data();
    void selection();
    void vertical();
    void hostileSizes();
    void repaintShowsChanges();
    void highDensityDevice();
};

void tst_StripRender::fonts() {
    const StripFonts fonts = StripFonts::Make();
    const QString family = StripFonts::PickFamily();
    if (QFontDatabase::families().contains("Verdana", Qt::CaseInsensitive))
        QCOMPARE(family, QStringLiteral("Verdana"));
    QVERIFY(!family.isEmpty());
    QVERIFY2(!QFontDatabase::isFixedPitch(family), qPrintable(family));
    QCOMPARE(QFontInfo(fonts.TitleFont).family(), family);
    QCOMPARE(fonts.TitleFont.weight(), QFont::Weight(600));
    QCOMPARE(fonts.SmallFont.weight(), QFont::Normal);
    // The average widths the strip was designed for, whatever the face's own.
    QVERIFY2(std::abs(QFontMetricsF(fonts.TitleFont).averageCharWidth() - 5) <= 0.5,
             qPrintable(QString::number(QFontMetricsF(fonts.TitleFont).averageCharWidth())));
    QVERIFY2(std::abs(QFontMetricsF(fonts.SmallFont).averageCharWidth() - 4) <= 0.5,
             qPrintable(QString::number(QFontMetricsF(fonts.SmallFont).averageCharWidth())));
    for (const QFont& font : {fonts.TitleFont, fonts.SmallFont}) {
        const int cell = QFontMetrics(font).height();
        QVERIFY2(cell <= 12 && cell >= 10, qPrintable(QString::number(cell)));
    }
}

void tst_StripRender::outlineAndGrip() {
    EveryStatus s;
    const QImage& im = s.Image;
    QCOMPARE(im.size(), QSize(8 * 91 + 8, 82));
    const QColor black(0, 0, 0), gray(128, 128, 128), ground(192, 192, 192);
    for (QPoint p :
         {QPoint(0, 0), QPoint(im.width() - 1, 0), QPoint(0, 81), QPoint(im.width() - 1, 81), QPoint(5, 0),
          QPoint(im.width() - 1, 40), QPoint(40, 81), QPoint(7, 40), QPoint(98, 40), QPoint(189, 75)})
        COMPARE_PIXEL(im, p.x(), p.y(), black);
    // Grip: glyph separators at 6, 12 and 19, gripper lines at 3 and 6 from 20 on.
    COMPARE_PIXEL(im, 3, 6, black);
    COMPARE_PIXEL(im, 3, 12, black);
    COMPARE_PIXEL(im, 3, 19, black);
    COMPARE_PIXEL(im, 3, 40, gray);
    COMPARE_PIXEL(im, 6, 80, gray);
    COMPARE_PIXEL(im, 2, 40, ground);
    COMPARE_PIXEL(im, 1, 1, black); // corner of the cross
    COMPARE_PIXEL(im, 3, 3, black); // its centre
    COMPARE_PIXEL(im, 2, 3, ground);
    QVERIFY(InkIn(im, QRect(1, 7, 6, 5), ground, black).Count > 0);  // dash
    QVERIFY(InkIn(im, QRect(1, 13, 6, 6), ground, black).Count > 0); // C
}

void tst_StripRender::fills_data() {
    QTest::addColumn<int>("k");
    QTest::addColumn<QColor>("fill");
    QTest::newRow("up") << 1 << OnBox;
    QTest::newRow("open") << 2 << OnBox;
    QTest::newRow("down") << 3 << OffBox;
    QTest::newRow("close") << 4 << OffBox;
    QTest::newRow("neterror white") << 5 << QColor(255, 255, 255);
    QTest::newRow("iperror unfilled") << 6 << Background;
    QTest::newRow("checking unfilled") << 7 << Background;
    QTest::newRow("nostatus unfilled") << 8 << Background;
}

void tst_StripRender::fills() {
    QFETCH(int, k);
    QFETCH(QColor, fill);
    EveryStatus s;
    const StripRect b = s.Box(k);
    // Row 67 (14 above the bottom) lies below the picture and above the title band.
    for (QPoint p :
         {QPoint(b.Left, 67), QPoint(b.Left + 1, 67), QPoint(b.Right - 1, 67), QPoint(b.Right - 1, b.Top)})
        COMPARE_PIXEL(s.Image, p.x(), p.y(), fill);
}

void tst_StripRender::pictures() {
    EveryStatus s;
    const QImage& im = s.Image;
    // Box 1: square 32 x 32 icon drawn 25 x 25 in the 90 x 25 area 8,42..98,67, centred at 41,42.
    COMPARE_PIXEL(im, 41, 42, IconOn);
    COMPARE_PIXEL(im, 65, 66, IconOn);
    COMPARE_PIXEL(im, 53, 54, IconOn);
    COMPARE_PIXEL(im, 40, 54, OnBox);
    COMPARE_PIXEL(im, 66, 54, OnBox);
    // Box 2: a 40 x 20 bitmap copied unscaled and centred: 124,44..164,64.
    COMPARE_PIXEL(im, 124, 44, BitmapOn);
    COMPARE_PIXEL(im, 163, 63, BitmapOn);
    COMPARE_PIXEL(im, 123, 50, OnBox);
    COMPARE_PIXEL(im, 164, 50, OnBox);
    COMPARE_PIXEL(im, 140, 43, OnBox);
    COMPARE_PIXEL(im, 140, 64, OnBox);
    // Box 3: a 100 x 100 bitmap gives its top-left 90 x 25 pixels at 190,42.
    COMPARE_PIXEL(im, 190, 42, QColor(0, 0, 77));
    COMPARE_PIXEL(im, 279, 66, QColor(89, 24, 77));
    COMPARE_PIXEL(im, 200, 50, QColor(10, 8, 77));
    COMPARE_PIXEL(im, 200, 67, OffBox);
    // Box 4: the 48 x 32 icon drawn 48 x 25 at 302,42..350,67.
    COMPARE_PIXEL(im, 302, 42, IconOff);
    COMPARE_PIXEL(im, 349, 66, IconOff);
    COMPARE_PIXEL(im, 301, 54, OffBox);
    COMPARE_PIXEL(im, 350, 54, OffBox);
}

void tst_StripRender::noPictureOutsideOnOffLine_data() {
    QTest::addColumn<int>("k");
    QTest::addColumn<QColor>("ground");
    QTest::newRow("neterror") << 5 << QColor(255, 255, 255);
    QTest::newRow("iperror") << 6 << Background;
    QTest::newRow("checking") << 7 << Background;
    QTest::newRow("nostatus") << 8 << Background;
}

void tst_StripRender::noPictureOutsideOnOffLine() {
    QFETCH(int, k);
    QFETCH(QColor, ground);
    EveryStatus s;
    const StripRect b = s.Box(k);
    // The picture area above the error band (rows 42..52) holds nothing but the ground.
    const Ink ink = InkIn(s.Image, Rows(b, 42, 52), ground, Qt::black);
    QCOMPARE(ink.Count, 0);
}

void tst_StripRender::texts_data() {
    QTest::addColumn<int>("k");
    QTest::addColumn<QColor>("ground");
    QTest::addColumn<QColor>("ink");
    QTest::addColumn<bool>("statusLines"); // status and reply lines
    QTest::addColumn<bool>("errorBand");
    QTest::newRow("up") << 1 << OnBox << OnText << true << false;
    QTest::newRow("open") << 2 << OnBox << OnText << true << false;
    QTest::newRow("down") << 3 << OffBox << OffText << true << false;
    QTest::newRow("close") << 4 << OffBox << OffText << true << false;
    QTest::newRow("neterror") << 5 << QColor(Qt::white) << QColor(Qt::black) << false << true;
    QTest::newRow("iperror") << 6 << Background << QColor(Qt::black) << false << true;
    QTest::newRow("checking") << 7 << Background << QColor(Qt::black) << false << true;
    // No colour of its own: it keeps the black of the box before it.
    QTest::newRow("nostatus") << 8 << Background << QColor(Qt::black) << false << false;
}

void tst_StripRender::texts() {
    QFETCH(int, k);
    QFETCH(QColor, ground);
    QFETCH(QColor, ink);
    QFETCH(bool, statusLines);
    QFETCH(bool, errorBand);
    EveryStatus s;
    const StripRect b = s.Box(k);
    const auto check = [&](const char* what, int top, int bottom, bool expected) {
        // Inner columns only: the picture of boxes 1-4 lies between them and is not text.
        QRect region = Rows(b, top, bottom);
        const Ink found = InkIn(s.Image, region, ground, ink);
        if (!expected) {
            QVERIFY2(found.Count == 0, what);
            return;
        }
        QVERIFY2(found.Count > 10, what);
        QVERIFY2(found.Closest <= 60, qPrintable(QStringLiteral("%1: nearest ink pixel is %2 away from %3")
                                                     .arg(what)
                                                     .arg(found.Closest)
                                                     .arg(ink.name())));
    };
    check("title", 68, 80, true);
    check("address", 1, 9, true);
    check("method", 12, 19, true);
    // Rows below the lines above them, which are cut at their rectangles.
    check("status line", 22, 29, statusLines);
    check("reply line", 32, 39, statusLines);
    if (k > 4)
        check("error band", 53, 66, errorBand);
}

void tst_StripRender::typicalTextsFitTheBox_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("method");
    QTest::addColumn<int>("port");
    QTest::newRow("ping") << "LOCAL"
                          << "127.0.0.1" << int(MethodPing) << 0;
    QTest::newRow("long address") << "ROUTER"
                                  << "192.168.100.200" << int(MethodPing) << 0;
    QTest::newRow("five-digit port") << "WEBSERVER01"
                                     << "10.10.10.10" << int(MethodTcp) << 65535;
    QTest::newRow("host name") << "MAIL GATEWAY"
                               << "mail.example.org" << int(MethodTcp) << 993;
}

void tst_StripRender::typicalTextsFitTheBox() {
    // The fonts take the average widths the 90-pixel box was laid out for: each line is drawn
    // whole, centred, with room on both sides.
    QFETCH(QString, title);
    QFETCH(QString, address);
    QFETCH(int, method);
    QFETCH(int, port);
    Strip s;
    CMonitorBox& box = s.Add(MonitorStatus::NoStatus, method);
    box.Text = title;
    box.IPAdress = address;
    box.Port = port;
    const QImage im = s.Render();
    const StripRect b = s.Box(1);
    QCOMPARE(b.Width(), 90);
    const auto check = [&](const char* what, int top, int bottom) {
        const Ink ink = InkIn(im, Rows(b, top, bottom), Background, Qt::black);
        QVERIFY2(ink.Count > 10, what);
        const int left = ink.Bounds.left() - b.Left;
        const int right = b.Right - 1 - ink.Bounds.right();
        QVERIFY2(left >= 2 && right >= 2 && std::abs(left - right) <= 2,
                 qPrintable(QStringLiteral("%1: margins %2 and %3").arg(what).arg(left).arg(right)));
    };
    check("title", 68, 80);
    check("address", 1, 9);
    check("method", 12, 19);
}

void tst_StripRender::fitAndMnemonic() {
    Strip s;
    s.Settings.ShowReplyTime = false;
    s.Settings.ShowStatus = false;
    s.Settings.ShowIPandMethod = false;
    for (const char* title : {"Web", "&Web", "ThisTitleIsMuchWiderThanItsBox", "Web"})
        s.Add(MonitorStatus::NoStatus).Text = title;
    const QImage im = s.Render();
    const auto title = [&](int k) { return InkIn(im, Rows(s.Box(k), 68, 80), Background, Qt::black); };

    const Ink plain = title(1);
    const StripRect b1 = s.Box(1);
    QVERIFY(plain.Count > 10);
    const int leftMargin = plain.Bounds.left() - b1.Left;
    const int rightMargin = b1.Right - 1 - plain.Bounds.right();
    QVERIFY2(std::abs(leftMargin - rightMargin) <= 2,
             qPrintable(QStringLiteral("margins %1 and %2").arg(leftMargin).arg(rightMargin)));

    // "&Web": no ampersand drawn, the W underlined: the same width, more ink, one row lower.
    const Ink mnemonic = title(2);
    QVERIFY2(std::abs(mnemonic.Bounds.width() - plain.Bounds.width()) <= 1,
             qPrintable(
                 QStringLiteral("widths %1 and %2").arg(mnemonic.Bounds.width()).arg(plain.Bounds.width())));
    // The letters start where the plain title's do; the underline of a stretched face may reach
    // a pixel further left, so the rows above it are compared.
    const Ink letters = InkIn(im, QRect(s.Box(2).Left, 68, s.Box(2).Width(), plain.Bounds.bottom() - 68 + 1),
                              Background, Qt::black);
    QCOMPARE(letters.Bounds.left() - s.Box(2).Left, leftMargin);
    QCOMPARE(letters.Bounds.width(), plain.Bounds.width());
    QVERIFY(mnemonic.Count > plain.Count);
    QVERIFY(mnemonic.Bounds.bottom() >= plain.Bounds.bottom());

    // Too wide: starts at the left edge and is cut at the right one, not spilling into box 4.
    const Ink wide = title(3);
    const StripRect b3 = s.Box(3);
    QVERIFY(wide.Bounds.left() - b3.Left <= 2);
    QVERIFY(wide.Bounds.right() >= b3.Right - 3);
    const StripRect b4 = s.Box(4);
    QCOMPARE(InkIn(im, QRect(b4.Left, 68, 10, 13), Background, Qt::black).Count, 0);
}

void tst_StripRender::selection_data() {
    QTest::addColumn<int>("insertion");
    QTest::newRow("frame") << 0;
    QTest::newRow("insertion line") << 1;
}

void tst_StripRender::selection() {
    QFETCH(int, insertion);
    Strip s;
    for (int i = 0; i < 3; ++i)
        s.Add(MonitorStatus::Up);
    s.Selection = StripSelection{2, 1, insertion};
    const QImage im = s.Render();
    const QColor crimson(154, 1, 39);
    const auto countEdge = [&](QPoint from, QPoint step, int length) {
        int marked = 0;
        for (int i = 0; i < length; ++i) {
            const QPoint p = from + step * i;
            marked += QColor(im.pixel(p)) == crimson;
        }
        return marked;
    };
    // Box 2 is 99,1..188,80 with the mark on its shrunk rectangle.
    const int top = countEdge(QPoint(99, 1), QPoint(1, 0), 90);
    const int right = countEdge(QPoint(188, 1), QPoint(0, 1), 80);
    const int bottom = countEdge(QPoint(99, 80), QPoint(1, 0), 90);
    const int left = countEdge(QPoint(99, 1), QPoint(0, 1), 80);
    // Dotted: about half of each side, never all of it.
    QVERIFY2(right > 25 && right < 60, qPrintable(QString::number(right)));
    if (insertion == 0) {
        for (int side : {top, bottom, left})
            QVERIFY2(side > 25 && side < 65, qPrintable(QString::number(side)));
    } else {
        QCOMPARE(top - (QColor(im.pixel(188, 1)) == crimson), 0);
        QCOMPARE(left, 0);
        QCOMPARE(bottom - (QColor(im.pixel(188, 80)) == crimson), 0);
    }
    // Nothing crimson on the other boxes.
    QCOMPARE(countEdge(QPoint(8, 1), QPoint(1, 0), 90) + countEdge(QPoint(190, 1), QPoint(1, 0), 90), 0);
}

void tst_StripRender::vertical() {
    Strip s(false);
    for (int i = 0; i < 3; ++i)
        s.Add(i == 2 ? MonitorStatus::Down : MonitorStatus::Up);
    const QImage im = s.Render();
    QCOMPARE(im.size(), QSize(92, 251));
    const QColor black(0, 0, 0);
    // Box 3 spans y 170..249, the separator before it is at 169, the frame at 250.
    COMPARE_PIXEL(im, 2, 170, OffBox);
    COMPARE_PIXEL(im, 2, 236, OffBox);
    COMPARE_PIXEL(im, 89, 249, OffBox);
    COMPARE_PIXEL(im, 2, 169, black);
    COMPARE_PIXEL(im, 2, 250, black);
    COMPARE_PIXEL(im, 2, 168, OnBox);
    // The grip runs along the top: gripper lines in rows 3 and 6 from x 20 on.
    COMPARE_PIXEL(im, 30, 3, QColor(128, 128, 128));
    COMPARE_PIXEL(im, 30, 6, QColor(128, 128, 128));
    COMPARE_PIXEL(im, 30, 2, QColor(192, 192, 192));
    COMPARE_PIXEL(im, 6, 3, black);
    COMPARE_PIXEL(im, 30, 7, black);
    // The off-line gradient in box 3's picture area 1,211..91,236.
    COMPARE_PIXEL(im, 1, 211, QColor(0, 0, 77));
    COMPARE_PIXEL(im, 90, 235, QColor(89, 24, 77));
}

// Box sizes straight from a damaged configuration file: a quiet, bounded paint.
void tst_StripRender::hostileSizes() {
    Strip s;
    s.Settings.XBox = 100000;
    s.Settings.YBox = -50;
    s.Add(MonitorStatus::Up).PicTypeOnLine = 1;
    s.Add(MonitorStatus::NETERROR);
    const QImage im = s.Render();
    QCOMPARE(im.size(), QSize(2 * (MaxBoxSide + 1) + 8, 2));
    COMPARE_PIXEL(im, 0, 0, QColor(Qt::black));
    COMPARE_PIXEL(im, im.width() - 1, 1, QColor(Qt::black));
}

// One painter lives as long as the window: a second paint after the records changed must show
// the new state exactly as a first paint would.
void tst_StripRender::repaintShowsChanges() {
    Strip s;
    CMonitorBox& b = s.Add(MonitorStatus::Up);
    b.PicTypeOnLine = 1;
    const CStripPainter painter;
    const QImage before = s.Render(painter);

    b.Text = "Other";
    b.ReplyTime = 999;
    b.OnLineTextColor = Ref(QColor(255, 0, 255));
    b.OnLineIcon = CBoxIcon{Solid(32, 32, QColor(250, 200, 100)), 32, 32};
    const QImage after = s.Render(painter);
    QVERIFY(after != before);
    QCOMPARE(after, s.Render(CStripPainter()));
    COMPARE_PIXEL(after, 53, 54, QColor(250, 200, 100));

    b.Status = MonitorStatus::Down;
    QCOMPARE(s.Render(painter), s.Render(CStripPainter()));
}

// A window on a high-density screen paints in device pixels with the same layout.
void tst_StripRender::highDensityDevice() {
    EveryStatus s;
    const QImage im = s.Render(CStripPainter(), 2.0);
    QCOMPARE(im.size(), QSize(2 * (8 * 91 + 8), 2 * 82));
    COMPARE_PIXEL(im, 2 * 98, 2 * 40, QColor(Qt::black));
    COMPARE_PIXEL(im, 2 * 8 + 2, 2 * 67, OnBox);
    COMPARE_PIXEL(im, 2 * 53, 2 * 54, IconOn);
    COMPARE_PIXEL(im, 2 * 190, 2 * 42, QColor(0, 0, 77));
    const Ink title = InkIn(im, QRect(2 * 8, 2 * 68, 2 * 90, 2 * 13), OnBox, OnText);
    QVERIFY(title.Count > 40);
    QVERIFY(title.Closest <= 60);
}

QTEST_MAIN(tst_StripRender)
#include "tst_StripPainter.moc"
