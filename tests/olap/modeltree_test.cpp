// Both cube object models keep their objects in one shared tree per
// dimension, addressed by hierarchy and index. These tests walk every
// hierarchy, the second hierarchy of Product (Brand) included, which the
// model tests do not: a member must stay an object of its own hierarchy.
#include "olap/connection/connectionmodel.h"
#include "olap/store/storecompanion.h"
#include "olap/store/storeloader.h"
#include "olap/store/storemodel.h"
#include "storetestcube.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace olap;

namespace {

// Captions per hierarchy, each level by level from the top.
using Captions = std::vector<std::vector<std::string>>;

const struct {
    const char* dimension;
    Captions captions;
} kHierarchies[] = {
    {"Time", {{"All Time", "1997", "1998", "Quarter 1", "Quarter 2", "Quarter 1"}}},
    {"Product", {{"Drinks", "Food", "Cola", "Juice", "Bread"}, {"Acme", "Fresh"}}},
    {"Region", {{"Everywhere", "Paris", "Oslo"}}},
};

// Walks every level of every hierarchy of the store dimension `name`, checking
// that each member names the level and hierarchy it was reached through and
// is an object of its own.
Captions walkStore(const Cube& cube, const char* name)
{
    const std::shared_ptr<Dimension> dimension = cube.dimensionByName(name);
    Captions captions;
    std::set<const Member*> seen;
    for (const std::shared_ptr<Hierarchy>& hierarchy : dimension->hierarchyList()) {
        captions.emplace_back();
        for (int l = 1; l <= hierarchy->levelCount(); ++l) {
            const std::shared_ptr<Level> level = hierarchy->level(l);
            for (const std::shared_ptr<Member>& member : level->levelMembers()) {
                EXPECT_EQ(member->level(), level) << member->uniqueName();
                EXPECT_EQ(member->level()->hierarchy(), hierarchy) << member->uniqueName();
                EXPECT_TRUE(seen.insert(member.get()).second) << member->uniqueName();
                captions.back().push_back(member->caption());
            }
        }
    }
    return captions;
}

Captions walkConnection(const KCube& cube, const char* name)
{
    std::shared_ptr<KDimension> dimension;
    for (const std::shared_ptr<KDimension>& candidate : cube.dimensions()) {
        if (candidate->name() == name)
            dimension = candidate;
    }
    Captions captions;
    std::set<const KMember*> seen;
    for (const std::shared_ptr<KHierarchy>& hierarchy : dimension->hierarchies()) {
        captions.emplace_back();
        for (const std::shared_ptr<KLevel>& level : hierarchy->levels()) {
            for (const std::shared_ptr<KMember>& member : level->members()) {
                EXPECT_EQ(member->level(), level) << member->uniqueName();
                EXPECT_EQ(member->level()->hierarchy(), hierarchy) << member->uniqueName();
                EXPECT_TRUE(seen.insert(member.get()).second) << member->uniqueName();
                captions.back().push_back(member->caption());
            }
        }
    }
    return captions;
}

class ModelTreeTest : public testing::Test {
protected:
    void SetUp() override { storetest::writeSalesCube(mFolder / "Sales.cub"); }

    storetest::ScratchFolder mFolder;
};

}  // namespace

TEST_F(ModelTreeTest, StoreMembersStayInTheHierarchyTheyWereReachedThrough)
{
    writeStoreCompanion(mFolder / "Sales.bwf", {});
    const std::filesystem::path bwc = mFolder / "Sales.BWC";
    ASSERT_TRUE(extractStoreCube((mFolder / "pivotwizard").string(), "Sales", bwc, 1));
    Cube cube;
    cube.loadFromFile(bwc, true);
    for (const auto& row : kHierarchies) {
        SCOPED_TRACE(row.dimension);
        EXPECT_EQ(walkStore(cube, row.dimension), row.captions);
    }
}

TEST_F(ModelTreeTest, ConnectionMembersStayInTheHierarchyTheyWereReachedThrough)
{
    OlapConnection connection;
    connection.openLocalCube("Local Cube File", mFolder / "Sales.cub");
    const std::shared_ptr<KCube> cube = connection.databases().item(0)->cubes().item(0)->definition();
    for (const auto& row : kHierarchies) {
        SCOPED_TRACE(row.dimension);
        EXPECT_EQ(walkConnection(*cube, row.dimension), row.captions);
    }
}
