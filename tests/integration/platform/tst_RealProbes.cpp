#include "platform/linux/LinuxPlatform.h"
#include "support/TestNetwork.h"

#include "monitor/MonitorBox.h"
#include "monitor/NetThread.h"
#include "monitor/QtReportSink.h"
#include "monitor/SharedTiming.h"
#include "platform/NetProbes.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <linux/capability.h>
#include <memory>
#include <netdb.h>
#include <netinet/icmp6.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr std::uint32_t TestTimeOut = 1000;
const std::string LongNameText = std::string(4000, 'b') + ".invalid";
const char* const LongName = LongNameText.c_str();

enum class Wait {
    Any,
    FullTimeOut, // no answer: the probe waits the whole time-out
    Early,       // an answer (an error included) ends the wait
};

enum class PortKind { Open, Closed, Http };

struct ProbeRun {
    MonitorStatus Status = MonitorStatus::NoStatus;
    std::int32_t ReplyTime = 0;
    std::int64_t ElapsedMs = 0;
    IcmpSocketKind Kind = IcmpSocketKind::None;
};

bool DropNetRawOfThisThread() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (::syscall(SYS_capget, &header, data) != 0)
        return false;
    data[0].effective &= ~(1u << CAP_NET_RAW);
    return ::syscall(SYS_capset, &header, data) == 0;
}

// A raw socket that sees only redirects, so a test can tell that one reached this namespace.
int OpenRedirectWitness(bool v6) {
    const int fd = ::socket(v6 ? AF_INET6 : AF_INET, SOCK_RAW | SOCK_CLOEXEC,
                            v6 ? static_cast<int>(IPPROTO_ICMPV6) : static_cast<int>(IPPROTO_ICMP));
    if (fd < 0)
        return -1;
    int rc;
    if (v6) {
        icmp6_filter filter;
        ICMP6_FILTER_SETBLOCKALL(&filter);
        ICMP6_FILTER_SETPASS(ND_REDIRECT, &filter);
        rc = ::setsockopt(fd, IPPROTO_ICMPV6, ICMP6_FILTER, &filter, sizeof filter);
    } else {
        const std::uint32_t blocked = ~(1u << 5); // ICMP_FILTER: set bits are blocked
        rc = ::setsockopt(fd, SOL_RAW, 1, &blocked, sizeof blocked);
    }
    if (rc != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// The witness holds a redirect whose quoted packet is an echo request to host.
bool WitnessSawRedirect(int fd, bool v6, const std::string& host) {
    std::uint8_t target[16] = {};
    ::inet_pton(v6 ? AF_INET6 : AF_INET, host.c_str(), target);
    std::uint8_t p[1500];
    for (;;) {
        const ssize_t n = ::recv(fd, p, sizeof p, MSG_DONTWAIT);
        if (n < 0)
            return false;
        const auto size = static_cast<std::size_t>(n);
        if (v6) {
            // Redirect (40 bytes), redirected-header option (8), quoted IPv6 header (40), echo.
            if (size >= 96 && p[0] == ND_REDIRECT && p[40] == 4 && p[54] == IPPROTO_ICMPV6 &&
                std::memcmp(p + 72, target, 16) == 0 && p[88] == ICMP6_ECHO_REQUEST)
                return true;
        } else {
            // IP header (20), redirect (8), quoted IP header (20), echo.
            if (size >= 56 && p[20] == 5 && p[37] == IPPROTO_ICMP && std::memcmp(p + 44, target, 4) == 0 &&
                p[48] == 8)
                return true;
        }
    }
}

} // namespace

Q_DECLARE_METATYPE(Wait)
Q_DECLARE_METATYPE(PortKind)

class TestRealProbes : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void tcp_data();
    void tcp();
    void icmp_data();
    void icmp();
    void icmpSocketKeptAcrossChecks_data();
    void icmpSocketKeptAcrossChecks();
    void lateReplyNeverCounts_data();
    void lateReplyNeverCounts();
    void rawSocketSeesOnlyItsOwnReplies_data();
    void rawSocketSeesOnlyItsOwnReplies();
    void noIcmpSocketGivesNetError_data();
    void noIcmpSocketGivesNetError();
    void workerReportsRealResults();
    void connectV6Bounded_data();
    void connectV6Bounded();

private:
    ProbeRun RunProbe(int method, int ipv, const std::string& host, std::int32_t port,
                      std::int32_t replyBefore);
    std::int32_t PortOf(PortKind kind) const {
        return kind == PortKind::Open ? OpenPort : kind == PortKind::Closed ? ClosedPort : 80;
    }

    CTestNetwork Net;
    CEchoForger* Forger = nullptr;
    int Listener = -1;
    std::int32_t OpenPort = 0;
    std::int32_t ClosedPort = 0;
};

void TestRealProbes::initTestCase() {
    InstallPlatform(LinuxPlatform());
    QVERIFY2(::geteuid() == 0, "these tests make network namespaces and must run as root");
    QString error;
    QVERIFY2(Net.Create(&error), qPrintable("test network: " + error));
    // A dual-stack listener and a port known to be closed, both in the client namespace.
    QVERIFY(RunInNamespace(Net.Client, [this] {
        Listener = ::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int off = 0;
        ::setsockopt(Listener, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off);
        sockaddr_in6 a{};
        a.sin6_family = AF_INET6;
        a.sin6_addr = in6addr_any;
        socklen_t size = sizeof a;
        if (::bind(Listener, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
            ::listen(Listener, 512) == 0 &&
            ::getsockname(Listener, reinterpret_cast<sockaddr*>(&a), &size) == 0)
            OpenPort = ntohs(a.sin6_port);
        const int probe = ::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
        ::setsockopt(probe, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off);
        a.sin6_port = 0;
        size = sizeof a;
        if (::bind(probe, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
            ::getsockname(probe, reinterpret_cast<sockaddr*>(&a), &size) == 0)
            ClosedPort = ntohs(a.sin6_port);
        ::close(probe);
    }));
    QVERIFY(OpenPort > 0 && ClosedPort > 0);
    Forger = new CEchoForger(Net.Host);
    QVERIFY2(Forger->Start(), "raw sockets for the answering host");
}

void TestRealProbes::cleanupTestCase() {
    delete Forger;
    Forger = nullptr;
    if (Listener >= 0)
        ::close(Listener);
    Net.Destroy();
    QString list;
    QProcess p;
    p.start("ip", {"netns", "list"});
    p.waitForFinished();
    list = QString::fromLocal8Bit(p.readAll());
    QVERIFY2(!list.contains(QString::fromStdString(Net.Client)) &&
                 !list.contains(QString::fromStdString(Net.Host)),
             "test namespaces left behind");
}

ProbeRun TestRealProbes::RunProbe(int method, int ipv, const std::string& host, std::int32_t port,
                                  std::int32_t replyBefore) {
    ProbeRun run;
    RunInNamespace(Net.Client, [&] {
        auto probes = SystemNetProbes();
        ProbeState state;
        state.TimeOut = TestTimeOut;
        state.ReplyTime = replyBefore;
        const auto start = std::chrono::steady_clock::now();
        if (method == MethodPing)
            run.Status = ipv == IPv4 ? probes->PingV4(host, state) : probes->PingV6(host, state);
        else
            run.Status =
                ipv == IPv4 ? probes->ConnectV4(host, port, state) : probes->ConnectV6(host, port, state);
        run.ElapsedMs =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
                .count();
        run.ReplyTime = state.ReplyTime;
        run.Kind = state.IcmpKind;
    });
    return run;
}

void TestRealProbes::tcp_data() {
    QTest::addColumn<int>("ipv");
    QTest::addColumn<QString>("host");
    QTest::addColumn<PortKind>("port");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("replySet");
    QTest::addColumn<Wait>("wait");

    const int open = 2, close = 7, down = 1, iperror = 5;
    QTest::newRow("v4 open loopback port")
        << 0 << "127.0.0.1" << PortKind::Open << open << true << Wait::Early;
    QTest::newRow("v4 open port by name")
        << 0 << "localhost" << PortKind::Open << open << true << Wait::Early;
    QTest::newRow("v4 short dotted form") << 0 << "127.1" << PortKind::Open << open << true << Wait::Early;
    QTest::newRow("v4 closed port") << 0 << "127.0.0.1" << PortKind::Closed << close << true << Wait::Early;
    QTest::newRow("v4 closed port on the host")
        << 0 << "10.201.1.2" << PortKind::Closed << close << true << Wait::Early;
    QTest::newRow("v4 name under .invalid")
        << 0 << "nosuch.invalid" << PortKind::Open << iperror << false << Wait::Any;
    QTest::newRow("v4 name longer than a resolver takes")
        << 0 << QString(4000, 'a') + ".invalid" << PortKind::Open << iperror << false << Wait::Any;
    QTest::newRow("v6 name longer than a resolver takes")
        << 1 << QString(4000, 'a') + ".invalid" << PortKind::Open << iperror << true << Wait::Any;
    QTest::newRow("v4 unanswered syn")
        << 0 << "10.201.5.5" << PortKind::Http << down << false << Wait::FullTimeOut;
    QTest::newRow("v4 router says unreachable")
        << 0 << "10.201.3.3" << PortKind::Http << down << false << Wait::Early;
    QTest::newRow("v6 reaches 127.0.0.1")
        << 1 << "127.0.0.1" << PortKind::Open << open << true << Wait::Early;
    QTest::newRow("v6 reaches ::1") << 1 << "::1" << PortKind::Open << open << true << Wait::Early;
    QTest::newRow("v6 by name") << 1 << "localhost" << PortKind::Open << open << true << Wait::Early;
    QTest::newRow("v6 closed port ::1") << 1 << "::1" << PortKind::Closed << close << true << Wait::Early;
    QTest::newRow("v6 closed port 127.0.0.1")
        << 1 << "127.0.0.1" << PortKind::Closed << close << true << Wait::Early;
    QTest::newRow("v6 closed port on the host")
        << 1 << "fd00:201:1::2" << PortKind::Closed << close << true << Wait::Early;
    // ConnectV6 sets the reply time whatever the outcome.
    QTest::newRow("v6 name under .invalid")
        << 1 << "nosuch.invalid" << PortKind::Open << iperror << true << Wait::Any;
}

void TestRealProbes::tcp() {
    QFETCH(int, ipv);
    QFETCH(QString, host);
    QFETCH(PortKind, port);
    QFETCH(int, status);
    QFETCH(bool, replySet);
    QFETCH(Wait, wait);
    const ProbeRun run = RunProbe(MethodTcp, ipv, host.toStdString(), PortOf(port), 555);
    QCOMPARE(static_cast<int>(run.Status), status);
    if (replySet) {
        QVERIFY2(run.ReplyTime >= 0 && run.ReplyTime <= run.ElapsedMs,
                 qPrintable(QString("reply %1 ms, took %2 ms").arg(run.ReplyTime).arg(run.ElapsedMs)));
    } else {
        QCOMPARE(run.ReplyTime, -1);
    }
    if (wait == Wait::FullTimeOut) {
        QVERIFY2(run.ElapsedMs >= TestTimeOut - 5 && run.ElapsedMs < 3 * TestTimeOut,
                 qPrintable(QString("took %1 ms").arg(run.ElapsedMs)));
    } else if (wait == Wait::Early) {
        QVERIFY2(run.ElapsedMs < TestTimeOut, qPrintable(QString("took %1 ms").arg(run.ElapsedMs)));
    }
}

void TestRealProbes::icmp_data() {
    QTest::addColumn<bool>("pingSockets");
    QTest::addColumn<int>("ipv");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("status");
    QTest::addColumn<Wait>("wait");

    const int up = 2, down = 1, iperror = 5;
    struct Row {
        const char* Name;
        int IPv;
        const char* Host;
        int Status;
        Wait W;
    };
    const Row rows[] = {
        {"v4 loopback answers", 0, "127.0.0.1", up, Wait::Early},
        {"v4 host by name", 0, "localhost", up, Wait::Early},
        {"v4 correct answer from the test host", 0, "10.201.1.6", up, Wait::Early},
        {"v6 loopback answers", 1, "::1", up, Wait::Early},
        {"v4 unresolvable name", 0, "nosuch.invalid", iperror, Wait::Any},
        {"v6 unresolvable name", 1, "nosuch.invalid", iperror, Wait::Any},
        {"v6 given an IPv4 literal", 1, "127.0.0.1", iperror, Wait::Any},
        {"v4 name longer than a resolver takes", 0, LongName, iperror, Wait::Any},
        {"v6 name longer than a resolver takes", 1, LongName, iperror, Wait::Any},
        {"v4 host ignores echoes", 0, "10.201.1.2", down, Wait::FullTimeOut},
        {"v6 host ignores echoes", 1, "fd00:201:1::2", down, Wait::FullTimeOut},
        {"v4 reply from another address", 0, "10.201.1.3", down, Wait::Early},
        {"v4 reply with other data", 0, "10.201.1.4", down, Wait::Early},
        {"v4 router says unreachable", 0, "10.201.3.3", down, Wait::Early},
        // Only an echo reply is a reply: an ICMPv6 error is not taken for one.
        {"v6 router says unreachable", 1, "fd00:201:3::3", down, Wait::Early},
        // A redirect quoting the echo is advice to the sender, not an answer: the reply still counts.
        {"v4 redirect before the reply", 0, "10.201.1.8", up, Wait::Early},
        {"v6 redirect before the reply", 1, "fd00:201:1::8", up, Wait::Early},
    };
    for (bool pingSockets : {true, false}) {
        for (const Row& r : rows) {
            QTest::addRow("%s: %s", pingSockets ? "ping socket" : "raw socket", r.Name)
                << pingSockets << r.IPv << QString(r.Host) << r.Status << r.W;
        }
    }
}

void TestRealProbes::icmp() {
    QFETCH(bool, pingSockets);
    QFETCH(int, ipv);
    QFETCH(QString, host);
    QFETCH(int, status);
    QFETCH(Wait, wait);
    QVERIFY(Net.AllowPingSockets(pingSockets));
    const bool redirected = host.endsWith(".8") || host.endsWith("::8");
    int witness = -1;
    if (redirected)
        QVERIFY(RunInNamespace(Net.Client, [&] { witness = OpenRedirectWitness(ipv == IPv6); }));
    const int answeredBefore = Forger->Answered();
    const int redirectedBefore = Forger->Redirected();
    const ProbeRun run = RunProbe(MethodPing, ipv, host.toStdString(), 0, 777);
    // The test host's answers are counted first, so none is still on its way to the next row.
    if ((host.startsWith("10.201.1.") && host != "10.201.1.2") || redirected)
        QTRY_COMPARE_WITH_TIMEOUT(Forger->Answered(), answeredBefore + 1, 2000);
    QCOMPARE(Forger->Redirected(), redirectedBefore + (redirected ? 1 : 0));
    if (redirected) {
        // The redirect really reached the prober's host, quoting the echo.
        const bool seen = witness >= 0 && WitnessSawRedirect(witness, ipv == IPv6, host.toStdString());
        if (witness >= 0)
            ::close(witness);
        QVERIFY2(seen, "no redirect quoting the echo reached the prober");
    }
    QCOMPARE(static_cast<int>(run.Status), status);
    if (status != 5)
        QCOMPARE(run.Kind, pingSockets ? IcmpSocketKind::Datagram : IcmpSocketKind::Raw);
    if (run.Status == MonitorStatus::Up)
        QVERIFY2(run.ReplyTime >= 0 && run.ReplyTime <= run.ElapsedMs,
                 qPrintable(QString::number(run.ReplyTime)));
    else // IPv4 leaves the reply time alone unless Up; IPv6 clears it first
        QCOMPARE(run.ReplyTime, ipv == IPv4 ? 777 : -1);
    if (wait == Wait::FullTimeOut) {
        QVERIFY2(run.ElapsedMs >= TestTimeOut - 5 && run.ElapsedMs < 3 * TestTimeOut,
                 qPrintable(QString("took %1 ms").arg(run.ElapsedMs)));
    } else if (wait == Wait::Early) {
        QVERIFY2(run.ElapsedMs < TestTimeOut, qPrintable(QString("took %1 ms").arg(run.ElapsedMs)));
    }
    if (redirected)
        QVERIFY2(run.ReplyTime >= CEchoForger::RedirectLeadMs,
                 qPrintable(QString("reply after %1 ms, the redirect came %2 ms before it")
                                .arg(run.ReplyTime)
                                .arg(CEchoForger::RedirectLeadMs)));
}

void TestRealProbes::icmpSocketKeptAcrossChecks_data() {
    QTest::addColumn<bool>("pingSockets");
    QTest::addColumn<int>("ipv");
    QTest::addColumn<QString>("host");
    QTest::newRow("ping socket v4") << true << 0 << "127.0.0.1";
    QTest::newRow("raw socket v4") << false << 0 << "127.0.0.1";
    QTest::newRow("ping socket v6") << true << 1 << "::1";
    QTest::newRow("raw socket v6") << false << 1 << "::1";
}

void TestRealProbes::icmpSocketKeptAcrossChecks() {
    QFETCH(bool, pingSockets);
    QFETCH(int, ipv);
    QFETCH(QString, host);
    QVERIFY(Net.AllowPingSockets(pingSockets));
    int firstFd = -1, secondFd = -2;
    int closedAfterRelease = 0;
    std::uint16_t firstSeq = 0, secondSeq = 0;
    MonitorStatus a = MonitorStatus::NoStatus, b = MonitorStatus::NoStatus;
    QVERIFY(RunInNamespace(Net.Client, [&] {
        auto probes = SystemNetProbes();
        ProbeState state;
        state.TimeOut = TestTimeOut;
        const std::string h = host.toStdString();
        a = ipv == IPv4 ? probes->PingV4(h, state) : probes->PingV6(h, state);
        firstFd = state.IcmpHandle;
        firstSeq = state.EchoSequence;
        b = ipv == IPv4 ? probes->PingV4(h, state) : probes->PingV6(h, state);
        secondFd = state.IcmpHandle;
        secondSeq = state.EchoSequence;
        state.Release();
        closedAfterRelease = ::fcntl(firstFd, F_GETFD) == -1 && errno == EBADF ? 1 : 0;
    }));
    QCOMPARE(a, MonitorStatus::Up);
    QCOMPARE(b, MonitorStatus::Up);
    QVERIFY(firstFd >= 0);
    QCOMPARE(secondFd, firstFd);
    QCOMPARE(secondSeq, static_cast<std::uint16_t>(firstSeq + 1));
    QCOMPARE(closedAfterRelease, 1);
}

void TestRealProbes::lateReplyNeverCounts_data() {
    QTest::addColumn<bool>("pingSockets");
    QTest::newRow("ping socket") << true;
    QTest::newRow("raw socket") << false;
}

void TestRealProbes::lateReplyNeverCounts() {
    QFETCH(bool, pingSockets);
    QVERIFY(Net.AllowPingSockets(pingSockets));
    // 10.201.1.7 answers after SlowReplyMs.
    MonitorStatus early = MonitorStatus::NoStatus, late = MonitorStatus::NoStatus;
    std::int32_t lateReply = 0;
    QVERIFY(RunInNamespace(Net.Client, [&] {
        auto probes = SystemNetProbes();
        ProbeState state;
        state.TimeOut = CEchoForger::SlowReplyMs / 2;
        early = probes->PingV4("10.201.1.7", state);
        // The answer to the first echo arrives during this check and must not be taken for its own.
        state.TimeOut = TestTimeOut;
        late = probes->PingV4("10.201.1.7", state);
        lateReply = state.ReplyTime;
    }));
    QCOMPARE(early, MonitorStatus::Down);
    QCOMPARE(late, MonitorStatus::Up);
    QVERIFY2(lateReply >= CEchoForger::SlowReplyMs && lateReply < static_cast<std::int32_t>(TestTimeOut),
             qPrintable(QString("reply %1 ms").arg(lateReply)));
}

void TestRealProbes::rawSocketSeesOnlyItsOwnReplies_data() {
    icmpSocketKeptAcrossChecks_data();
}

void TestRealProbes::rawSocketSeesOnlyItsOwnReplies() {
    QFETCH(bool, pingSockets);
    QFETCH(int, ipv);
    QFETCH(QString, host);
    QVERIFY(Net.AllowPingSockets(pingSockets));
    int upCount = 0;
    ssize_t queued = -2;
    int queuedErrno = 0;
    QVERIFY(RunInNamespace(Net.Client, [&] {
        auto probes = SystemNetProbes();
        const std::string h = host.toStdString();
        ProbeState quiet, busy;
        quiet.TimeOut = busy.TimeOut = TestTimeOut;
        auto ping = [&](ProbeState& s) { return ipv == IPv4 ? probes->PingV4(h, s) : probes->PingV6(h, s); };
        ping(quiet);
        for (int i = 0; i < 5; ++i)
            upCount += ping(busy) == MonitorStatus::Up ? 1 : 0;
        // The other worker's five replies must not have been queued on this socket.
        char buffer[1500];
        queued = ::recv(quiet.IcmpHandle, buffer, sizeof buffer, MSG_DONTWAIT);
        queuedErrno = errno;
    }));
    QCOMPARE(upCount, 5);
    QCOMPARE(queued, ssize_t(-1));
    QCOMPARE(queuedErrno, EAGAIN);
}

void TestRealProbes::noIcmpSocketGivesNetError_data() {
    QTest::addColumn<int>("ipv");
    QTest::addColumn<QString>("host");
    QTest::newRow("v4") << 0 << "127.0.0.1";
    QTest::newRow("v6") << 1 << "::1";
}

void TestRealProbes::noIcmpSocketGivesNetError() {
    QFETCH(int, ipv);
    QFETCH(QString, host);
    QVERIFY(Net.AllowPingSockets(false));
    bool dropped = false;
    MonitorStatus status = MonitorStatus::NoStatus;
    QVERIFY(RunInNamespace(Net.Client, [&] {
        // Capabilities are per thread: this one can no longer open raw sockets.
        dropped = DropNetRawOfThisThread();
        ProbeState state;
        state.TimeOut = TestTimeOut;
        status = ipv == IPv4 ? SystemNetProbes()->PingV4(host.toStdString(), state)
                             : SystemNetProbes()->PingV6(host.toStdString(), state);
    }));
    QVERIFY(dropped);
    QCOMPARE(status, MonitorStatus::NETERROR);
}

void TestRealProbes::workerReportsRealResults() {
    VerifyTime.store(1);
    TimeOut.store(TestTimeOut);
    struct Seen {
        int Index;
        MonitorStatus Status;
        std::int32_t Reply;
    };
    std::vector<Seen> seen;
    CQtReportSink sink([&](std::uint32_t w, std::int32_t l) {
        seen.push_back({BoxIndexOf(w), BoxStatusOf(w), l});
    });
    CMonitorBox tcpBox(&sink, 0), pingBox(&sink, 1);
    tcpBox.IPAdress = "127.0.0.1";
    tcpBox.VerifyMetod = MethodTcp;
    tcpBox.Port = OpenPort;
    pingBox.IPAdress = "10.201.1.2"; // ignores echoes
    pingBox.VerifyMetod = MethodPing;
    // A worker lives in the network namespace of the thread that starts it.
    QVERIFY(RunInNamespace(Net.Client, [&] {
        tcpBox.StartWorker(SystemNetProbes());
        pingBox.StartWorker(SystemNetProbes());
    }));
    auto has = [&](int index, MonitorStatus s) {
        return std::any_of(seen.begin(), seen.end(),
                           [&](const Seen& x) { return x.Index == index && x.Status == s; });
    };
    QTRY_VERIFY_WITH_TIMEOUT(has(0, MonitorStatus::Open) && has(1, MonitorStatus::Down), 10000);
    for (const Seen& x : seen) {
        if (x.Index == 0)
            QVERIFY(x.Reply >= 0);
    }
    std::vector<std::shared_ptr<CNetThread>> workers{tcpBox.Worker, pingBox.Worker};
    sink.Close();
    tcpBox.KillWorker();
    pingBox.KillWorker();
    for (const auto& w : workers) {
        for (int i = 0; i < 500 && !w->Finished(); ++i)
            QTest::qWait(10);
        QVERIFY(w->Finished());
    }
    VerifyTime.store(3);
    TimeOut.store(3000);
}

void TestRealProbes::connectV6Bounded_data() {
    QTest::addColumn<QString>("hosts");
    QTest::addColumn<QString>("first");
    QTest::addColumn<bool>("open");
    QTest::addColumn<int>("lowMs");
    QTest::addColumn<int>("highMs");
    const int bound = static_cast<int>(ConnectV6TimeOutMs);
    // A dual-stack name whose addresses both drop the connection request.
    QTest::newRow("both addresses drop the syn")
        << "fd00:201:5::5 pylarix-dual.test\n10.201.5.5 pylarix-dual.test\n"
        << "fd00:201:5::5" << false << bound - 100 << bound + 1500;
    // Each address gets its share of the bound, so a working second one is still reached.
    QTest::newRow("first drops, second open")
        << "fd00:201:5::5 pylarix-dual.test\n10.201.1.1 pylarix-dual.test\n"
        << "fd00:201:5::5" << true << bound / 2 - 100 << bound / 2 + 1500;
}

void TestRealProbes::connectV6Bounded() {
    QFETCH(QString, hosts);
    QFETCH(QString, first);
    QFETCH(bool, open);
    QFETCH(int, lowMs);
    QFETCH(int, highMs);
    QTemporaryDir dir;
    const QString hostsFile = dir.filePath("hosts");
    QFile f(hostsFile);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(hosts.toUtf8());
    f.close();
    // Without the bound the system waits about two minutes per address: the probe runs on a
    // thread that the test can leave behind.
    struct Shared {
        std::atomic<bool> Done{false};
        bool HostsUsed = false;
        std::string FirstAddress;
        ProbeRun Run;
    };
    auto shared = std::make_shared<Shared>();
    const std::int32_t port = open ? OpenPort : 80;
    std::thread([shared, client = Net.Client, hostsFile, port] {
        RunInNamespace(client, [&] {
            shared->HostsUsed = UseHostsFile(hostsFile);
            if (!shared->HostsUsed)
                return;
            addrinfo hints{};
            hints.ai_family = AF_UNSPEC;
            hints.ai_socktype = SOCK_STREAM;
            addrinfo* list = nullptr;
            if (::getaddrinfo("pylarix-dual.test", nullptr, &hints, &list) == 0) {
                char text[INET6_ADDRSTRLEN] = {};
                const void* a =
                    list->ai_family == AF_INET6
                        ? static_cast<const void*>(&reinterpret_cast<sockaddr_in6*>(list->ai_addr)->sin6_addr)
                        : static_cast<const void*>(&reinterpret_cast<sockaddr_in*>(list->ai_addr)->sin_addr);
                ::inet_ntop(list->ai_family, a, text, sizeof text);
                shared->FirstAddress = text;
                ::freeaddrinfo(list);
            }
            ProbeState state;
            state.ReplyTime = 555;
            const auto start = std::chrono::steady_clock::now();
            shared->Run.Status = SystemNetProbes()->ConnectV6("pylarix-dual.test", port, state);
            shared->Run.ElapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now() - start)
                                        .count();
            shared->Run.ReplyTime = state.ReplyTime;
        });
        shared->Done = true;
    }).detach();
    QTRY_VERIFY2_WITH_TIMEOUT(shared->Done, "the probe still waits 30 s after it started", 30000);
    QVERIFY2(shared->HostsUsed, "a hosts file of the test's own");
    QCOMPARE(QString::fromStdString(shared->FirstAddress), first);
    const ProbeRun& run = shared->Run;
    QCOMPARE(run.Status, open ? MonitorStatus::Open : MonitorStatus::Down);
    QVERIFY2(run.ElapsedMs >= lowMs && run.ElapsedMs <= highMs,
             qPrintable(QString("took %1 ms, expected %2 to %3").arg(run.ElapsedMs).arg(lowMs).arg(highMs)));
    // The reply time is kept whatever the outcome.
    QVERIFY2(run.ReplyTime >= lowMs && run.ReplyTime <= run.ElapsedMs,
             qPrintable(QString("reply %1 ms, took %2 ms").arg(run.ReplyTime).arg(run.ElapsedMs)));
}

QTEST_GUILESS_MAIN(TestRealProbes)
#include "tst_RealProbes.moc"
