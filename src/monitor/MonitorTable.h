#pragma once

#include "monitor/MonitorBox.h"

#include <array>
#include <memory>

constexpr int MaxMonitors = 60;

// The main window's records in strip order: slot i holds the record whose BoxIndex is i; only
// slots 0 to NumBox-1 are in use.
struct CMonitorTable {
    std::array<std::unique_ptr<CMonitorBox>, MaxMonitors> Slots;
    int NumBox = 0;

    CMonitorBox* At(int index) const {
        return index >= 0 && index < NumBox && index < MaxMonitors ? Slots[index].get() : nullptr;
    }
};
