// engine.cpu_ratio_vs_fping: CPU time of 60 ICMP monitors (127.0.0.1-127.0.0.60, VerifyTime 1)
// over the run, divided by the CPU time of "fping -l -p 1000" on the same targets for as long.
// engine.rss_mb: peak resident memory of the process during the engine run.
// Optional argument: run length in seconds (default 30).
#include "monitor/MonitorTable.h"
#include "monitor/NetThread.h"
#include "monitor/QtReportSink.h"
#include "monitor/SharedTiming.h"
#include "platform/Platform.h"
#include "platform/linux/NetProbesLinux.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

double CpuMs(const rusage& u) {
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
}

std::string Target(int i) {
    return "127.0.0." + std::to_string(i + 1);
}

// CPU time of fping over the same targets for the same time, or a negative value on failure.
double FpingCpuMs(int seconds) {
    std::vector<std::string> args = {"fping", "-l", "-p", "1000"};
    for (int i = 0; i < MaxMonitors; ++i)
        args.push_back(Target(i));
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, "fping", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return -1;
    ::sleep(static_cast<unsigned>(seconds));
    ::kill(pid, SIGINT);
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid)
        return -1;
    return CpuMs(usage);
}

} // namespace

int main(int argc, char** argv) {
    // The probes alone: the engine is measured without the sound and desktop libraries.
    CPlatformBackend backend;
    backend.Probes = std::make_shared<CLinuxNetProbes>();
    InstallPlatform(backend);
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    VerifyTime.store(1);
    TimeOut.store(3000);

    long reports = 0, up = 0;
    CQtReportSink sink([&](std::uint32_t wParam, std::int32_t) {
        ++reports;
        up += BoxStatusOf(wParam) == MonitorStatus::Up ? 1 : 0;
    });
    CMonitorTable table;
    for (int i = 0; i < MaxMonitors; ++i) {
        table.Slots[i] = std::make_unique<CMonitorBox>(&sink, i);
        table.Slots[i]->IPAdress = QString::fromStdString(Target(i));
        table.Slots[i]->VerifyMetod = MethodPing;
        table.Slots[i]->IPv = IPv4;
    }
    table.NumBox = MaxMonitors;

    rusage before{}, after{};
    ::getrusage(RUSAGE_SELF, &before);
    for (int i = 0; i < table.NumBox; ++i)
        table.Slots[i]->StartWorker(SystemNetProbes());
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    app.exec();
    ::getrusage(RUSAGE_SELF, &after);
    sink.Close();
    for (int i = 0; i < table.NumBox; ++i)
        table.Slots[i]->KillWorker();

    const double ours = CpuMs(after) - CpuMs(before);
    const double theirs = FpingCpuMs(seconds);
    std::printf("engine.cpu_ms %.1f ms\n", ours);
    std::printf("engine.reports %ld count\n", reports);
    std::printf("engine.reports_up %ld count\n", up);
    if (theirs > 0) {
        std::printf("engine.fping_cpu_ms %.1f ms\n", theirs);
        std::printf("engine.cpu_ratio_vs_fping %.2f ratio\n", ours / theirs);
    } else {
        std::fprintf(stderr, "bench_engine: fping did not run\n");
    }
    std::printf("engine.rss_mb %.1f MB\n", after.ru_maxrss / 1024.0);
    std::fflush(stdout);
    // Workers may still be inside a probe; the process ends without waiting for them.
    std::_Exit(theirs > 0 ? 0 : 1);
}
