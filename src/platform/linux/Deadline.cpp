#include "platform/linux/Deadline.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <poll.h>

std::int64_t MonotonicNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int PollUntil(int fd, short events, std::int64_t deadlineNs, short& revents) {
    for (;;) {
        const std::int64_t now = MonotonicNs();
        if (now >= deadlineNs)
            return 0;
        // Round up so the wait never ends before the deadline.
        const int waitMs =
            static_cast<int>(std::min<std::int64_t>((deadlineNs - now + 999999) / 1000000, 1 << 30));
        pollfd pfd{fd, events, 0};
        const int ready = ::poll(&pfd, 1, waitMs);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (ready > 0) {
            revents = pfd.revents;
            return 1;
        }
    }
}
