#pragma once

#include <cstdint>

// Time of the monotonic clock in nanoseconds.
std::int64_t MonotonicNs();

// The deadline `ms` milliseconds after `startNs`.
constexpr std::int64_t DeadlineAfter(std::int64_t startNs, std::uint32_t ms) {
    return startNs + static_cast<std::int64_t>(ms) * 1000000;
}

// Waits until fd reports one of `events` or the deadline passes, retrying interrupted waits.
// 1 with `revents` filled when ready, 0 when the deadline passed, -1 on an error (errno set).
int PollUntil(int fd, short events, std::int64_t deadlineNs, short& revents);
