#include "olap/server/serverquery.h"

#include "olap/model/membersource.h"
#include "olap/query/querycalculated.h"
#include "olap/query/querypivot.h"
#include "olap/server/serveranswer.h"
#include "olap/server/serverdistinct.h"
#include "olap/server/serverfields.h"
#include "olap/server/serversql.h"

#include <algorithm>
#include <map>
#include <unordered_map>

namespace olap::server {

namespace {

using query::FieldLayout;

// Per measure, its aggregate and the count of its values.
std::string measureColumns(const CubeInfo& cube, const ServerCubeTables& tables, const PivotQuery& query,
                           bool grouped)
{
    std::string select;
    for (uint32_t m : query::leafMeasures(cube, query)) {
        const std::string column = quoteName(tables.measureColumns[m]);
        const bool empty = tables.measureHasEmpty[m];
        const std::string has = "NOT isNaN(" + column + ")";
        const auto aggregate = [&](const char* name) {
            return empty ? std::string(name) + "If(" + column + ", " + has + ")" : std::string(name) + "(" + column + ")";
        };
        switch (cube.measures[m].aggregation) {
        case Aggregation::Sum:
        case Aggregation::Average: select += ", " + aggregate("sum"); break;
        case Aggregation::Min: select += ", " + aggregate("min"); break;
        case Aggregation::Max: select += ", " + aggregate("max"); break;
        case Aggregation::Count:
        case Aggregation::DistinctCount: select += ", 0"; break;  // not a leaf measure
        }
        // Without empty values every group returned has values; only
        // averages and counts need how many. (Without GROUP BY the one row
        // comes even when no fact does.)
        const Aggregation aggregation = cube.measures[m].aggregation;
        if (empty)
            select += ", countIf(" + has + ")";
        else
            select += !grouped || aggregation == Aggregation::Average || aggregation == Aggregation::Count ? ", count()"
                                                                                                          : ", 1";
    }
    return select;
}

struct PivotSql {
    std::string sql;
    std::vector<FieldGrouping> fields;  // rows, then columns
    // The group key columns: each packs the members of neighbouring fields
    // into one UInt64, mixed-radix (per field its hierarchy's member total,
    // the last field the lowest digit). keyEnds[k] is one past the last
    // field of key column k.
    std::vector<uint64_t> radix;
    std::vector<size_t> keyEnds;
};

// The group key columns, as many fields packed into each as its UInt64
// holds every combination of their members: the server groups one number
// several times faster than a tuple of columns.
std::string groupKeys(const std::vector<std::string>& expressions, PivotSql& result)
{
    std::string keys, key;
    uint64_t combinations = 1;
    for (size_t f = 0; f < expressions.size(); ++f) {
        if (f > 0 && __builtin_mul_overflow(combinations, result.radix[f], &combinations)) {
            keys += (keys.empty() ? "" : ", ") + key;
            result.keyEnds.push_back(f);
            key.clear();
            combinations = result.radix[f];
        }
        key = key.empty() ? "toUInt64(" + expressions[f] + ")"
                          : "(" + key + " * " + std::to_string(result.radix[f]) + " + " + expressions[f] + ")";
    }
    if (!key.empty()) {
        keys += (keys.empty() ? "" : ", ") + key;
        result.keyEnds.push_back(expressions.size());
    }
    return keys;
}

PivotSql pivotSql(const CubeInfo& cube, const ServerCubeTables& tables, const PivotQuery& query,
                  const query::PivotLayout& layout)
{
    PivotSql result;
    std::string where;
    std::vector<std::string> expressions;
    const auto hierarchyOf = [&](uint32_t d, uint32_t h) -> const HierarchyInfo& {
        return cube.dimensions[d].hierarchies[h];
    };
    for (const auto& [axis, axisLayout] : {std::pair{&query.rows, &layout.rows}, std::pair{&query.columns, &layout.columns}}) {
        for (size_t f = 0; f < axis->fields.size(); ++f) {
            const AxisField& field = axis->fields[f];
            const auto& columns = tables.levelColumns[field.dimension][field.hierarchy];
            const HierarchyInfo& hierarchy = hierarchyOf(field.dimension, field.hierarchy);
            result.fields.push_back(fieldGrouping(hierarchy, columns, axisLayout->fields[f]));
            expressions.push_back(result.fields.back().expression);
            result.radix.push_back(std::max<uint64_t>(memberTotal(hierarchy), 1));
        }
    }
    where = factConditions(cube, tables, query);
    const std::string groupBy = groupKeys(expressions, result);
    const std::string measures = measureColumns(cube, tables, query, !groupBy.empty());
    result.sql = "SELECT " + (groupBy.empty() ? "0" : groupBy) + measures + " FROM " + quoteName(tables.factsTable)
        + (where.empty() ? "" : " WHERE " + where.substr(5)) + (groupBy.empty() ? "" : " GROUP BY " + groupBy) + " FORMAT TabSeparated";
    return result;
}

// The member of each field that an answer's row names.
std::vector<uint64_t> groupMembers(const std::vector<std::string>& row, const PivotSql& sql)
{
    std::vector<uint64_t> members(sql.fields.size());
    size_t first = 0;
    for (size_t k = 0; k < sql.keyEnds.size(); ++k) {
        uint64_t key = readUnsigned(row[k], "a group key");
        for (size_t f = sql.keyEnds[k]; f-- > first;) {
            members[f] = key % sql.radix[f];
            key /= sql.radix[f];
        }
        if (key != 0)
            throw MalformedAnswer{"a group key is out of range"};
        first = sql.keyEnds[k];
    }
    return members;
}

// Reads the answer's rows into the leaf accumulators.
query::LeafAccumulators readLeaves(const ServerSession& session, const std::string& answer, const PivotSql& sql,
                                   const CubeInfo& cube, const PivotQuery& query, const query::PivotLayout& layout)
{
    const std::vector<uint32_t> measures = query::leafMeasures(cube, query);
    const size_t measureCount = measures.size();
    const size_t rowFields = query.rows.fields.size();
    const size_t keyColumns = std::max<size_t>(sql.keyEnds.size(), 1);
    const uint32_t cellCount = layout.cellCount();
    query::LeafAccumulators leaves{measureCount, {}};
    leaves.cells.resize((size_t(cellCount) + 1) * measureCount);
    for (size_t c = 0; c <= cellCount; ++c) {
        for (size_t m = 0; m < measureCount; ++m)
            leaves.cells[c * measureCount + m] = query::emptyAccumulator(cube.measures[measures[m]].aggregation);
    }
    try {
        for (const auto& row : parseRows(answer, keyColumns + 2 * measureCount, size_t(cellCount) + 1)) {
            const std::vector<uint64_t> members = groupMembers(row, sql);
            uint64_t rowLeaf = 0, columnLeaf = 0;
            for (size_t f = 0; f < sql.fields.size(); ++f) {
                const auto& leafOf = sql.fields[f].leafOfMember;
                const auto leaf = leafOf.find(uint32_t(std::min<uint64_t>(members[f], UINT32_MAX)));
                if (leaf == leafOf.end())
                    throw MalformedAnswer{"a group names a member the pivot does not show"};
                if (f < rowFields)
                    rowLeaf += leaf->second * layout.rows.strides[f];
                else
                    columnLeaf += leaf->second * layout.columns.strides[f - rowFields];
            }
            query::Accumulator* cell = leaves.cells.data() + (rowLeaf * layout.columns.leafCount + columnLeaf) * measureCount;
            for (size_t m = 0; m < measureCount; ++m) {
                const double value = readDouble(row[keyColumns + 2 * m], "an aggregate");
                const uint64_t count = readUnsigned(row[keyColumns + 2 * m + 1], "a count");
                // A group without values keeps the empty accumulator: the
                // server's minIf over nothing is 0, which must not take part
                // in a subtotal's minimum.
                if (count > 0)
                    cell[m] = {value, double(count)};
            }
        }
    } catch (const MalformedAnswer& problem) {
        session.malformed(problem.what);
    }
    return leaves;
}

}  // namespace

QueryResult runServerQuery(const ServerCatalog& catalog, size_t cube, const PivotQuery& shown)
{
    const CubeInfo& info = catalog.info.cubes.at(cube);
    // The server aggregates stored measures; calculated ones are computed here.
    const PivotQuery query = query::aggregatedQuery(info, shown);
    const ServerCubeTables& tables = catalog.tables.at(cube);
    query::PivotLayout layout = query::layOutPivot(info, query, false);
    const PivotSql sql = pivotSql(info, tables, query, layout);
    const size_t rowBytes = 16 * sql.fields.size() + 64 * query.measures.size() + 16;
    const std::string answer = catalog.session.query(sql.sql, (size_t(layout.cellCount()) + 1) * rowBytes + 4096);
    const query::LeafAccumulators leaves = readLeaves(catalog.session, answer, sql, info, query, layout);
    const std::vector<query::DistinctCells> distinct = serverDistinctCounts(catalog, cube, query, layout);
    QueryResult result = query::finishPivot(layout, info, query, leaves, distinct);
    query::showMeasures(info, shown, result);
    return result;
}

}  // namespace olap::server
