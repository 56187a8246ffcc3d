#pragma once

#include "notify/StatusRecord.h"

#include <QDateTime>
#include <QString>
#include <cstdint>

// The message text for the record's status and method at that time; empty for any other
// combination.
QString StatusMessageText(const CStatusRecord& record, const QDateTime& now);
