#pragma once

#include <atomic>
#include <cstdint>

// Process-wide check interval (seconds) and probe time-out (milliseconds). Written by the main
// thread at load and when the global properties are applied; read by every worker at each use.
extern std::atomic<std::uint32_t> VerifyTime;
extern std::atomic<std::uint32_t> TimeOut;
