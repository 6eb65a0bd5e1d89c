// Running one piece of work on several threads at once.
#pragma once

#include <exception>
#include <thread>
#include <vector>

namespace platform {

// Runs work(t) for t = 0 .. count-1 at the same time: t = 0 on the calling
// thread, every other on a thread of its own. Returns once all are done;
// then rethrows the failure of the lowest t that failed, so that no thread
// is left running on the caller's data. count 0 does nothing.
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
    {
        std::vector<std::jthread> workers;
        for (unsigned t = 1; t < count; ++t)
            workers.emplace_back(run, t);
        run(0);
    }
    for (const std::exception_ptr& error : errors) {
        if (error)
            std::rethrow_exception(error);
    }
}

}  // namespace platform
