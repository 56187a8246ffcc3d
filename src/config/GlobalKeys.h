#pragma once

#include "config/GlobalSettings.h"

#include <QString>
#include <atomic>
#include <cstdint>
#include <variant>
#include <vector>

// How a key of section "main" is read at load.
enum class GlobalKeyKind {
    Int,     // ReadInt
    UInt,    // ReadUInt
    LowByte, // ReadInt, low 8 bits kept
    String,  // ReadString
    Negated, // ReadInt; the setting is set when the value is 0
    Volume,  // ReadUIntDefault with 65535
};

// What the load fills: a setting, a process-wide value, or nothing (the load reads the key itself).
using GlobalField =
    std::variant<std::monostate, std::int32_t CGlobalSettings::*, std::uint32_t CGlobalSettings::*,
                 std::uint8_t CGlobalSettings::*, bool CGlobalSettings::*, QString CGlobalSettings::*,
                 std::atomic<std::uint32_t>*>;

// One key of section "main".
struct CGlobalKey {
    QString Name;
    GlobalField Field;
    GlobalKeyKind Kind;
    bool InMainIni = false;       // lives in Main.ini, not in the configuration file
    int ApplyOrder = 0;           // place among the writes of applied global properties; 0 none
    bool WrittenUnsigned = false; // applied with WriteUInt (else WriteInt, WriteString for texts)
};

inline const QString FirstStartKey = QStringLiteral("FirstStart");
inline const QString NumBoxKey = QStringLiteral("NumBox");

// Every key the load reads from section "main", in load order.
const std::vector<CGlobalKey>& GlobalKeys();

// The key of a setting or process-wide value; empty for one that is not stored.
const QString& GlobalKeyName(GlobalField field);
