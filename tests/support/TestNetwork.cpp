#include "support/TestNetwork.h"

#include <QDir>
#include <QProcess>
#include <QStringList>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sched.h>
#include <signal.h>
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
        {"ip", "-n", h, "addr", "add", "fd00:201:1::2/64", "dev", vh, "nodad"},
        {"ip", "-n", h, "link", "set", vh, "up"},
        {"ip", "-n", c, "route", "add", "10.201.3.0/24", "via", "10.201.1.2"},
        {"ip", "-n", c, "route", "add", "10.201.5.0/24", "via", "10.201.1.2"},
        {"ip", "-n", h, "route", "add", "unreachable", "10.201.3.0/24"},
        {"ip", "-n", h, "route", "add", "blackhole", "10.201.5.0/24"},
        {"ip", "-n", c, "-6", "route", "add", "fd00:201:3::/64", "via", "fd00:201:1::2"},
        {"ip", "-n", h, "-6", "route", "add", "unreachable", "fd00:201:3::/64"},
        {"ip", "netns", "exec", h, "sysctl", "-q", "-w", "net.ipv4.ip_forward=1",
         "net.ipv4.icmp_echo_ignore_all=1", "net.ipv4.icmp_ratelimit=0", "net.ipv6.icmp.echo_ignore_all=1"},
    };
    Created = true;
    for (const QStringList& step : steps) {
        if (!RunCommand(step, errorText))
            return false;
    }
    return true;
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

std::uint16_t Checksum(const std::uint8_t* data, std::size_t size) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        sum += static_cast<std::uint32_t>((data[i] << 8) | data[i + 1]);
    if (size % 2 != 0)
        sum += static_cast<std::uint32_t>(data[size - 1] << 8);
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint16_t>(~sum);
}

std::uint32_t Address(const char* text) {
    in_addr a{};
    ::inet_pton(AF_INET, text, &a);
    return a.s_addr;
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
    });
    if (ListenFd < 0 || SendFd < 0)
        return false;
    Thread = std::thread([this] { Run(ListenFd, SendFd); });
    return true;
}

void CEchoForger::Stop() {
    if (Thread.joinable()) {
        Stopping.store(true);
        Thread.join();
    }
    if (ListenFd >= 0)
        ::close(ListenFd);
    if (SendFd >= 0)
        ::close(SendFd);
    ListenFd = SendFd = -1;
}

void CEchoForger::Run(int listenFd, int sendFd) {
    const std::uint32_t spoofTarget = Address("10.201.1.3");
    const std::uint32_t badDataTarget = Address("10.201.1.4");
    const std::uint32_t goodTarget = Address("10.201.1.6");
    const std::uint32_t slowTarget = Address("10.201.1.7");
    const std::uint32_t spoofSource = Address("10.201.1.99");
    std::uint8_t in[1500];
    while (!Stopping.load()) {
        pollfd pfd{listenFd, POLLIN, 0};
        if (::poll(&pfd, 1, 50) <= 0)
            continue;
        const ssize_t n = ::recv(listenFd, in, sizeof in, MSG_DONTWAIT);
        if (n < 28)
            continue;
        const std::size_t ihl = static_cast<std::size_t>(in[0] & 0x0F) * 4;
        if (static_cast<std::size_t>(n) < ihl + 8 || in[ihl] != 8)
            continue;
        std::uint32_t source, destination;
        std::memcpy(&source, in + 12, 4);
        std::memcpy(&destination, in + 16, 4);
        if (destination != spoofTarget && destination != badDataTarget && destination != goodTarget &&
            destination != slowTarget)
            continue;
        if (destination == slowTarget)
            std::this_thread::sleep_for(std::chrono::milliseconds(SlowReplyMs));
        const std::size_t icmpSize = static_cast<std::size_t>(n) - ihl;
        std::uint8_t out[1500] = {};
        out[0] = 0x45;
        const std::uint16_t total = static_cast<std::uint16_t>(20 + icmpSize);
        out[2] = static_cast<std::uint8_t>(total >> 8);
        out[3] = static_cast<std::uint8_t>(total);
        out[8] = 64;
        out[9] = 1;
        const std::uint32_t from = destination == spoofTarget ? spoofSource : destination;
        std::memcpy(out + 12, &from, 4);
        std::memcpy(out + 16, &source, 4);
        std::memcpy(out + 20, in + ihl, icmpSize);
        std::uint8_t* icmp = out + 20;
        icmp[0] = 0;
        icmp[2] = icmp[3] = 0;
        if (destination == badDataTarget && icmpSize > 8)
            icmp[8] ^= 0x20; // "pylarix" instead of "Pylarix"
        const std::uint16_t sum = Checksum(icmp, icmpSize);
        icmp[2] = static_cast<std::uint8_t>(sum >> 8);
        icmp[3] = static_cast<std::uint8_t>(sum);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = source;
        if (::sendto(sendFd, out, 20 + icmpSize, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) > 0)
            Count.fetch_add(1);
    }
}
