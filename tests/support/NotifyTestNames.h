#pragma once

#include "types/MonitorStatus.h"

#include <QMetaType>
#include <array>

Q_DECLARE_METATYPE(MonitorStatus)

// Every status a report can carry, 3 excluded (never used).
inline constexpr std::array<MonitorStatus, 7> AllStatuses{
    MonitorStatus::NoStatus, MonitorStatus::Down,     MonitorStatus::Up,    MonitorStatus::NETERROR,
    MonitorStatus::IPERROR,  MonitorStatus::CHECKING, MonitorStatus::Close,
};

inline const char* ShortName(MonitorStatus status) {
    return StatusName(status, MethodPing);
}
