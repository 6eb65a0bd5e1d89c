#include "hostwatch.h"

#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace {

// -1 when the kernel cannot give one (too old, or no such process).
int processDescriptor(pid_t pid)
{
#ifdef SYS_pidfd_open
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
    static_cast<void>(pid);
    errno = ENOSYS;
    return -1;
#endif
}

bool exists(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

}  // namespace

void waitForProcessEnd(pid_t pid)
{
    const int fd = processDescriptor(pid);
    if (fd >= 0) {
        // The descriptor becomes readable when the process has ended.
        pollfd watch{fd, POLLIN, 0};
        while (::poll(&watch, 1, -1) < 0 && errno == EINTR) {
        }
        ::close(fd);
        return;
    }
    if (errno == ESRCH)
        return;
    while (exists(pid))
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
}
