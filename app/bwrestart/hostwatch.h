// Waiting for another process to end, without being its parent.
#pragma once

#include <sys/types.h>

// Returns once the process `pid` has ended (at once when there is none).
// Uses a process descriptor where the kernel offers one, so the wait costs
// nothing and cannot miss the end; otherwise looks every 100 ms.
void waitForProcessEnd(pid_t pid);
