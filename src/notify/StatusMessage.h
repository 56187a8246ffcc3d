#pragma once

#include "notify/StatusRecord.h"

#include <QDateTime>
#include <QString>
#include <cstdint>

// The lines every status message begins with: date, time, text and address, each ending in "\n".
QString StatusMessageHead(const QString& text, const QString& ipAdress, const QDateTime& now);

// The message text for the record's status and method at that time; empty for any other
// combination.
QString StatusMessageText(const CStatusRecord& record, const QDateTime& now);
