// Work spread over threads that are kept between calls.
#include "platform/core/parallel.h"

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

// Each t runs once, the calls overlap (t = 0 waits for the others to start,
// so kept threads that were never woken would hang here), and after a call
// nothing of it still runs. Callers on several threads at once and work that
// itself spreads work need more threads than are idle.
TEST(Parallel, RunsEachPartOnceAndAllAtOnceFromManyCallers)
{
    constexpr unsigned kCallers = 4, kParts = 3, kRounds = 50;
    std::vector<std::thread> callers;
    std::atomic<unsigned> wrong{0};
    for (unsigned c = 0; c < kCallers; ++c) {
        callers.emplace_back([&] {
            for (unsigned round = 0; round < kRounds; ++round) {
                std::atomic<unsigned> started{0};
                std::vector<unsigned> runs(kParts);
                platform::onThreads(kParts, [&](unsigned t) {
                    ++started;
                    while (started < kParts)
                        std::this_thread::yield();
                    std::atomic<unsigned> inner{0};
                    platform::onThreads(2, [&](unsigned) { ++inner; });
                    runs[t] += inner;
                });
                wrong += runs != std::vector<unsigned>(kParts, 2);
            }
        });
    }
    for (std::thread& caller : callers)
        caller.join();
    EXPECT_EQ(wrong, 0u);
}

TEST(Parallel, RethrowsTheLowestFailureAfterAllPartsEnd)
{
    std::atomic<unsigned> ended{0};
    try {
        platform::onThreads(3, [&](unsigned t) {
            ++ended;
            if (t > 0)
                throw std::runtime_error("part " + std::to_string(t));
        });
        ADD_FAILURE() << "nothing was rethrown";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "part 1");
    }
    EXPECT_EQ(ended, 3u);
    // The threads that failed are idle again and take new work.
    std::atomic<unsigned> again{0};
    platform::onThreads(3, [&](unsigned) { ++again; });
    EXPECT_EQ(again, 3u);
}

// A child forked after threads were kept has none of them: its work must
// still run, on threads of its own (a hang ends it by alarm).
TEST(Parallel, AForkedChildSpreadsWorkOnThreadsOfItsOwn)
{
    std::atomic<unsigned> parent{0};
    platform::onThreads(2, [&](unsigned) { ++parent; });
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        alarm(10);
        std::atomic<unsigned> runs{0};
        platform::onThreads(3, [&](unsigned) { ++runs; });
        _exit(runs == 3 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}

}  // namespace
