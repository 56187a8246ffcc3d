#pragma once

#include <functional>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>

// Exit codes of a process whose thread limit did not come about.
constexpr int ThreadLimitDidNotHold = 90;
constexpr int ThreadLimitNoUser = 91;

// Leaves this process unable to make a thread: RLIMIT_NPROC at 0 (soft; the hard limit stays, so
// LiftThreadLimit can undo it). Root ignores the limit, so root first becomes the user nobody.
// 0 on success, else one of the exit codes above. Only for a process of its own (a test's child).
inline int LimitThreadsOfThisProcess(const passwd* nobody) {
    if (::geteuid() == 0 && (nobody == nullptr || nobody->pw_uid == 0 || ::setgid(nobody->pw_gid) != 0 ||
                             ::setuid(nobody->pw_uid) != 0))
        return ThreadLimitNoUser;
    rlimit limit{};
    ::getrlimit(RLIMIT_NPROC, &limit);
    limit.rlim_cur = 0;
    ::setrlimit(RLIMIT_NPROC, &limit);
    // A test proves nothing unless a thread really cannot be made here.
    try {
        std::thread([] {}).join();
        return ThreadLimitDidNotHold;
    } catch (const std::system_error&) {
    }
    return 0;
}

inline bool LiftThreadLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NPROC, &limit) != 0)
        return false;
    limit.rlim_cur = limit.rlim_max;
    return ::setrlimit(RLIMIT_NPROC, &limit) == 0;
}

// Runs fn in a forked child without threads. Returns the child's exit code (fn's result), or minus
// the signal that ended it (std::terminate aborts).
inline int RunWithoutThreads(const std::function<int()>& fn) {
    // Looked up before the fork: the child of a threaded process keeps to simple calls.
    const passwd* nobody = ::getpwnam("nobody");
    const pid_t pid = ::fork();
    if (pid < 0)
        return -1000;
    if (pid == 0) {
        const int limited = LimitThreadsOfThisProcess(nobody);
        // An exception leaving fn ends the child as it would end the program, never the caller's
        // test run copied into the child.
        const auto run = [&fn]() noexcept { return fn(); };
        ::_exit(limited != 0 ? limited : run());
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid)
        return -1001;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}
