// Rolling leaf cells up into the cells of the tuples, and dropping empty ones.
#include "olap/query/queryrollup.h"

#include <algorithm>

namespace olap::query {

namespace {

// For one measure: every row tuple's merge of its row leaves, per column leaf.
template <Aggregation A>
std::vector<Accumulator> rollUpRows(const LeafAccumulators& leaves, size_t measure, const AxisLayout& rows,
                                    uint64_t columnLeaves)
{
    std::vector<Accumulator> merged(rows.ranges.size() * columnLeaves, emptyAccumulator(A));
    const size_t stride = leaves.measureCount;
    for (size_t r = 0; r < rows.ranges.size(); ++r) {
        Accumulator* into = merged.data() + r * columnLeaves;
        for (uint64_t leaf = rows.ranges[r].first; leaf < rows.ranges[r].end; ++leaf) {
            const Accumulator* from = leaves.cells.data() + leaf * columnLeaves * stride + measure;
            for (uint64_t c = 0; c < columnLeaves; ++c)
                mergeInto<A>(into[c], from[c * stride]);
        }
    }
    return merged;
}

template <Aggregation A>
void rollUpMeasure(const LeafAccumulators& leaves, size_t measure, const AxisLayout& rows, const AxisLayout& columns,
                   QueryResult& result)
{
    const uint64_t columnLeaves = columns.leafCount;
    const std::vector<Accumulator> merged = rollUpRows<A>(leaves, measure, rows, columnLeaves);
    const size_t measureCount = result.measures.size();
    for (size_t r = 0; r < rows.ranges.size(); ++r) {
        const Accumulator* row = merged.data() + r * columnLeaves;
        for (size_t c = 0; c < columns.ranges.size(); ++c) {
            Accumulator cell = emptyAccumulator(A);
            for (uint64_t leaf = columns.ranges[c].first; leaf < columns.ranges[c].end; ++leaf)
                mergeInto<A>(cell, row[leaf]);
            result.cells[(r * columns.ranges.size() + c) * measureCount + measure] = finalValue(A, cell);
        }
    }
}

// Which tuples of one axis have a non-empty cell.
std::vector<uint8_t> nonEmpty(const QueryResult& result, bool rows)
{
    const size_t columnCount = result.columns.size();
    const size_t measureCount = result.measures.size();
    std::vector<uint8_t> used(rows ? result.rows.size() : columnCount);
    for (size_t i = 0; i < result.cells.size(); ++i) {
        if (result.cells[i]) {
            const size_t tuple = i / measureCount;
            used[rows ? tuple / columnCount : tuple % columnCount] = 1;
        }
    }
    const auto& tuples = rows ? result.rows : result.columns;
    for (size_t t = 0; t < tuples.size(); ++t) {
        if (tuples[t].kind == TupleKind::GrandTotal)
            used[t] = 1;
    }
    return used;
}

template <class T>
std::vector<T> keepUsed(std::vector<T>&& items, const std::vector<uint8_t>& used)
{
    std::vector<T> kept;
    for (size_t i = 0; i < items.size(); ++i) {
        if (used[i])
            kept.push_back(std::move(items[i]));
    }
    return kept;
}

}  // namespace

void rollUp(const LeafAccumulators& leaves, std::span<const Aggregation> aggregations, const AxisLayout& rows,
            const AxisLayout& columns, QueryResult& result)
{
    result.cells.assign(rows.ranges.size() * columns.ranges.size() * aggregations.size(), std::nullopt);
    for (size_t m = 0; m < aggregations.size(); ++m) {
        withAggregation(aggregations[m], [&]<Aggregation A>() {
            rollUpMeasure<A>(leaves, m, rows, columns, result);
        });
    }
}

void putDistinctCells(const DistinctCells& cells, QueryResult& result)
{
    const size_t measureCount = result.measures.size();
    for (size_t i = 0; i < cells.counts.size(); ++i) {
        const uint32_t count = cells.counts[i];
        result.cells[i * measureCount + cells.measure] = count ? std::optional<double>(count) : std::nullopt;
    }
}

void dropEmptyTuples(QueryResult& result, bool rows, bool columns)
{
    if (result.measures.empty() || (!rows && !columns))
        return;
    const std::vector<uint8_t> usedRows = rows ? nonEmpty(result, true) : std::vector<uint8_t>(result.rows.size(), 1);
    const std::vector<uint8_t> usedColumns =
        columns ? nonEmpty(result, false) : std::vector<uint8_t>(result.columns.size(), 1);
    const auto allUsed = [](const std::vector<uint8_t>& used) {
        return std::find(used.begin(), used.end(), 0) == used.end();
    };
    if (allUsed(usedRows) && allUsed(usedColumns))
        return;
    std::vector<std::optional<double>> cells;
    const size_t measureCount = result.measures.size();
    cells.reserve(result.cells.size());
    for (size_t r = 0; r < result.rows.size(); ++r) {
        for (size_t c = 0; usedRows[r] && c < result.columns.size(); ++c) {
            if (!usedColumns[c])
                continue;
            const auto first = result.cells.begin() + ptrdiff_t((r * result.columns.size() + c) * measureCount);
            cells.insert(cells.end(), first, first + ptrdiff_t(measureCount));
        }
    }
    result.cells = std::move(cells);
    result.rows = keepUsed(std::move(result.rows), usedRows);
    result.columns = keepUsed(std::move(result.columns), usedColumns);
}

}  // namespace olap::query
