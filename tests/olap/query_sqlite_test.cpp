// The query engine against an independent computation: random cubes and
// random pivots, every cell checked against SQLite's GROUP BY over the same
// facts, for every aggregation (COUNT(DISTINCT) for the distinct count, per
// tuple's own group: never added up from the cells below).
//
// SQLite sees one row per fact with, per dimension and level, the index of
// the fact's member on that level (taken from the member tree, not from the
// engine), and NULL where a fact has no value. A tuple's cell is then the
// group of the levels its members lie on, filtered by the hidden members and
// the page selections. The tuples themselves are checked for being visible
// and distinct, and the leaf tuples for covering every fact exactly once.
#include "olap/cube/measurecolumn.h"
#include "olap/query/query.h"
#include "olaptestsupport.h"
#include "randompivots.h"

#include <cmath>
#include <map>
#include <memory>
#include <random>
#include <set>

namespace olap {
namespace {

using olaptest::TestCube;
using namespace randompivots;

// ---- SQLite -------------------------------------------------------------

using Database = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;
using Statement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

Statement prepare(sqlite3* db, const std::string& sql)
{
    sqlite3_stmt* statement = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr), SQLITE_OK) << sql << sqlite3_errmsg(db);
    return Statement(statement, &sqlite3_finalize);
}

std::string levelColumn(uint32_t dimension, size_t level) { return numbered("d", dimension) + "_" + std::to_string(level); }

// Table f: per fact its member on every level of every dimension, then its
// values.
Database factDatabase(const TestCube& cube)
{
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    Database database(db, &sqlite3_close);
    std::string columns, rows;
    for (uint32_t d = 0; d < cube.info.dimensions.size(); ++d) {
        for (size_t l = 0; l < cube.info.dimensions[d].hierarchies[0].levels.size(); ++l)
            columns += levelColumn(d, l) + ", ";
    }
    for (size_t m = 0; m < cube.info.measures.size(); ++m)
        columns += numbered("m", m) + (m + 1 < cube.info.measures.size() ? ", " : "");
    for (uint64_t row = 0; row < cube.facts.rowCount(); ++row) {
        rows += rows.empty() ? "(" : ", (";
        for (uint32_t d = 0; d < cube.info.dimensions.size(); ++d) {
            const HierarchyInfo& hierarchy = cube.info.dimensions[d].hierarchies[0];
            std::vector<int32_t> path(hierarchy.levels.size());
            for (auto m = int32_t(hierarchy.memberOfKey[olap::keyAt(cube.facts.keys(d), row)]); m >= 0;
                 m = hierarchy.members[m].parent)
                path[hierarchy.members[m].level] = m;
            for (int32_t member : path)
                rows += std::to_string(member) + ", ";
        }
        for (size_t m = 0; m < cube.facts.measureCount(); ++m) {
            // A distinct count's ids, 0 for no value.
            const bool distinct = cube.info.measures[m].aggregation == Aggregation::DistinctCount;
            const uint32_t id = distinct ? keyAt(cube.facts.distinctIds(m), row) : 0;
            const double value = distinct ? (id == 0 ? kEmpty : double(id)) : olap::valueAt(cube.facts.values(m), row);
            rows += (std::isnan(value) ? "NULL" : std::to_string(value)) + (m + 1 < cube.facts.measureCount() ? ", " : ")");
        }
    }
    std::string sql = "CREATE TABLE f (" + columns + ");";
    if (!rows.empty())
        sql += "INSERT INTO f VALUES " + rows;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    return database;
}

// ---- the expected cells -------------------------------------------------

class ExpectedCells {
public:
    ExpectedCells(const TestCube& cube, const PivotQuery& query, sqlite3* db) : mCube(cube), mQuery(query), mDb(db)
    {
        for (const QueryAxis* axis : {&query.rows, &query.columns})
            mFields.insert(mFields.end(), axis->fields.begin(), axis->fields.end());
    }

    // Per measure of the query: the aggregate, or nullopt when no fact of the
    // group has a value.
    std::vector<std::optional<double>> cell(const AxisTuple& row, const AxisTuple& column)
    {
        std::vector<int> levels;  // per field, the level of its member, -1 for a total
        std::vector<int64_t> members;
        for (const AxisTuple* tuple : {&row, &column}) {
            for (const TupleMember& part : tuple->members) {
                const auto& hierarchy = mCube.info.dimensions[mFields[levels.size()].dimension].hierarchies[0];
                levels.push_back(part.member == kAllMembers ? -1 : hierarchy.members[part.member].level);
                if (part.member != kAllMembers)
                    members.push_back(part.member);
            }
        }
        auto& groups = mGroups[levels];
        if (groups.empty())
            groups = groupBy(levels);
        const auto found = groups.find(members);
        return found == groups.end() ? std::vector<std::optional<double>>(mQuery.measures.size()) : found->second;
    }

private:
    using Groups = std::map<std::vector<int64_t>, std::vector<std::optional<double>>>;

    // Per group, per measure of the query its aggregate and the count of its
    // values, the aggregate being no value when that count is 0.
    Groups groupBy(const std::vector<int>& levels) const
    {
        std::string keys;
        for (size_t f = 0; f < levels.size(); ++f) {
            if (levels[f] >= 0)
                keys += levelColumn(mFields[f].dimension, size_t(levels[f])) + ", ";
        }
        std::string sql = "SELECT " + keys;
        for (uint32_t m : mQuery.measures)
            sql += std::string(kMeasures[m].second) + (m == kDistinctMeasure ? " m" : "(m") + std::to_string(m)
                   + "), COUNT(m" + std::to_string(m) + "), ";
        sql += "0 FROM f WHERE " + filter();
        if (!keys.empty())
            sql += " GROUP BY " + keys.substr(0, keys.size() - 2);
        const int keyCount = int(std::count_if(levels.begin(), levels.end(), [](int l) { return l >= 0; }));
        Groups groups;
        const Statement statement = prepare(mDb, sql);
        while (sqlite3_step(statement.get()) == SQLITE_ROW) {
            std::vector<int64_t> members;
            for (int k = 0; k < keyCount; ++k)
                members.push_back(sqlite3_column_int64(statement.get(), k));
            auto& values = groups[members];
            for (int column = keyCount; column < keyCount + 2 * int(mQuery.measures.size()); column += 2) {
                const bool none = sqlite3_column_int64(statement.get(), column + 1) == 0;
                values.push_back(none ? std::nullopt : std::optional(sqlite3_column_double(statement.get(), column)));
            }
        }
        return groups;
    }

    // Hidden members leave out their facts; pages keep the facts beneath a
    // selected member.
    std::string filter() const
    {
        std::string where = "1";
        for (const AxisField& field : mFields) {
            for (uint32_t hidden : field.hidden)
                where += " AND " + memberTest(field.dimension, hidden, " <> ");
        }
        for (const PageField& page : mQuery.pages) {
            if (page.selected.empty())
                continue;
            where += " AND (0";
            for (uint32_t selected : page.selected)
                where += " OR " + memberTest(page.dimension, selected, " = ");
            where += ")";
        }
        return where;
    }

    std::string memberTest(uint32_t dimension, uint32_t member, const char* comparison) const
    {
        const MemberInfo& info = mCube.info.dimensions[dimension].hierarchies[0].members[member];
        return levelColumn(dimension, info.level) + comparison + std::to_string(member);
    }

    const TestCube& mCube;
    const PivotQuery& mQuery;
    sqlite3* mDb;
    std::vector<AxisField> mFields;  // rows, then columns
    std::map<std::vector<int>, Groups> mGroups;
};

// ---- checks -------------------------------------------------------------

bool has(const std::vector<uint32_t>& list, int32_t member)
{
    return std::find(list.begin(), list.end(), uint32_t(member)) != list.end();
}

// A member is visible when it and its ancestors below the "all" member are
// not hidden and its ancestors are drilled.
bool visible(const HierarchyInfo& hierarchy, const AxisField& field, uint32_t member)
{
    const bool hasAll = hierarchy.levels[0].type == LevelType::All;
    if (hasAll && hierarchy.members[member].level == 0)
        return false;
    for (int32_t m = int32_t(member); m >= 0; m = hierarchy.members[m].parent) {
        const int32_t parent = hierarchy.members[m].parent;
        const bool parentIsAll = parent >= 0 && hasAll && hierarchy.members[parent].level == 0;
        if (has(field.hidden, m) || (parent >= 0 && !parentIsAll && !has(field.drilled, parent))
            || (parentIsAll && has(field.hidden, parent)))
            return false;
    }
    return true;
}

// Every tuple distinct, on as many members as fields, each visible at its depth.
void checkTuples(const CubeInfo& cube, const QueryAxis& axis, const std::vector<AxisTuple>& tuples)
{
    std::set<std::pair<TupleKind, std::vector<int32_t>>> seen;
    for (const AxisTuple& tuple : tuples) {
        std::vector<int32_t> members;
        ASSERT_EQ(tuple.members.size(), axis.fields.size());
        for (size_t f = 0; f < axis.fields.size(); ++f) {
            const int32_t member = tuple.members[f].member;
            members.push_back(member);
            if (member == kAllMembers)
                continue;
            const HierarchyInfo& hierarchy = cube.dimensions[axis.fields[f].dimension].hierarchies[0];
            EXPECT_TRUE(visible(hierarchy, axis.fields[f], uint32_t(member))) << "invisible member " << member;
            const bool hasAll = hierarchy.levels[0].type == LevelType::All;
            EXPECT_EQ(tuple.members[f].depth + (hasAll ? 1 : 0), hierarchy.members[member].level);
        }
        EXPECT_TRUE(seen.emplace(tuple.kind, members).second) << "a tuple is listed twice";
    }
}

// Every cell as SQLite computes it; the leaf cells (members on every field)
// split the filtered facts, which the grand total's group counts.
void checkCells(const TestCube& cube, const PivotQuery& query, const QueryResult& result, ExpectedCells& expected)
{
    const size_t facts = size_t(std::find(query.measures.begin(), query.measures.end(), kFactsMeasure)
                                - query.measures.begin());
    double leafFacts = 0;
    for (size_t r = 0; r < result.rows.size(); ++r) {
        for (size_t c = 0; c < result.columns.size(); ++c) {
            const auto want = expected.cell(result.rows[r], result.columns[c]);
            for (size_t m = 0; m < result.measures.size(); ++m) {
                const auto got = result.cell(r, c, m);
                const std::string where = "cell " + std::to_string(r) + "," + std::to_string(c) + " measure "
                    + cube.info.measures[query.measures[m]].name;
                ASSERT_EQ(got.has_value(), want[m].has_value()) << where;
                if (got) {
                    EXPECT_LE(std::fabs(*got - *want[m]), 1e-9 * std::max({1.0, std::fabs(*got), std::fabs(*want[m])}))
                        << where << ": " << *got << " instead of " << *want[m];
                }
            }
            const bool rowLeaf = result.rows[r].kind == TupleKind::Member || query.rows.fields.empty();
            const bool columnLeaf = result.columns[c].kind == TupleKind::Member || query.columns.fields.empty();
            if (rowLeaf && columnLeaf)
                leafFacts += result.cell(r, c, facts).value_or(0);
        }
    }
    const AxisTuple rows{TupleKind::GrandTotal, TupleMembers(std::vector<TupleMember>(query.rows.fields.size()))};
    const AxisTuple columns{TupleKind::GrandTotal, TupleMembers(std::vector<TupleMember>(query.columns.fields.size()))};
    EXPECT_EQ(leafFacts, expected.cell(rows, columns)[facts].value_or(0));
}

TEST(QueryAgainstSqlite, RandomPivotsMatchGroupByForEveryAggregation)
{
    std::mt19937_64 random(20240611);
    for (int round = 0; round < 60; ++round) {
        const TestCube cube = randomCube(random);
        const Database db = factDatabase(cube);
        for (int q = 0; q < 8; ++q) {
            SCOPED_TRACE("round " + std::to_string(round) + " query " + std::to_string(q));
            const PivotQuery query = randomQuery(random, cube.info);
            const QueryResult result = runQuery(cube.info, cube.facts, query, {unsigned(1 + q % 2)});
            ExpectedCells expected(cube, query, db.get());
            checkTuples(cube.info, query.rows, result.rows);
            checkTuples(cube.info, query.columns, result.columns);
            checkCells(cube, query, result, expected);
        }
    }
}

}  // namespace
}  // namespace olap
