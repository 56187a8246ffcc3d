#pragma once

#include "platform/NetProbes.h"

// The probes on Linux: ICMP ping or raw sockets, non-blocking TCP connects.
class CLinuxNetProbes final : public INetProbes {
public:
    MonitorStatus PingV4(const std::string& host, ProbeState& probe) override;
    MonitorStatus PingV6(const std::string& host, ProbeState& probe) override;
    MonitorStatus ConnectV4(const std::string& host, std::int32_t port, ProbeState& probe) override;
    MonitorStatus ConnectV6(const std::string& host, std::int32_t port, ProbeState& probe) override;
};
