#pragma once

#include "monitor/MonitorBox.h"
#include "types/MonitorStatus.h"

#include <QString>
#include <cstdint>

// The fields of a record that a status message and the placeholders show, copied so that a
// message or a start on another thread never reads a record that may be gone.
struct CStatusRecord {
    QString IPAdress;
    MonitorStatus Status = MonitorStatus::NoStatus;
    std::int32_t VerifyMetod = 0;
    std::int32_t Port = 0;
    QString Text;
};

inline CStatusRecord StatusRecordOf(const CMonitorBox& box) {
    return {box.IPAdress, box.Status, box.VerifyMetod, box.Port, box.Text};
}
