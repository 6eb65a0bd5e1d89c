// Child processes for tests of what several processes, or a killed one, do to
// a file. A child makes no test assertions; it reports through its exit.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <vector>

// Runs `body(0)` to `body(count - 1)` in as many child processes at once, each
// ending with the exit code its body returns, and waits for all of them.
// Returns their wait statuses (-1 for a child that could not be started).
inline std::vector<int> runChildren(int count, const std::function<int(int)>& body)
{
    std::vector<pid_t> children;
    for (int i = 0; i < count; ++i) {
        const pid_t pid = ::fork();
        if (pid == 0)
            ::_exit(body(i));
        children.push_back(pid);
    }
    std::vector<int> statuses;
    for (const pid_t pid : children) {
        int status = -1;
        if (pid < 0 || ::waitpid(pid, &status, 0) != pid)
            status = -1;
        statuses.push_back(status);
    }
    return statuses;
}

inline bool exitedWithZero(int status) { return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0; }
