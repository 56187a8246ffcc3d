// Time the main thread spends in one status report: one that changes nothing (the common case,
// 60 monitors reporting every interval) and one that changes the status with sound, log line and
// file start queued.
#include "notify/BoxStatusHandler.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void Fill(CMonitorTable& table, const QString& folder) {
    for (int i = 0; i < MaxMonitors; ++i) {
        table.Slots[i] = std::make_unique<CMonitorBox>(nullptr, i);
        CMonitorBox& box = *table.Slots[i];
        box.IPAdress = QString("10.0.%1.%2").arg(i / 200).arg(i % 200 + 1);
        box.Text = QString("Monitor %1").arg(i);
        box.VerifyMetod = i % 2 ? MethodTcp : MethodPing;
        box.Port = 443;
        box.Sound = 7;
        box.MsgBox = 0;
        box.Logging = 1;
        box.ExecFileCheck = 1;
        box.ExecFileStatusCheck = 31;
        // Nothing to play or run: the threads are started and end at once.
        box.CustomSoundCheck = 31;
        box.UpPath = box.DownPath = box.OpenPath = box.ClosePath = box.TcpDownPath = folder + "/none.wav";
        box.ExecFilePath = folder + "/none";
        box.ExecFileParam = "%ip %status %method %port %text";
        box.Status = MonitorStatus::Up;
        box.ReplyTime = 5;
    }
    table.NumBox = MaxMonitors;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    CMonitorTable table;
    Fill(table, dir.path());
    CGlobalSettings settings;
    settings.ShowReplyTime = true;
    const CDataPaths paths = MakeDataPaths(dir.path(), dir.path());
    QDir().mkpath(paths.LogsFolder);
    CNotificationStarter starter;
    CBoxStatusHandler handler(table, settings, paths, starter);
    int repaints = 0;
    handler.Repaint = [&] { ++repaints; };

    using Clock = std::chrono::steady_clock;
    std::vector<double> same;
    for (int round = 0; round < 2000; ++round)
        for (int i = 0; i < MaxMonitors; ++i) {
            const auto t0 = Clock::now();
            handler.OnBoxStatus(MakeBoxStatusWParam(MonitorStatus::Up, i), 5);
            same.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
        }
    if (repaints != 0)
        return 1;

    std::vector<double> change;
    for (int round = 0; round < 400; ++round) {
        const int i = round % MaxMonitors;
        const MonitorStatus next =
            table.Slots[i]->Status == MonitorStatus::Up ? MonitorStatus::Down : MonitorStatus::Up;
        const auto t0 = Clock::now();
        handler.OnBoxStatus(MakeBoxStatusWParam(next, i), -1);
        change.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
        // Let the started threads end so they don't pile up.
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (repaints != 400)
        return 1;

    std::printf("notify.report_us %.3f us\n", Median(same));
    std::printf("notify.change_report_us %.3f us\n", Median(change));
    return 0;
}
