// Distinct counts against SQLite's COUNT(DISTINCT) over the same facts, on
// the paths the engine takes: the first distinct count's facts are stored in
// the order of its ids and counted in the scan's pass, the second's are not
// and are grouped by id first; nested fields on the axis with more tuples,
// hidden members above the deepest level, a page filter, the other axis the
// larger one, ids of few facts to many, enough facts for two parts of the
// scan with an id that runs from one into the other and many ids per
// thread, ids stored in four bytes with none left out, and trees too wide
// for their leaves' paths to fit 32 bits, or 64.
#include "olap/query/query.h"
#include "olaptestsupport.h"

#include <array>
#include <functional>
#include <memory>
#include <random>

namespace olap {
namespace {

constexpr uint32_t kFirst = 0, kSecond = 1;  // the two distinct count measures

// Per dimension, the members of a fact below the "all" level.
using PathOf = std::function<std::vector<PathPart>(uint32_t dimension, uint64_t fact, std::mt19937_64& random)>;

// Three dimensions of 3, 2 and 2 levels, members m0..m2 everywhere.
const std::vector<uint32_t> kThreeDimensions = {3, 2, 2};
std::vector<PathPart> randomPath(uint32_t dimension, uint64_t, std::mt19937_64& random)
{
    std::vector<PathPart> path(kThreeDimensions[dimension]);
    for (PathPart& part : path)
        part.name = "m" + std::to_string(random() % 3);
    return path;
}

// One dimension of `depth` levels where one member of each level has 128
// children: 8 bits per level. Five levels take more than 32 bits to number,
// eight more than one 64-bit number can.
PathOf combPath(uint64_t depth)
{
    return [depth](uint32_t, uint64_t fact, std::mt19937_64&) {
        const uint64_t leaf = fact % (depth * 127 + 1), branch = leaf / 127;  // branch depth: the spine's own leaf
        std::vector<PathPart> path(depth);
        for (uint64_t l = 0; l < depth; ++l)
            path[l].name = l < branch ? "s" : l == branch ? "x" + std::to_string(leaf % 127) : "c";
        return path;
    };
}

struct Sample {
    olaptest::TestCube cube;
    std::unique_ptr<sqlite3, decltype(&sqlite3_close)> db{nullptr, &sqlite3_close};
};

// `facts` facts on members m0..m2 of every level. The first measure's value
// is "0" in nearly half the facts (they straddle the middle of the stored
// order, where two threads split it), else one of `values` or (one fact in
// nine, unless `everyFactHasId`) none; the second's one of 40. SQLite's
// table f holds per fact its member on every level (l<dimension>_<level>)
// and its two ids (NULL: none).
Sample makeSample(uint64_t facts, uint32_t values, const std::vector<uint32_t>& levels = kThreeDimensions,
                  const PathOf& pathOf = randomPath, bool everyFactHasId = false)
{
    CubeSpec spec{"Distinct", {}, {{"Shoppers", Aggregation::DistinctCount}, {"Items", Aggregation::DistinctCount}}};
    std::string columns;
    for (uint32_t d = 0; d < levels.size(); ++d) {
        HierarchySpec hierarchy{{}, true, {}, {}};
        for (uint32_t l = 0; l <= levels[d]; ++l) {
            if (l > 0)
                hierarchy.levels.push_back({"L" + std::to_string(l)});
            columns += "l" + std::to_string(d) + "_" + std::to_string(l) + ", ";
        }
        spec.dimensions.push_back({"D" + std::to_string(d), DimensionType::Other, {hierarchy}});
    }
    CubeBuilder builder(spec);
    std::mt19937_64 random(facts);
    for (uint64_t i = 0; i < facts; ++i) {
        std::vector<uint32_t> keys;
        for (uint32_t d = 0; d < levels.size(); ++d)
            keys.push_back(builder.dimensionKey(d, pathOf(d, i, random)));
        const uint64_t first = random() % 20 < 9 ? 0 : random() % values;
        builder.addFact(keys, std::vector<double>{
            random() % 9 == 0 && !everyFactHasId ? kEmpty : double(builder.distinctId(kFirst, std::to_string(first))),
            double(builder.distinctId(kSecond, std::to_string(random() % 40)))});
    }
    Sample sample{olaptest::readBack(builder)};
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    sample.db.reset(db);
    std::string sql = "CREATE TABLE f (" + columns + "a, b); INSERT INTO f VALUES ";
    const FactTable& table = sample.cube.facts;
    for (uint64_t row = 0; row < table.rowCount(); ++row) {
        sql += row == 0 ? "(" : ", (";
        for (uint32_t d = 0; d < levels.size(); ++d) {
            const HierarchyInfo& hierarchy = sample.cube.info.dimensions[d].hierarchies[0];
            std::vector<int32_t> path(hierarchy.levels.size());
            for (auto m = int32_t(hierarchy.memberOfKey[keyAt(table.keys(d), row)]); m >= 0; m = hierarchy.members[m].parent)
                path[hierarchy.members[m].level] = m;
            for (int32_t member : path)
                sql += std::to_string(member) + ", ";
        }
        const uint32_t a = keyAt(table.distinctIds(kFirst), row);
        sql += (a ? std::to_string(a) : "NULL") + ", " + std::to_string(keyAt(table.distinctIds(kSecond), row)) + ")";
    }
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    return sample;
}

// SQLite's counts of a cell, per measure: facts beneath the tuples' members, less hidden ones, within the pages.
std::array<uint32_t, 2> expectedCounts(const Sample& sample, const PivotQuery& query, const AxisTuple& row,
                                       const AxisTuple& column)
{
    std::vector<AxisField> fields = query.rows.fields;
    fields.insert(fields.end(), query.columns.fields.begin(), query.columns.fields.end());
    std::vector<TupleMember> members(row.members.begin(), row.members.end());
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

// The members of dimension `d` with children, down to level `deepest`; or, with a name, those of level `deepest` named so.
std::vector<uint32_t> members(const CubeInfo& cube, uint32_t d, uint16_t deepest, const std::string& name = {})
{
    std::vector<uint32_t> result;
    const auto& all = cube.dimensions[d].hierarchies[0].members;
    for (uint32_t m = 0; m < all.size(); ++m) {
        if (name.empty() ? all[m].childCount > 0 && all[m].level <= deepest : all[m].level == deepest && all[m].name == name)
            result.push_back(m);
    }
    return result;
}

void expectEveryCell(const Sample& sample, PivotQuery query, unsigned threads)
{
    query.measures = {kFirst, kSecond};
    const QueryResult result = runQuery(sample.cube.info, sample.cube.facts, query, {threads});
    ASSERT_GT(result.rows.size() * result.columns.size(), 4u);
    for (size_t r = 0; r < result.rows.size(); ++r) {
        for (size_t c = 0; c < result.columns.size(); ++c) {
            const auto want = expectedCounts(sample, query, result.rows[r], result.columns[c]);
            for (const uint32_t m : {kFirst, kSecond})
                ASSERT_EQ(result.cell(r, c, m).value_or(0), want[m]) << "cell " << r << "," << c << " measure " << m;
        }
    }
}

TEST(DistinctCount, EveryCellEqualsCountDistinctInStoredOrderAndNot)
{
    const Sample small = makeSample(2000, 300);
    // About eleven facts an id, from one to thirty and more, runs cut by blocks.
    const Sample medium = makeSample(20000, 1000);
    // Two parts of the scan, each with more than 65,535 ids; the id of
    // nearly half the facts runs on from the first part into the second,
    // where its last facts are the only ones of a member ("late") of D0.
    constexpr uint64_t kLarge = 600000;
    const Sample large = makeSample(kLarge, 1000000, kThreeDimensions,
                                    [](uint32_t dimension, uint64_t fact, std::mt19937_64& random) {
        std::vector<PathPart> path = randomPath(dimension, fact, random);
        if (dimension == 0 && fact >= kLarge / 100 * 99)
            path[0].name = "late";
        return path;
    });
    // Ids stored in four bytes (more than 65,535 of them), and no fact left
    // out: the runs of ids are found sixteen facts at a time where the
    // processor can, the last five of the last block one by one.
    const Sample wideIds = makeSample(150005, 10000000, kThreeDimensions, randomPath, true);
    const struct {
        const char* name;
        const Sample& sample;
        unsigned threads;
        std::function<void(const CubeInfo&, PivotQuery&)> shape;
    } cases[] = {
        {"nested rows drilled to the leaves", small, 1, [](const CubeInfo& cube, PivotQuery& query) {
             query.rows.fields = {{0, 0, members(cube, 0, 3), {}}, {1, 0, members(cube, 1, 2), {}}};
             query.columns.fields = {{2, 0, members(cube, 2, 1), {}}};
         }},
        {"hidden members above the leaves, a page, subtotals first", small, 2, [](const CubeInfo& cube, PivotQuery& query) {
             query.rows.fields = {{0, 0, members(cube, 0, 3), members(cube, 0, 2, "m1")},
                                  {1, 0, members(cube, 1, 2), members(cube, 1, 1, "m2")}};
             query.rows.subtotalsFirst = true;
             query.pages = {{2, 0, members(cube, 2, 1, "m0")}};
         }},
        {"the columns the larger axis, no grand totals", small, 1, [](const CubeInfo& cube, PivotQuery& query) {
             query.rows.fields = {{1, 0, {}, {}}};
             query.rows.grandTotal = false;
             query.columns.fields = {{0, 0, members(cube, 0, 3), {}}, {2, 0, members(cube, 2, 1), {}}};
             query.columns.subtotals = false;
         }},
        {"ids of one to thirty and more facts", medium, 1, [](const CubeInfo& cube, PivotQuery& query) {
             query.rows.fields = {{0, 0, members(cube, 0, 2), {}}};
             query.columns.fields = {{1, 0, {}, {}}};
         }},
        {"four-byte ids, every fact counted", wideIds, 1, [](const CubeInfo&, PivotQuery& query) {
             query.rows.fields = {{0, 0, {}, {}}};
             query.columns.fields = {{1, 0, {}, {}}};
         }},
        {"many facts and ids on two threads", large, 2, [](const CubeInfo& cube, PivotQuery& query) {
             query.rows.fields = {{0, 0, members(cube, 0, 1), {}}, {1, 0, {}, {}}};
             query.columns.fields = {{2, 0, {}, members(cube, 2, 1, "m2")}};
         }},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        PivotQuery query;
        test.shape(test.sample.cube.info, query);
        expectEveryCell(test.sample, query, test.threads);
    }
}

TEST(DistinctCount, EveryCellEqualsCountDistinctOnTreesTooWideToNumberInHalfAWordOrInOne)
{
    for (const uint32_t depth : {5u, 8u}) {
        SCOPED_TRACE(depth);
        const Sample comb = makeSample(2500, 60, {depth}, combPath(depth));
        PivotQuery query;
        query.rows.fields = {{0, 0, members(comb.cube.info, 0, depth), {}}};
        expectEveryCell(comb, query, 1);
    }
}

}  // namespace
}  // namespace olap
