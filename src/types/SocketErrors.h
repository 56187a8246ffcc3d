#pragma once

#include "types/MonitorStatus.h"

#include <cstdint>

// Socket error codes the connect probes classify by. The platform layer translates its own
// errno and resolver codes into these values.
constexpr std::int32_t WSAEINTR = 10004;
constexpr std::int32_t WSAEACCES = 10013;
constexpr std::int32_t WSAEINVAL = 10022;
constexpr std::int32_t WSAEAFNOSUPPORT = 10047;
constexpr std::int32_t WSAEADDRNOTAVAIL = 10049;
constexpr std::int32_t WSAENETDOWN = 10050;
constexpr std::int32_t WSAENETUNREACH = 10051;
constexpr std::int32_t WSAECONNRESET = 10054;
constexpr std::int32_t WSAENOBUFS = 10055;
constexpr std::int32_t WSAETIMEDOUT = 10060;
constexpr std::int32_t WSAECONNREFUSED = 10061;
constexpr std::int32_t WSAEHOSTUNREACH = 10065;
constexpr std::int32_t WSAHOST_NOT_FOUND = 11001;
constexpr std::int32_t WSATRY_AGAIN = 11002;
constexpr std::int32_t WSANO_RECOVERY = 11003;
constexpr std::int32_t WSANO_DATA = 11004;
// Not a socket error: something else failed (no such code in the table below).
constexpr std::int32_t SocketErrorOther = -1;

// Status of a failed connect, both TCP probes.
constexpr MonitorStatus StatusFromSocketError(std::int32_t code) {
    switch (code) {
    case WSAHOST_NOT_FOUND:
    case WSAEINVAL:
    case WSAEADDRNOTAVAIL:
        return MonitorStatus::IPERROR;
    case WSAENETDOWN:
        return MonitorStatus::NETERROR;
    case WSAECONNREFUSED:
        return MonitorStatus::Close;
    default:
        return MonitorStatus::Down;
    }
}
