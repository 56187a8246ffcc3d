#pragma once

#include "platform/WindowSystem.h"

#include <cstdint>
#include <optional>

// The three stacking modes a WinBeh value names: 0 always on top, 1 normal, 2 always at the bottom.

// The stacking command that matches WinBeh, 0 for values that name no mode (nothing runs then).
int StackingCommandFor(std::int32_t winBeh);

// The layer a WinBeh value keeps the strip in; none for values that name no mode.
std::optional<StackingLevel> StackingLevelFor(std::int32_t winBeh);

// WinBeh that a stacking command sets, or -1 when the command is not a stacking command.
std::int32_t WinBehForCommand(int command);
