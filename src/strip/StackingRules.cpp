#include "strip/StackingRules.h"

#include "strip/TrayRules.h"

#include <array>

namespace {

struct StackingMode {
    int Command;
    StackingLevel Level;
};

// Indexed by WinBeh.
constexpr std::array<StackingMode, 3> StackingModes = {{
    {TrayCommand::AlwaysTop, StackingLevel::Above},
    {TrayCommand::Normal, StackingLevel::Normal},
    {TrayCommand::AlwaysBottom, StackingLevel::Below},
}};

const StackingMode* ModeOf(std::int32_t winBeh) {
    if (winBeh < 0 || winBeh >= static_cast<std::int32_t>(StackingModes.size()))
        return nullptr;
    return &StackingModes[static_cast<std::size_t>(winBeh)];
}

} // namespace

int StackingCommandFor(std::int32_t winBeh) {
    const StackingMode* mode = ModeOf(winBeh);
    return mode ? mode->Command : 0;
}

std::optional<StackingLevel> StackingLevelFor(std::int32_t winBeh) {
    if (const StackingMode* mode = ModeOf(winBeh))
        return mode->Level;
    return std::nullopt;
}

std::int32_t WinBehForCommand(int command) {
    for (std::size_t i = 0; i < StackingModes.size(); ++i) {
        if (StackingModes[i].Command == command)
            return static_cast<std::int32_t>(i);
    }
    return -1;
}
