// The facts of one cube in memory, column by column: for each fact its key in
// every dimension and its value for every measure. Columns are what queries
// scan, so each is one contiguous array; keys keep the width the file stores
// them in (1, 2 or 4 bytes), and measures their stored form (compact
// integers or doubles, measurecolumn.h): fewer bytes to read, hold and scan.
//
// A table read from a cube file holds no column at first: each is read when
// a query first asks for it and kept for the table's life, so a pivot reads
// only the columns it uses, and each once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <span>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace olap {

namespace columnmemory {
// Uninitialised memory for a column of `bytes`; throws std::bad_alloc. Its
// contents are unspecified: a large block may be one freed before.
void* allocate(size_t bytes);
// Frees memory from allocate() of the same `bytes`. Up to 256 MB of freed
// large blocks (a sixteenth of the machine's memory at most) stay mapped in
// the process, for the next query's arrays of about the same size.
void release(void* memory, size_t bytes) noexcept;
}  // namespace columnmemory

// Storage for fact columns (and other large arrays filled at once). A column
// of millions of facts is filled once by a bulk read, so its elements are
// left uninitialised until then (a vector would zero hundreds of megabytes
// first, and fresh memory is costly: on this kind of virtual machine the
// system hands out new pages at about 2 GB/s a core).
template <class T>
class ColumnAllocator {
public:
    using value_type = T;

    ColumnAllocator() = default;
    template <class U>
    ColumnAllocator(const ColumnAllocator<U>&) noexcept
    {
    }

    T* allocate(size_t count) { return static_cast<T*>(columnmemory::allocate(count * sizeof(T))); }
    void deallocate(T* pointer, size_t count) noexcept { columnmemory::release(pointer, count * sizeof(T)); }

    // Default-initialise: no zeroing of freshly allocated columns. Objects
    // that are only their bytes (trivially copyable and destructible, such
    // as std::optional<double>) are not written either: whoever sizes such
    // a column sets every element, possibly on several threads.
    template <class U>
    void construct(U* at) noexcept
    {
        if constexpr (!(std::is_trivially_copyable_v<U> && std::is_trivially_destructible_v<U>))
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
};

template <class T>
using Column = std::vector<T, ColumnAllocator<T>>;

// A dimension's keys (indexes into its HierarchyInfo::memberOfKey) at their
// stored width.
using KeyColumn = std::variant<Column<uint8_t>, Column<uint16_t>, Column<uint32_t>>;

// A column of `count` keys of `width` bytes (1, 2 or 4), uninitialised.
KeyColumn keyColumn(int width, uint64_t count);
// The key of fact `row`. Requires: row < keyCount(column).
uint32_t keyAt(const KeyColumn& column, uint64_t row);
uint64_t keyCount(const KeyColumn& column);

struct MeasureColumn;  // measurecolumn.h

// Reads the columns of a table that is not held in memory whole.
class FactSource {
public:
    virtual ~FactSource() = default;
    // Column d's keys / measure m's values (in their stored form), all of the
    // table's facts. Throws Failure when the stored column is damaged.
    virtual KeyColumn readKeys(size_t dimension) const = 0;
    virtual MeasureColumn readValues(size_t measure) const = 0;
    // Distinct count measure m's ids (schema.h: 0 = no value).
    virtual KeyColumn readDistinctIds(size_t measure) const = 0;
};

class FactTable {
public:
    // A table of `rowCount` facts over `dimensions` key columns and
    // `measures` value columns. With a source, a column is read from it on
    // first use; without one, every column must be set before it is used.
    FactTable(uint64_t rowCount, size_t dimensions, size_t measures, std::shared_ptr<const FactSource> source = {});
    FactTable(const FactTable& other);  // shares the source, copies the columns read so far
    FactTable& operator=(const FactTable&) = delete;
    ~FactTable();

    uint64_t rowCount() const { return mRowCount; }
    size_t dimensionCount() const;
    size_t measureCount() const;

    // The column, read on first use. Thread-safe; the reference stays valid
    // for the table's life. Throws Failure when the column cannot be read,
    // InternalFailure when a table without a source lacks it.
    const KeyColumn& keys(size_t dimension) const;
    const MeasureColumn& values(size_t measure) const;
    // A distinct count measure's column of ids, in place of its values.
    const KeyColumn& distinctIds(size_t measure) const;

    // Reads the named columns that are not read yet, up to two at a time:
    // key columns, value columns, distinct count measures' id columns.
    void read(std::span<const size_t> dimensions, std::span<const size_t> measures,
              std::span<const size_t> distinct = {}) const;

    // Sets a column of a table built in memory. Requires: the column holds
    // rowCount() entries; nothing reads the table meanwhile.
    void setKeys(size_t dimension, KeyColumn keys);
    void setValues(size_t measure, Column<double> values);
    void setValues(size_t measure, MeasureColumn values);
    void setDistinctIds(size_t measure, KeyColumn ids);

private:
    struct State;
    uint64_t mRowCount = 0;
    std::unique_ptr<State> d;
};

}  // namespace olap
