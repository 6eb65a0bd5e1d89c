// A pivot whose result is large enough for its cells to be set up and its
// empty tuples found on two threads: the same result as on one, and exactly
// the rows and columns that facts fall in.
#include "olap/query/query.h"
#include "olaptestsupport.h"

#include <set>

namespace olap {
namespace {

using olaptest::TestCube;

constexpr uint32_t kKeys = 700;  // 701 x 701 tuples, two measures: about 16 MB of cells
constexpr uint64_t kFacts = 200'000;

// Keys 3, 10, 17, ... of either dimension never occur: their tuples are empty.
uint32_t usedKey(uint32_t key) { return key % 7 == 3 ? key + 1 : key; }

uint32_t randomKey(uint64_t& state)
{
    state = state * 6364136223846793005u + 1442695040888963407u;
    return uint32_t((state >> 33) % kKeys);
}

TEST(QueryResultThreads, LargeResultsDropTheSameEmptyTuplesOnAnyThreadCount)
{
    HierarchySpec flat{{}, false, {}, {{"Name", false}}};
    CubeBuilder builder({"Wide", {{"A", DimensionType::Other, {flat}}, {"B", DimensionType::Other, {flat}}},
                         {{"V", Aggregation::Sum, {}}, {"N", Aggregation::Count, {}}}});
    for (uint32_t k = 0; k < kKeys; ++k) {
        builder.dimensionKey(0, {{"a" + std::to_string(k)}});
        builder.dimensionKey(1, {{"b" + std::to_string(k)}});
    }
    const TestCube read = olaptest::readBack(builder);
    TestCube cube{read.info, FactTable(kFacts, 2, 2)};
    Column<uint16_t> a(kFacts), b(kFacts);
    Column<double> values(kFacts), counted(kFacts);
    std::set<uint32_t> rowKeys, columnKeys;
    uint64_t state = 99;
    for (uint64_t i = 0; i < kFacts; ++i) {
        b[i] = uint16_t(usedKey(randomKey(state)));
        // The last columns have facts only in the last rows: each half of
        // the rows sees columns the other does not.
        a[i] = uint16_t(usedKey(b[i] >= 600 ? 450 + randomKey(state) % 240 : randomKey(state)));
        values[i] = double(state >> 40) / 7;
        counted[i] = 1;
        rowKeys.insert(a[i]);
        columnKeys.insert(b[i]);
    }
    cube.facts.setKeys(0, std::move(a));
    cube.facts.setKeys(1, std::move(b));
    cube.facts.setValues(0, std::move(values));
    cube.facts.setValues(1, std::move(counted));
    PivotQuery query;
    query.rows.fields = {{0, 0, {}, {}}};
    query.columns.fields = {{1, 0, {}, {}}};
    query.measures = {0, 1};

    const QueryResult one = runQuery(cube.info, cube.facts, query, {1});
    EXPECT_EQ(one.rows.size(), rowKeys.size() + 1);  // and the grand total
    EXPECT_EQ(one.columns.size(), columnKeys.size() + 1);
    EXPECT_EQ(one.cell(one.rows.size() - 1, one.columns.size() - 1, 1), double(kFacts));
    for (unsigned threads : {0u, 2u}) {
        SCOPED_TRACE(threads);
        const QueryResult many = runQuery(cube.info, cube.facts, query, {threads});
        ASSERT_EQ(many.rows.size(), one.rows.size());
        ASSERT_EQ(many.columns.size(), one.columns.size());
        for (size_t r = 0; r < one.rows.size(); ++r)
            ASSERT_EQ(many.rows[r].members[0].member, one.rows[r].members[0].member) << "row " << r;
        ASSERT_EQ(many.cells, one.cells);
    }
}

}  // namespace
}  // namespace olap
