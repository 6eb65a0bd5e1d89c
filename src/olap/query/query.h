// The query engine: computes the cells of a pivot table from a cube's facts.
//
// A pivot places dimensions on its rows and columns, each with the member
// tree as the user left it (which members are drilled open, which hidden),
// filters by page fields and shows some measures. runQuery returns the row and
// column headers in display order, with subtotal and grand-total entries where
// asked, and every cell for every measure.
//
// What "empty" means. A fact has no value for a measure when its value is NaN.
// A cell of a measure is empty when no fact in it has a value for that
// measure, whether the cell has no facts at all or only facts without a value.
// Every aggregation then gives "empty", Count included (never 0), so a pivot
// shows a blank wherever there is nothing to aggregate. Otherwise, over the
// facts of the cell that have a value: Sum adds them, Count counts them, Min
// and Max pick, Average is their sum divided by their count. Subtotals and
// grand totals aggregate the facts beneath them the same way, never the cells
// shown above them (an average total is not an average of averages).
//
// Hidden members. A hidden member is left out with everything below it, and
// so are its facts: no subtotal or grand total on either axis counts them,
// whether or not the member would be visible with the current drilling. The
// totals show what the pivot shows ("visual totals").
#pragma once

#include "olap/cube/facttable.h"
#include "olap/cube/schema.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace olap {

// A dimension placed on the rows or the columns, with its member tree. Members
// are indices into the hierarchy's HierarchyInfo::members.
//
// The visible tree: the members of the hierarchy's top level (below the "all"
// member, which is never shown and stands for the field's total), and the
// children of every visible member that is drilled, except the hidden ones. A
// visible member that is not drilled, or has no children, is a leaf: its cells
// aggregate all of its facts. A drilled member under a closed parent is not
// visible, so its drilling shows nothing (the renderer may keep it for when
// the parent is opened). A member on both lists is hidden.
struct AxisField {
    uint32_t dimension = 0;          // index into CubeInfo::dimensions
    uint32_t hierarchy = 0;          // index into the dimension's hierarchies
    std::vector<uint32_t> drilled;   // members shown expanded, in any order
    std::vector<uint32_t> hidden;    // members left out, with their facts
};

// A page (filter) field: only facts beneath one of the selected members count,
// everywhere in the pivot.
struct PageField {
    uint32_t dimension = 0;
    uint32_t hierarchy = 0;
    std::vector<uint32_t> selected;  // empty: every member (no filter)
};

struct QueryAxis {
    std::vector<AxisField> fields;   // outermost first
    bool subtotals = true;           // a total for each drilled member and for each outer-field member
    bool grandTotal = true;
    bool subtotalsFirst = false;     // a group's subtotal before its members rather than after them
    // Keeps entries whose cells are all empty. Off, an entry is dropped when
    // every cell of it is empty for every measure (with no measures nothing is
    // dropped). Grand totals are always kept.
    bool keepEmpty = false;
};

struct PivotQuery {
    QueryAxis rows;
    QueryAxis columns;
    std::vector<PageField> pages;
    // Indices into CubeInfo::measures, in the order shown. A calculated
    // measure's cells are its formula over the aggregated cells of the
    // measures it reads (query/querycalculated.h).
    std::vector<uint32_t> measures;
};

enum class TupleKind : uint8_t {
    Member,      // one member of every field
    Subtotal,    // the total of a drilled member, or of an outer field's member over the fields inside it
    GrandTotal,  // the total of the whole axis
};

// Where a tuple totals over a field instead of naming one of its members.
inline constexpr int32_t kAllMembers = -1;

struct TupleMember {
    int32_t member = kAllMembers;  // index into the field's HierarchyInfo::members, or kAllMembers
    uint16_t depth = 0;            // 0 on the top visible level; for indenting
};

// A tuple's members, one per field of its axis. Up to kInline of them are
// held in the object itself (axes of more fields are rare), so that an axis
// of 100,000 tuples is listed and freed without a heap block per tuple.
class TupleMembers {
public:
    static constexpr size_t kInline = 4;

    TupleMembers() = default;
    explicit TupleMembers(std::span<const TupleMember> members)
        : mHeap(members.size() > kInline ? std::make_unique<TupleMember[]>(members.size()) : nullptr),
          mSize(members.size())
    {
        std::copy(members.begin(), members.end(), data());
    }
    TupleMembers(std::initializer_list<TupleMember> members) : TupleMembers(std::span(members.begin(), members.size())) {}
    TupleMembers(const TupleMembers& other) : TupleMembers(std::span(other.begin(), other.size())) {}
    TupleMembers(TupleMembers&& other) noexcept
        : mInline(other.mInline), mHeap(std::move(other.mHeap)), mSize(std::exchange(other.mSize, 0))
    {
    }
    TupleMembers& operator=(TupleMembers other) noexcept
    {
        mInline = other.mInline;
        mHeap = std::move(other.mHeap);
        mSize = std::exchange(other.mSize, 0);
        return *this;
    }

    size_t size() const { return mSize; }
    bool empty() const { return mSize == 0; }
    const TupleMember* data() const { return mHeap ? mHeap.get() : mInline.data(); }
    TupleMember* data() { return mHeap ? mHeap.get() : mInline.data(); }
    const TupleMember* begin() const { return data(); }
    const TupleMember* end() const { return data() + mSize; }
    const TupleMember& operator[](size_t i) const { return data()[i]; }
    TupleMember& operator[](size_t i) { return data()[i]; }

private:
    std::array<TupleMember, kInline> mInline{};
    std::unique_ptr<TupleMember[]> mHeap;  // set when there are more than kInline
    size_t mSize = 0;
};

// One row or column header. A subtotal names its member on the field it
// totals and the members of the fields outside it; the fields inside it hold
// kAllMembers. A grand total holds kAllMembers everywhere.
struct AxisTuple {
    TupleKind kind = TupleKind::Member;
    TupleMembers members;  // one per field of the axis, outermost first
};

struct QueryResult {
    // An axis without fields has one tuple: its grand total (no members).
    std::vector<AxisTuple> rows;
    std::vector<AxisTuple> columns;
    std::vector<uint32_t> measures;  // as in the query
    // cells[(row * columns.size() + column) * measures.size() + measure]; no value: empty.
    Column<std::optional<double>> cells;

    std::optional<double> cell(size_t row, size_t column, size_t measure) const
    {
        return cells[(row * columns.size() + column) * measures.size() + measure];
    }
};

struct QueryOptions {
    // Threads to scan facts with; 0: one per core. The result does not depend
    // on it: facts are split the same way whatever the thread count.
    unsigned threads = 0;
};

// Computes `query` over `facts`. Requires: `facts` are the facts of `cube`
// (one key column per dimension with keys below its key count, one value
// column per stored measure). Throws Failure (source "olap") for a query that names
// an unknown dimension, hierarchy, member or measure, places one hierarchy
// twice, or asks for more cells than memory can hold. Thread-safe: it only
// reads its arguments.
QueryResult runQuery(const CubeInfo& cube, const FactTable& facts, const PivotQuery& query,
                     const QueryOptions& options = {});

}  // namespace olap
