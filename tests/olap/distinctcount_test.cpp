// Distinct counts against SQLite's COUNT(DISTINCT) over the same facts, on
// the paths the engine takes: the first distinct count's facts are stored in
// the order of its ids and counted in one pass, the second's are not and are
// grouped by id first; nested fields on the axis with more tuples, hidden
// members above the deepest level, a page filter, the other axis the larger
// one, and enough facts and ids for two threads and for many ids per thread.
#include "olap/query/query.h"
#include "olaptestsupport.h"

#include <array>
#include <memory>
#include <random>

namespace olap {
namespace {

using Database = std::unique_ptr<sqlite3, decltype(&sqlite3_close)>;

// Product (3 levels) and Store (2) for the rows, Time (2) for the columns.
constexpr uint32_t kLevels[] = {3, 2, 2};
constexpr uint32_t kChildren = 3;
constexpr uint32_t kFirst = 0, kSecond = 1;  // the two distinct count measures

struct Sample {
    olaptest::TestCube cube;
    Database db{nullptr, &sqlite3_close};
};

// `facts` facts; the first measure's ids from `values` values, value "0" in
// nearly half the facts (its facts straddle the middle of the stored order,
// where two threads split them), the second's from 40 values.
Sample makeSample(uint64_t facts, uint32_t values)
{
    CubeSpec spec{"Distinct", {}, {{"Shoppers", Aggregation::DistinctCount}, {"Items", Aggregation::DistinctCount}}};
    for (uint32_t d = 0; d < std::size(kLevels); ++d) {
        HierarchySpec hierarchy{{}, true, {}, {}};
        for (uint32_t l = 0; l < kLevels[d]; ++l)
            hierarchy.levels.push_back({"L" + std::to_string(l)});
        spec.dimensions.push_back({"D" + std::to_string(d), DimensionType::Other, {hierarchy}});
    }
    CubeBuilder builder(spec);
    std::mt19937_64 random(facts);
    std::string rows;
    for (uint64_t i = 0; i < facts; ++i) {
        std::vector<uint32_t> keys;
        for (uint32_t d = 0; d < std::size(kLevels); ++d) {
            std::vector<PathPart> path;
            for (uint32_t l = 0; l < kLevels[d]; ++l)
                path.push_back({"m" + std::to_string(random() % kChildren)});
            keys.push_back(builder.dimensionKey(d, path));
        }
        const std::string first = std::to_string(random() % 20 < 9 ? 0 : random() % values), second = std::to_string(random() % 40);
        builder.addFact(keys, std::vector<double>{random() % 9 == 0 ? kEmpty : double(builder.distinctId(kFirst, first)),
                                                  double(builder.distinctId(kSecond, second))});
    }
    Sample sample{olaptest::readBack(builder)};
    // Table f: per fact its member on every level (l<dimension>_<level>) and its two ids (NULL: none).
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    sample.db.reset(db);
    std::string columns;
    for (uint32_t d = 0; d < std::size(kLevels); ++d) {
        for (uint32_t l = 0; l <= kLevels[d]; ++l)
            columns += "l" + std::to_string(d) + "_" + std::to_string(l) + ", ";
    }
    EXPECT_EQ(sqlite3_exec(db, ("CREATE TABLE f (" + columns + "a, b)").c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    const FactTable& table = sample.cube.facts;
    for (uint64_t row = 0; row < table.rowCount(); ++row) {
        rows += rows.empty() ? "(" : ", (";
        for (uint32_t d = 0; d < std::size(kLevels); ++d) {
            const HierarchyInfo& hierarchy = sample.cube.info.dimensions[d].hierarchies[0];
            std::vector<int32_t> path(hierarchy.levels.size());
            for (auto m = int32_t(hierarchy.memberOfKey[keyAt(table.keys(d), row)]); m >= 0; m = hierarchy.members[m].parent)
                path[hierarchy.members[m].level] = m;
            for (int32_t member : path)
                rows += std::to_string(member) + ", ";
        }
        const uint32_t a = keyAt(table.distinctIds(kFirst), row), b = keyAt(table.distinctIds(kSecond), row);
        rows += (a ? std::to_string(a) : "NULL") + ", " + std::to_string(b) + ")";
    }
    EXPECT_EQ(sqlite3_exec(db, ("INSERT INTO f VALUES " + rows).c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    return sample;
}

// SQLite's counts of a cell, per measure: facts beneath the tuples' members, less hidden ones, within the pages.
std::array<uint32_t, 2> expectedCounts(const Sample& sample, const PivotQuery& query, const AxisTuple& row,
                                       const AxisTuple& column)
{
    std::vector<AxisField> fields = query.rows.fields;
    fields.insert(fields.end(), query.columns.fields.begin(), query.columns.fields.end());
    std::vector<TupleMember> members = row.members;
    members.insert(members.end(), column.members.begin(), column.members.end());
    const auto test = [&](uint32_t dimension, uint32_t member, const char* comparison) {
        const uint16_t level = sample.cube.info.dimensions[dimension].hierarchies[0].members[member].level;
        return " AND l" + std::to_string(dimension) + "_" + std::to_string(level) + comparison + std::to_string(member);
    };
    std::string sql = "SELECT COUNT(DISTINCT a), COUNT(DISTINCT b) FROM f WHERE 1";
    for (size_t f = 0; f < fields.size(); ++f) {
        if (members[f].member != kAllMembers)
            sql += test(fields[f].dimension, uint32_t(members[f].member), " = ");
        for (uint32_t hidden : fields[f].hidden)
            sql += test(fields[f].dimension, hidden, " <> ");
    }
    for (const PageField& page : query.pages)
        sql += test(page.dimension, page.selected.at(0), " = ");
    sqlite3_stmt* statement = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(sample.db.get(), sql.c_str(), -1, &statement, nullptr), SQLITE_OK) << sql;
    EXPECT_EQ(sqlite3_step(statement), SQLITE_ROW);
    const std::array<uint32_t, 2> counts{uint32_t(sqlite3_column_int64(statement, 0)),
                                         uint32_t(sqlite3_column_int64(statement, 1))};
    sqlite3_finalize(statement);
    return counts;
}

// The members with children of dimension `d` down to level `maxLevel`.
std::vector<uint32_t> parents(const CubeInfo& cube, uint32_t d, uint16_t maxLevel)
{
    std::vector<uint32_t> result;
    const auto& members = cube.dimensions[d].hierarchies[0].members;
    for (uint32_t m = 0; m < members.size(); ++m) {
        if (members[m].childCount > 0 && members[m].level <= maxLevel)
            result.push_back(m);
    }
    return result;
}

// The members of dimension `d` at `level` named `name`.
std::vector<uint32_t> named(const CubeInfo& cube, uint32_t d, uint16_t level, const std::string& name)
{
    std::vector<uint32_t> result;
    const auto& members = cube.dimensions[d].hierarchies[0].members;
    for (uint32_t m = 0; m < members.size(); ++m) {
        if (members[m].level == level && members[m].name == name)
            result.push_back(m);
    }
    return result;
}

TEST(DistinctCount, EveryCellEqualsCountDistinctInStoredOrderAndNot)
{
    const Sample small = makeSample(2000, 300);
    // Enough facts for two threads, and more than 65,535 ids in each thread's share.
    const Sample large = makeSample(300000, 1000000);
    const auto fullRows = [](const CubeInfo& cube) {
        PivotQuery query;
        query.rows.fields = {{0, 0, parents(cube, 0, 3), {}}, {1, 0, parents(cube, 1, 2), {}}};
        query.columns.fields = {{2, 0, parents(cube, 2, 1), {}}};
        return query;
    };
    const struct {
        const char* name;
        const Sample& sample;
        unsigned threads;
        PivotQuery (*makeQuery)(const CubeInfo&);
    } cases[] = {
        {"nested rows drilled to the leaves", small, 1, +fullRows},
        {"hidden members above the leaves, a page, subtotals first", small, 2, [](const CubeInfo& cube) {
             PivotQuery query;
             query.rows.fields = {{0, 0, parents(cube, 0, 3), named(cube, 0, 2, "m1")},
                                  {1, 0, parents(cube, 1, 2), named(cube, 1, 1, "m2")}};
             query.rows.subtotalsFirst = true;
             query.pages = {{2, 0, {named(cube, 2, 1, "m0")}}};
             return query;
         }},
        {"the columns the larger axis, no grand totals", small, 1, [](const CubeInfo& cube) {
             PivotQuery query;
             query.rows.fields = {{1, 0, {}, {}}};
             query.rows.grandTotal = false;
             query.columns.fields = {{0, 0, parents(cube, 0, 3), {}}, {2, 0, parents(cube, 2, 1), {}}};
             query.columns.subtotals = false;
             return query;
         }},
        {"many facts on two threads", large, 2, [](const CubeInfo& cube) {
             PivotQuery query;
             query.rows.fields = {{0, 0, parents(cube, 0, 1), {}}, {1, 0, {}, {}}};
             query.columns.fields = {{2, 0, {}, named(cube, 2, 1, "m2")}};
             return query;
         }},
        {"many ids on one thread", large, 1, [](const CubeInfo& cube) {
             PivotQuery query;
             query.columns.fields = {{0, 0, {}, {}}};
             return query;
         }},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        PivotQuery query = test.makeQuery(test.sample.cube.info);
        query.measures = {kFirst, kSecond};
        const QueryResult result = runQuery(test.sample.cube.info, test.sample.cube.facts, query, {test.threads});
        ASSERT_GE(result.rows.size() * result.columns.size(), 4u);
        for (size_t r = 0; r < result.rows.size(); ++r) {
            for (size_t c = 0; c < result.columns.size(); ++c) {
                const auto want = expectedCounts(test.sample, query, result.rows[r], result.columns[c]);
                for (const uint32_t m : {kFirst, kSecond})
                    ASSERT_EQ(result.cell(r, c, m).value_or(0), want[m]) << "cell " << r << "," << c << " measure " << m;
            }
        }
    }
}

}  // namespace
}  // namespace olap
