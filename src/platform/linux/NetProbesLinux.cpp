#include "platform/linux/NetProbesLinux.h"

#include "platform/linux/Deadline.h"

#include "platform/linux/IcmpEcho.h"
#include "platform/linux/NetErrors.h"
#include "types/SocketErrors.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

std::int32_t ElapsedMs(std::int64_t before, std::int64_t after) {
    return static_cast<std::int32_t>((after - before) / 1000000);
}

class CFd {
public:
    explicit CFd(int fd) : Fd(fd) {}
    ~CFd() { Reset(-1); }
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;
    void Reset(int fd) {
        if (Fd >= 0)
            ::close(Fd);
        Fd = fd;
    }
    int Get() const { return Fd; }

private:
    int Fd;
};

// A dotted IPv4 address as the classic converter reads it ("10.1" included), else the first IPv4
// address of a name look-up.
bool ResolveV4(const std::string& host, in_addr& address) {
    if (::inet_aton(host.c_str(), &address) != 0)
        return true;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* list = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &list) != 0 || list == nullptr)
        return false;
    address = reinterpret_cast<const sockaddr_in*>(list->ai_addr)->sin_addr;
    ::freeaddrinfo(list);
    return true;
}

// Waits for a non-blocking connect until the deadline; 0 when connected, else a socket error
// code (WSAEINTR when the deadline passed).
std::int32_t FinishConnect(int fd, std::int64_t deadline) {
    short revents = 0;
    const int ready = PollUntil(fd, POLLOUT, deadline, revents);
    if (ready == 0)
        return WSAEINTR;
    if (ready < 0)
        return SocketErrorFromErrno(errno);
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) < 0)
        return SocketErrorFromErrno(errno);
    return error == 0 ? 0 : SocketErrorFromErrno(error);
}

int OpenDualStackSocket() {
    const int fd = ::socket(AF_INET6, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const int off = 0;
    if (::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off) < 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

MonitorStatus CLinuxNetProbes::ConnectV4(const std::string& host, std::int32_t port, ProbeState& probe) {
    probe.ReplyTime = -1;
    CFd socket(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (socket.Get() < 0)
        return MonitorStatus::NETERROR;
    // The time-out runs from here, so a slow look-up eats into it.
    const std::int64_t deadline = DeadlineAfter(MonotonicNs(), probe.TimeOut);
    const std::int64_t before = MonotonicNs();
    std::int32_t error = 0;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (!ResolveV4(host, address.sin_addr)) {
        error = WSAEINVAL;
    } else if (::connect(socket.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) < 0) {
        error = errno == EINPROGRESS ? FinishConnect(socket.Get(), deadline) : SocketErrorFromErrno(errno);
    }
    const std::int64_t after = MonotonicNs();
    if (error == 0) {
        probe.ReplyTime = ElapsedMs(before, after);
        return MonitorStatus::Open;
    }
    if (error == WSAECONNREFUSED)
        probe.ReplyTime = ElapsedMs(before, after);
    return StatusFromSocketError(error);
}

MonitorStatus CLinuxNetProbes::ConnectV6(const std::string& host, std::int32_t port, ProbeState& probe) {
    const std::string service = std::to_string(static_cast<std::uint32_t>(port));
    CFd socket(OpenDualStackSocket());
    if (socket.Get() < 0)
        return MonitorStatus::NETERROR;

    // Connect by name: every address of the look-up in turn, IPv4 ones in their mapped form. The
    // system's connect runs, but the whole probe ends after ConnectV6TimeOutMs, and each address
    // gets an equal share of the time left so that a later one is still tried.
    const std::int64_t before = MonotonicNs();
    const std::int64_t deadline = DeadlineAfter(before, ConnectV6TimeOutMs);
    std::int32_t error = 0;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* list = nullptr;
    const int eai = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &list);
    if (eai != 0) {
        error = SocketErrorFromResolver(eai, errno);
        if (error == SocketErrorOther)
            error = WSAHOST_NOT_FOUND;
    } else {
        std::vector<sockaddr_in6> targets;
        for (const addrinfo* ai = list; ai != nullptr; ai = ai->ai_next) {
            sockaddr_in6 target{};
            if (ai->ai_family == AF_INET6) {
                std::memcpy(&target, ai->ai_addr, sizeof target);
            } else if (ai->ai_family == AF_INET) {
                const auto* v4 = reinterpret_cast<const sockaddr_in*>(ai->ai_addr);
                target.sin6_family = AF_INET6;
                target.sin6_port = v4->sin_port;
                target.sin6_addr.s6_addr[10] = 0xFF;
                target.sin6_addr.s6_addr[11] = 0xFF;
                std::memcpy(&target.sin6_addr.s6_addr[12], &v4->sin_addr, 4);
            } else {
                continue;
            }
            targets.push_back(target);
        }
        ::freeaddrinfo(list);
        error = targets.empty() ? WSAHOST_NOT_FOUND : WSAEINTR;
        for (std::size_t i = 0; i < targets.size(); ++i) {
            if (i > 0) {
                // A socket whose connect failed is not reused for the next address.
                socket.Reset(OpenDualStackSocket());
                if (socket.Get() < 0) {
                    error = WSAENOBUFS;
                    break;
                }
            }
            const std::int64_t now = MonotonicNs();
            if (now >= deadline) {
                error = WSAEINTR;
                break;
            }
            const std::int64_t until = now + (deadline - now) / static_cast<std::int64_t>(targets.size() - i);
            if (::connect(socket.Get(), reinterpret_cast<const sockaddr*>(&targets[i]), sizeof targets[i]) ==
                0)
                error = 0;
            else
                error = errno == EINPROGRESS || errno == EINTR ? FinishConnect(socket.Get(), until)
                                                               : SocketErrorFromErrno(errno);
            if (error == 0)
                break;
        }
    }
    const std::int64_t after = MonotonicNs();
    probe.ReplyTime = ElapsedMs(before, after);
    return error == 0 ? MonitorStatus::Open : StatusFromSocketError(error);
}

MonitorStatus CLinuxNetProbes::PingV4(const std::string& host, ProbeState& probe) {
    sockaddr_in destination{};
    destination.sin_family = AF_INET;
    if (!ResolveV4(host, destination.sin_addr))
        return MonitorStatus::IPERROR;
    if (!OpenIcmpSocket(probe, AF_INET))
        return MonitorStatus::NETERROR;
    const EchoResult echo = SendEcho(probe, reinterpret_cast<const sockaddr*>(&destination),
                                     sizeof destination, EchoPayloadV4, EchoPayloadV4Size, probe.TimeOut);
    if (echo.Outcome != EchoOutcome::Reply)
        return MonitorStatus::Down;
    const auto* from = reinterpret_cast<const sockaddr_in*>(&echo.From);
    if (from->sin_family != AF_INET || from->sin_addr.s_addr != destination.sin_addr.s_addr)
        return MonitorStatus::Down;
    if (!EchoPayloadMatches(echo.Data.data(), echo.Data.size()))
        return MonitorStatus::Down;
    probe.ReplyTime = echo.RoundTripMs;
    return MonitorStatus::Up;
}

MonitorStatus CLinuxNetProbes::PingV6(const std::string& host, ProbeState& probe) {
    probe.ReplyTime = -1;
    // No hints: any family, any socket type, and none of the C library's default flags.
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    addrinfo* list = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &list) != 0 || list == nullptr)
        return MonitorStatus::IPERROR;
    if (list->ai_family != AF_INET6) {
        ::freeaddrinfo(list);
        return MonitorStatus::IPERROR;
    }
    sockaddr_in6 destination{};
    std::memcpy(&destination, list->ai_addr, sizeof destination);
    ::freeaddrinfo(list);
    destination.sin6_port = 0;
    if (!OpenIcmpSocket(probe, AF_INET6))
        return MonitorStatus::NETERROR;
    const EchoResult echo = SendEcho(probe, reinterpret_cast<const sockaddr*>(&destination),
                                     sizeof destination, nullptr, 0, probe.TimeOut);
    if (echo.Outcome != EchoOutcome::Reply)
        return MonitorStatus::Down;
    probe.ReplyTime = echo.RoundTripMs;
    return MonitorStatus::Up;
}
