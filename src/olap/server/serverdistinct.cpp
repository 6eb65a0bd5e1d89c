#include "olap/server/serverdistinct.h"

#include "olap/model/membersource.h"
#include "olap/server/serveranswer.h"
#include "olap/server/serverfields.h"
#include "olap/server/serversql.h"

#include <map>
#include <set>

namespace olap::server {

namespace {

using query::AxisLayout;
using query::FieldLayout;

// What one axis tuple groups by: the leaf members of fields [0, field), and
// the members of `level` of field `field`. field < 0: the grand total.
struct Grouping {
    int field = -1;
    uint16_t level = 0;
    uint32_t node = 0;  // on an "all" level (no column): the node of its one member
    auto operator<=>(const Grouping&) const = default;
};

struct AxisFields {
    const AxisLayout* layout = nullptr;
    std::vector<FieldGrouping> leaves;  // per field
    std::vector<const std::vector<std::string>*> columns;  // per field: its level columns
    std::vector<const HierarchyInfo*> hierarchies;          // per field
    std::vector<std::unordered_map<uint32_t, uint32_t>> nodeOfMember;  // per field
    std::vector<Grouping> groupings;
    std::map<std::pair<uint64_t, uint64_t>, std::vector<size_t>> tuplesOfRange;
};

AxisFields axisFields(const CubeInfo& cube, const ServerCubeTables& tables, const QueryAxis& axis,
                      const AxisLayout& layout)
{
    AxisFields result;
    result.layout = &layout;
    result.groupings.push_back({});
    std::set<Grouping> seen;
    for (size_t f = 0; f < axis.fields.size(); ++f) {
        const AxisField& field = axis.fields[f];
        const HierarchyInfo& hierarchy = cube.dimensions[field.dimension].hierarchies[field.hierarchy];
        result.columns.push_back(&tables.levelColumns[field.dimension][field.hierarchy]);
        result.hierarchies.push_back(&hierarchy);
        result.leaves.push_back(fieldGrouping(hierarchy, *result.columns.back(), layout.fields[f]));
        auto& nodes = result.nodeOfMember.emplace_back();
        for (size_t n = 0; n < layout.fields[f].nodes().size(); ++n) {
            const uint32_t member = layout.fields[f].nodes()[n].member;
            nodes.emplace(member, uint32_t(n));
            const uint16_t level = memberOf(hierarchy, member).level;
            const bool all = hierarchy.levels[level].type == LevelType::All;
            const Grouping grouping{int(f), level, all ? uint32_t(n) : 0};
            if (seen.insert(grouping).second)
                result.groupings.push_back(grouping);
        }
    }
    for (size_t t = 0; t < layout.ranges.size(); ++t)
        result.tuplesOfRange[{layout.ranges[t].first, layout.ranges[t].end}].push_back(t);
    return result;
}

// The group expressions of `grouping`, and its level condition.
std::vector<std::string> groupExpressions(const AxisFields& axis, const Grouping& grouping, std::string& where)
{
    std::vector<std::string> expressions;
    for (int f = 0; f < grouping.field; ++f)
        expressions.push_back(axis.leaves[f].expression);
    if (grouping.field < 0)
        return expressions;
    const std::string& column = (*axis.columns[grouping.field])[grouping.level];
    if (column.empty())
        return expressions;  // the "all" level: one member, nothing to group
    std::string members;
    for (const auto& [member, node] : axis.nodeOfMember[grouping.field]) {
        if (memberOf(*axis.hierarchies[grouping.field], member).level != grouping.level)
            continue;
        members += (members.empty() ? "" : ", ") + std::to_string(member);
    }
    where += " AND " + quoteName(column) + " IN (" + members + ")";
    expressions.push_back(quoteName(column));
    return expressions;
}

// The leaf range of the tuple that an answer row's group values name, or
// none when the pivot shows no such tuple.
std::optional<std::pair<uint64_t, uint64_t>> groupRange(const AxisFields& axis, const Grouping& grouping,
                                                        const std::vector<std::string>& row, size_t& at)
{
    if (grouping.field < 0)
        return std::pair<uint64_t, uint64_t>{0, axis.layout->leafCount};
    uint64_t base = 0;
    bool shown = true;
    for (int f = 0; f < grouping.field; ++f) {
        const uint64_t member = readUnsigned(row[at++], "a group member");
        const auto leaf = axis.leaves[f].leafOfMember.find(uint32_t(std::min<uint64_t>(member, UINT32_MAX)));
        if (leaf == axis.leaves[f].leafOfMember.end())
            throw MalformedAnswer{"a group names a member the pivot does not show"};
        base += leaf->second * axis.layout->strides[f];
    }
    const auto& nodes = axis.layout->fields[grouping.field].nodes();
    const std::string& column = (*axis.columns[grouping.field])[grouping.level];
    const FieldLayout::Node* node = nullptr;
    if (column.empty()) {
        node = &nodes[grouping.node];  // the "all" member
    } else {
        const uint64_t member = readUnsigned(row[at++], "a group member");
        const auto found = axis.nodeOfMember[grouping.field].find(uint32_t(std::min<uint64_t>(member, UINT32_MAX)));
        shown = found != axis.nodeOfMember[grouping.field].end();
        node = shown ? &nodes[found->second] : nullptr;
    }
    if (!shown)
        return std::nullopt;
    const uint64_t stride = axis.layout->strides[grouping.field];
    return std::pair<uint64_t, uint64_t>{base + node->firstLeaf * stride, base + node->endLeaf * stride};
}

struct DistinctQuery {
    const ServerCatalog& catalog;
    const ServerCubeTables& tables;
    std::vector<size_t> measures;  // positions in the query's measures
    std::vector<std::string> counts;  // per measure: its uniqExact expression
    std::string where;
    size_t columnTuples = 0;
};

void runGroupingPair(const DistinctQuery& distinct, const AxisFields& rows, const Grouping& rowGrouping,
                     const AxisFields& columns, const Grouping& columnGrouping,
                     std::vector<query::DistinctCells>& cells)
{
    std::string where = distinct.where;
    std::vector<std::string> expressions = groupExpressions(rows, rowGrouping, where);
    const size_t rowExpressions = expressions.size();
    for (std::string& expression : groupExpressions(columns, columnGrouping, where))
        expressions.push_back(std::move(expression));
    std::string groupBy;
    for (const std::string& expression : expressions)
        groupBy += (groupBy.empty() ? "" : ", ") + expression;
    std::string select;
    for (const std::string& count : distinct.counts)
        select += (select.empty() ? "" : ", ") + count;
    const std::string sql = "SELECT " + (groupBy.empty() ? "" : groupBy + ", ") + select + " FROM "
        + quoteName(distinct.tables.factsTable) + " WHERE " + where.substr(5)
        + (groupBy.empty() ? "" : " GROUP BY " + groupBy) + " FORMAT TabSeparated";
    const size_t maxRows = size_t(1) << 26;
    const std::string answer = distinct.catalog.session.query(sql);
    for (const auto& row : parseRows(answer, expressions.size() + distinct.counts.size(), maxRows)) {
        size_t at = 0;
        const auto rowRange = groupRange(rows, rowGrouping, row, at);
        at = rowExpressions;
        const auto columnRange = groupRange(columns, columnGrouping, row, at);
        if (!rowRange || !columnRange)
            continue;
        const auto rowTuples = rows.tuplesOfRange.find(*rowRange);
        const auto columnTuples = columns.tuplesOfRange.find(*columnRange);
        if (rowTuples == rows.tuplesOfRange.end() || columnTuples == columns.tuplesOfRange.end())
            continue;  // a group the pivot has no tuple for, e.g. no subtotal
        for (size_t m = 0; m < distinct.counts.size(); ++m) {
            const uint64_t count = readUnsigned(row[expressions.size() + m], "a distinct count");
            for (size_t r : rowTuples->second) {
                for (size_t c : columnTuples->second)
                    cells[m].counts[r * distinct.columnTuples + c] = uint32_t(std::min<uint64_t>(count, UINT32_MAX));
            }
        }
    }
}

}  // namespace

std::vector<query::DistinctCells> serverDistinctCounts(const ServerCatalog& catalog, size_t cube,
                                                       const PivotQuery& query, const query::PivotLayout& layout)
{
    const CubeInfo& info = catalog.info.cubes.at(cube);
    const ServerCubeTables& tables = catalog.tables.at(cube);
    DistinctQuery distinct{catalog, tables, {}, {}, factConditions(info, tables, query), layout.columns.ranges.size()};
    std::string any;
    for (size_t m = 0; m < query.measures.size(); ++m) {
        if (info.measures[query.measures[m]].aggregation != Aggregation::DistinctCount)
            continue;
        const std::string column = quoteName(tables.measureColumns[query.measures[m]]);
        distinct.measures.push_back(m);
        distinct.counts.push_back("uniqExactIf(" + column + ", " + column + " != 0)");
        any += (any.empty() ? "" : " OR ") + column + " != 0";
    }
    std::vector<query::DistinctCells> cells;
    if (distinct.measures.empty())
        return cells;
    distinct.where += " AND (" + any + ")";
    for (size_t m : distinct.measures)
        cells.push_back({m, std::vector<uint32_t>(layout.rows.ranges.size() * layout.columns.ranges.size())});
    const AxisFields rows = axisFields(info, tables, query.rows, layout.rows);
    const AxisFields columns = axisFields(info, tables, query.columns, layout.columns);
    try {
        for (const Grouping& rowGrouping : rows.groupings) {
            for (const Grouping& columnGrouping : columns.groupings)
                runGroupingPair(distinct, rows, rowGrouping, columns, columnGrouping, cells);
        }
    } catch (const MalformedAnswer& problem) {
        catalog.session.malformed(problem.what);
    }
    return cells;
}

}  // namespace olap::server
