// probe.rtt_delta_ms: the largest difference, over the hosts, between the median reply time of
// PingV4 and the median time iputils ping reports for the same host in the same run.
// probe.timeout_overshoot_ms: the most a silent host's Down came later than TimeOut.
// Runs on a test network of namespaces (root).
#include "platform/Platform.h"
#include "platform/linux/NetProbesLinux.h"
#include "support/TestNetwork.h"

#include "platform/NetProbes.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// The time iputils ping reports for one echo, or a negative value when it got no answer.
double IputilsPingMs(const std::string& ns, const QString& host) {
    QProcess p;
    p.start("ip", {"netns", "exec", QString::fromStdString(ns), "ping", "-n", "-c", "1", "-W", "2", host});
    p.waitForFinished(10000);
    const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
    const QRegularExpressionMatch m = QRegularExpression("time=([0-9.]+) ms").match(out);
    return m.hasMatch() ? m.captured(1).toDouble() : -1.0;
}

std::int64_t Ms(std::chrono::steady_clock::duration d) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
}

} // namespace

int main(int argc, char** argv) {
    // The probes alone: the engine is measured without the sound and desktop libraries.
    CPlatformBackend backend;
    backend.Probes = std::make_shared<CLinuxNetProbes>();
    InstallPlatform(backend);
    QCoreApplication app(argc, argv);
    if (::geteuid() != 0) {
        std::fprintf(stderr, "bench_probe: needs root (makes network namespaces)\n");
        return 1;
    }
    CTestNetwork net;
    QString error;
    if (!net.Create(&error)) {
        std::fprintf(stderr, "bench_probe: %s\n", qPrintable(error));
        return 1;
    }
    CEchoForger forger(net.Host);
    if (!forger.Start()) {
        std::fprintf(stderr, "bench_probe: no raw sockets\n");
        return 1;
    }
    net.AllowPingSockets(true);

    // Loopback, a host answering at once and one answering after a delay, so whole-millisecond
    // truncation and wake-up latency both show. Echoes alternate between the two programs; each
    // host's figure compares medians, so the test host's own jitter does not count.
    struct Host {
        const char* Label;
        QString Address;
        std::vector<double> Ours, Theirs;
    };
    std::vector<Host> hosts = {{"loopback", "127.0.0.1", {}, {}},
                               {"veth_host", "10.201.1.6", {}, {}},
                               {"slow_host", "10.201.1.7", {}, {}}};
    constexpr int rounds = 25;
    for (int r = 0; r < rounds; ++r) {
        for (Host& host : hosts) {
            std::int32_t ours = -1;
            MonitorStatus status = MonitorStatus::NoStatus;
            RunInNamespace(net.Client, [&] {
                ProbeState state;
                state.TimeOut = 2000;
                status = SystemNetProbes()->PingV4(host.Address.toStdString(), state);
                ours = state.ReplyTime;
            });
            const double theirs = IputilsPingMs(net.Client, host.Address);
            if (std::getenv("BENCH_VERBOSE"))
                std::fprintf(stderr, "%s ours %d iputils %.3f\n", host.Label, ours, theirs);
            if (status != MonitorStatus::Up || theirs < 0) {
                std::fprintf(stderr, "bench_probe: %s did not answer both\n", qPrintable(host.Address));
                continue;
            }
            host.Ours.push_back(ours);
            host.Theirs.push_back(theirs);
        }
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
    };
    double worst = -1;
    std::vector<std::pair<std::string, double>> perHost;
    for (const Host& host : hosts) {
        if (host.Ours.empty())
            continue;
        const double delta = std::fabs(median(host.Ours) - median(host.Theirs));
        perHost.emplace_back(host.Label, delta);
        worst = std::max(worst, delta);
    }

    constexpr std::uint32_t timeOut = 1000;
    std::int64_t pingOvershoot = 0, tcpOvershoot = 0;
    for (int r = 0; r < 5; ++r) {
        RunInNamespace(net.Client, [&] {
            ProbeState state;
            state.TimeOut = timeOut;
            auto start = std::chrono::steady_clock::now();
            SystemNetProbes()->PingV4("10.201.1.2", state); // ignores echoes
            pingOvershoot = std::max(pingOvershoot, Ms(std::chrono::steady_clock::now() - start) - timeOut);
            start = std::chrono::steady_clock::now();
            SystemNetProbes()->ConnectV4("10.201.5.5", 80, state); // SYN dropped
            tcpOvershoot = std::max(tcpOvershoot, Ms(std::chrono::steady_clock::now() - start) - timeOut);
        });
    }
    forger.Stop();
    net.Destroy();

    if (perHost.size() != hosts.size())
        return 1;
    std::printf("probe.rtt_delta_ms %.3f ms\n", worst);
    for (const auto& [label, delta] : perHost)
        std::printf("probe.rtt_delta_ms.%s %.3f ms\n", label.c_str(), delta);
    std::printf("probe.timeout_overshoot_ms %lld ms\n", static_cast<long long>(pingOvershoot));
    std::printf("probe.tcp_timeout_overshoot_ms %lld ms\n", static_cast<long long>(tcpOvershoot));
    return 0;
}
