#pragma once

#include "monitor/MonitorBox.h"

#include <QString>
#include <cstdint>
#include <variant>
#include <vector>

// How a monitor key is read from and written to its section.
enum class MonitorKeyKind {
    String,      // ReadString / WriteString
    Int,         // ReadInt / WriteUInt
    Unsigned,    // ReadUInt / WriteUInt
    Colour,      // ReadUIntDefault with 0 / WriteUInt
    LowByte,     // ReadInt keeping the low 8 bits / WriteUInt of the 8-bit value
    PictureType, // ReadUInt / WriteInt
};

using MonitorField = std::variant<QString CMonitorBox::*, std::int32_t CMonitorBox::*,
                                  std::uint32_t CMonitorBox::*, std::uint8_t CMonitorBox::*>;

// One key of a monitor's section and the record field of the same name.
struct CMonitorKey {
    QString Name;
    MonitorField Field;
    MonitorKeyKind Kind;
};

// Every key of a monitor section, in the order the section is saved.
const std::vector<CMonitorKey>& MonitorKeys();

// The key of a record field; empty for a field that is not stored.
const QString& MonitorKeyName(MonitorField field);
