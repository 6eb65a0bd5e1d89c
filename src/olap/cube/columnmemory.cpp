// Memory for columns and other large arrays. Large blocks get a mapping of
// their own, and a few freed ones are kept mapped for the next query: a page
// the process has written before costs nothing to write again, while a fresh
// one costs a fault and zeroing, which on the virtual machines we run on
// costs more than the query's own work (writing 200 MB of fresh memory takes
// about half a second there, against 15 ms for memory written before).
#include "olap/cube/facttable.h"

#include <sanitizer/asan_interface.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace olap {

namespace {

// Blocks at least this large are mapped on their own. No huge-page hint:
// where the system grants huge pages only on request, asking makes it
// compact memory first, and on a machine whose memory is full of cached
// files, reading a 1.9 GB pivot's columns took 7-8 s with the hint and 3 s
// without (100,000,000 facts).
constexpr size_t kLargeColumn = size_t(4) << 20;
// At most this much freed memory stays mapped, and at most a sixteenth of
// the machine's memory: enough for a pivot of ten million facts to find its
// columns and accumulators again, little beside what such a pivot holds.
constexpr size_t kMostKept = size_t(256) << 20;
// A kept block serves a request it exceeds by at most a quarter (the rest
// is returned to the system).
constexpr size_t kSlackDivisor = 4;

size_t pageSize()
{
    static const size_t page = size_t(sysconf(_SC_PAGESIZE));
    return page;
}

size_t mappedSize(size_t bytes) { return (bytes + pageSize() - 1) & ~(pageSize() - 1); }

class Keeper {
public:
    static Keeper& instance()
    {
        // Never destroyed: columns may be freed by other objects' destructors at exit.
        static Keeper* keeper = new Keeper;
        return *keeper;
    }

    // A kept block of at least `size` bytes (page-rounded), cut to `size`;
    // nullptr when none fits.
    void* take(size_t size)
    {
        if (!owned())
            return nullptr;
        std::lock_guard lock(mMutex);
        auto best = mKept.end();
        for (auto it = mKept.begin(); it != mKept.end(); ++it) {
            if (it->size >= size && it->size - size <= size / kSlackDivisor && (best == mKept.end() || it->size < best->size))
                best = it;
        }
        if (best == mKept.end())
            return nullptr;
        const Block block = *best;
        mKept.erase(best);
        mKeptBytes -= block.size;
        ASAN_UNPOISON_MEMORY_REGION(block.at, block.size);
        if (block.size > size)
            munmap(static_cast<char*>(block.at) + size, block.size - size);
        return block.at;
    }

    // Keeps a freed block, returning the oldest kept ones to the system to
    // make room; returns the block itself when it cannot be kept.
    void give(void* at, size_t size)
    {
        if (!owned() || size > mLimit) {
            munmap(at, size);
            return;
        }
        std::vector<Block> dropped;
        {
            std::lock_guard lock(mMutex);
            while (mKeptBytes + size > mLimit) {
                dropped.push_back(mKept.front());
                mKeptBytes -= mKept.front().size;
                mKept.erase(mKept.begin());
            }
            mKept.push_back({at, size});
            mKeptBytes += size;
            // A use of a freed column stays an error under the address
            // sanitizer, as it would be a fault were the block unmapped.
            ASAN_POISON_MEMORY_REGION(at, size);
        }
        for (const Block& block : dropped) {
            ASAN_UNPOISON_MEMORY_REGION(block.at, block.size);
            munmap(block.at, block.size);
        }
    }

private:
    struct Block {
        void* at;
        size_t size;
    };

    Keeper() : mOwner(getpid())
    {
        const long pages = sysconf(_SC_PHYS_PAGES);
        mLimit = pages > 0 ? std::min(kMostKept, size_t(pages) * pageSize() / 16) : 0;
    }

    // A forked child leaves the kept blocks alone: another thread of its
    // parent may have held the lock when it was forked.
    bool owned() const { return getpid() == mOwner; }

    const pid_t mOwner;
    size_t mLimit = 0;
    std::mutex mMutex;
    std::vector<Block> mKept;  // oldest first
    size_t mKeptBytes = 0;
};

}  // namespace

void* columnmemory::allocate(size_t bytes)
{
    if (bytes < kLargeColumn) {
        void* memory = std::malloc(bytes ? bytes : 1);
        if (!memory)
            throw std::bad_alloc();
        return memory;
    }
    const size_t size = mappedSize(bytes);
    if (void* kept = Keeper::instance().take(size))
        return kept;
    void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        throw std::bad_alloc();
    return memory;
}

void columnmemory::release(void* pointer, size_t bytes) noexcept
{
    if (bytes < kLargeColumn)
        std::free(pointer);
    else
        Keeper::instance().give(pointer, mappedSize(bytes));
}

}  // namespace olap
