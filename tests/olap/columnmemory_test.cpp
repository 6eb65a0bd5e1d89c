// Large column memory: a freed block serves the next request of about its
// size, what it has beyond that request goes back to the system, and only so
// much freed memory is kept.
#include "olap/cube/facttable.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace {

using olap::columnmemory::allocate;
using olap::columnmemory::release;

const size_t kPage = size_t(sysconf(_SC_PAGESIZE));
constexpr size_t kMB = size_t(1) << 20;

// Whether the page at `at` is still mapped in the process.
bool mapped(const void* at)
{
    const auto page = reinterpret_cast<uintptr_t>(at) & ~(kPage - 1);
    return msync(reinterpret_cast<void*>(page), kPage, MS_ASYNC) == 0 || errno != ENOMEM;
}

TEST(ColumnMemory, AFreedLargeBlockServesTheNextRequestOfAboutItsSize)
{
    struct Case {
        const char* what;
        size_t freed, asked;
        bool reused;
    };
    // Sizes odd enough that no other test's blocks match them.
    const Case cases[] = {
        {"the same size", 9 * kMB + 3 * kPage, 9 * kMB + 3 * kPage, true},
        {"a little less", 11 * kMB + 5 * kPage, 10 * kMB + 7 * kPage, true},
        {"more", 13 * kMB + 1 * kPage, 14 * kMB, false},
        {"far less", 40 * kMB + 9 * kPage, 8 * kMB, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto* freed = static_cast<char*>(allocate(c.freed));
        freed[0] = 1;
        release(freed, c.freed);
        auto* given = static_cast<char*>(allocate(c.asked));
        given[c.asked - 1] = 2;
        EXPECT_EQ(given == freed, c.reused);
        if (c.reused && c.freed - c.asked >= kPage)
            EXPECT_FALSE(mapped(freed + c.freed - 1)) << "what the request does not use goes back";
        release(given, c.asked);
        if (!c.reused) {
            void* again = allocate(c.freed);
            EXPECT_EQ(again, freed) << "a block that did not fit stays for a later request";
            release(again, c.freed);
        }
    }
}

TEST(ColumnMemory, OnlySoMuchFreedMemoryIsKept)
{
    // 320 MB in blocks of 5 MB, freed in turn: the oldest go back to the
    // system, the newest stay.
    const size_t block = 5 * kMB + 11 * kPage;
    std::vector<void*> blocks;
    for (int i = 0; i < 64; ++i)
        blocks.push_back(allocate(block));
    for (void* at : blocks)
        release(at, block);
    EXPECT_FALSE(mapped(blocks.front()));
    EXPECT_TRUE(mapped(blocks.back()));
    void* again = allocate(block);
    EXPECT_NE(std::find(blocks.begin() + 1, blocks.end(), again), blocks.end());
    release(again, block);
}

}  // namespace
