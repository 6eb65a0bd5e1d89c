// Reading cube definitions: what they say, and where their problems are.
#include "olap/build/cubedefinition.h"
#include "olaptestsupport.h"

namespace {

using olap::Aggregation;
using olap::DimensionType;

// One cube, one dimension, one measure: the smallest useful definition.
const std::string kSmallest = R"({
  "catalog": "Shop",
  "cubes": [{
    "name": "Sales",
    "factTable": "sales.csv",
    "dimensions": [{"name": "Store", "levels": [{"name": "City", "column": "city"}]}],
    "measures": [{"name": "Units", "column": "units"}]
  }]
})";

// `text` with its first `from` replaced by `to`.
std::string changed(const std::string& from, const std::string& to, std::string text = kSmallest)
{
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

olap::CatalogDefinition parse(const std::string& text)
{
    return olap::parseCubeDefinition(text, "/data/shop.json");
}

// Joins, captions, keys and the "all" level are read in the cube builder
// command's tests of the example; here the parts that example does not use.
TEST(CubeDefinition, ReadsCommentsStoreHierarchiesLevelTablesAndEveryAggregation)
{
    std::string text = changed(R"("catalog": "Shop",)", R"(// the shop
        "store": {"measuresSpecial": true, "measureListDimension": "Measure List"}, /* two
        lines */ "catalog": "Shop",)");
    text = changed(R"(}]}],)", R"(}]}, {"name": "Time", "type": "time",
        "joins": [{"table": "months.csv", "key": "month", "foreignKey": "month"}],
        "hierarchies": [{"name": "Calendar", "levels": [{"name": "Year", "column": "year", "table": "months.csv"}]},
                        {"name": "Fiscal", "levels": [{"name": "Fiscal Year", "column": "fiscal_year"}]}]},
        {"name": "Measure List", "type": "measure", "levels": [{"name": "Measure", "column": "measure"}]}],)", text);
    text = changed(R"({"name": "Units", "column": "units"})", R"({"name": "A", "column": "x", "aggregation": "sum"},
        {"name": "B", "aggregation": "count"}, {"name": "C", "column": "x", "aggregation": "min"},
        {"name": "D", "column": "x", "aggregation": "max"}, {"name": "E", "column": "x", "aggregation": "average"})", text);
    const auto catalog = parse(text);
    EXPECT_EQ(catalog.catalog, "Shop");
    ASSERT_TRUE(catalog.store.has_value());
    EXPECT_TRUE(catalog.store->measuresSpecial);
    EXPECT_EQ(catalog.store->measureListDimension, "Measure List");
    const auto& cube = catalog.cubes.at(0);
    EXPECT_EQ(cube.factTable.value, "sales.csv");
    EXPECT_EQ(cube.factTable.position, (olap::TextPosition{7, 18}));
    ASSERT_EQ(cube.dimensions.size(), 3u);
    const auto& time = cube.dimensions[1];
    ASSERT_EQ(time.hierarchies.size(), 2u);
    EXPECT_EQ(time.hierarchies[0].name, "Calendar");
    EXPECT_EQ(time.hierarchies[0].levels.at(0).table.value, "months.csv");
    EXPECT_EQ(time.hierarchies[1].levels.at(0).name, "Fiscal Year");
    EXPECT_EQ(cube.dimensions[2].type, DimensionType::Measure);
    const Aggregation aggregations[] = {Aggregation::Sum, Aggregation::Count, Aggregation::Min, Aggregation::Max,
                                        Aggregation::Average};
    ASSERT_EQ(cube.measures.size(), 5u);
    for (size_t m = 0; m < 5; ++m)
        EXPECT_EQ(cube.measures[m].aggregation, aggregations[m]) << m;
    EXPECT_TRUE(cube.measures[1].column.empty());
}

// Tables are found beside the definition unless their paths are absolute.
TEST(CubeDefinition, TablePathsAreRelativeToTheDefinition)
{
    const auto catalog = parse(kSmallest);
    EXPECT_EQ(catalog.tablePath("sub/x.csv"), std::filesystem::path("/data/sub/x.csv"));
    EXPECT_EQ(catalog.tablePath("/elsewhere/y.csv"), std::filesystem::path("/elsewhere/y.csv"));
}

// Each case changes the smallest definition in one place; the message names
// the place of the change.
TEST(CubeDefinition, ProblemsAreReportedAtTheirLineAndColumn)
{
    const struct { std::string from, to, message; } cases[] = {
        {R"("catalog": "Shop",)", R"("catalog": "Shop")",
         "3:3: malformed JSON: expected ',' or '}' after a member of an object"},
        {R"("catalog": "Shop",)", R"("catalog": "Shop", "catalog": "Other",)", "2:22: the member \"catalog\" appears twice"},
        {R"("catalog": "Shop",)", "", "1:1: missing member \"catalog\""},
        {R"("catalog": "Shop")", R"("catalog": 7)", "2:14: \"catalog\" must be a text in double quotes"},
        {R"("catalog": "Shop")", R"("catalog": "")", "2:14: \"catalog\" must not be empty"},
        {R"("catalog": "Shop",)", R"("catalog": "Shop", "colour": 1,)", "2:22: unknown member \"colour\"; expected one of catalog, cubes, store"},
        {R"("name": "Units", "column": "units")", R"("name": "Units", "column": "units", "aggregation": "median")",
         "7:70: unknown aggregation \"median\"; expected sum, count, min, max, average or distinct count"},
        {R"("name": "Units", "column": "units")", R"("name": "Units")", "7:18: missing member \"column\""},
        {R"({"name": "City", "column": "city")", R"({"name": "City", "column": "city", "orderBy": "size")",
         "6:95: unknown order \"size\"; expected \"name\", \"key\" or \"ordinal\""},
        {R"({"name": "City", "column": "city")", R"({"name": "City", "column": "city", "orderBy": "ordinal")",
         "6:49: \"orderBy\": \"ordinal\" needs the \"orderColumn\" that holds each member's place"},
        {R"({"name": "City", "column": "city")", R"({"name": "City", "column": "city", "descending": true)",
         "6:84: \"descending\" needs an \"orderBy\""},
        {R"("column": "units"})", R"("column": "units", "filter": {"column": "c", "equals": "a", "oneOf": ["b"]}})",
         "7:65: a filter needs exactly one test: \"equals\", \"notEquals\", \"oneOf\" or \"from\"/\"to\""},
        {R"("column": "units"})", R"("column": "units", "filter": {"column": "c", "from": "x"}})",
         "7:89: \"from\" must be a number"},
        {R"("column": "units"}])", R"("column": "units"}], "calculatedMeasures": [{"name": "Units", "formula": "1"}])",
         "7:89: a second measure named \"Units\""},
        {R"("name": "Store",)", R"("name": "Store", "type": "place",)", "6:46: unknown dimension type \"place\"; expected \"time\", \"other\" or \"measure\""},
        {R"("name": "Store",)", R"("name": "Measures",)", "6:29: \"Measures\" is the name of the measures dimension"},
        {R"({"name": "City", "column": "city"})", R"({"name": "City", "column": "city"}, {"name": "City", "column": "town"})",
         "6:94: a second level named \"City\""},
        {R"("levels": [{"name": "City", "column": "city"}])", R"("levels": [])", "6:48: \"levels\" must not be empty"},
        {R"({"name": "City", "column": "city"})", R"({"name": "City", "column": "city", "table": "stores.csv"})",
         "6:93: dimension \"Store\" does not reach table \"stores.csv\"; its tables: sales.csv"},
        {R"("catalog": "Shop",)", R"("catalog": "Shop", "store": {"measureListDimension": "Lists"},)",
         "2:56: cube \"Sales\" has no dimension \"Lists\""},
    };
    for (const auto& test : cases) {
        const platform::Failure failure = olaptest::failureOf([&] { parse(changed(test.from, test.to)); });
        EXPECT_EQ(failure.description(), "/data/shop.json:" + test.message) << test.to;
        EXPECT_EQ(failure.source(), "cubebuilder");
    }
}

// Texts made by a fuzzer that once read past the end of the text, overflowed
// the stack, took memory by the square of their size or escaped as an
// internal error: each is now a message at its line and column.
TEST(CubeDefinition, HostileTextsAreReportedAtTheirPlace)
{
    const std::string deep = std::string(10000, '[') + std::string(10000, ']');
    const struct { std::string text, message; } cases[] = {
        {"{\"catalog\"://\r\"x\"}", "1:1: missing member \"cubes\""},
        {"//\r{\"catalog\": \"x\", \"cubes\": 1}", "1:30: \"cubes\" must be a list [ ... ]"},
        {deep, "1:65: the values are nested more than 64 levels deep"},
        {"{\"catalog\": 777e7770}", "1:13: the number 777e7770 is out of range"},
        {"{\"catalog\": \"x\" /* open", "1:17: malformed JSON: the comment that starts here is never closed with */"},
        {"{\"catalog\": \"x\\u00\"}", "1:13: malformed JSON: a text in double quotes is malformed"},
        {"{\"catalog\": \"x\"} 1", "1:18: malformed JSON: unexpected '1' after the end of the JSON value"},
        {"{\"a\" 1}", "1:6: malformed JSON: expected ':' after the member name \"a\""},
        {"[1,]", "1:4: malformed JSON: unexpected ']'; expected a value"},
        {"", "1:1: malformed JSON: the text is empty"},
        {"{\"a\": tru}", "1:7: malformed JSON: unexpected \"tru\"; expected a value"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.text.substr(0, 40));
        const platform::Failure failure = olaptest::failureOf([&] { parse(test.text); });
        EXPECT_THAT(failure.description(), olaptest::HasSubstr("/data/shop.json:" + test.message));
        EXPECT_EQ(failure.source(), "cubebuilder");
    }
}

}  // namespace
