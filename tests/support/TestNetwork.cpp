#include "support/TestNetwork.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QThread>
#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netinet/icmp6.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <unistd.h>

bool RunCommand(const QStringList& arguments, QString* errorText) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(arguments.front(), arguments.mid(1));
    if (!p.waitForFinished(20000)) {
        if (errorText)
            *errorText = arguments.join(' ') + ": did not finish (" + p.errorString() + ")";
        p.kill();
        return false;
    }
    const bool ok = p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (!ok && errorText)
        *errorText = arguments.join(' ') + ": " + QString::fromLocal8Bit(p.readAll()).trimmed();
    return ok;
}

bool RunInNamespace(const std::string& name, const std::function<void()>& fn) {
    bool entered = false;
    std::thread t([&] {
        const int fd = ::open(("/run/netns/" + name).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return;
        entered = ::setns(fd, CLONE_NEWNET) == 0;
        ::close(fd);
        if (entered)
            fn();
    });
    t.join();
    return entered;
}

bool UseHostsFile(const QString& hostsFile) {
    if (::unshare(CLONE_NEWNS) != 0)
        return false;
    // Private, so the bind mount below never reaches the rest of the system.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return false;
    return ::mount(QFile::encodeName(hostsFile).constData(), "/etc/hosts", nullptr, MS_BIND, nullptr) == 0;
}

CTestNetwork::CTestNetwork() {
    const std::string id = std::to_string(::getpid());
    Client = "pylc" + id;
    Host = "pylh" + id;
}

CTestNetwork::~CTestNetwork() {
    Destroy();
}

void CTestNetwork::RemoveLeftovers() {
    // Namespaces of earlier runs that died before cleaning up; named after their process.
    const QStringList names = QDir("/run/netns").entryList(QDir::Files | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        if (!name.startsWith("pylc") && !name.startsWith("pylh"))
            continue;
        bool ok = false;
        const int pid = name.mid(4).toInt(&ok);
        if (ok && pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH)
            RunCommand({"ip", "netns", "del", name});
    }
}

bool CTestNetwork::Create(QString* errorText) {
    RemoveLeftovers();
    const QString c = QString::fromStdString(Client);
    const QString h = QString::fromStdString(Host);
    const QString vc = "pyc" + QString::number(::getpid());
    const QString vh = "pyh" + QString::number(::getpid());
    const QList<QStringList> steps = {
        {"ip", "netns", "add", c},
        {"ip", "netns", "add", h},
        {"ip", "link", "add", vc, "netns", c, "type", "veth", "peer", "name", vh, "netns", h},
        {"ip", "-n", c, "link", "set", "lo", "up"},
        {"ip", "-n", h, "link", "set", "lo", "up"},
        {"ip", "-n", c, "addr", "add", "10.201.1.1/24", "dev", vc},
        {"ip", "-n", c, "addr", "add", "fd00:201:1::1/64", "dev", vc, "nodad"},
        {"ip", "-n", c, "link", "set", vc, "up"},
        {"ip", "-n", h, "addr", "add", "10.201.1.2/24", "dev", vh},
        {"ip", "-n", h, "addr", "add", "10.201.1.3/24", "dev", vh},
        {"ip", "-n", h, "addr", "add", "10.201.1.4/24", "dev", vh},
        {"ip", "-n", h, "addr", "add", "10.201.1.6/24", "dev", vh},
        {"ip", "-n", h, "addr", "add", "10.201.1.7/24", "dev", vh},
        {"ip", "-n", h, "addr", "add", "10.201.1.8/24", "dev", vh},
        {"ip", "-n", h, "addr", "add", "fd00:201:1::2/64", "dev", vh, "nodad"},
        {"ip", "-n", h, "addr", "add", "fd00:201:1::8/64", "dev", vh, "nodad"},
        {"ip", "-n", h, "link", "set", vh, "up"},
        {"ip", "-n", c, "route", "add", "10.201.3.0/24", "via", "10.201.1.2"},
        {"ip", "-n", c, "route", "add", "10.201.5.0/24", "via", "10.201.1.2"},
        {"ip", "-n", h, "route", "add", "unreachable", "10.201.3.0/24"},
        {"ip", "-n", h, "route", "add", "blackhole", "10.201.5.0/24"},
        {"ip", "-n", c, "-6", "route", "add", "fd00:201:3::/64", "via", "fd00:201:1::2"},
        {"ip", "-n", c, "-6", "route", "add", "fd00:201:5::/64", "via", "fd00:201:1::2"},
        {"ip", "-n", h, "-6", "route", "add", "unreachable", "fd00:201:3::/64"},
        {"ip", "-n", h, "-6", "route", "add", "blackhole", "fd00:201:5::/64"},
        {"ip", "netns", "exec", h, "sysctl", "-q", "-w", "net.ipv4.ip_forward=1",
         "net.ipv4.icmp_echo_ignore_all=1", "net.ipv4.icmp_ratelimit=0", "net.ipv6.icmp.echo_ignore_all=1"},
    };
    Created = true;
    for (const QStringList& step : steps) {
        if (!RunCommand(step, errorText))
            return false;
    }
    // IPv6 on the link is ready once the link-local addresses have passed duplicate detection;
    // until then the first exchange with a test host can be lost.
    for (int i = 0; i < 100; ++i) {
        bool tentative = false;
        for (const QString& ns : {c, h}) {
            QProcess p;
            p.start("ip", {"-n", ns, "-6", "addr", "show", "tentative"});
            p.waitForFinished(5000);
            tentative = tentative || !p.readAllStandardOutput().trimmed().isEmpty();
        }
        if (!tentative)
            return true;
        QThread::msleep(50);
    }
    if (errorText)
        *errorText = "IPv6 addresses still tentative after 5 s";
    return false;
}

void CTestNetwork::Destroy() {
    if (!Created)
        return;
    Created = false;
    // Deleting the namespaces deletes the veth pair with them.
    RunCommand({"ip", "netns", "del", QString::fromStdString(Client)});
    RunCommand({"ip", "netns", "del", QString::fromStdString(Host)});
}

bool CTestNetwork::AllowPingSockets(bool allow) {
    return RunCommand({"ip", "netns", "exec", QString::fromStdString(Client), "sysctl", "-q", "-w",
                       allow ? "net.ipv4.ping_group_range=0 2147483647" : "net.ipv4.ping_group_range=1 0"});
}

namespace {

std::uint32_t ChecksumSum(const std::uint8_t* data, std::size_t size, std::uint32_t sum = 0) {
    for (std::size_t i = 0; i + 1 < size; i += 2)
        sum += static_cast<std::uint32_t>((data[i] << 8) | data[i + 1]);
    if (size % 2 != 0)
        sum += static_cast<std::uint32_t>(data[size - 1] << 8);
    return sum;
}

std::uint16_t ChecksumFold(std::uint32_t sum) {
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint16_t>(~sum);
}

std::uint16_t Checksum(const std::uint8_t* data, std::size_t size) {
    return ChecksumFold(ChecksumSum(data, size));
}

std::uint32_t Address(const char* text) {
    in_addr a{};
    ::inet_pton(AF_INET, text, &a);
    return a.s_addr;
}

in6_addr Address6(const char* text) {
    in6_addr a{};
    ::inet_pton(AF_INET6, text, &a);
    return a;
}

void Put16(std::uint8_t* p, std::size_t value) {
    p[0] = static_cast<std::uint8_t>(value >> 8);
    p[1] = static_cast<std::uint8_t>(value);
}

// An IPv4 packet with the given ICMP message; the kernel fills in the header checksum.
std::size_t BuildIcmpV4(std::uint8_t* out, std::uint32_t from, std::uint32_t to, const std::uint8_t* icmp,
                        std::size_t icmpSize) {
    std::memset(out, 0, 20);
    out[0] = 0x45;
    Put16(out + 2, 20 + icmpSize);
    out[8] = 64;
    out[9] = 1;
    std::memcpy(out + 12, &from, 4);
    std::memcpy(out + 16, &to, 4);
    std::memcpy(out + 20, icmp, icmpSize);
    out[22] = out[23] = 0;
    Put16(out + 22, Checksum(out + 20, icmpSize));
    return 20 + icmpSize;
}

// An IPv6 packet with the given ICMPv6 message and its checksum over the pseudo-header.
std::size_t BuildIcmpV6(std::uint8_t* out, const in6_addr& from, const in6_addr& to, std::uint8_t hopLimit,
                        const std::uint8_t* icmp, std::size_t icmpSize) {
    std::memset(out, 0, 40);
    out[0] = 0x60;
    Put16(out + 4, icmpSize);
    out[6] = 58;
    out[7] = hopLimit;
    std::memcpy(out + 8, &from, 16);
    std::memcpy(out + 24, &to, 16);
    std::memcpy(out + 40, icmp, icmpSize);
    out[42] = out[43] = 0;
    std::uint8_t pseudoTail[8] = {0, 0, 0, 0, 0, 0, 0, 58};
    pseudoTail[2] = static_cast<std::uint8_t>(icmpSize >> 8);
    pseudoTail[3] = static_cast<std::uint8_t>(icmpSize);
    std::uint32_t sum = ChecksumSum(out + 8, 32);
    sum = ChecksumSum(pseudoTail, sizeof pseudoTail, sum);
    sum = ChecksumSum(out + 40, icmpSize, sum);
    Put16(out + 42, ChecksumFold(sum));
    return 40 + icmpSize;
}

void Wait(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace

CEchoForger::CEchoForger(std::string hostNamespace) : Namespace(std::move(hostNamespace)) {}

CEchoForger::~CEchoForger() {
    Stop();
}

bool CEchoForger::Start() {
    // The sockets are made inside the namespace; the answering thread may live anywhere.
    RunInNamespace(Namespace, [this] {
        ListenFd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
        SendFd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_RAW);
        ListenFd6 = ::socket(AF_INET6, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMPV6);
        // Whole packets, header included, so the redirect can come from a link-local router.
        SendFd6 = ::socket(AF_INET6, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_RAW);
    });
    if (ListenFd < 0 || SendFd < 0 || ListenFd6 < 0 || SendFd6 < 0)
        return false;
    icmp6_filter filter;
    ICMP6_FILTER_SETBLOCKALL(&filter);
    ICMP6_FILTER_SETPASS(ICMP6_ECHO_REQUEST, &filter);
    const int on = 1;
    if (::setsockopt(ListenFd6, IPPROTO_ICMPV6, ICMP6_FILTER, &filter, sizeof filter) != 0 ||
        ::setsockopt(ListenFd6, IPPROTO_IPV6, IPV6_RECVPKTINFO, &on, sizeof on) != 0)
        return false;
    Thread = std::thread([this] { Run(); });
    return true;
}

void CEchoForger::Stop() {
    if (Thread.joinable()) {
        Stopping.store(true);
        Thread.join();
    }
    for (int* fd : {&ListenFd, &SendFd, &ListenFd6, &SendFd6}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

void CEchoForger::Run() {
    std::uint8_t in[1500];
    while (!Stopping.load()) {
        pollfd pfd[2] = {{ListenFd, POLLIN, 0}, {ListenFd6, POLLIN, 0}};
        if (::poll(pfd, 2, 50) <= 0)
            continue;
        if (pfd[0].revents & POLLIN) {
            const ssize_t n = ::recv(ListenFd, in, sizeof in, MSG_DONTWAIT);
            if (n > 0)
                AnswerV4(in, static_cast<std::size_t>(n));
        }
        if (pfd[1].revents & POLLIN) {
            sockaddr_in6 from{};
            iovec iov{in, sizeof in};
            char control[256];
            msghdr msg{};
            msg.msg_name = &from;
            msg.msg_namelen = sizeof from;
            msg.msg_iov = &iov;
            msg.msg_iovlen = 1;
            msg.msg_control = control;
            msg.msg_controllen = sizeof control;
            const ssize_t n = ::recvmsg(ListenFd6, &msg, MSG_DONTWAIT);
            if (n <= 0)
                continue;
            for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c != nullptr; c = CMSG_NXTHDR(&msg, c)) {
                if (c->cmsg_level == IPPROTO_IPV6 && c->cmsg_type == IPV6_PKTINFO) {
                    in6_pktinfo info;
                    std::memcpy(&info, CMSG_DATA(c), sizeof info);
                    AnswerV6(in, static_cast<std::size_t>(n), &from.sin6_addr, &info.ipi6_addr);
                }
            }
        }
    }
}

void CEchoForger::AnswerV4(const std::uint8_t* in, std::size_t n) {
    const std::uint32_t spoofTarget = Address("10.201.1.3");
    const std::uint32_t badDataTarget = Address("10.201.1.4");
    const std::uint32_t goodTarget = Address("10.201.1.6");
    const std::uint32_t slowTarget = Address("10.201.1.7");
    const std::uint32_t redirectedTarget = Address("10.201.1.8");
    const std::uint32_t spoofSource = Address("10.201.1.99");
    const std::uint32_t router = Address("10.201.1.2");
    if (n < 28)
        return;
    const std::size_t ihl = static_cast<std::size_t>(in[0] & 0x0F) * 4;
    if (n < ihl + 8 || in[ihl] != 8)
        return;
    std::uint32_t source, destination;
    std::memcpy(&source, in + 12, 4);
    std::memcpy(&destination, in + 16, 4);
    if (destination != spoofTarget && destination != badDataTarget && destination != goodTarget &&
        destination != slowTarget && destination != redirectedTarget)
        return;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = source;
    std::uint8_t out[1500] = {};
    if (destination == redirectedTarget) {
        // Host redirect: "send to 10.201.1.8 directly", quoting the echo's header and its start.
        std::uint8_t redirect[8 + 60 + 8] = {5, 1};
        std::memcpy(redirect + 4, &destination, 4);
        const std::size_t quoted = std::min(n, ihl + 8);
        std::memcpy(redirect + 8, in, quoted);
        const std::size_t size = BuildIcmpV4(out, router, source, redirect, 8 + quoted);
        if (::sendto(SendFd, out, size, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) > 0)
            Redirects.fetch_add(1);
        Wait(RedirectLeadMs);
    }
    if (destination == slowTarget)
        Wait(SlowReplyMs);
    const std::size_t icmpSize = n - ihl;
    std::uint8_t icmp[1500];
    std::memcpy(icmp, in + ihl, icmpSize);
    icmp[0] = 0;
    if (destination == badDataTarget && icmpSize > 8)
        icmp[8] ^= 0x20; // "pylarix" instead of "Pylarix"
    const std::uint32_t from = destination == spoofTarget ? spoofSource : destination;
    const std::size_t size = BuildIcmpV4(out, from, source, icmp, icmpSize);
    if (::sendto(SendFd, out, size, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) > 0)
        Count.fetch_add(1);
}

void CEchoForger::AnswerV6(const std::uint8_t* in, std::size_t n, const void* sourcePtr,
                           const void* destinationPtr) {
    in6_addr source, destination;
    std::memcpy(&source, sourcePtr, sizeof source);
    std::memcpy(&destination, destinationPtr, sizeof destination);
    const in6_addr redirectedTarget = Address6("fd00:201:1::8");
    if (n < 8 || in[0] != 128 || std::memcmp(&destination, &redirectedTarget, sizeof destination) != 0)
        return;
    sockaddr_in6 to{};
    to.sin6_family = AF_INET6;
    to.sin6_addr = source;
    std::uint8_t out[1500];

    // The echo as it was sent, to be quoted in the redirected-header option.
    std::uint8_t echo[40 + 1400];
    const std::size_t echoSize =
        BuildIcmpV6(echo, source, destination, 255, in, std::min<std::size_t>(n, 1400));
    std::memcpy(echo + 40, in, std::min<std::size_t>(n, 1400));
    const std::size_t quoted = std::min<std::size_t>(echoSize, 48);
    const std::size_t optionSize = (8 + quoted + 7) / 8 * 8;
    std::uint8_t redirect[40 + 8 + 56] = {137, 0};
    std::memcpy(redirect + 8, &destination, 16);  // target: the host itself, on the link
    std::memcpy(redirect + 24, &destination, 16); // destination
    redirect[40] = 4;                             // redirected header
    redirect[41] = static_cast<std::uint8_t>(optionSize / 8);
    std::memcpy(redirect + 48, echo, quoted);
    const std::size_t redirectSize =
        BuildIcmpV6(out, Address6("fe80::99"), source, 255, redirect, 40 + optionSize);
    if (::sendto(SendFd6, out, redirectSize, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) > 0)
        Redirects.fetch_add(1);
    Wait(RedirectLeadMs);

    std::uint8_t reply[1500];
    std::memcpy(reply, in, n);
    reply[0] = 129;
    const std::size_t size = BuildIcmpV6(out, destination, source, 64, reply, n);
    if (::sendto(SendFd6, out, size, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) > 0)
        Count.fetch_add(1);
}
