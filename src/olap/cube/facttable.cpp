#include "olap/cube/facttable.h"

#include <sys/mman.h>

#include <cstdlib>

namespace olap {

namespace {

// Columns at least this large get their own mapping with huge pages.
constexpr size_t kLargeColumn = size_t(4) << 20;
constexpr size_t kHugePage = size_t(2) << 20;

size_t mappedSize(size_t bytes) { return (bytes + kHugePage - 1) / kHugePage * kHugePage; }

}  // namespace

template <class T>
void* ColumnAllocator<T>::allocateBytes(size_t bytes)
{
    if (bytes < kLargeColumn) {
        void* memory = std::malloc(bytes ? bytes : 1);
        if (!memory)
            throw std::bad_alloc();
        return memory;
    }
    void* memory = mmap(nullptr, mappedSize(bytes), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        throw std::bad_alloc();
    madvise(memory, mappedSize(bytes), MADV_HUGEPAGE);  // a hint: without huge pages it still works
    return memory;
}

template <class T>
void ColumnAllocator<T>::deallocateBytes(void* pointer, size_t bytes) noexcept
{
    if (bytes < kLargeColumn)
        std::free(pointer);
    else
        munmap(pointer, mappedSize(bytes));
}

template class ColumnAllocator<uint32_t>;
template class ColumnAllocator<double>;

}  // namespace olap
