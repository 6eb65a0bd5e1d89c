// The query engine against the scripts in queries/ (one test per script),
// plus the behaviours a script cannot state: failures for bad indices and
// results that do not depend on the thread count.
#include "olap/query/query.h"
#include "olaptestsupport.h"
#include "querytestscript.h"

#include <algorithm>
#include <filesystem>

namespace olap {
namespace {

using testing::readScript;
using testing::renderResult;

const std::filesystem::path kScripts = std::filesystem::path(OLAP_TEST_DATA).parent_path() / "queries";

std::vector<std::string> scriptNames()
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(kScripts)) {
        if (entry.path().extension() == ".test")
            names.push_back(entry.path().stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += "    " + line + "\n";
    return text;
}

std::vector<std::string> outcome(const testing::ScriptCase& test)
{
    try {
        return renderResult(test.cube->info, test.query, runQuery(test.cube->info, test.cube->facts, test.query));
    } catch (const platform::Failure& failure) {
        return {"error: " + failure.description()};
    }
}

// An expected failure matches a failure whose description holds its text.
bool matches(const std::vector<std::string>& expected, const std::vector<std::string>& actual)
{
    if (expected.size() == 1 && expected[0].starts_with("error:"))
        return actual.size() == 1 && actual[0].starts_with("error:")
            && actual[0].find(expected[0].substr(7)) != std::string::npos;
    return actual == expected;
}

class QueryScript : public ::testing::TestWithParam<std::string> {};

TEST_P(QueryScript, GivesTheExpectedTables)
{
    const auto cases = readScript(kScripts / (GetParam() + ".test"));
    ASSERT_FALSE(cases.empty());
    for (const auto& test : cases) {
        const std::vector<std::string> actual = outcome(test);
        EXPECT_TRUE(matches(test.expected, actual))
            << GetParam() << ".test:" << test.line << ": " << test.title << "\n  expected:\n"
            << joined(test.expected) << "  actual:\n" << joined(actual);
    }
}

INSTANTIATE_TEST_SUITE_P(Scripts, QueryScript, ::testing::ValuesIn(scriptNames()),
                         [](const auto& info) { return info.param; });

using olaptest::TestCube;

// Year > Quarter and a flat product, one Sum measure.
TestCube smallCube()
{
    HierarchySpec time{{}, false, {}, {{"Year", false}, {"Quarter", false}}};
    HierarchySpec product{{}, false, {}, {{"Name", false}}};
    CubeBuilder cube({"Sales", {{"Time", DimensionType::Time, {time}}, {"Product", DimensionType::Other, {product}}},
                      {{"Units", Aggregation::Sum, {}}}});
    const uint32_t keys[] = {cube.dimensionKey(0, {{"1997"}, {"Q1"}}), cube.dimensionKey(1, {{"Apple"}})};
    const double values[] = {1};
    cube.addFact(keys, values);
    return olaptest::readBack(cube);
}

TEST(QueryFailures, UnknownDimensionHierarchyMemberOrMeasureIndexIsBadInput)
{
    const TestCube cube = smallCube();
    const std::pair<PivotQuery, const char*> cases[] = {
        {{{{{5, 0, {}, {}}}}, {}, {}, {}}, "no dimension number 5"},
        {{{{{0, 1, {}, {}}}}, {}, {}, {}}, "has no hierarchy number 1"},
        {{{{{0, 0, {99}, {}}}}, {}, {}, {}}, "\"Time\" has no member number 99"},
        {{{{{0, 0, {}, {42}}}}, {}, {}, {}}, "\"Time\" has no member number 42"},
        {{{}, {}, {{1, 0, {7}}}, {}}, "\"Product\" has no member number 7"},
    };
    for (const auto& [query, text] : cases) {
        const platform::Failure failure =
            olaptest::failureOf([&, &query = query] { runQuery(cube.info, cube.facts, query); });
        EXPECT_EQ(failure.number(), platform::err::kSubscript) << text;
        EXPECT_EQ(failure.source(), "olap");
        EXPECT_THAT(failure.description(), olaptest::HasSubstr(text));
    }
    // facts that do not match the cube are a bug
    const olap::FactTable broken(cube.facts.rowCount(), cube.info.dimensions.size(), 0);
    EXPECT_THROW(runQuery(cube.info, broken, PivotQuery{}), platform::InternalFailure);
}

// Facts with values whose sums depend on the order of addition, enough of
// them on few keys for the scan to split them into parts, one key hidden.
// (Cells split between threads: queryresultthreads_test.cpp.)
TEST(QueryThreads, TheResultIsTheSameForAnyThreadCount)
{
    constexpr uint64_t kRows = 3'000'000;
    HierarchySpec flat{{}, false, {}, {{"Name", false}}};
    CubeBuilder builder({"Big", {{"A", DimensionType::Other, {flat}}},
                         {{"V", Aggregation::Sum, {}}, {"W", Aggregation::Average, {}}}});
    for (uint32_t k = 0; k < 7; ++k)
        builder.dimensionKey(0, {{"a" + std::to_string(k)}});
    TestCube cube{olaptest::readBack(builder).info, olap::FactTable(kRows, 1, 2)};
    olap::Column<uint8_t> keys(kRows);
    olap::Column<double> values(kRows), others(kRows);
    for (uint64_t i = 0, state = 12345; i < kRows; ++i) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        keys[i] = uint8_t((state >> 33) % 7);
        values[i] = double(state >> 11) * 0x1p-53 * 1e6;
        others[i] = (state >> 20) % 9 == 0 ? kEmpty : double(state >> 40) / 3;
    }
    cube.facts.setKeys(0, std::move(keys));
    cube.facts.setValues(0, std::move(values));
    cube.facts.setValues(1, std::move(others));
    PivotQuery query;
    query.rows.fields = {{0, 0, {}, {1}}};
    query.measures = {0, 1};
    const QueryResult one = runQuery(cube.info, cube.facts, query, {1});
    for (unsigned threads : {2u, 3u, 8u})
        EXPECT_EQ(runQuery(cube.info, cube.facts, query, {threads}).cells, one.cells) << threads << " threads";
}

}  // namespace
}  // namespace olap
