#pragma once

#include "types/MonitorStatus.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>

// The log file's name (without folder) for a target: ":" becomes "-", "%" becomes "s", and a
// "/" or ".." is made harmless so the name can never leave the logs folder. Empty for a method
// other than Ping and TCP.
QString MonitorLogFileName(const QString& ipAdress, std::int32_t verifyMetod, std::int32_t port);

// The line for a new status, ending with CR LF; empty for CHECKING and statuses without a line.
QString MonitorLogLine(MonitorStatus status, std::int32_t verifyMetod, const QString& ipAdress,
                       std::int32_t port, const QDateTime& now);

// Opens (creating when missing) the target's file in logsFolder and appends the line for status.
// A file that can't be opened, or that is no regular file (a FIFO would block), is skipped; false then.
bool AppendMonitorLog(const QString& logsFolder, MonitorStatus status, std::int32_t verifyMetod,
                      const QString& ipAdress, std::int32_t port, const QDateTime& now);
