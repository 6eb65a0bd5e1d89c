// Cube files: what the builder writes is what the reader reads, and damaged,
// foreign or newer files are refused with a message naming the file.
#include "olap/cube/cubebuilder.h"
#include "olap/cube/cubefile.h"
#include "olap/cube/measurecolumn.h"
#include "olap/cube/facttable.h"
#include "olap/query/query.h"
#include "olaptestsupport.h"
#include "support/children.h"

#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <functional>

namespace {

namespace fs = std::filesystem;
using namespace olap;
using olaptest::failureOf;
using olaptest::HasSubstr;

// Opens `file` and reads every fact column of its first cube, as the queries
// that use them all would.
void readEveryColumn(const fs::path& file)
{
    const auto facts = CubeFile::open(file)->facts(0);
    for (size_t d = 0; d < facts->dimensionCount(); ++d)
        facts->keys(d);
    for (size_t m = 0; m < facts->measureCount(); ++m)
        facts->values(m);
}

// Time (Year > Quarter, years named by key), Product ("all" level,
// Category > Product); Units summed, Price averaged.
CubeSpec salesSpec()
{
    return {"Sales",
            {{"Time", DimensionType::Time, {{"", false, "", {{"Year", true}, {"Quarter"}}}}},
             {"Product", DimensionType::Other, {{"", true, "", {{"Category"}, {"Product"}}}}}},
            {{"Units", Aggregation::Sum, "#,##0"}, {"Price", Aggregation::Average, "0.00"}}};
}

class CubeFileTest : public testing::Test {
protected:
    fs::path writeSales()
    {
        CubeBuilder cube(salesSpec());
        const uint32_t q1 = cube.dimensionKey(0, {{"1997"}, {"Q1"}});
        const uint32_t q2 = cube.dimensionKey(0, {{"1997"}, {"Q2"}});
        const uint32_t q1b = cube.dimensionKey(0, {{"1998"}, {"Q1"}});
        const uint32_t cola = cube.dimensionKey(1, {{"Drinks"}, {"Cola", "Cola (can)"}});
        const uint32_t bread = cube.dimensionKey(1, {{"Food"}, {"Bread"}});
        const uint32_t tea = cube.dimensionKey(1, {{"Drinks"}, {"Tea [hot]"}});
        cube.addFact(std::vector<uint32_t>{q1, cola}, std::vector<double>{3, 1.5});
        cube.addFact(std::vector<uint32_t>{q2, bread}, std::vector<double>{4, kEmpty});
        cube.addFact(std::vector<uint32_t>{q1b, tea}, std::vector<double>{kEmpty, 2.25});
        return write(cube, "sales.cub");
    }

    fs::path write(CubeBuilder& cube, const std::string& name, const std::string& catalog = "Shop")
    {
        CubeBuilder* cubes[] = {&cube};
        writeCubeFile(mFolder / name, catalog, cubes);
        return mFolder / name;
    }

    ScratchFolder mFolder;
};

// Levels, member order, captions, formats and empty values are what the
// query tests and the cube builder command's example read back; here unique
// names (a top level named by key, a bracket in a name), keys, and facts
// read once.
TEST_F(CubeFileTest, WhatTheBuilderWroteIsReadBack)
{
    const auto file = CubeFile::open(writeSales());
    const CubeInfo& cube = file->catalog().cubes.at(0);
    EXPECT_EQ(cube.factCount, 3u);
    EXPECT_EQ(cube.dimensions[0].keyCount, 3u);
    const HierarchyInfo& time = cube.dimensions[0].hierarchies[0];
    EXPECT_EQ(time.members[0].uniqueName, "[Time].&[1997]");
    EXPECT_EQ(time.members[2].uniqueName, "[Time].&[1997].[Q1]");
    // Tea was seen after Bread, but belongs with Cola under Drinks.
    const HierarchyInfo& product = cube.dimensions[1].hierarchies[0];
    EXPECT_EQ(product.members[4].uniqueName, "[Product].[All Product].[Drinks].[Tea [hot]]]");
    const auto facts = file->facts(0);
    ASSERT_EQ(facts->rowCount(), 3u);
    // Keys keep the width the file stores them in.
    ASSERT_TRUE(std::holds_alternative<Column<uint8_t>>(facts->keys(1)));
    EXPECT_EQ(std::get<Column<uint8_t>>(facts->keys(1)), (Column<uint8_t>{0, 1, 2}));
    EXPECT_EQ(product.members[product.memberOfKey[keyAt(facts->keys(1), 1)]].name, "Bread");
    // Whole units up to 127 take one byte, hundredths up to 327.67 two.
    EXPECT_EQ(valueWidth(facts->values(0)), 1);
    EXPECT_EQ(valueWidth(facts->values(1)), 2);
    EXPECT_EQ(valueAt(facts->values(1), 2), 2.25);
    EXPECT_TRUE(std::isnan(valueAt(facts->values(1), 1)));
    EXPECT_EQ(file->facts(0).get(), facts.get());  // read once, then shared
}

TEST_F(CubeFileTest, FactsSpanningSeveralChunksAndWideKeysRoundTripAndATruncationFails)
{
    CubeBuilder cube({"Big", {{"Customer", DimensionType::Other, {{"", false, "", {{"Customer"}}}}}},
                      {{"Amount", Aggregation::Sum, ""}}});
    std::vector<uint32_t> keys;
    for (int i = 0; i < 70000; ++i)  // more than 65,536 keys: four bytes each
        keys.push_back(cube.dimensionKey(0, {{"c" + std::to_string(i)}}));
    const uint64_t rows = (1u << 20) + 3;
    for (uint64_t row = 0; row < rows; ++row)
        cube.addFact(std::vector<uint32_t>{keys[row % keys.size()]}, std::vector<double>{double(row)});
    const fs::path file = write(cube, "big.cub");
    const auto facts = CubeFile::open(file)->facts(0);
    ASSERT_EQ(facts->rowCount(), rows);
    EXPECT_EQ(keyAt(facts->keys(0), rows - 1), (rows - 1) % keys.size());
    EXPECT_EQ(valueAt(facts->values(0), rows - 1), double(rows - 1));
    EXPECT_EQ(keyAt(facts->keys(0), 69999), 69999u);
    // Cut in half, it fails when its facts are read, if not at open.
    fs::resize_file(file, fs::file_size(file) / 2);
    EXPECT_THAT(failureOf([&] { readEveryColumn(file); }).description(), HasSubstr("big.cub"));
}

TEST_F(CubeFileTest, TwoHierarchiesShareTheDimensionsKeysAndAClashIsRefused)
{
    CubeBuilder cube({"C", {{"Time", DimensionType::Time, {{"Calendar", false, "", {{"Year"}, {"Month"}}},
                                                           {"Fiscal", false, "", {{"Fiscal Year"}, {"Month"}}}}}},
                      {}});
    const std::vector<std::vector<PathPart>> jan{{{"1997"}, {"Jan"}}, {{"FY1996"}, {"Jan"}}};
    const uint32_t key = cube.dimensionKey(0, jan);
    EXPECT_EQ(cube.dimensionKey(0, jan), key);
    const std::vector<std::vector<PathPart>> clash{{{"1997"}, {"Jan"}}, {{"FY1997"}, {"Jan"}}};
    EXPECT_THAT(failureOf([&] { cube.dimensionKey(0, clash); }).description(), HasSubstr("duplicate member key"));
}

TEST(CubeBuilder, RefusesSpecsAndFactsThatCannotMakeACube)
{
    CubeBuilder sales(salesSpec());
    const uint32_t q1 = sales.dimensionKey(0, {{"1997"}, {"Q1"}});
    const std::pair<std::function<void()>, const char*> cases[] = {
        {[] { CubeBuilder(CubeSpec{"C", {}, {{"M"}, {"M"}}}); }, "\"M\" is used twice"},
        {[] { CubeBuilder(CubeSpec{"C", {{"Measures", DimensionType::Other, {{"", false, "", {{"L"}}}}}}, {}}); },
         "Measures"},
        {[] { CubeBuilder(CubeSpec{"C", {{"D", DimensionType::Other, {{"", false, "", {}}}}}, {}}); }, "no levels"},
        {[&] { sales.addFact(std::vector<uint32_t>{q1}, std::vector<double>{1, 2}); }, ""},
        {[&] { sales.addFact(std::vector<uint32_t>{q1, 7}, std::vector<double>{1, 2}); }, "unknown key"},
        {[&] { sales.dimensionKey(0, {{"1997"}}); }, "one name per level"},
        {[] { CubeBuilder(CubeSpec{"C", {}, {{"M"}}, {{"M", "1"}}}); }, "\"M\" is used twice"},
        {[&] { sales.distinctId(0, "x"); }, "is not a distinct count"},
        {[] {
             CubeBuilder cube(CubeSpec{"C", {}, {{"D", Aggregation::DistinctCount}}});
             cube.distinctId(0, "x");
             cube.addFact({}, std::vector<double>{2});
         },
         "unknown value of \"D\""},
    };
    for (const auto& [action, message] : cases)
        EXPECT_THAT(failureOf(action).description(), HasSubstr(message));
}

// Each case spoils the sales file or puts another in its place; opening it
// or reading its facts fails naming the file, and the file is left as it was.
TEST_F(CubeFileTest, DamagedForeignNewerOrMissingFilesAreRefusedByName)
{
    const struct { std::function<void(const fs::path&)> spoil; const char* message; } cases[] = {
        {[](const fs::path& file) { fs::remove(file); }, "sales.cub"},
        {[](const fs::path& file) { writeText(file, std::string(100000, '\x9c')); }, "is not a cube file"},
        {[](const fs::path& file) { olaptest::execSql(file, "PRAGMA user_version = 9"); }, "newer version"},
        {[](const fs::path& file) { olaptest::execSql(file, "UPDATE hierarchies SET members = x'0102'"); }, "damaged"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.message);
        const fs::path file = writeSales();
        test.spoil(file);
        const std::string before = textOf(file);
        const platform::Failure failure = failureOf([&] { readEveryColumn(file); });
        EXPECT_THAT(failure.description(), HasSubstr("sales.cub"));
        EXPECT_THAT(failure.description(), HasSubstr(test.message));
        EXPECT_EQ(textOf(file), before);
    }
    fs::remove(mFolder / "sales.cub");
    EXPECT_EQ(failureOf([&] { CubeFile::open(mFolder / "sales.cub"); }).number(), platform::err::kFileNotFound);
}

// Files made by hand or by a fuzzer, each the smallest change to a real file
// that got, or could get, past the reader: a repeated fact chunk left another
// unread, a missing or stray chunk or a key past its dimension's would be
// read out of bounds, a fact count sized the columns before anything was
// checked, views stood in for tables (one endless), and "all" levels lay
// below the top or held more than one member. Each is refused when the file
// is opened or its facts read.
TEST_F(CubeFileTest, CraftedFilesAreRefusedBeforeAnythingIsSizedOrQueried)
{
    const struct { const char* sql; const char* message; } cases[] = {
        {"UPDATE facts SET column = 0 WHERE column = 1", "appears twice"},
        {"DELETE FROM facts WHERE column = 1", "fact chunks are missing"},
        {"UPDATE facts SET chunk = 5 WHERE column = 1", "lies outside the cube"},
        {"UPDATE facts SET data = CAST(X'FF' || substr(data, 2) AS BLOB) WHERE column = 0", "unknown member"},
        {"UPDATE cubes SET fact_count = 70000000000000000", "more facts than the file can hold"},
        {"DROP TABLE catalog; CREATE VIEW catalog AS SELECT zeroblob(30000000) AS name", "\"catalog\" is not a table"},
        {"DROP TABLE measures; CREATE VIEW measures AS WITH RECURSIVE n(x) AS (SELECT 0 UNION ALL SELECT x + 1 FROM n) "
         "SELECT 0 AS cube, x AS position, 'm' AS name, 0 AS aggregation, '' AS format FROM n",
         "\"measures\" is not a table"},
        {"UPDATE levels SET type = 1 WHERE name = 'Category'", "is not its top level"},
        {"UPDATE levels SET type = 1 WHERE name = 'Year'", "does not hold exactly one member"},
        {"DROP TABLE calculated_measures", "\"calculated_measures\" is not a table"},
        {"INSERT INTO calculated_measures VALUES (0, 0, 'Loop', '[Loop] + 1', '')", "\"Loop\" refers to itself"},
        {"INSERT INTO calculated_measures VALUES (0, 0, 'Odd', '[Units] +', '')", "does not parse"},
        {"INSERT INTO calculated_measures VALUES (0, 0, 'Ghost', '[Nobody]', '')", "unknown measure \"Nobody\""},
        {"INSERT INTO calculated_measures VALUES (0, 0, 'Blank', '', '')", "\"Blank\" has no formula"},
        {"DROP TABLE compact_measures", "\"compact_measures\" is not a table"},
        {"UPDATE compact_measures SET measure = 7 WHERE measure = 0", "a compact column names the wrong measure"},
        {"UPDATE compact_measures SET width = 3", "\"Units\" has a wrong width or decimals"},
        {"UPDATE compact_measures SET decimals = 10 WHERE measure = 1", "\"Price\" has a wrong width or decimals"},
        {"UPDATE compact_measures SET width = 1 WHERE measure = 1", "wrong length"},
        {"DELETE FROM compact_measures WHERE measure = 0", "wrong length"},
        {"CREATE TABLE twice AS SELECT * FROM compact_measures UNION ALL SELECT * FROM compact_measures WHERE measure = 0;"
         "DROP TABLE compact_measures; ALTER TABLE twice RENAME TO compact_measures",
         "a compact column names the wrong measure"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.sql);
        const fs::path file = writeSales();
        olaptest::execSql(file, test.sql);
        const platform::Failure failure = failureOf([&] { readEveryColumn(file); });
        EXPECT_THAT(failure.description(), HasSubstr("sales.cub: the cube file is damaged"));
        EXPECT_THAT(failure.description(), HasSubstr(test.message));
    }
}

// A pivot reads only the columns it uses: with the Time keys and the Price
// values spoilt, a pivot of Units by Product still runs, and one that uses
// either spoilt column fails naming the file, on the same open file.
TEST_F(CubeFileTest, APivotReadsOnlyTheColumnsItUses)
{
    const fs::path file = writeSales();
    olaptest::execSql(file, "UPDATE facts SET data = X'FFFFFF' WHERE column = 0;"
                            "UPDATE facts SET data = X'00' WHERE column = 3");
    const auto cube = CubeFile::open(file);
    const CubeInfo& info = cube->catalog().cubes[0];
    PivotQuery byProduct;
    byProduct.rows.fields = {{1, 0, {}, {}}};
    byProduct.measures = {0};
    const QueryResult result = runQuery(info, *cube->facts(0), byProduct);
    EXPECT_EQ(result.cell(result.rows.size() - 1, 0, 0), 7.0);
    PivotQuery byTime = byProduct, price = byProduct;
    byTime.rows.fields = {{0, 0, {}, {}}};
    price.measures = {1};
    for (const PivotQuery& query : {byTime, price}) {
        const platform::Failure failure = failureOf([&] { runQuery(info, *cube->facts(0), query); });
        EXPECT_THAT(failure.description(), HasSubstr("sales.cub: the cube file is damaged"));
    }
}

// A dimension no fact refers to has no keys: its key table is an empty blob,
// which SQLite hands back as a null pointer.
TEST_F(CubeFileTest, ADimensionWithoutKeysOpens)
{
    CubeBuilder empty(salesSpec());
    const auto cube = CubeFile::open(write(empty, "empty.cub"));
    EXPECT_EQ(cube->catalog().cubes[0].dimensions[0].keyCount, 0u);
    EXPECT_EQ(cube->facts(0)->rowCount(), 0u);
}

// A build killed while it writes (here by the kernel, at a file size limit
// reached in the middle of the cube file) leaves its temporary file; the
// next build of the same cube file removes it.
TEST_F(CubeFileTest, TheNextBuildRemovesWhatAKilledBuildLeft)
{
    const fs::path file = writeSales();
    const int status = runChildren(1, [&](int) {
        const rlimit noCore{0, 0}, small{200000, 200000};
        ::setrlimit(RLIMIT_CORE, &noCore);
        ::setrlimit(RLIMIT_FSIZE, &small);
        writeSales();
        return 0;
    })[0];
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
    EXPECT_EQ(std::distance(fs::directory_iterator(mFolder.path()), fs::directory_iterator()), 2);
    writeSales();
    EXPECT_EQ(std::distance(fs::directory_iterator(mFolder.path()), fs::directory_iterator()), 1);
    EXPECT_EQ(CubeFile::open(file)->catalog().cubes[0].factCount, 3u);
}

// Calculated measures come back after the stored ones with formula and
// format; a file of the first format version, which has neither them nor
// compact columns, still opens with its stored measures.
TEST_F(CubeFileTest, CalculatedMeasuresRoundTripAndVersionOneFilesStillOpen)
{
    CubeSpec spec = salesSpec();
    spec.calculatedMeasures = {{"Revenue", "[Units] * [Price]", "#,##0.00"}, {"Share", "[Revenue] / 100", "0.0%"}};
    CubeBuilder cube(spec);
    const uint32_t keys[] = {cube.dimensionKey(0, {{"1997"}, {"Q1"}}), cube.dimensionKey(1, {{"Food"}, {"Bread"}})};
    const double values[] = {0.1 + 0.2, 1.0 / 3};  // no compact form: stored as doubles, as before
    cube.addFact(keys, values);
    const fs::path file = write(cube, "calculated.cub");
    EXPECT_EQ(CubeFile::open(file)->catalog().cubes.at(0).measures.at(3).formatString, "0.0%");
    olaptest::execSql(file, "DROP TABLE calculated_measures; DROP TABLE compact_measures; PRAGMA user_version = 1");
    const auto old = CubeFile::open(file);
    EXPECT_EQ(old->catalog().cubes.at(0).measures.size(), 2u);
    EXPECT_EQ(valueAt(old->facts(0)->values(0), 0), 0.1 + 0.2);
}

// A distinct count's ids are stored at the width its value count needs
// (300 values and "no value": two bytes) and read back as written; crafted
// distinct counts are refused before their facts are used.
TEST_F(CubeFileTest, DistinctCountIdsRoundTripAndCraftedOnesAreRefused)
{
    CubeSpec spec = salesSpec();
    spec.measures.push_back({"Customers", Aggregation::DistinctCount});
    const auto writeDistinct = [&] {
        CubeBuilder cube(spec);
        const uint32_t keys[] = {cube.dimensionKey(0, {{"1997"}, {"Q1"}}), cube.dimensionKey(1, {{"Food"}, {"Bread"}})};
        for (int i = 0; i < 600; ++i) {
            const double id = i % 7 == 0 ? kEmpty : double(cube.distinctId(2, std::to_string(i % 300)));
            cube.addFact(keys, std::vector<double>{1, 1, id});
        }
        return write(cube, "distinct.cub");
    };
    const fs::path file = writeDistinct();
    {
        const auto cube = CubeFile::open(file);
        EXPECT_EQ(cube->catalog().cubes.at(0).measures.at(2).distinctValues, 300u);
        const KeyColumn& ids = cube->facts(0)->distinctIds(2);
        ASSERT_TRUE(std::holds_alternative<Column<uint16_t>>(ids));
        // Stored in the order of the ids, the 86 facts without a value first.
        std::vector<uint32_t> stored;
        for (size_t i = 0; i < 600; ++i)
            stored.push_back(uint32_t(keyAt(ids, i)));
        EXPECT_TRUE(std::is_sorted(stored.begin(), stored.end()));
        EXPECT_EQ(std::count(stored.begin(), stored.end(), 0u), 86);
        EXPECT_EQ(stored.back(), 300u);
    }
    const struct { const char* sql; const char* message; } cases[] = {
        {"UPDATE measures SET aggregation = 6 WHERE position = 2", "unknown aggregation (6; this program knows those of format version 3)"},
        {"INSERT INTO compact_measures VALUES (0, 2, 2, 0)", "a compact column names the wrong measure"},
        {"PRAGMA user_version = 1", "is a distinct count, which needs format version 2"},
        {"DROP TABLE distinct_measures", "\"distinct_measures\" is not a table"},
        {"DELETE FROM distinct_measures", "\"Customers\" has no value count"},
        {"UPDATE distinct_measures SET measure = 0", "names the wrong measure"},
        {"UPDATE distinct_measures SET key_width = 1", "wrong value count or width"},
        {"UPDATE distinct_measures SET value_count = 200", "unknown value"},
        {"UPDATE distinct_measures SET key_width = 4", "wrong length"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.sql);
        writeDistinct();
        olaptest::execSql(file, test.sql);
        const platform::Failure failure = failureOf([&] { CubeFile::open(file)->facts(0)->distinctIds(2); });
        EXPECT_THAT(failure.description(), HasSubstr("distinct.cub: the cube file is damaged"));
        EXPECT_THAT(failure.description(), HasSubstr(test.message));
    }
}

}  // namespace
