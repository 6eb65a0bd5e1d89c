#include "platform/core/parallel.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <latch>
#include <memory>
#include <mutex>
#include <semaphore>
#include <thread>

namespace platform {

unsigned coreCount()
{
    static const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    return cores;
}

namespace detail {

namespace {

// A thread that waits for one piece of work at a time. Workers are never
// ended: the process's end takes them, and a pool is a handful of threads.
struct Worker {
    std::binary_semaphore go{0};
    void (*call)(void*, unsigned) = nullptr;
    void* context = nullptr;
    unsigned t = 0;
    std::latch* done = nullptr;
};

class Pool {
public:
    explicit Pool(pid_t process) : mProcess(process) {}
    pid_t process() const { return mProcess; }

    // The idle workers, or new ones where too few are idle.
    std::vector<Worker*> take(size_t count)
    {
        std::vector<Worker*> taken;
        taken.reserve(count);
        {
            const std::lock_guard<std::mutex> lock(mLock);
            while (taken.size() < count && !mIdle.empty()) {
                taken.push_back(mIdle.back());
                mIdle.pop_back();
            }
        }
        try {
            while (taken.size() < count) {
                auto worker = std::make_unique<Worker>();
                {
                    // A worker going idle must not fail for want of room.
                    const std::lock_guard<std::mutex> lock(mLock);
                    mIdle.reserve(++mWorkers);
                }
                std::thread([this, worker = worker.get()] { serve(*worker); }).detach();
                taken.push_back(worker.release());
            }
        } catch (...) {
            // No thread to be had: the ones taken are idle again.
            const std::lock_guard<std::mutex> lock(mLock);
            mIdle.insert(mIdle.end(), taken.begin(), taken.end());
            throw;
        }
        return taken;
    }

private:
    void serve(Worker& worker)
    {
        for (;;) {
            worker.go.acquire();
            worker.call(worker.context, worker.t);
            // Idle again before the caller may return, so that its next
            // call finds this worker rather than starting another.
            std::latch* done = worker.done;
            {
                const std::lock_guard<std::mutex> lock(mLock);
                mIdle.push_back(&worker);
            }
            done->count_down();
        }
    }

    const pid_t mProcess;
    std::mutex mLock;
    std::vector<Worker*> mIdle;
    size_t mWorkers = 0;  // ever started
};

std::atomic<Pool*> gPool{nullptr};

// The process's pool. A forked child has none of its parent's threads, and
// its parent's locks may be held: it starts a pool of its own (the parent's
// is left as it was).
Pool& pool()
{
    const pid_t process = getpid();
    Pool* current = gPool.load(std::memory_order_acquire);
    while (!current || current->process() != process) {
        auto fresh = std::make_unique<Pool>(process);
        if (gPool.compare_exchange_weak(current, fresh.get(), std::memory_order_acq_rel))
            return *fresh.release();
    }
    return *current;
}

}  // namespace

void runOnWorkers(unsigned count, void (*call)(void*, unsigned), void* context)
{
    if (count <= 1) {
        call(context, 0);
        return;
    }
    std::latch done(count - 1);
    const std::vector<Worker*> workers = pool().take(count - 1);
    for (unsigned t = 1; t < count; ++t) {
        Worker& worker = *workers[t - 1];
        worker.call = call;
        worker.context = context;
        worker.t = t;
        worker.done = &done;
        worker.go.release();
    }
    call(context, 0);
    done.wait();
}

}  // namespace detail

}  // namespace platform
