// What the engine's tests share: the failure an action throws, cubes for
// queries read back from real cube files, the modelling cube of
// data/modelling, and a small real cube for the store and connection models,
// built with the cube builder.
//
// The sales cube: catalog "Sales Catalog", cube "Sales". Dimensions in order:
//   Time       time,  "all" level "All Time", Year (named by key), Quarter:
//              1997 (Q1, Q2), 1998 (Q1); quarters captioned "Quarter 1"...
//   Product    other, hierarchies Product (Category, Item) and Brand (Brand):
//              Drinks (Cola, Juice), Food (Bread); brands Acme, Fresh
//   Region     other, "all" level "Everywhere", City: Paris, Oslo
//   Ship Time  time,  Year: 1997
// Measures: Sales Amount (sum, "#,##0.00"), Units (count).
#pragma once

#include "olap/build/cubedefinition.h"
#include "olap/build/cubesource.h"
#include "olap/build/cubesourceerror.h"
#include "olap/cube/cubebuilder.h"
#include "olap/cube/cubefile.h"
#include "olap/cube/facttable.h"
#include "platform/core/failure.h"
#include "support/failureof.h"
#include "support/scratchfolder.h"
#include "support/textfile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <string>
#include <vector>

namespace olap {
// Positions print as "line:column" in test failures.
inline void PrintTo(const TextPosition& position, std::ostream* out)
{
    *out << position.line << ':' << position.column;
}
}  // namespace olap

namespace olaptest {

using ::testing::HasSubstr;
using testsupport::failureOf;

// Runs `sql` on the SQLite database `file` (a cube file), to spoil it.
inline void execSql(const std::filesystem::path& file, const std::string& sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
    sqlite3_close(db);
}

// A cube as a query takes it: what a cube builder gives once written to a
// cube file and read back, so that queries run on what real files hold.
struct TestCube { olap::CubeInfo info; olap::FactTable facts; };

inline TestCube readBack(olap::CubeBuilder& cube)
{
    ScratchFolder folder;
    olap::CubeBuilder* cubes[] = {&cube};
    olap::writeCubeFile(folder / "test.cub", "Test", cubes);
    const auto file = olap::CubeFile::open(folder / "test.cub");
    return {file->catalog().cubes.at(0), *file->facts(0)};
}

// The modelling cube (calculated, filtered and distinct measures) built from
// the definition and CSV files of data/modelling, copied to a scratch folder.
class ModellingCube : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::copy(OLAP_TEST_DATA "/modelling", mFolder.path());
        olap::buildCubeFile(olap::readCubeDefinition(mFolder / "sales.json"), mFolder / "sales.cub");
        mFile = olap::CubeFile::open(mFolder / "sales.cub");
    }

    const olap::CubeInfo& cube() const { return mFile->catalog().cubes.at(0); }

    ScratchFolder mFolder;
    std::shared_ptr<const olap::CubeFile> mFile;
};

// The position in `items` (dimensions, measures: anything with a name) of
// the one named `name`; a test failure, and 0, when none is.
template <class Items>
uint32_t indexNamed(const Items& items, const std::string& name)
{
    for (uint32_t i = 0; i < items.size(); ++i) {
        if (items[i].name == name)
            return i;
    }
    ADD_FAILURE() << "nothing is named " << name;
    return 0;
}

// A member path by names from the top level down, captions the names.
inline std::vector<olap::PathPart> pathOf(const std::vector<std::string>& names)
{
    std::vector<olap::PathPart> path;
    for (const std::string& name : names)
        path.push_back({name, {}});
    return path;
}

// The sales cube as the store and connection models show it: per dimension
// (the measures first) its type and field name, per hierarchy its levels
// top first, per level its depth, type, memberCount/levelMemberTotal and its
// members' captions with their child counts. Made from the cube described
// above, not from either model.
inline constexpr const char* kSalesOutline = R"(Measures measure [Measures]
 Measures
  0 regular 2/2: Sales Amount(0) Units(0)
Time time [Time]
 Time
  0 all 1/1: All Time(2)
  1 regular 2/2: 1997(2) 1998(1)
  2 regular 3/3: Quarter 1(0) Quarter 2(0) Quarter 1(0)
Product other [Product]
 Product
  0 regular 2/2: Drinks(2) Food(1)
  1 regular 3/3: Cola(0) Juice(0) Bread(0)
 Brand
  0 regular 2/2: Acme(0) Fresh(0)
Region other [Region]
 Region
  0 all 1/1: Everywhere(2)
  1 regular 2/2: Paris(0) Oslo(0)
Ship Time time [Ship Time]
 Ship Time
  0 regular 1/1: 1997(0)
)";

// Writes a cube model's `dimensions` as kSalesOutline does, checking on the
// way that each level's members are the children of the level above's
// members, in order, as the same objects, and know their parent, level and
// dimension. `Model` bridges what the store and connection models name
// differently: hierarchies(dimension), firstLevel(hierarchy), depth(level)
// and members(level).
template <class Model, class Dimensions>
std::string outline(const Dimensions& dimensions)
{
    std::string text;
    for (const auto& dimension : dimensions) {
        const char* types[] = {"unknown", "time", "measure", "other"};
        text += dimension->name() + " " + types[int(dimension->dimensionType())] + " " + dimension->fieldName() + "\n";
        for (const auto& hierarchy : Model::hierarchies(*dimension)) {
            text += " " + hierarchy->name() + "\n";
            std::vector<typename Model::MemberPointer> above;
            for (auto level = Model::firstLevel(*hierarchy); level; level = level->childLevel()) {
                EXPECT_EQ(level->hierarchy(), hierarchy);
                text += "  " + std::to_string(Model::depth(*level))
                    + (level->LevelType() == olap::LevelType::All ? " all " : " regular ")
                    + std::to_string(level->memberCount()) + "/" + std::to_string(level->levelMemberTotal()) + ":";
                const auto list = Model::members(*level);
                std::vector<typename Model::MemberPointer> members(list.begin(), list.end()), children;
                for (const auto& parent : above) {
                    for (const auto& child : parent->children()) {
                        children.push_back(child);
                        EXPECT_EQ(child->parent(), parent);
                    }
                }
                EXPECT_TRUE(above.empty() || children == members) << level->name();
                for (const auto& member : members) {
                    EXPECT_EQ(member->level(), level);
                    EXPECT_EQ(member->dimension(), dimension);
                    EXPECT_EQ(member->parent() == nullptr, above.empty());
                    text += " " + member->caption() + "(" + std::to_string(member->childCount()) + ")";
                }
                text += "\n";
                above = std::move(members);
            }
        }
    }
    return text;
}

inline void writeSalesCube(const std::filesystem::path& file)
{
    using olap::DimensionType;
    olap::CubeBuilder cube(olap::CubeSpec{
        "Sales",
        {{"Time", DimensionType::Time, {{"", true, "All Time", {{"Year", true}, {"Quarter", false}}}}},
         {"Product", DimensionType::Other,
          {{"", false, "", {{"Category", false}, {"Item", false}}}, {"Brand", false, "", {{"Brand", false}}}}},
         {"Region", DimensionType::Other, {{"", true, "Everywhere", {{"City", false}}}}},
         {"Ship Time", DimensionType::Time, {{"", false, "", {{"Year", false}}}}}},
        {{"Sales Amount", olap::Aggregation::Sum, "#,##0.00"}, {"Units", olap::Aggregation::Count, ""}}});
    auto time = [&](const char* year, const char* quarter, const char* caption) {
        return cube.dimensionKey(0, {{year, ""}, {quarter, caption}});
    };
    auto product = [&](const char* category, const char* item, const char* brand) {
        const std::vector<olap::PathPart> paths[] = {{{category, ""}, {item, ""}}, {{brand, ""}}};
        return cube.dimensionKey(1, paths);
    };
    const uint32_t paris = cube.dimensionKey(2, {{"Paris", ""}});
    const uint32_t oslo = cube.dimensionKey(2, {{"Oslo", ""}});
    const uint32_t shipped = cube.dimensionKey(3, {{"1997", ""}});
    auto fact = [&](uint32_t when, uint32_t item, uint32_t city, double amount) {
        const uint32_t keys[] = {when, item, city, shipped};
        const double values[] = {amount, 1.0};
        cube.addFact(keys, values);
    };
    fact(time("1997", "Q1", "Quarter 1"), product("Drinks", "Cola", "Acme"), paris, 10.0);
    fact(time("1997", "Q2", "Quarter 2"), product("Drinks", "Juice", "Fresh"), oslo, 20.0);
    fact(time("1998", "Q1", "Quarter 1"), product("Food", "Bread", "Acme"), paris, 30.0);
    olap::CubeBuilder* cubes[] = {&cube};
    olap::writeCubeFile(file, "Sales Catalog", cubes);
}

}  // namespace olaptest
