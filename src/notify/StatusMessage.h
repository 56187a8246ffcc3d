#pragma once

#include "monitor/MonitorStatus.h"

#include <QDateTime>
#include <QString>
#include <cstdint>

// The record's fields a status message shows, copied when it is started.
struct CStatusMessageRecord {
    MonitorStatus Status = MonitorStatus::NoStatus;
    std::int32_t VerifyMetod = 0;
    QString Text;
    QString IPAdress;
    std::int32_t Port = 0;
};

// The message text for the record's status and method at that time; empty for any other
// combination.
QString StatusMessageText(const CStatusMessageRecord& record, const QDateTime& now);

// Opens a non-modal message box titled "Pylarix" with the information icon, above other windows,
// deleted when closed. Must be called on the main thread; returns at once.
void ShowStatusMessage(const CStatusMessageRecord& record);
