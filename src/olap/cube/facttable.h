// The facts of one cube in memory, column by column: for each fact its key in
// every dimension and its value for every measure. Columns are what queries
// scan, so each is one contiguous array.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

namespace olap {

// Storage for fact columns. A column of millions of facts is filled once by a
// bulk read, so its elements are left uninitialised until then (a vector
// would zero hundreds of megabytes first), and large columns ask the kernel
// for huge pages: on virtual machines every 4 KiB page fault is costly, and a
// 10-million-fact cube touches over 100,000 pages.
template <class T>
class ColumnAllocator {
public:
    using value_type = T;

    ColumnAllocator() = default;
    template <class U>
    ColumnAllocator(const ColumnAllocator<U>&) noexcept
    {
    }

    T* allocate(size_t count) { return static_cast<T*>(allocateBytes(count * sizeof(T))); }
    void deallocate(T* pointer, size_t count) noexcept { deallocateBytes(pointer, count * sizeof(T)); }

    // Default-initialise: no zeroing of freshly allocated columns.
    template <class U>
    void construct(U* at) noexcept
    {
        ::new (static_cast<void*>(at)) U;
    }
    template <class U, class... Args>
    void construct(U* at, Args&&... args)
    {
        ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }

    template <class U>
    bool operator==(const ColumnAllocator<U>&) const noexcept
    {
        return true;
    }

private:
    static void* allocateBytes(size_t bytes);
    static void deallocateBytes(void* pointer, size_t bytes) noexcept;
};

template <class T>
using Column = std::vector<T, ColumnAllocator<T>>;

struct FactTable {
    uint64_t rowCount = 0;
    // keys[d][row]: the fact's key in dimension d (an index into that
    // dimension's HierarchyInfo::memberOfKey).
    std::vector<Column<uint32_t>> keys;
    // values[m][row]: the fact's value for measure m; NaN when it has none.
    std::vector<Column<double>> values;
};

}  // namespace olap
