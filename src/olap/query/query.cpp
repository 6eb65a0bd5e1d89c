// runQuery: checks the query, lays out both axes, scans the facts once into
// leaf cells and rolls them up into the tuples' cells.
#include "olap/query/query.h"

#include "platform/core/failure.h"
#include "olap/model/membersource.h"
#include "olap/query/querycalculated.h"
#include "olap/query/querydistinct.h"
#include "olap/query/querylayout.h"
#include "olap/query/querypivot.h"
#include "olap/query/queryrollup.h"
#include "olap/query/queryscan.h"

#include <set>
#include <string>
#include <utility>

namespace olap {

namespace {

using query::AxisLayout;
using query::ScanColumn;

// Accumulators (one per leaf cell and measure) beyond this are refused rather
// than attempted: at 16 bytes each this is 1 GiB.
constexpr uint64_t kMaxAccumulators = uint64_t(1) << 26;

[[noreturn]] void badQuery(const CubeInfo& cube, int32_t number, const std::string& problem)
{
    throw platform::Failure(number, "Query on cube \"" + cube.name + "\": " + problem, "olap");
}

const HierarchyInfo& checkedHierarchy(const CubeInfo& cube, uint32_t dimension, uint32_t hierarchy)
{
    if (dimension >= cube.dimensions.size())
        badQuery(cube, platform::err::kSubscript, "there is no dimension number " + std::to_string(dimension));
    const DimensionInfo& info = cube.dimensions[dimension];
    if (hierarchy >= info.hierarchies.size())
        badQuery(cube, platform::err::kSubscript,
                 "the dimension \"" + info.name + "\" has no hierarchy number " + std::to_string(hierarchy));
    return info.hierarchies[hierarchy];
}

void checkMembers(const CubeInfo& cube, uint32_t dimension, const HierarchyInfo& hierarchy,
                  const std::vector<uint32_t>& members)
{
    for (uint32_t member : members) {
        if (member >= memberTotal(hierarchy))
            badQuery(cube, platform::err::kSubscript, "the dimension \"" + cube.dimensions[dimension].name
                                                    + "\" has no member number " + std::to_string(member));
    }
}

void checkPlacedOnce(const CubeInfo& cube, std::set<std::pair<uint32_t, uint32_t>>& placed, uint32_t dimension,
                     uint32_t hierarchy)
{
    if (!placed.emplace(dimension, hierarchy).second)
        badQuery(cube, platform::err::kInvalidCall,
                 "the dimension \"" + cube.dimensions[dimension].name + "\" is placed twice");
}

void checkQuery(const CubeInfo& cube, const PivotQuery& query)
{
    std::set<std::pair<uint32_t, uint32_t>> placed;
    for (const QueryAxis* axis : {&query.rows, &query.columns}) {
        for (const AxisField& field : axis->fields) {
            const HierarchyInfo& hierarchy = checkedHierarchy(cube, field.dimension, field.hierarchy);
            checkMembers(cube, field.dimension, hierarchy, field.drilled);
            checkMembers(cube, field.dimension, hierarchy, field.hidden);
            checkPlacedOnce(cube, placed, field.dimension, field.hierarchy);
        }
    }
    for (const PageField& page : query.pages) {
        checkMembers(cube, page.dimension, checkedHierarchy(cube, page.dimension, page.hierarchy), page.selected);
        checkPlacedOnce(cube, placed, page.dimension, page.hierarchy);
    }
    for (uint32_t measure : query.measures) {
        if (measure >= cube.measures.size())
            badQuery(cube, platform::err::kSubscript, "there is no measure number " + std::to_string(measure));
    }
}

// A broken fact table is the reader's bug, not the user's doing.
void checkFacts(const CubeInfo& cube, const FactTable& facts)
{
    if (facts.dimensionCount() != cube.dimensions.size() || facts.measureCount() != storedMeasureCount(cube))
        throw platform::InternalFailure(
            "the facts of cube \"" + cube.name + "\" do not match its dimensions and measures", "olap");
}

// Reads the columns the pivot uses that are not in memory yet, two at a
// time; no other column is read.
void readUsedColumns(const CubeInfo& cube, const FactTable& facts, const PivotQuery& query)
{
    std::vector<size_t> dimensions;
    for (const QueryAxis* axis : {&query.rows, &query.columns}) {
        for (const AxisField& field : axis->fields)
            dimensions.push_back(field.dimension);
    }
    for (const PageField& page : query.pages) {
        if (!page.selected.empty())
            dimensions.push_back(page.dimension);
    }
    std::vector<size_t> measures, distinct;
    for (uint32_t m : query.measures)
        (cube.measures[m].aggregation == Aggregation::DistinctCount ? distinct : measures).push_back(m);
    facts.read(dimensions, measures, distinct);
}

// Refuses a pivot of more than kMaxAccumulators cells, counted with the
// deepest visible members (the scan's cells) or with all tuples (the result).
void checkSize(const CubeInfo& cube, uint64_t rows, uint64_t columns, size_t measures)
{
    const uint64_t limit = kMaxAccumulators / std::max<size_t>(measures, 1);
    if (rows > limit || columns > limit || rows * columns > limit)
        badQuery(cube, platform::err::kOutOfMemory, "the pivot has too many cells (" + std::to_string(rows)
                                                        + " rows by " + std::to_string(columns) + " columns)");
}

// The offset each key of a placed field adds to a fact's leaf cell number.
ScanColumn axisColumn(const FactTable& facts, const AxisField& field, const query::FieldLayout& layout,
                      uint64_t stride, uint32_t cellCount)
{
    ScanColumn column{&facts.keys(field.dimension), {}};
    column.offsetOfKey.reserve(layout.leafOfKey().size());
    for (uint32_t leaf : layout.leafOfKey())
        column.offsetOfKey.push_back(leaf == query::kExcluded ? cellCount : uint32_t(leaf * stride));
    return column;
}

// Keys beneath a selected member add 0, the others exclude their facts.
ScanColumn pageColumn(const CubeInfo& cube, const FactTable& facts, const PageField& page, uint32_t cellCount)
{
    const HierarchyInfo& hierarchy = cube.dimensions[page.dimension].hierarchies[page.hierarchy];
    std::vector<uint8_t> selected(hierarchy.members.size());
    for (uint32_t member : page.selected)
        selected[member] = 1;
    for (uint32_t m = 0; m < hierarchy.members.size(); ++m) {
        const int32_t parent = hierarchy.members[m].parent;
        selected[m] = selected[m] || (parent >= 0 && selected[parent]);
    }
    ScanColumn column{&facts.keys(page.dimension), {}};
    for (uint32_t member : hierarchy.memberOfKey)
        column.offsetOfKey.push_back(selected[member] ? 0 : cellCount);
    return column;
}

std::vector<ScanColumn> scanColumns(const CubeInfo& cube, const FactTable& facts, const PivotQuery& query,
                                    const AxisLayout& rows, const AxisLayout& columns)
{
    const uint32_t cellCount = uint32_t(rows.leafCount * columns.leafCount);
    std::vector<ScanColumn> result;
    for (size_t f = 0; f < rows.fields.size(); ++f)
        result.push_back(axisColumn(facts, query.rows.fields[f], rows.fields[f], rows.strides[f] * columns.leafCount,
                                    cellCount));
    for (size_t f = 0; f < columns.fields.size(); ++f)
        result.push_back(axisColumn(facts, query.columns.fields[f], columns.fields[f], columns.strides[f], cellCount));
    for (const PageField& page : query.pages) {
        if (!page.selected.empty())
            result.push_back(pageColumn(cube, facts, page, cellCount));
    }
    return result;
}

}  // namespace

namespace query {

PivotLayout layOutPivot(const CubeInfo& cube, const PivotQuery& query, bool mapKeys)
{
    checkQuery(cube, query);
    PivotLayout layout{layOutAxis(cube, query.rows, mapKeys), layOutAxis(cube, query.columns, mapKeys)};
    checkSize(cube, layout.rows.leafCount, layout.columns.leafCount, query.measures.size());
    listTuples(layout.rows, query.rows);
    listTuples(layout.columns, query.columns);
    checkSize(cube, layout.rows.tuples.size(), layout.columns.tuples.size(), query.measures.size());
    return layout;
}

std::vector<uint32_t> leafMeasures(const CubeInfo& cube, const PivotQuery& query)
{
    std::vector<uint32_t> measures;
    for (uint32_t m : query.measures) {
        if (cube.measures[m].aggregation != Aggregation::DistinctCount)
            measures.push_back(m);
    }
    return measures;
}

QueryResult finishPivot(PivotLayout& layout, const CubeInfo& cube, const PivotQuery& query,
                        const LeafAccumulators& leaves, std::span<const DistinctCells> distinct, unsigned threads)
{
    std::vector<Aggregation> aggregations;
    for (uint32_t m : query.measures)
        aggregations.push_back(cube.measures[m].aggregation);
    const ShownTuples shown = shownTuples(leaves, distinct, layout.rows, layout.columns, query.measures.size(),
                                          !query.rows.keepEmpty, !query.columns.keepEmpty, threads);
    // The shown tuples move down in place (indices ascend).
    const auto take = [](std::vector<AxisTuple>& tuples, const std::vector<uint32_t>& indices) {
        for (size_t i = 0; i < indices.size(); ++i) {
            if (indices[i] != i)
                tuples[i] = std::move(tuples[indices[i]]);
        }
        tuples.resize(indices.size());
        return std::move(tuples);
    };
    QueryResult result;
    result.rows = take(layout.rows.tuples, shown.rows);
    result.columns = take(layout.columns.tuples, shown.columns);
    result.measures = query.measures;
    rollUp(leaves, aggregations, layout.rows, layout.columns, shown, result, threads);
    for (const DistinctCells& cells : distinct)
        putDistinctCells(cells, shown, layout.columns.ranges.size(), result);
    return result;
}

}  // namespace query

QueryResult runQuery(const CubeInfo& cube, const FactTable& facts, const PivotQuery& shown, const QueryOptions& options)
{
    checkFacts(cube, facts);
    // The scan aggregates stored measures; calculated ones are computed after.
    const PivotQuery query = query::aggregatedQuery(cube, shown);
    query::PivotLayout layout = query::layOutPivot(cube, query, true);
    if (facts.rowCount() > 0)
        readUsedColumns(cube, facts, query);
    std::vector<query::ScanMeasure> measures;
    for (uint32_t m : query::leafMeasures(cube, query)) {
        measures.push_back({facts.rowCount() ? &facts.values(m) : nullptr, cube.measures[m].aggregation});
    }
    std::vector<query::DistinctColumn> distinct;
    for (size_t i = 0; i < query.measures.size(); ++i) {
        const MeasureInfo& measure = cube.measures[query.measures[i]];
        if (measure.aggregation == Aggregation::DistinctCount)
            distinct.push_back({i, facts.rowCount() ? &facts.distinctIds(query.measures[i]) : nullptr,
                                measure.distinctValues});
    }
    const uint32_t cellCount = layout.cellCount();
    const std::vector<query::ScanColumn> columns =
        facts.rowCount() == 0 ? std::vector<query::ScanColumn>()
                              : scanColumns(cube, facts, query, layout.rows, layout.columns);
    query::DistinctCounting counting(columns, distinct, facts.rowCount(), layout, options.threads);
    const query::LeafAccumulators leaves = facts.rowCount() == 0
        ? query::scanFacts({}, measures, 0, cellCount, 1)
        : query::scanFacts(columns, measures, facts.rowCount(), cellCount, options.threads, counting.observer());
    const std::vector<query::DistinctCells> distinctCells = counting.cells();
    QueryResult result = query::finishPivot(layout, cube, query, leaves, distinctCells, options.threads);
    query::showMeasures(cube, shown, result);
    return result;
}

}  // namespace olap
