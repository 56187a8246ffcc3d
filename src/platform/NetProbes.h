#pragma once

#include "types/MonitorStatus.h"

#include <cstdint>
#include <memory>
#include <string>

// Which kind of ICMP socket a worker ended up with.
enum class IcmpSocketKind : std::int32_t {
    None = 0,
    Datagram = 1, // unprivileged ping socket (net.ipv4.ping_group_range)
    Raw = 2,      // raw socket with kernel filters
};

// State kept by the probes of one worker from one check to the next. Touched only by the
// worker's own thread; the ICMP socket is closed when the state goes away.
struct ProbeState {
    ProbeState() = default;
    ~ProbeState();
    ProbeState(const ProbeState&) = delete;
    ProbeState& operator=(const ProbeState&) = delete;

    // Closes the ICMP socket if one is open.
    void Release();

    int IcmpHandle = -1;
    int IcmpFamily = 0; // AF_INET or AF_INET6 of IcmpHandle
    IcmpSocketKind IcmpKind = IcmpSocketKind::None;
    std::uint16_t EchoId = 0;       // identifier of the raw-socket echoes
    std::uint16_t EchoSequence = 0; // sequence of the last echo sent
    std::int32_t ReplyTime = -1;
    // Probe time-out in milliseconds; the worker copies the process-wide value before each probe.
    std::uint32_t TimeOut = 3000;
};

// ConnectV6 gives up after this long in all: the kernel's own connect time-out of about two
// minutes per address would keep a box in its old state for minutes.
constexpr std::uint32_t ConnectV6TimeOutMs = 21000;

// The two probes of a monitor, each in its IPv4 and IPv6 form. Host is 8-bit text.
class INetProbes {
public:
    virtual ~INetProbes() = default;
    virtual MonitorStatus PingV4(const std::string& host, ProbeState& probe) = 0;
    virtual MonitorStatus PingV6(const std::string& host, ProbeState& probe) = 0;
    virtual MonitorStatus ConnectV4(const std::string& host, std::int32_t port, ProbeState& probe) = 0;
    virtual MonitorStatus ConnectV6(const std::string& host, std::int32_t port, ProbeState& probe) = 0;
};

// The process's probes, shared by every worker (platform/Platform.h installs them; until then
// probes that answer NETERROR).
std::shared_ptr<INetProbes> SystemNetProbes();
