// Running one piece of work on several threads at once.
#pragma once

#include <exception>
#include <vector>

namespace platform {

// The processors this program may run on, at least 1. Counted once: asking
// the system costs about 6 us, and a small pivot asks several times.
unsigned coreCount();

namespace detail {
// Calls call(context, t) for t = 1 .. count-1 on threads kept for the
// purpose and call(context, 0) on the calling thread; returns once all have
// returned. `call` must not throw.
void runOnWorkers(unsigned count, void (*call)(void*, unsigned), void* context);
}  // namespace detail

// Runs work(t) for t = 0 .. count-1 at the same time: t = 0 on the calling
// thread, every other on a thread of its own. Returns once all are done;
// then rethrows the failure of the lowest t that failed, so that no thread
// is left running on the caller's data. count 0 does nothing. The other
// threads are kept between calls: starting one costs about 40 us, a fifth
// of a small pivot's scan. Work may itself call onThreads.
template <class Work>
void onThreads(unsigned count, Work&& work)
{
    if (count == 0)
        return;
    std::vector<std::exception_ptr> errors(count);
    auto run = [&](unsigned t) {
        try {
            work(t);
        } catch (...) {
            errors[t] = std::current_exception();
        }
    };
    detail::runOnWorkers(count, [](void* context, unsigned t) { (*static_cast<decltype(run)*>(context))(t); }, &run);
    for (const std::exception_ptr& error : errors) {
        if (error)
            std::rethrow_exception(error);
    }
}

}  // namespace platform
