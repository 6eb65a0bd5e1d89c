// Cube files: what the builder writes is what the reader reads, and damaged,
// foreign or newer files are refused with a message naming the file.
#include "olap/cube/cubebuilder.h"
#include "olap/cube/cubefile.h"
#include "olap/cube/facttable.h"
#include "platform/core/failure.h"

#include <sqlite3.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using namespace olap;

class CubeFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("cubefile-test-" + std::to_string(getpid()) + "-"
                                              + testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    // Time (Year > Quarter, years named by key), Product ("all" level,
    // Category > Product); Units summed, Price averaged.
    static CubeSpec salesSpec()
    {
        return {"Sales",
                {{"Time", DimensionType::Time, {{"", false, "", {{"Year", true}, {"Quarter"}}}}},
                 {"Product", DimensionType::Other, {{"", true, "", {{"Category"}, {"Product"}}}}}},
                {{"Units", Aggregation::Sum, "#,##0"}, {"Price", Aggregation::Average, "0.00"}}};
    }

    fs::path writeSales()
    {
        CubeBuilder cube(salesSpec());
        const uint32_t q1 = cube.dimensionKey(0, {{"1997"}, {"Q1"}});
        const uint32_t q2 = cube.dimensionKey(0, {{"1997"}, {"Q2"}});
        const uint32_t q1b = cube.dimensionKey(0, {{"1998"}, {"Q1"}});
        const uint32_t cola = cube.dimensionKey(1, {{"Drinks"}, {"Cola", "Cola (can)"}});
        const uint32_t bread = cube.dimensionKey(1, {{"Food"}, {"Bread"}});
        const uint32_t tea = cube.dimensionKey(1, {{"Drinks"}, {"Tea"}});
        cube.addFact(std::vector<uint32_t>{q1, cola}, std::vector<double>{3, 1.5});
        cube.addFact(std::vector<uint32_t>{q2, bread}, std::vector<double>{4, kEmpty});
        cube.addFact(std::vector<uint32_t>{q1b, tea}, std::vector<double>{kEmpty, 2.25});
        const fs::path file = folder / "sales.cub";
        CubeBuilder* cubes[] = {&cube};
        writeCubeFile(file, "Shop", cubes);
        return file;
    }

    static std::string failureOf(const std::function<void()>& action)
    {
        try {
            action();
        } catch (const platform::Failure& f) {
            return f.description();
        }
        return "no failure";
    }

    static void setPragma(const fs::path& file, const std::string& statement)
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, statement.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }

    fs::path folder;
};

TEST_F(CubeFileTest, OpeningReadsTheCatalogCubesDimensionsAndMeasures)
{
    const auto file = CubeFile::open(writeSales());
    const CatalogInfo& catalog = file->catalog();
    EXPECT_EQ(catalog.name, "Shop");
    ASSERT_EQ(catalog.cubes.size(), 1u);
    const CubeInfo& cube = catalog.cubes[0];
    EXPECT_EQ(cube.name, "Sales");
    EXPECT_EQ(cube.factCount, 3u);
    ASSERT_EQ(cube.dimensions.size(), 2u);
    EXPECT_EQ(cube.dimensions[0].name, "Time");
    EXPECT_EQ(cube.dimensions[0].fieldName, "[Time]");
    EXPECT_EQ(cube.dimensions[0].type, DimensionType::Time);
    EXPECT_EQ(cube.dimensions[1].type, DimensionType::Other);
    EXPECT_EQ(cube.dimensions[0].keyCount, 3u);
    ASSERT_EQ(cube.measures.size(), 2u);
    EXPECT_EQ(cube.measures[1].name, "Price");
    EXPECT_EQ(cube.measures[1].aggregation, Aggregation::Average);
    EXPECT_EQ(cube.measures[0].formatString, "#,##0");
}

TEST_F(CubeFileTest, LevelsCarryTheirTypesAndMemberRanges)
{
    const auto file = CubeFile::open(writeSales());
    const HierarchyInfo& product = file->catalog().cubes[0].dimensions[1].hierarchies[0];
    ASSERT_EQ(product.levels.size(), 3u);
    EXPECT_EQ(product.levels[0].type, LevelType::All);
    EXPECT_EQ(product.levels[1].type, LevelType::Regular);
    EXPECT_EQ(product.levels[1].name, "Category");
    EXPECT_EQ(product.levels[0].memberCount, 1u);
    EXPECT_EQ(product.levels[1].memberCount, 2u);
    EXPECT_EQ(product.levels[2].firstMember, 3u);
    EXPECT_EQ(product.levels[2].memberCount, 3u);
}

TEST_F(CubeFileTest, MembersComeLevelByLevelWithChildrenTogetherInOrder)
{
    const auto file = CubeFile::open(writeSales());
    const HierarchyInfo& product = file->catalog().cubes[0].dimensions[1].hierarchies[0];
    std::vector<std::string> names;
    for (const MemberInfo& m : product.members)
        names.push_back(m.name);
    // Tea was seen after Bread, but belongs with Cola under Drinks.
    EXPECT_EQ(names, (std::vector<std::string>{"All Product", "Drinks", "Food", "Cola", "Tea", "Bread"}));
    const MemberInfo& drinks = product.members[1];
    EXPECT_EQ(drinks.firstChild, 3u);
    EXPECT_EQ(drinks.childCount, 2u);
    EXPECT_EQ(product.members[4].parent, 1);
    EXPECT_EQ(product.members[0].childCount, 2u);
}

TEST_F(CubeFileTest, UniqueNamesUseBracketsAndTheKeyMarkerWhereNamedByKey)
{
    const auto file = CubeFile::open(writeSales());
    const CubeInfo& cube = file->catalog().cubes[0];
    const HierarchyInfo& time = cube.dimensions[0].hierarchies[0];
    EXPECT_EQ(time.members[0].uniqueName, "[Time].&[1997]");
    EXPECT_EQ(time.members[2].uniqueName, "[Time].&[1997].[Q1]");
    const HierarchyInfo& product = cube.dimensions[1].hierarchies[0];
    EXPECT_EQ(product.members[3].uniqueName, "[Product].[All Product].[Drinks].[Cola]");
    EXPECT_EQ(product.members[3].caption, "Cola (can)");
    EXPECT_EQ(product.members[4].caption, "Tea");
}

TEST_F(CubeFileTest, ClosingBracketsInsideNamesAreDoubled)
{
    CubeBuilder cube({"C", {{"D", DimensionType::Other, {{"", false, "", {{"L"}}}}}}, {}});
    cube.dimensionKey(0, {{"a]b"}});
    CubeBuilder* cubes[] = {&cube};
    writeCubeFile(folder / "c.cub", "C", cubes);
    const auto file = CubeFile::open(folder / "c.cub");
    EXPECT_EQ(file->catalog().cubes[0].dimensions[0].hierarchies[0].members[0].uniqueName, "[D].[a]]b]");
}

TEST_F(CubeFileTest, FactsRoundTripWithEmptyValues)
{
    const auto file = CubeFile::open(writeSales());
    const auto facts = file->facts(0);
    ASSERT_EQ(facts->rowCount, 3u);
    EXPECT_EQ(facts->keys[0], (Column<uint32_t>{0, 1, 2}));
    EXPECT_EQ(facts->keys[1], (Column<uint32_t>{0, 1, 2}));
    EXPECT_EQ(facts->values[0][1], 4.0);
    EXPECT_TRUE(std::isnan(facts->values[0][2]));
    EXPECT_TRUE(std::isnan(facts->values[1][1]));
    const HierarchyInfo& product = file->catalog().cubes[0].dimensions[1].hierarchies[0];
    EXPECT_EQ(product.members[product.memberOfKey[facts->keys[1][1]]].name, "Bread");
    EXPECT_EQ(file->facts(0).get(), facts.get());  // read once, then shared
}

TEST_F(CubeFileTest, FactsSpanningSeveralChunksAndWideKeysRoundTrip)
{
    CubeBuilder cube({"Big", {{"Customer", DimensionType::Other, {{"", false, "", {{"Customer"}}}}}},
                      {{"Amount", Aggregation::Sum, ""}}});
    std::vector<uint32_t> keys;
    for (int i = 0; i < 70000; ++i)  // more than 65,536 keys: four bytes each
        keys.push_back(cube.dimensionKey(0, {{"c" + std::to_string(i)}}));
    const uint64_t rows = (1u << 20) + 3;
    for (uint64_t row = 0; row < rows; ++row)
        cube.addFact(std::vector<uint32_t>{keys[row % keys.size()]}, std::vector<double>{double(row)});
    CubeBuilder* cubes[] = {&cube};
    writeCubeFile(folder / "big.cub", "Big", cubes);
    const auto facts = CubeFile::open(folder / "big.cub")->facts(0);
    ASSERT_EQ(facts->rowCount, rows);
    EXPECT_EQ(facts->keys[0][rows - 1], (rows - 1) % keys.size());
    EXPECT_EQ(facts->values[0][rows - 1], double(rows - 1));
    EXPECT_EQ(facts->keys[0][69999], 69999u);
}

TEST_F(CubeFileTest, TwoHierarchiesShareTheDimensionsKeys)
{
    CubeSpec spec{"C", {{"Time", DimensionType::Time, {{"Calendar", false, "", {{"Year"}, {"Month"}}},
                                                       {"Fiscal", false, "", {{"Fiscal Year"}, {"Month"}}}}}},
                  {}};
    CubeBuilder cube(spec);
    const std::vector<std::vector<PathPart>> jan{{{"1997"}, {"Jan"}}, {{"FY1996"}, {"Jan"}}};
    const uint32_t key = cube.dimensionKey(0, jan);
    EXPECT_EQ(cube.dimensionKey(0, jan), key);
    const std::vector<std::vector<PathPart>> clash{{{"1997"}, {"Jan"}}, {{"FY1997"}, {"Jan"}}};
    EXPECT_NE(failureOf([&] { cube.dimensionKey(0, clash); }).find("duplicate member key"), std::string::npos);
    CubeBuilder* cubes[] = {&cube};
    writeCubeFile(folder / "t.cub", "C", cubes);
    const auto file = CubeFile::open(folder / "t.cub");
    const DimensionInfo& time = file->catalog().cubes[0].dimensions[0];
    ASSERT_EQ(time.hierarchies.size(), 2u);
    EXPECT_EQ(time.hierarchies[1].name, "Fiscal");
    EXPECT_EQ(time.hierarchies[1].members[0].uniqueName, "[Time.Fiscal].[FY1996]");
    EXPECT_EQ(time.hierarchies[1].members[time.hierarchies[1].memberOfKey[key]].name, "Jan");
}

TEST_F(CubeFileTest, BuilderRefusesSpecsThatCannotMakeACube)
{
    const CubeSpec duplicateMeasure{"C", {}, {{"M"}, {"M"}}};
    EXPECT_NE(failureOf([&] { CubeBuilder{duplicateMeasure}; }).find("\"M\" is used twice"), std::string::npos);
    const CubeSpec measuresDimension{"C", {{"Measures", DimensionType::Other, {{"", false, "", {{"L"}}}}}}, {}};
    EXPECT_NE(failureOf([&] { CubeBuilder{measuresDimension}; }).find("Measures"), std::string::npos);
    const CubeSpec noLevels{"C", {{"D", DimensionType::Other, {{"", false, "", {}}}}}, {}};
    EXPECT_NE(failureOf([&] { CubeBuilder{noLevels}; }).find("no levels"), std::string::npos);
}

TEST_F(CubeFileTest, BuilderRefusesFactsThatDoNotFit)
{
    CubeBuilder cube(salesSpec());
    const uint32_t q1 = cube.dimensionKey(0, {{"1997"}, {"Q1"}});
    EXPECT_NE(failureOf([&] { cube.addFact(std::vector<uint32_t>{q1}, std::vector<double>{1, 2}); }), "no failure");
    EXPECT_NE(failureOf([&] { cube.addFact(std::vector<uint32_t>{q1, 7}, std::vector<double>{1, 2}); }).find("unknown key"),
              std::string::npos);
    EXPECT_NE(failureOf([&] { cube.dimensionKey(0, {{"1997"}}); }).find("one name per level"), std::string::npos);
}

TEST_F(CubeFileTest, MissingFileIsFileNotFound)
{
    try {
        CubeFile::open(folder / "none.cub");
        FAIL() << "opened a missing file";
    } catch (const platform::Failure& f) {
        EXPECT_EQ(f.number(), platform::err::kFileNotFound);
        EXPECT_NE(f.description().find("none.cub"), std::string::npos);
    }
}

TEST_F(CubeFileTest, FileOfRandomBytesIsNotACubeFileAndStaysUntouched)
{
    const fs::path file = folder / "noise.cub";
    {
        std::ofstream out(file, std::ios::binary);
        std::mt19937 random(7);
        for (int i = 0; i < 100000; ++i)
            out.put(char(random()));
    }
    const auto before = fs::last_write_time(file);
    const std::string message = failureOf([&] { CubeFile::open(file); });
    EXPECT_NE(message.find("noise.cub"), std::string::npos) << message;
    EXPECT_NE(message.find("is not a cube file"), std::string::npos) << message;
    EXPECT_EQ(fs::last_write_time(file), before);
    EXPECT_EQ(fs::file_size(file), 100000u);
}

TEST_F(CubeFileTest, ForeignDatabaseIsNotACubeFile)
{
    const fs::path file = folder / "other.cub";
    setPragma(file, "CREATE TABLE t (x)");
    EXPECT_NE(failureOf([&] { CubeFile::open(file); }).find("is not a cube file"), std::string::npos);
}

TEST_F(CubeFileTest, NewerFormatIsRefusedByName)
{
    const fs::path file = writeSales();
    setPragma(file, "PRAGMA user_version = 9");
    const std::string message = failureOf([&] { CubeFile::open(file); });
    EXPECT_NE(message.find("newer version"), std::string::npos) << message;
    EXPECT_NE(message.find("sales.cub"), std::string::npos) << message;
}

TEST_F(CubeFileTest, TruncatedFileFailsClearlyAtOpenOrWhenFactsAreRead)
{
    CubeBuilder cube(salesSpec());
    const uint32_t q1 = cube.dimensionKey(0, {{"1997"}, {"Q1"}});
    const uint32_t cola = cube.dimensionKey(1, {{"Drinks"}, {"Cola"}});
    for (int i = 0; i < 200000; ++i)
        cube.addFact(std::vector<uint32_t>{q1, cola}, std::vector<double>{double(i), 1});
    CubeBuilder* cubes[] = {&cube};
    const fs::path file = folder / "cut.cub";
    writeCubeFile(file, "Shop", cubes);
    fs::resize_file(file, fs::file_size(file) / 2);
    const std::string message = failureOf([&] { CubeFile::open(file)->facts(0); });
    EXPECT_NE(message.find("cut.cub"), std::string::npos) << message;
    EXPECT_NE(message, "no failure");
}

TEST_F(CubeFileTest, DamagedMemberListIsReportedAsDamage)
{
    const fs::path file = writeSales();
    setPragma(file, "UPDATE hierarchies SET members = x'0102' WHERE dimension = 1");
    const std::string message = failureOf([&] { CubeFile::open(file); });
    EXPECT_NE(message.find("damaged"), std::string::npos) << message;
}

TEST_F(CubeFileTest, WritingIntoAMissingFolderFailsNamingTheFileAndLeavesNothingBehind)
{
    CubeBuilder cube(salesSpec());
    CubeBuilder* cubes[] = {&cube};
    const fs::path file = folder / "missing" / "x.cub";
    EXPECT_NE(failureOf([&] { writeCubeFile(file, "Shop", cubes); }).find("x.cub"), std::string::npos);
    EXPECT_FALSE(fs::exists(folder / "missing"));
}

TEST_F(CubeFileTest, RewritingReplacesTheFileWholeAndLeavesNoTemporaryFile)
{
    const fs::path file = writeSales();
    CubeBuilder other({"Other", {}, {{"M"}}});
    CubeBuilder* cubes[] = {&other};
    writeCubeFile(file, "Second", cubes);
    EXPECT_EQ(CubeFile::open(file)->catalog().name, "Second");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

}  // namespace
