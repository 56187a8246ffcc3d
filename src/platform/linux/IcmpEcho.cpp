#include "platform/linux/IcmpEcho.h"

#include "platform/linux/Deadline.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <linux/errqueue.h>
#include <linux/filter.h>
#include <netinet/icmp6.h>
#include <netinet/in.h>
#include <poll.h>
#include <unistd.h>

const std::uint8_t EchoPayloadV4[EchoPayloadV4Size] = {'P', 'y', 'l', 'a', 'r', 'i', 'x', 0, 0, 0, 0};

namespace {

constexpr std::uint8_t IcmpEchoReply = 0;
constexpr std::uint8_t IcmpDestUnreach = 3;
constexpr std::uint8_t IcmpSourceQuench = 4;
constexpr std::uint8_t IcmpRedirect = 5;
constexpr std::uint8_t IcmpEchoRequest = 8;
constexpr std::uint8_t IcmpTimeExceeded = 11;
constexpr std::uint8_t IcmpParameterProblem = 12;
constexpr std::uint8_t Icmp6EchoRequest = 128;
constexpr std::uint8_t Icmp6EchoReply = 129;
constexpr std::uint8_t Icmp6Redirect = 137;
constexpr std::size_t IcmpHeaderSize = 8;
constexpr std::size_t Ip6HeaderSize = 40;
constexpr std::uint8_t ProtoIcmp = 1;
constexpr std::uint8_t ProtoIcmp6 = 58;
// Linux raw ICMP filter (linux/icmp.h clashes with the C library's ICMP header).
constexpr int RawIcmpFilter = 1;

std::uint16_t Read16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

// A redirect quotes our echo too, but it is advice to take another route, not an answer: the
// reply is still to come.
bool IsIcmpError(std::uint8_t type) {
    return type == IcmpDestUnreach || type == IcmpSourceQuench || type == IcmpTimeExceeded ||
           type == IcmpParameterProblem;
}

bool IsIcmp6Error(std::uint8_t type) {
    return type >= 1 && type <= 4;
}

bool EchoHeaderMatches(const std::uint8_t* h, std::uint8_t type, bool checkId, std::uint16_t id,
                       std::uint16_t sequence) {
    return h[0] == type && (!checkId || Read16(h + 4) == id) && Read16(h + 6) == sequence;
}

std::uint16_t NextEchoId() {
    // Unique among this process's workers; other processes are told apart by the sequence and
    // the payload as well.
    static std::atomic<std::uint16_t> counter{static_cast<std::uint16_t>(::getpid() * 97)};
    return counter.fetch_add(1);
}

void AttachIdFilterV4(int fd, std::uint16_t id) {
    // The raw socket sees the IP header first: X := its length. Pass echo replies with our id and
    // errors other than redirects that quote an echo request with our id (quoted IP header without
    // options).
    sock_filter code[] = {
        BPF_STMT(BPF_LDX | BPF_B | BPF_MSH, 0),
        BPF_STMT(BPF_LD | BPF_B | BPF_IND, 0),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, IcmpEchoReply, 0, 2),
        BPF_STMT(BPF_LD | BPF_H | BPF_IND, 4),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, id, 5, 6),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, IcmpRedirect, 5, 0),
        BPF_STMT(BPF_LD | BPF_B | BPF_IND, 28),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, IcmpEchoRequest, 0, 3),
        BPF_STMT(BPF_LD | BPF_H | BPF_IND, 32),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, id, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, 0xFFFF),
        BPF_STMT(BPF_RET | BPF_K, 0),
    };
    sock_fprog prog{static_cast<unsigned short>(sizeof code / sizeof code[0]), code};
    ::setsockopt(fd, SOL_SOCKET, SO_ATTACH_FILTER, &prog, sizeof prog);
}

void AttachIdFilterV6(int fd, std::uint16_t id) {
    // ICMPv6 raw sockets see the ICMPv6 header first; errors quote a 40-byte IPv6 header.
    sock_filter code[] = {
        BPF_STMT(BPF_LD | BPF_B | BPF_ABS, 0),  BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, Icmp6EchoReply, 0, 2),
        BPF_STMT(BPF_LD | BPF_H | BPF_ABS, 4),  BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, id, 4, 5),
        BPF_STMT(BPF_LD | BPF_B | BPF_ABS, 48), BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, Icmp6EchoRequest, 0, 3),
        BPF_STMT(BPF_LD | BPF_H | BPF_ABS, 52), BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, id, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, 0xFFFF),      BPF_STMT(BPF_RET | BPF_K, 0),
    };
    sock_fprog prog{static_cast<unsigned short>(sizeof code / sizeof code[0]), code};
    ::setsockopt(fd, SOL_SOCKET, SO_ATTACH_FILTER, &prog, sizeof prog);
}

void DrainSocket(int fd, bool errorQueue) {
    std::uint8_t buffer[1500];
    for (int i = 0; i < 256; ++i) {
        if (::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT) < 0 && errno == EAGAIN)
            break;
    }
    if (!errorQueue)
        return;
    for (int i = 0; i < 256; ++i) {
        msghdr msg{};
        iovec iov{buffer, sizeof buffer};
        char control[512];
        msg.msg_iov = &iov;
        msg.msg_iovlen = 1;
        msg.msg_control = control;
        msg.msg_controllen = sizeof control;
        if (::recvmsg(fd, &msg, MSG_ERRQUEUE | MSG_DONTWAIT) < 0)
            break;
    }
}

// Reads one error-queue entry of a ping socket. 1: an ICMP error about our echo, 0: another
// entry, -1: the queue is empty.
int ReadErrorQueue(int fd, bool v6, std::uint16_t sequence) {
    std::uint8_t buffer[1500];
    char control[512];
    msghdr msg{};
    iovec iov{buffer, sizeof buffer};
    msg.msg_iov = &iov;
    msg.msg_iovlen = 1;
    msg.msg_control = control;
    msg.msg_controllen = sizeof control;
    const ssize_t n = ::recvmsg(fd, &msg, MSG_ERRQUEUE | MSG_DONTWAIT);
    if (n < 0)
        return -1;
    bool answer = false;
    for (cmsghdr* c = CMSG_FIRSTHDR(&msg); c != nullptr; c = CMSG_NXTHDR(&msg, c)) {
        const bool isErr = (c->cmsg_level == SOL_IP && c->cmsg_type == IP_RECVERR) ||
                           (c->cmsg_level == SOL_IPV6 && c->cmsg_type == IPV6_RECVERR);
        if (!isErr || c->cmsg_len < CMSG_LEN(sizeof(sock_extended_err)))
            continue;
        sock_extended_err ee;
        std::memcpy(&ee, CMSG_DATA(c), sizeof ee);
        answer = ErrorQueueEntryIsAnswer(ee.ee_origin, ee.ee_type);
    }
    if (!answer)
        return 0;
    return ErrorQueueEntryMatches(buffer, static_cast<std::size_t>(n), v6, sequence) ? 1 : 0;
}

} // namespace

std::uint16_t InternetChecksum(const std::uint8_t* data, std::size_t size) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        sum += static_cast<std::uint32_t>((data[i] << 8) | data[i + 1]);
    if (size % 2 != 0)
        sum += static_cast<std::uint32_t>(data[size - 1] << 8);
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return static_cast<std::uint16_t>(~sum);
}

std::vector<std::uint8_t> BuildEchoRequest(bool v6, std::uint16_t id, std::uint16_t sequence,
                                           const std::uint8_t* payload, std::size_t payloadSize) {
    std::vector<std::uint8_t> packet(IcmpHeaderSize + payloadSize, 0);
    packet[0] = v6 ? Icmp6EchoRequest : IcmpEchoRequest;
    packet[4] = static_cast<std::uint8_t>(id >> 8);
    packet[5] = static_cast<std::uint8_t>(id);
    packet[6] = static_cast<std::uint8_t>(sequence >> 8);
    packet[7] = static_cast<std::uint8_t>(sequence);
    if (payloadSize != 0)
        std::memcpy(packet.data() + IcmpHeaderSize, payload, payloadSize);
    if (!v6) {
        const std::uint16_t sum = InternetChecksum(packet.data(), packet.size());
        packet[2] = static_cast<std::uint8_t>(sum >> 8);
        packet[3] = static_cast<std::uint8_t>(sum);
    }
    return packet;
}

EchoPacket ClassifyEchoPacketV4(const std::uint8_t* packet, std::size_t size, bool withIpHeader, bool checkId,
                                std::uint16_t id, std::uint16_t sequence) {
    EchoPacket result;
    std::size_t offset = 0;
    if (withIpHeader) {
        if (size < 20 || (packet[0] >> 4) != 4)
            return result;
        offset = static_cast<std::size_t>(packet[0] & 0x0F) * 4;
        if (offset < 20 || packet[9] != ProtoIcmp)
            return result;
    }
    if (size < offset + IcmpHeaderSize)
        return result;
    const std::uint8_t* icmp = packet + offset;
    if (EchoHeaderMatches(icmp, IcmpEchoReply, checkId, id, sequence)) {
        result.Verdict = EchoVerdict::Reply;
        result.Data = icmp + IcmpHeaderSize;
        result.DataSize = size - offset - IcmpHeaderSize;
        return result;
    }
    if (!IsIcmpError(icmp[0]))
        return result;
    // The error quotes the IP header of our echo and at least 8 bytes of it.
    const std::size_t quoted = offset + IcmpHeaderSize;
    if (size < quoted + 20 || (packet[quoted] >> 4) != 4 || packet[quoted + 9] != ProtoIcmp)
        return result;
    const std::size_t quotedIcmp = quoted + static_cast<std::size_t>(packet[quoted] & 0x0F) * 4;
    if (quotedIcmp < quoted + 20 || size < quotedIcmp + IcmpHeaderSize)
        return result;
    if (EchoHeaderMatches(packet + quotedIcmp, IcmpEchoRequest, checkId, id, sequence))
        result.Verdict = EchoVerdict::Error;
    return result;
}

EchoPacket ClassifyEchoPacketV6(const std::uint8_t* packet, std::size_t size, bool checkId, std::uint16_t id,
                                std::uint16_t sequence) {
    EchoPacket result;
    if (size < IcmpHeaderSize)
        return result;
    if (EchoHeaderMatches(packet, Icmp6EchoReply, checkId, id, sequence)) {
        result.Verdict = EchoVerdict::Reply;
        result.Data = packet + IcmpHeaderSize;
        result.DataSize = size - IcmpHeaderSize;
        return result;
    }
    if (!IsIcmp6Error(packet[0]))
        return result;
    const std::size_t quoted = IcmpHeaderSize;
    if (size < quoted + Ip6HeaderSize + IcmpHeaderSize || (packet[quoted] >> 4) != 6 ||
        packet[quoted + 6] != ProtoIcmp6)
        return result;
    if (EchoHeaderMatches(packet + quoted + Ip6HeaderSize, Icmp6EchoRequest, checkId, id, sequence))
        result.Verdict = EchoVerdict::Error;
    return result;
}

bool ErrorQueueEntryMatches(const std::uint8_t* original, std::size_t size, bool v6, std::uint16_t sequence) {
    if (size < IcmpHeaderSize)
        return false;
    return original[0] == (v6 ? Icmp6EchoRequest : IcmpEchoRequest) && Read16(original + 6) == sequence;
}

bool ErrorQueueEntryIsAnswer(std::uint8_t origin, std::uint8_t type) {
    if (origin == SO_EE_ORIGIN_ICMP)
        return type != IcmpRedirect;
    if (origin == SO_EE_ORIGIN_ICMP6)
        return type != Icmp6Redirect;
    return false;
}

bool EchoPayloadMatches(const std::uint8_t* data, std::size_t size) {
    static constexpr char text[] = "Pylarix";
    std::size_t length = 0;
    while (length < size && data[length] != 0)
        ++length;
    return length == sizeof text - 1 && std::memcmp(data, text, length) == 0;
}

bool OpenIcmpSocket(ProbeState& probe, int family) {
    if (probe.IcmpHandle >= 0 && probe.IcmpFamily == family)
        return true;
    probe.Release();
    const bool v6 = family == AF_INET6;
    const int protocol = v6 ? static_cast<int>(IPPROTO_ICMPV6) : static_cast<int>(IPPROTO_ICMP);
    int fd = ::socket(family, SOCK_DGRAM | SOCK_CLOEXEC, protocol);
    IcmpSocketKind kind = IcmpSocketKind::Datagram;
    if (fd < 0) {
        fd = ::socket(family, SOCK_RAW | SOCK_CLOEXEC, protocol);
        kind = IcmpSocketKind::Raw;
    }
    if (fd < 0)
        return false;
    probe.IcmpHandle = fd;
    probe.IcmpFamily = family;
    probe.IcmpKind = kind;
    probe.EchoId = NextEchoId();
    const int on = 1;
    if (kind == IcmpSocketKind::Datagram) {
        // ICMP errors about our echoes arrive on the error queue.
        if (v6)
            ::setsockopt(fd, SOL_IPV6, IPV6_RECVERR, &on, sizeof on);
        else
            ::setsockopt(fd, SOL_IP, IP_RECVERR, &on, sizeof on);
    } else if (v6) {
        icmp6_filter filter;
        ICMP6_FILTER_SETBLOCKALL(&filter);
        ICMP6_FILTER_SETPASS(ICMP6_ECHO_REPLY, &filter);
        ICMP6_FILTER_SETPASS(ICMP6_DST_UNREACH, &filter);
        ICMP6_FILTER_SETPASS(ICMP6_PACKET_TOO_BIG, &filter);
        ICMP6_FILTER_SETPASS(ICMP6_TIME_EXCEEDED, &filter);
        ICMP6_FILTER_SETPASS(ICMP6_PARAM_PROB, &filter);
        ::setsockopt(fd, IPPROTO_ICMPV6, ICMP6_FILTER, &filter, sizeof filter);
        AttachIdFilterV6(fd, probe.EchoId);
    } else {
        // Bits set are blocked.
        std::uint32_t blocked = ~((1u << IcmpEchoReply) | (1u << IcmpDestUnreach) | (1u << IcmpSourceQuench) |
                                  (1u << IcmpTimeExceeded) | (1u << IcmpParameterProblem));
        ::setsockopt(fd, SOL_RAW, RawIcmpFilter, &blocked, sizeof blocked);
        AttachIdFilterV4(fd, probe.EchoId);
    }
    if (v6) {
        const int hops = 255;
        ::setsockopt(fd, IPPROTO_IPV6, IPV6_UNICAST_HOPS, &hops, sizeof hops);
        ::setsockopt(fd, IPPROTO_IPV6, IPV6_MULTICAST_HOPS, &hops, sizeof hops);
    }
    return true;
}

EchoResult SendEcho(ProbeState& probe, const sockaddr* destination, socklen_t destinationSize,
                    const std::uint8_t* payload, std::size_t payloadSize, std::uint32_t timeoutMs) {
    EchoResult result;
    const int fd = probe.IcmpHandle;
    const bool v6 = probe.IcmpFamily == AF_INET6;
    const bool raw = probe.IcmpKind == IcmpSocketKind::Raw;
    DrainSocket(fd, !raw);

    const std::uint16_t sequence = ++probe.EchoSequence;
    const std::vector<std::uint8_t> request =
        BuildEchoRequest(v6, probe.EchoId, sequence, payload, payloadSize);
    const std::int64_t start = MonotonicNs();
    const std::int64_t deadline = DeadlineAfter(start, timeoutMs);
    if (::sendto(fd, request.data(), request.size(), 0, destination, destinationSize) < 0)
        return result;

    std::uint8_t buffer[1500];
    for (;;) {
        short revents = 0;
        if (PollUntil(fd, POLLIN, deadline, revents) <= 0)
            return result;
        if (!raw && (revents & POLLERR)) {
            for (int i = 0; i < 64; ++i) {
                const int entry = ReadErrorQueue(fd, v6, sequence);
                if (entry < 0)
                    break;
                if (entry == 1) {
                    result.Outcome = EchoOutcome::ErrorReply;
                    return result;
                }
            }
        }
        for (int i = 0; i < 64; ++i) {
            sockaddr_storage from{};
            socklen_t fromSize = sizeof from;
            const ssize_t n = ::recvfrom(fd, buffer, sizeof buffer, MSG_DONTWAIT,
                                         reinterpret_cast<sockaddr*>(&from), &fromSize);
            if (n < 0) {
                // A pending socket error (an ICMP error seen by every raw socket) is cleared by
                // this read; the packets themselves are still queued.
                if (errno == EAGAIN || errno == EWOULDBLOCK)
                    break;
                continue;
            }
            const auto size = static_cast<std::size_t>(n);
            const EchoPacket packet =
                v6 ? ClassifyEchoPacketV6(buffer, size, raw, probe.EchoId, sequence)
                   : ClassifyEchoPacketV4(buffer, size, raw, raw, probe.EchoId, sequence);
            if (packet.Verdict == EchoVerdict::Ignore)
                continue;
            result.From = from;
            if (packet.Verdict == EchoVerdict::Error) {
                result.Outcome = EchoOutcome::ErrorReply;
                return result;
            }
            result.Outcome = EchoOutcome::Reply;
            result.Data.assign(packet.Data, packet.Data + packet.DataSize);
            result.RoundTripMs = static_cast<std::int32_t>((MonotonicNs() - start) / 1000000);
            return result;
        }
    }
}
