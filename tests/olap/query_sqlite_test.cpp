// The query engine against an independent computation: random cubes and
// random pivots, every cell checked against SQLite's GROUP BY over the same
// facts, for every aggregation.
//
// SQLite sees one row per fact with, per dimension and level, the index of
// the fact's member on that level (taken from the member tree, not from the
// engine), and NULL where a fact has no value. A tuple's cell is then the
// group of the levels its members lie on, filtered by the hidden members and
// the page selections. The tuples themselves are checked for being visible
// and distinct, and the leaf tuples for covering every fact exactly once.
#include "olap/query/query.h"
#include "querytestcube.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cmath>
#include <map>
#include <memory>
#include <random>
#include <set>

namespace olap {
namespace {

using testing::TestCube;
using testing::TestCubeMaker;

constexpr Aggregation kAggregations[] = {Aggregation::Sum, Aggregation::Count, Aggregation::Min,
                                         Aggregation::Max, Aggregation::Average};
// Measure kFactsMeasure counts facts: it has a value in every fact.
constexpr uint32_t kFactsMeasure = 5;

// ---- random cubes -------------------------------------------------------

std::string numbered(const char* prefix, int number) { return prefix + std::to_string(number); }

CubeSpec randomSpec(std::mt19937_64& random)
{
    CubeSpec spec{"Random", {}, {}};
    const int dimensions = int(random() % 3) + 2;
    for (int d = 0; d < dimensions; ++d) {
        HierarchySpec hierarchy;
        hierarchy.hasAllLevel = random() % 2;
        const int levels = int(random() % 3) + 1;
        for (int l = 0; l < levels; ++l)
            hierarchy.levels.push_back({numbered("L", l), random() % 3 == 0});
        spec.dimensions.push_back({numbered("D", d), DimensionType::Other, {hierarchy}});
    }
    for (int m = 0; m < 5; ++m)
        spec.measures.push_back({numbered("M", m), kAggregations[m], {}});
    spec.measures.push_back({"Facts", Aggregation::Count, {}});
    return spec;
}

// Every path of a tree with 1 to 3 children per member; returns their keys.
std::vector<uint32_t> addMembers(std::mt19937_64& random, TestCubeMaker& maker, size_t dimension)
{
    const size_t levels = maker.spec().dimensions[dimension].hierarchies[0].levels.size();
    std::vector<std::vector<std::string>> paths{{}};
    for (size_t l = 0; l < levels; ++l) {
        std::vector<std::vector<std::string>> deeper;
        for (const auto& path : paths) {
            const int children = int(random() % 3) + 1;
            for (int c = 0; c < children; ++c) {
                deeper.push_back(path);
                deeper.back().push_back(numbered("m", c));
            }
        }
        paths = std::move(deeper);
    }
    std::vector<uint32_t> keys;
    for (const auto& path : paths) {
        if (random() % 5 != 0)  // some members never get a key, some keys never a fact
            keys.push_back(maker.key(dimension, path));
    }
    if (keys.empty())
        keys.push_back(maker.key(dimension, paths.front()));
    return keys;
}

double randomValue(std::mt19937_64& random)
{
    if (random() % 5 == 0)
        return kEmpty;
    return double(int64_t(random() % 400) - 200) / 4;  // quarters: sums stay exact
}

TestCube randomCube(std::mt19937_64& random)
{
    TestCubeMaker maker(randomSpec(random));
    std::vector<std::vector<uint32_t>> keys;
    for (size_t d = 0; d < maker.spec().dimensions.size(); ++d)
        keys.push_back(addMembers(random, maker, d));
    const size_t facts = random() % 8 == 0 ? 0 : random() % 300;
    for (size_t i = 0; i < facts; ++i) {
        std::vector<uint32_t> factKeys;
        for (const auto& dimensionKeys : keys)
            factKeys.push_back(dimensionKeys[random() % dimensionKeys.size()]);
        std::vector<double> values;
        for (int m = 0; m < 5; ++m)
            values.push_back(randomValue(random));
        values.push_back(1);
        maker.addFact(factKeys, values);
    }
    return maker.make();
}

// ---- random queries -----------------------------------------------------

std::vector<uint32_t> randomMembers(std::mt19937_64& random, const HierarchyInfo& hierarchy, unsigned percent,
                                    bool withChildrenOnly)
{
    std::vector<uint32_t> members;
    for (uint32_t m = 0; m < hierarchy.members.size(); ++m) {
        if ((!withChildrenOnly || hierarchy.members[m].childCount > 0) && random() % 100 < percent)
            members.push_back(m);
    }
    return members;
}

void randomOptions(std::mt19937_64& random, QueryAxis& axis)
{
    axis.subtotals = random() % 4 != 0;
    axis.grandTotal = random() % 4 != 0;
    axis.subtotalsFirst = random() % 2;
    axis.keepEmpty = random() % 3 == 0;
}

PivotQuery randomQuery(std::mt19937_64& random, const CubeInfo& cube)
{
    PivotQuery query;
    for (uint32_t d = 0; d < cube.dimensions.size(); ++d) {
        const HierarchyInfo& hierarchy = cube.dimensions[d].hierarchies[0];
        const unsigned place = unsigned(random() % 4);
        if (place < 2) {
            QueryAxis& axis = place == 0 ? query.rows : query.columns;
            axis.fields.push_back(
                {d, 0, randomMembers(random, hierarchy, 60, true), randomMembers(random, hierarchy, 8, false)});
        } else if (place == 2) {
            const bool all = random() % 3 == 0;
            query.pages.push_back({d, 0, all ? std::vector<uint32_t>{} : randomMembers(random, hierarchy, 30, false)});
        }
    }
    randomOptions(random, query.rows);
    randomOptions(random, query.columns);
    for (uint32_t m = 0; m < cube.measures.size(); ++m) {
        if (random() % 4 != 0 || m == kFactsMeasure)
            query.measures.push_back(m);
    }
    std::shuffle(query.measures.begin(), query.measures.end(), random);
    return query;
}

// ---- SQLite -------------------------------------------------------------

using Statement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

std::string levelColumn(uint32_t dimension, uint16_t level)
{
    return numbered("d", int(dimension)) + "_" + std::to_string(level);
}

// The facts, with every dimension's members level by level.
class FactDatabase {
public:
    explicit FactDatabase(const TestCube& cube) : mCube(cube)
    {
        sqlite3* db = nullptr;
        EXPECT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
        mDb.reset(db);
        std::string columns, marks;
        for (uint32_t d = 0; d < cube.info.dimensions.size(); ++d) {
            for (uint16_t l = 0; l < cube.info.dimensions[d].hierarchies[0].levels.size(); ++l) {
                columns += levelColumn(d, l) + " INTEGER, ";
                marks += "?, ";
            }
        }
        for (uint32_t m = 0; m < cube.info.measures.size(); ++m) {
            columns += numbered("m", int(m)) + " REAL" + (m + 1 < cube.info.measures.size() ? ", " : "");
            marks += m + 1 < cube.info.measures.size() ? "?, " : "?";
        }
        exec("CREATE TABLE f (" + columns + ")");
        exec("BEGIN");
        Statement insert = prepare("INSERT INTO f VALUES (" + marks + ")");
        for (uint64_t row = 0; row < cube.facts.rowCount; ++row)
            insertFact(insert.get(), row);
        exec("COMMIT");
    }

    Statement prepare(const std::string& sql) const
    {
        sqlite3_stmt* statement = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(mDb.get(), sql.c_str(), -1, &statement, nullptr), SQLITE_OK)
            << sql << ": " << sqlite3_errmsg(mDb.get());
        return Statement(statement, &sqlite3_finalize);
    }

private:
    void exec(const std::string& sql) const
    {
        EXPECT_EQ(sqlite3_exec(mDb.get(), sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    }

    void insertFact(sqlite3_stmt* insert, uint64_t row) const
    {
        int column = 1;
        for (uint32_t d = 0; d < mCube.info.dimensions.size(); ++d) {
            const HierarchyInfo& hierarchy = mCube.info.dimensions[d].hierarchies[0];
            std::vector<int64_t> path(hierarchy.levels.size());
            const uint32_t key = mCube.facts.keys[d][row];
            for (int32_t m = int32_t(hierarchy.memberOfKey[key]); m >= 0; m = hierarchy.members[m].parent)
                path[hierarchy.members[m].level] = m;
            for (int64_t member : path)
                sqlite3_bind_int64(insert, column++, member);
        }
        for (const auto& values : mCube.facts.values) {
            if (std::isnan(values[row]))
                sqlite3_bind_null(insert, column++);
            else
                sqlite3_bind_double(insert, column++, values[row]);
        }
        EXPECT_EQ(sqlite3_step(insert), SQLITE_DONE);
        sqlite3_reset(insert);
    }

    const TestCube& mCube;
    std::unique_ptr<sqlite3, decltype(&sqlite3_close)> mDb{nullptr, &sqlite3_close};
};

const char* sqlAggregate(Aggregation aggregation)
{
    switch (aggregation) {
    case Aggregation::Sum: return "SUM";
    case Aggregation::Count: return "COUNT";
    case Aggregation::Min: return "MIN";
    case Aggregation::Max: return "MAX";
    case Aggregation::Average: return "AVG";
    }
    return "";
}

// ---- the expected cells -------------------------------------------------

// Where a tuple pair's cell lies: per placed field, the level its member is on
// (or -1 for a total), and the members.
struct CellGroup {
    std::vector<int> levels;
    std::vector<int64_t> members;
};

class ExpectedCells {
public:
    ExpectedCells(const TestCube& cube, const PivotQuery& query, const FactDatabase& db)
        : mCube(cube), mQuery(query), mDb(db)
    {
        for (const QueryAxis* axis : {&query.rows, &query.columns})
            mFields.insert(mFields.end(), axis->fields.begin(), axis->fields.end());
    }

    // Per measure of the query: the aggregate, or nullopt when no fact of the
    // group has a value.
    std::vector<std::optional<double>> cell(const AxisTuple& row, const AxisTuple& column)
    {
        CellGroup group;
        for (const AxisTuple* tuple : {&row, &column}) {
            for (const TupleMember& part : tuple->members) {
                const AxisField& field = mFields[group.levels.size()];
                const auto& members = mCube.info.dimensions[field.dimension].hierarchies[0].members;
                group.levels.push_back(part.member == kAllMembers ? -1 : members[part.member].level);
                if (part.member != kAllMembers)
                    group.members.push_back(part.member);
            }
        }
        auto& groups = mGroups[group.levels];
        if (groups.empty())
            groups = runGroupBy(group.levels);
        const auto found = groups.find(group.members);
        if (found == groups.end())
            return std::vector<std::optional<double>>(mQuery.measures.size());
        return found->second;
    }

    // The number of facts that the filters let through.
    int64_t filteredFacts() const
    {
        Statement count = mDb.prepare("SELECT COUNT(*) FROM f WHERE " + filter());
        EXPECT_EQ(sqlite3_step(count.get()), SQLITE_ROW);
        return sqlite3_column_int64(count.get(), 0);
    }

private:
    using Groups = std::map<std::vector<int64_t>, std::vector<std::optional<double>>>;

    Groups runGroupBy(const std::vector<int>& levels) const
    {
        std::string keys;
        for (size_t f = 0; f < levels.size(); ++f) {
            if (levels[f] >= 0)
                keys += levelColumn(mFields[f].dimension, uint16_t(levels[f])) + ", ";
        }
        std::string sql = "SELECT " + keys;
        for (uint32_t m : mQuery.measures) {
            const std::string column = numbered("m", int(m));
            sql += std::string(sqlAggregate(mCube.info.measures[m].aggregation)) + "(" + column + "), ";
            sql += "COUNT(" + column + "), ";
        }
        sql += "0 FROM f WHERE " + filter();
        if (!keys.empty())
            sql += " GROUP BY " + keys.substr(0, keys.size() - 2);
        const auto grouped = std::count_if(levels.begin(), levels.end(), [](int l) { return l >= 0; });
        return readGroups(mDb.prepare(sql), int(grouped));
    }

    Groups readGroups(Statement statement, int keyCount) const
    {
        Groups groups;
        while (sqlite3_step(statement.get()) == SQLITE_ROW) {
            std::vector<int64_t> members;
            for (int k = 0; k < keyCount; ++k)
                members.push_back(sqlite3_column_int64(statement.get(), k));
            std::vector<std::optional<double>> values;
            for (size_t m = 0; m < mQuery.measures.size(); ++m) {
                const int column = keyCount + int(m) * 2;
                if (sqlite3_column_int64(statement.get(), column + 1) == 0)
                    values.push_back(std::nullopt);  // no fact of the group has a value
                else
                    values.push_back(sqlite3_column_double(statement.get(), column));
            }
            groups.emplace(std::move(members), std::move(values));
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
    const FactDatabase& mDb;
    std::vector<AxisField> mFields;  // rows, then columns
    std::map<std::vector<int>, Groups> mGroups;
};

// ---- checks -------------------------------------------------------------

bool close(double a, double b)
{
    return std::fabs(a - b) <= 1e-9 * std::max({1.0, std::fabs(a), std::fabs(b)});
}

// A member is visible when it and its ancestors below the "all" member are
// not hidden and its ancestors are drilled.
bool visible(const HierarchyInfo& hierarchy, const AxisField& field, uint32_t member)
{
    const auto has = [](const std::vector<uint32_t>& list, uint32_t m) {
        return std::find(list.begin(), list.end(), m) != list.end();
    };
    const bool hasAll = hierarchy.levels[0].type == LevelType::All;
    if (hasAll && hierarchy.members[member].level == 0)
        return false;
    for (int32_t m = int32_t(member); m >= 0; m = hierarchy.members[m].parent) {
        if (has(field.hidden, uint32_t(m)))
            return false;
        const int32_t parent = hierarchy.members[m].parent;
        const bool parentIsAll = parent >= 0 && hasAll && hierarchy.members[parent].level == 0;
        if (parent >= 0 && !parentIsAll && !has(field.drilled, uint32_t(parent)))
            return false;
        if (parentIsAll && has(field.hidden, uint32_t(parent)))
            return false;
    }
    return true;
}

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

void checkCells(const TestCube& cube, const PivotQuery& query, const QueryResult& result, ExpectedCells& expected)
{
    for (size_t r = 0; r < result.rows.size(); ++r) {
        for (size_t c = 0; c < result.columns.size(); ++c) {
            const auto want = expected.cell(result.rows[r], result.columns[c]);
            for (size_t m = 0; m < result.measures.size(); ++m) {
                const auto got = result.cell(r, c, m);
                const std::string where = "cell " + std::to_string(r) + "," + std::to_string(c) + " measure "
                    + cube.info.measures[query.measures[m]].name;
                ASSERT_EQ(got.has_value(), want[m].has_value()) << where;
                if (got) {
                    EXPECT_TRUE(close(*got, *want[m])) << where << ": " << *got << " instead of " << *want[m];
                }
            }
        }
    }
}

// The leaf tuples (members on every field) split the filtered facts.
void checkLeavesCoverFacts(const PivotQuery& query, const QueryResult& result, int64_t facts)
{
    const auto factsMeasure = std::find(query.measures.begin(), query.measures.end(), kFactsMeasure);
    const size_t measure = size_t(factsMeasure - query.measures.begin());
    double total = 0;
    for (size_t r = 0; r < result.rows.size(); ++r) {
        for (size_t c = 0; c < result.columns.size(); ++c) {
            const bool rowLeaf = result.rows[r].kind == TupleKind::Member || query.rows.fields.empty();
            const bool columnLeaf = result.columns[c].kind == TupleKind::Member || query.columns.fields.empty();
            if (rowLeaf && columnLeaf)
                total += result.cell(r, c, measure).value_or(0);
        }
    }
    EXPECT_EQ(int64_t(total), facts);
}

TEST(QueryAgainstSqlite, RandomPivotsMatchGroupByForEveryAggregation)
{
    std::mt19937_64 random(20240611);
    for (int round = 0; round < 60; ++round) {
        const TestCube cube = randomCube(random);
        const FactDatabase db(cube);
        for (int q = 0; q < 8; ++q) {
            SCOPED_TRACE("round " + std::to_string(round) + " query " + std::to_string(q));
            const PivotQuery query = randomQuery(random, cube.info);
            const QueryResult result = runQuery(cube.info, cube.facts, query, {unsigned(1 + q % 2)});
            ExpectedCells expected(cube, query, db);
            checkTuples(cube.info, query.rows, result.rows);
            checkTuples(cube.info, query.columns, result.columns);
            checkCells(cube, query, result, expected);
            checkLeavesCoverFacts(query, result, expected.filteredFacts());
        }
    }
}

}  // namespace
}  // namespace olap
