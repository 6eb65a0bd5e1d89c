// The command-line cube builder: from a definition and CSV files to a cube
// file, and the messages that name file, line and column of bad input.
#include "olap/build/cubesourcecommand.h"
#include "olap/build/cubesourcekeys.h"
#include "olap/cube/cubefile.h"
#include "olap/cube/facttable.h"
#include "olap/cube/measurecolumn.h"
#include "olaptestsupport.h"

#include <cmath>
#include <sstream>

namespace {

struct Outcome { int code = -1; std::string out; std::string err; };

// A copy of the example in data/cubebuilder (the one docs/cube-builder.md
// shows) in a fresh folder, to build and to spoil one file at a time.
class CubeBuilderCommand : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::copy(OLAP_TEST_DATA "/cubebuilder", mFolder.path()); }

    Outcome run(std::vector<std::string> arguments)
    {
        std::ostringstream out, err;
        const int code = olap::runCubeBuilderCommand(arguments, out, err);
        return {code, out.str(), err.str()};
    }

    Outcome build() { return run({path("sales.json"), path("sales.cub")}); }

    std::string path(const std::string& name) const { return (mFolder / name).string(); }

    // Replaces the first `from` in file `name` by `to`.
    void edit(const std::string& name, const std::string& from, const std::string& to)
    {
        std::string text = textOf(mFolder / name);
        const size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from << " not in " << name;
        writeText(mFolder / name, text.replace(at, from.size(), to));
    }

    ScratchFolder mFolder;
};

// The cube as text: per dimension its type and levels, per level its
// members' names (and captions where they differ); per measure its
// aggregation number and format.
std::string outline(const olap::CubeInfo& cube)
{
    std::string text;
    for (const olap::DimensionInfo& dimension : cube.dimensions) {
        text += dimension.name + " " + std::to_string(int(dimension.type)) + "\n";
        const olap::HierarchyInfo& hierarchy = dimension.hierarchies.at(0);
        for (const olap::LevelInfo& level : hierarchy.levels) {
            text += " " + level.name + (level.namedByKey ? " (by key):" : ":");
            for (uint32_t m = level.firstMember; m < level.firstMember + level.memberCount; ++m) {
                const olap::MemberInfo& member = hierarchy.members[m];
                text += " " + member.name + (member.caption == member.name ? "" : "=" + member.caption);
            }
            text += "\n";
        }
    }
    for (const olap::MeasureInfo& measure : cube.measures)
        text += measure.name + " " + std::to_string(int(measure.aggregation)) + " " + measure.formatString + "\n";
    return text;
}

// Time takes its levels from a joined table, Product through a snowflake of
// three joins (members in the order of the first joined table), Store from
// the fact table in fact order. An empty measure cell is no value.
TEST_F(CubeBuilderCommand, TheExampleBuildsIntoTheCubeItDescribes)
{
    const Outcome outcome = build();
    ASSERT_EQ(outcome.code, olap::kCommandDone) << outcome.err;
    EXPECT_EQ(outcome.err, "");
    EXPECT_THAT(outcome.out, olaptest::HasSubstr("cube \"Sales\": 7 facts, 3 dimensions, 4 measures"));
    EXPECT_FALSE(std::filesystem::exists(mFolder / "sales.bwf"));
    const auto file = olap::CubeFile::open(mFolder / "sales.cub");
    EXPECT_EQ(file->catalog().name, "Example");
    const olap::CubeInfo& cube = file->catalog().cubes.at(0);
    EXPECT_EQ(cube.name, "Sales");
    EXPECT_EQ(outline(cube), R"(Time 1
 Year: 2024
 Quarter: Q1 Q2
 Month: 1=January 2=February 3=March 4=April 5=May 6=June
Product 3
 (All): All Products
 Category: Drinks Food
 Subcategory: Coffee Tea Bakery
 Product (by key): P1=Espresso Beans P4=Filter Coffee P2=Green Tea P3=Rye Bread, sliced
Store 3
 Country: France Germany
 City: Lyon Paris Berlin Hamburg
Units 0 #,##0
Amount 0 #,##0.00
Largest Sale 3 #,##0.00
Sales Count 1 #,##0
)");
    const auto facts = file->facts(0);
    ASSERT_EQ(facts->rowCount(), 7u);
    EXPECT_DOUBLE_EQ(olap::valueAt(facts->values(0), 0), 3.0);
    EXPECT_DOUBLE_EQ(olap::valueAt(facts->values(1), 0), 29.70);
    EXPECT_TRUE(std::isnan(olap::valueAt(facts->values(1), 4)));  // Hamburg's amount is empty
    for (uint64_t row = 0; row < facts->rowCount(); ++row)
        EXPECT_DOUBLE_EQ(olap::valueAt(facts->values(3), row), 1.0);
}

TEST_F(CubeBuilderCommand, CheckAndWrongArguments)
{
    const Outcome check = run({"--check", path("sales.json")});
    EXPECT_EQ(check.code, olap::kCommandDone) << check.err;
    EXPECT_THAT(check.out, olaptest::HasSubstr("no problems found"));
    EXPECT_FALSE(std::filesystem::exists(mFolder / "sales.cub"));
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{}, {path("sales.json")}, {"--fast", path("sales.json"), path("x.cub")},
          {"--check", path("sales.json"), path("x.cub")}}) {
        const Outcome outcome = run(arguments);
        EXPECT_EQ(outcome.code, olap::kCommandUsage);
        EXPECT_THAT(outcome.err, olaptest::HasSubstr("Usage: cubebuilder"));
    }
    edit("sales.csv", "Paris,10", "Paris,ten");
    EXPECT_EQ(run({"--check", path("sales.json")}).code, olap::kCommandBadInput);
}

// Each case spoils one file in one place; the message names that place as
// "file:line:column: ", "@" standing for the test's folder. Nothing is written.
// (Malformed JSON and CSV, and a definition's own mistakes, are reported by
// the readers' tests: cubedefinition_test.cpp, csv_test.cpp.)
TEST_F(CubeBuilderCommand, BadInputIsReportedAtItsFileLineAndColumn)
{
    const struct { const char* file; const char* from; const char* to; const char* message; } cases[] = {
        // unknown columns, reported where the definition names them
        {"sales.json", R"("column": "city")", R"("column": "town")",
         "@/sales.json:40:40: unknown column \"town\" in @/sales.csv; its columns: month_id, product_id, country, city, units, amount"},
        {"sales.json", R"("column": "category")", R"("column": "categry")",
         "@/sales.json:31:44: unknown column \"categry\": none of @/products.csv, @/subcategories.csv, @/categories.csv has it"},
        {"sales.json", R"("key": "product_id")", R"("key": "productid")",
         "@/sales.json:24:46: unknown column \"productid\" in @/products.csv; its columns: product_id, product, subcategory_id"},
        {"sales.json", R"("column": "subcategory")", R"("column": "subcategory_id")",
         "@/sales.json:32:47: column \"subcategory_id\" is in more than one of @/products.csv, @/subcategories.csv, @/categories.csv; say which with \"table\""},
        // the definition's tables
        {"sales.json", R"("factTable": "sales.csv")", R"("factTable": "sale.csv")",
         "@/sales.json:9:20: @/sale.csv: cannot open the file (No such file or directory)"},
        // the data
        {"sales.csv", "Berlin,4,18.00", "Berlin,four,18.00",
         "@/sales.csv:4:27: non-numeric value \"four\" for measure \"Units\" in column \"units\""},
        {"products.csv", "P4,Filter Coffee,S1", "P2,Filter Coffee,S1",
         "@/products.csv:5:1: duplicate member key \"P2\" in column \"product_id\" (first on line 3)"},
        {"sales.csv", "2024-05,P3", "2024-05,P9",
         "@/sales.csv:7:9: missing join key \"P9\": no row of @/products.csv has product_id \"P9\""},
        {"months.csv", "2024-03,2024,Q1", "2024-03,,Q1", "@/months.csv:4:9: empty member name for level \"Year\""},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.to);
        std::filesystem::remove_all(mFolder.path());
        SetUp();
        edit(test.file, test.from, test.to);
        const Outcome outcome = build();
        std::string expected = test.message;
        for (size_t at = expected.find('@'); at != std::string::npos; at = expected.find('@', at + 1))
            expected.replace(at, 1, mFolder.path().string());
        EXPECT_EQ(outcome.code, olap::kCommandBadInput);
        EXPECT_EQ(outcome.err, "cubebuilder: error: " + expected + "\n");
        EXPECT_FALSE(std::filesystem::exists(mFolder / "sales.cub"));
    }
}

// The cache behind every fact's member lookup: found through many growths,
// and cells compared one by one, not as joined text, even for equal hashes.
TEST(MemberKeyCache, FindsWhatWasStoredAndNothingElse)
{
    using olap::MemberKeyCache;
    MemberKeyCache cache;
    std::vector<std::string> texts;
    for (uint32_t i = 0; i < 5000; ++i)
        texts.push_back("C" + std::to_string(i));
    for (uint32_t i = 0; i < texts.size(); ++i) {
        const std::string_view cells[] = {texts[i]};
        ASSERT_EQ(cache.find(cells, MemberKeyCache::hashOf(cells)), MemberKeyCache::kNone);
        cache.insert(cells, MemberKeyCache::hashOf(cells), i);
    }
    EXPECT_EQ(cache.size(), texts.size());
    for (uint32_t i = 0; i < texts.size(); ++i) {
        const std::string_view cells[] = {texts[i]};
        EXPECT_EQ(cache.find(cells, MemberKeyCache::hashOf(cells)), i);
    }
    const std::string_view ab_c[] = {"ab", "c"}, a_bc[] = {"a", "bc"};
    cache.insert(ab_c, MemberKeyCache::hashOf(ab_c), 1);
    EXPECT_EQ(cache.find(a_bc, MemberKeyCache::hashOf(a_bc)), MemberKeyCache::kNone);
    EXPECT_EQ(cache.find(a_bc, MemberKeyCache::hashOf(ab_c)), MemberKeyCache::kNone);
    EXPECT_EQ(cache.find(ab_c, MemberKeyCache::hashOf(ab_c)), 1u);
}

}  // namespace
