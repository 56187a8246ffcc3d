#pragma once

#include <cstdint>

// Status of a monitor as it flows from the probes through the reports to the painting.
// 2 is one code with two names: Up for a Ping monitor, Open for a TCP monitor. 3 is never used.
enum class MonitorStatus : std::int32_t {
    NoStatus = 0,
    Down = 1,
    Up = 2,
    Open = 2,
    NETERROR = 4,
    IPERROR = 5,
    CHECKING = 6,
    Close = 7,
};

// Values of VerifyMetod and IPv.
constexpr std::int32_t MethodPing = 1;
constexpr std::int32_t MethodTcp = 2;
constexpr std::int32_t IPv4 = 0;
constexpr std::int32_t IPv6 = 1;

// Window messages of the main window; the constants keep their values, delivery is a Qt call.
constexpr std::uint32_t WM_USER = 0x0400;
constexpr std::uint32_t WM_TRAYNOTIFY = WM_USER + 1;
constexpr std::uint32_t WM_APPLY_PROPERTIES = WM_USER + 2;
constexpr std::uint32_t WM_APPLY_BOX = WM_USER + 3;
constexpr std::uint32_t WM_BOX_STATUS = WM_USER + 4;
constexpr std::uint32_t WM_SHOW_MAIN = WM_USER + 11;

// Index value of a record that is being destroyed; its reports are ignored.
constexpr std::int32_t DestroyedBoxIndex = 0xFFFF;

constexpr std::uint32_t MakeBoxStatusWParam(MonitorStatus status, std::int32_t boxIndex) {
    return (static_cast<std::uint32_t>(status) << 16) | (static_cast<std::uint32_t>(boxIndex) & 0xFFFFu);
}
constexpr MonitorStatus BoxStatusOf(std::uint32_t wParam) {
    return static_cast<MonitorStatus>(static_cast<std::int32_t>(wParam >> 16));
}
constexpr std::int32_t BoxIndexOf(std::uint32_t wParam) {
    return static_cast<std::int32_t>(wParam & 0xFFFFu);
}

// The status's name as the program spells it: 2 reads Up for Ping and Open for TCP.
constexpr const char* StatusName(MonitorStatus status, std::int32_t verifyMetod) {
    switch (status) {
    case MonitorStatus::NoStatus:
        return "NoStatus";
    case MonitorStatus::Down:
        return "Down";
    case MonitorStatus::Up:
        return verifyMetod == MethodTcp ? "Open" : "Up";
    case MonitorStatus::NETERROR:
        return "NETERROR";
    case MonitorStatus::IPERROR:
        return "IPERROR";
    case MonitorStatus::CHECKING:
        return "CHECKING";
    case MonitorStatus::Close:
        return "Close";
    }
    return "";
}

// The word that "%status" stands for in file parameters. CHECKING is only known to the
// double-click command; a status 2 of a monitor that is neither Ping nor TCP has no word.
constexpr const char* StatusWord(MonitorStatus status, std::int32_t verifyMetod, bool withChecking) {
    switch (status) {
    case MonitorStatus::Down:
        return "Down";
    case MonitorStatus::Up:
        return verifyMetod == MethodPing ? "Up" : verifyMetod == MethodTcp ? "Open" : "";
    case MonitorStatus::NETERROR:
        return "NETERROR";
    case MonitorStatus::IPERROR:
        return "IPERROR";
    case MonitorStatus::CHECKING:
        return withChecking ? "CHECKING" : "";
    case MonitorStatus::Close:
        return "Close";
    case MonitorStatus::NoStatus:
        break;
    }
    return "";
}

// Text drawn in the box for the error and transition states; null for the others.
constexpr const char* ErrorStatusText(MonitorStatus status) {
    switch (status) {
    case MonitorStatus::NETERROR:
        return "NET ERROR";
    case MonitorStatus::IPERROR:
        return "IP ERROR";
    case MonitorStatus::CHECKING:
        return "CHECKING";
    default:
        return nullptr;
    }
}
