// Reading cube definitions: what they say, and where their problems are.
#include "olap/build/cubedefinition.h"

#include <string>

#include <gtest/gtest.h>

namespace olap {
inline void PrintTo(const TextPosition& position, std::ostream* out)
{
    *out << position.line << ':' << position.column;
}
}  // namespace olap

namespace {

using olap::Aggregation;
using olap::DimensionType;
using olap::TextPosition;

// One cube, one dimension, one measure: the smallest useful definition,
// with a marker "@" where test cases put more.
const std::string kSmallest = R"({
  "catalog": "Shop",
  "cubes": [{
    "name": "Sales",
    "factTable": "sales.csv",
    "dimensions": [{"name": "Store", "levels": [{"name": "City", "column": "city"}]}@],
    "measures": [{"name": "Units", "column": "units"}]
  }]
})";

std::string withDimension(const std::string& dimension)
{
    std::string text = kSmallest;
    text.replace(text.find('@'), 1, ", " + dimension);
    return text;
}

std::string smallest()
{
    std::string text = kSmallest;
    text.erase(text.find('@'), 1);
    return text;
}

olap::CatalogDefinition parse(const std::string& text)
{
    return olap::parseCubeDefinition(text, "/data/shop.json");
}

std::string failureParsing(const std::string& text)
{
    try {
        parse(text);
    } catch (const platform::Failure& failure) {
        EXPECT_EQ(failure.source(), "cubebuilder");
        return failure.description();
    }
    return "no failure";
}

TEST(CubeDefinition, ReadsCatalogCubeDimensionAndMeasure)
{
    const auto catalog = parse(smallest());
    EXPECT_EQ(catalog.catalog, "Shop");
    ASSERT_EQ(catalog.cubes.size(), 1u);
    const auto& cube = catalog.cubes[0];
    EXPECT_EQ(cube.name, "Sales");
    EXPECT_EQ(cube.factTable.value, "sales.csv");
    EXPECT_EQ(cube.factTable.position, (TextPosition{5, 18}));
    ASSERT_EQ(cube.dimensions.size(), 1u);
    EXPECT_EQ(cube.dimensions[0].type, DimensionType::Other);
    ASSERT_EQ(cube.dimensions[0].hierarchies.size(), 1u);
    const auto& level = cube.dimensions[0].hierarchies[0].levels.at(0);
    EXPECT_EQ(level.name, "City");
    EXPECT_EQ(level.column.value, "city");
    EXPECT_TRUE(level.captionColumn.empty());
    EXPECT_FALSE(level.namedByKey);
    ASSERT_EQ(cube.measures.size(), 1u);
    EXPECT_EQ(cube.measures[0].aggregation, Aggregation::Sum);
    EXPECT_FALSE(catalog.store.has_value());
}

TEST(CubeDefinition, ReadsJoinsHierarchiesAndLevelDetails)
{
    const auto catalog = parse(withDimension(R"({"name": "Time", "type": "time",
        "joins": [{"table": "days.csv", "key": "day", "foreignKey": "sold_on"},
                  {"table": "months.csv", "key": "month", "foreignKey": "month"}],
        "hierarchies": [
          {"name": "Calendar", "levels": [{"name": "Year", "column": "year", "table": "months.csv"},
                                          {"name": "Day", "column": "day", "captionColumn": "label", "namedByKey": true}]},
          {"name": "Fiscal", "allLevel": true, "allMemberName": "All Years",
           "levels": [{"name": "Fiscal Year", "column": "fiscal_year"}]}]})"));
    const auto& time = catalog.cubes[0].dimensions[1];
    EXPECT_EQ(time.type, DimensionType::Time);
    ASSERT_EQ(time.joins.size(), 2u);
    EXPECT_EQ(time.joins[0].table.value, "days.csv");
    EXPECT_EQ(time.joins[1].foreignKey.value, "month");
    ASSERT_EQ(time.hierarchies.size(), 2u);
    EXPECT_EQ(time.hierarchies[0].name, "Calendar");
    EXPECT_EQ(time.hierarchies[0].levels[0].table.value, "months.csv");
    EXPECT_EQ(time.hierarchies[0].levels[1].captionColumn.value, "label");
    EXPECT_TRUE(time.hierarchies[0].levels[1].namedByKey);
    EXPECT_FALSE(time.hierarchies[0].allLevel);
    EXPECT_TRUE(time.hierarchies[1].allLevel);
    EXPECT_EQ(time.hierarchies[1].allMemberName, "All Years");
}

TEST(CubeDefinition, ReadsEveryAggregation)
{
    std::string text = smallest();
    text.replace(text.find(R"({"name": "Units", "column": "units"})"), 36,
                 R"({"name": "A", "column": "x", "aggregation": "sum"}, {"name": "B", "aggregation": "count"},
                    {"name": "C", "column": "x", "aggregation": "min"}, {"name": "D", "column": "x", "aggregation": "max"},
                    {"name": "E", "column": "x", "aggregation": "average", "format": "0.0"})");
    const auto& measures = parse(text).cubes[0].measures;
    ASSERT_EQ(measures.size(), 5u);
    EXPECT_EQ(measures[0].aggregation, Aggregation::Sum);
    EXPECT_EQ(measures[1].aggregation, Aggregation::Count);
    EXPECT_TRUE(measures[1].column.empty());
    EXPECT_EQ(measures[2].aggregation, Aggregation::Min);
    EXPECT_EQ(measures[3].aggregation, Aggregation::Max);
    EXPECT_EQ(measures[4].aggregation, Aggregation::Average);
    EXPECT_EQ(measures[4].formatString, "0.0");
}

TEST(CubeDefinition, ReadsTheStoreSection)
{
    std::string text = withDimension(R"({"name": "Measure List", "type": "measure", "levels": [{"name": "Measure", "column": "measure"}]})");
    text.replace(text.find("\"catalog\""), 0, R"("store": {"measuresSpecial": true, "measureListDimension": "Measure List"}, )");
    const auto catalog = parse(text);
    ASSERT_TRUE(catalog.store.has_value());
    EXPECT_TRUE(catalog.store->measuresSpecial);
    EXPECT_EQ(catalog.store->measureListDimension, "Measure List");
    EXPECT_EQ(catalog.cubes[0].dimensions[1].type, DimensionType::Measure);
}

TEST(CubeDefinition, AllowsComments)
{
    std::string text = "// the shop\n/* two\n lines */\n" + smallest();
    text.insert(text.find("\"cubes\""), "// cubes follow\n  ");
    EXPECT_EQ(parse(text).catalog, "Shop");
}

TEST(CubeDefinition, TablesAreFoundBesideTheDefinition)
{
    const auto catalog = parse(smallest());
    EXPECT_EQ(catalog.tablePath("sales.csv"), std::filesystem::path("/data/sales.csv"));
    EXPECT_EQ(catalog.tablePath("sub/x.csv"), std::filesystem::path("/data/sub/x.csv"));
    EXPECT_EQ(catalog.tablePath("/elsewhere/y.csv"), std::filesystem::path("/elsewhere/y.csv"));
}

// Each case changes the smallest definition in one place; the message names
// the place of the change.
TEST(CubeDefinition, ProblemsAreReportedAtTheirLineAndColumn)
{
    struct Case {
        std::string from, to, message;
    };
    const Case cases[] = {
        {R"("catalog": "Shop",)", R"("catalog": "Shop")",
         "/data/shop.json:3:9: malformed JSON: syntax error while parsing object - unexpected string literal; expected '}'"},
        {R"("catalog": "Shop",)", R"("catalog": "Shop", "catalog": "Other",)", "/data/shop.json:2:22: the member \"catalog\" appears twice"},
        {R"("catalog": "Shop",)", "", "/data/shop.json:1:1: missing member \"catalog\""},
        {R"("catalog": "Shop")", R"("catalog": 7)", "/data/shop.json:2:14: \"catalog\" must be a text in double quotes"},
        {R"("catalog": "Shop")", R"("catalog": "")", "/data/shop.json:2:14: \"catalog\" must not be empty"},
        {R"("catalog": "Shop",)", R"("catalog": "Shop", "colour": 1,)", "/data/shop.json:2:22: unknown member \"colour\"; expected one of catalog, cubes, store"},
        {R"("name": "Units", "column": "units")", R"("name": "Units", "column": "units", "aggregation": "median")",
         "/data/shop.json:7:70: unknown aggregation \"median\"; expected sum, count, min, max or average"},
        {R"("name": "Units", "column": "units")", R"("name": "Units")", "/data/shop.json:7:18: missing member \"column\""},
        {R"({"name": "City", "column": "city"})", R"({"name": "City", "colum": "city"})",
         "/data/shop.json:6:66: unknown member \"colum\"; expected one of name, column, captionColumn, table, namedByKey"},
        {R"("name": "Store",)", R"("name": "Store", "type": "place",)", "/data/shop.json:6:46: unknown dimension type \"place\"; expected \"time\", \"other\" or \"measure\""},
        {R"("name": "Store",)", R"("name": "Measures",)", "/data/shop.json:6:29: \"Measures\" is the name of the measures dimension"},
        {R"("name": "Store", "levels": [{"name": "City", "column": "city"}])",
         R"("name": "Store", "levels": [{"name": "City", "column": "city"}, {"name": "City", "column": "town"}])",
         "/data/shop.json:6:94: a second level named \"City\""},
        {R"([{"name": "Units", "column": "units"}])", R"([{"name": "Units", "column": "units"}, {"name": "Units", "column": "u"}])",
         "/data/shop.json:7:65: a second measure named \"Units\""},
        {R"("levels": [{"name": "City", "column": "city"}])", R"("levels": [])", "/data/shop.json:6:48: \"levels\" must not be empty"},
        {R"("levels": [{"name": "City", "column": "city"}])", "\"joins\": []", "/data/shop.json:6:47: \"joins\" must not be empty"},
        {R"({"name": "City", "column": "city"})", R"({"name": "City", "column": "city", "table": "stores.csv"})",
         "/data/shop.json:6:93: dimension \"Store\" does not reach table \"stores.csv\"; its tables: sales.csv"},
        {R"("cubes": [{)", R"("cubes": [], "x": [{)", "/data/shop.json:3:16: unknown member \"x\"; expected one of catalog, cubes, store"},
        {R"([{"name": "Store", "levels": [{"name": "City", "column": "city"}]}])", "[]",
         "/data/shop.json:6:19: \"dimensions\" must not be empty"},
        {R"("catalog": "Shop",)", R"("catalog": "Shop", "store": {"measuresSpecial": true},)",
         "/data/shop.json:2:31: missing member \"measureListDimension\""},
        {R"("catalog": "Shop",)", R"("catalog": "Shop", "store": {"measureListDimension": "Lists"},)",
         "/data/shop.json:2:56: cube \"Sales\" has no dimension \"Lists\""},
    };
    for (const Case& test : cases) {
        std::string text = smallest();
        const size_t at = text.find(test.from);
        ASSERT_NE(at, std::string::npos) << test.from;
        text.replace(at, test.from.size(), test.to);
        EXPECT_EQ(failureParsing(text), test.message) << test.to;
    }
}

TEST(CubeDefinition, AMissingFileIsReportedByNumber53)
{
    try {
        olap::readCubeDefinition("/nonexistent/folder/shop.json");
        FAIL() << "read a missing file";
    } catch (const platform::Failure& failure) {
        EXPECT_EQ(failure.number(), platform::err::kFileNotFound);
        EXPECT_NE(failure.description().find("/nonexistent/folder/shop.json"), std::string::npos);
    }
}

}  // namespace
