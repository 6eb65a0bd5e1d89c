#include "olap/store/storemodel.h"

#include "olap/store/storecompanion.h"
#include "olap/store/storeloader.h"
#include "platform/core/failure.h"
#include "storetestcube.h"

#include <gtest/gtest.h>

using namespace olap;

namespace {

// Store cube "Sales" extracted and loaded, as the wizard does it.
class StoreModelTest : public testing::Test {
protected:
    void SetUp() override
    {
        storetest::writeSalesCube(mFolder / "Sales.cub");
        load({true, "Measure List"});
    }

    void load(const StoreCompanion& companion)
    {
        writeStoreCompanion(mFolder / "Sales.bwf", companion);
        ASSERT_TRUE(extractStoreCube((mFolder / "pivotwizard").string(), "Sales", mBwc, 1));
        mCube = std::make_shared<Cube>();
        mCube->loadFromFile(mBwc, true);
    }

    std::shared_ptr<Dimension> dimension(const char* name) const
    {
        std::shared_ptr<Dimension> found = mCube->dimensionByName(name);
        EXPECT_TRUE(found) << name;
        return found;
    }

    std::shared_ptr<Level> topLevel(const char* name) const { return dimension(name)->hierarchyList().item(1)->Levels(1); }

    // Member `number` (1-based) of level `depth + 1` of the first hierarchy.
    std::shared_ptr<Member> member(const char* name, int depth, int number) const
    {
        return dimension(name)->hierarchy(1)->level(depth + 1)->levelMembers().item(number);
    }

    storetest::ScratchFolder mFolder;
    std::filesystem::path mBwc = mFolder / "Sales.BWC";
    std::shared_ptr<Cube> mCube;
};

template <class F>
int failureNumber(F&& call)
{
    try {
        call();
    } catch (const platform::Failure& failure) {
        return failure.number();
    }
    return 0;
}

}  // namespace

TEST_F(StoreModelTest, TheCubeIsNamedAfterTheStoreCube)
{
    EXPECT_TRUE(mCube->isLoaded());
    EXPECT_EQ(mCube->name(), "Sales");
    EXPECT_EQ(mCube->catalogName(), "Sales Catalog");
    EXPECT_EQ(mCube->cubeName(), "Sales");
}

TEST_F(StoreModelTest, DimensionsAreTheMeasuresThenTheCubesInOrderCountedFromOne)
{
    const auto& expected = storetest::kDimensionsInOrder;
    ASSERT_EQ(mCube->dimensionCount(), 5);
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(mCube->dimension(i)->name(), expected[i - 1].name);
        EXPECT_EQ(mCube->dimension(i)->dimensionType(), expected[i - 1].type);
    }
    EXPECT_EQ(mCube->dimension(2)->fieldName(), "[Time]");
    EXPECT_EQ(failureNumber([&] { mCube->dimension(0); }), platform::err::kSubscript);
    EXPECT_EQ(failureNumber([&] { mCube->dimension(6); }), platform::err::kSubscript);
}

TEST_F(StoreModelTest, TimeDimensionsAreCountedFromOneInCubeOrder)
{
    ASSERT_EQ(mCube->timeDimensionCount(), 2);
    EXPECT_EQ(mCube->timeDimension(1), mCube->dimension(2));
    EXPECT_EQ(mCube->timeDimension(2)->name(), "Ship Time");
    EXPECT_EQ(failureNumber([&] { mCube->timeDimension(3); }), platform::err::kSubscript);
}

TEST_F(StoreModelTest, DimensionByNameFindsTheSameObjectByExactName)
{
    EXPECT_EQ(mCube->dimensionByName("Region"), mCube->dimension(4));
    EXPECT_EQ(mCube->dimensionByName("Measures"), mCube->measuresDimension());
    EXPECT_EQ(mCube->dimensionByName("Measure List"), mCube->measureListDimension());
    EXPECT_EQ(mCube->dimensionByName("region"), nullptr);
    EXPECT_EQ(mCube->dimensionByName("Stock"), nullptr);
}

TEST_F(StoreModelTest, TheMeasuresDimensionCarriesTheCompanionsFlag)
{
    const std::shared_ptr<Dimension> measures = mCube->measuresDimension();
    ASSERT_TRUE(measures);
    EXPECT_EQ(measures, mCube->dimension(1));
    EXPECT_EQ(measures->name(), "Measures");
    EXPECT_EQ(measures->dimensionType(), DimensionType::Measure);
    EXPECT_TRUE(measures->specialFlag());
    for (int i = 2; i <= mCube->dimensionCount(); ++i)
        EXPECT_FALSE(mCube->dimension(i)->specialFlag()) << mCube->dimension(i)->name();
}

TEST_F(StoreModelTest, MeasureMembersFormDataFieldNames)
{
    const Collection<Member> members = mCube->measuresDimension()->hierarchy(1)->level(1)->levelMembers();
    ASSERT_EQ(members.count(), 2);
    EXPECT_EQ(members.item(1)->name(), "[Sales Amount]");
    EXPECT_EQ("[" + mCube->measuresDimension()->name() + "]." + members.item(1)->name(), "[Measures].[Sales Amount]");
    EXPECT_EQ(members.item(2)->caption(), "Units");
    EXPECT_EQ(members.item(2)->namePath(), "[Units]");
    EXPECT_EQ(mCube->measures()[0].formatString, "#,##0.00");
}

TEST_F(StoreModelTest, TheMeasureListDimensionListsTheMeasuresFlaggedAndApart)
{
    const std::shared_ptr<Dimension> list = mCube->measureListDimension();
    ASSERT_TRUE(list);
    EXPECT_EQ(list->name(), "Measure List");
    EXPECT_EQ(list->dimensionType(), DimensionType::Measure);
    EXPECT_TRUE(list->specialFlag());
    const Collection<Member> members = list->hierarchy(1)->level(1)->levelMembers();
    ASSERT_EQ(members.count(), 2);
    EXPECT_EQ(members.item(1)->name(), "[Sales Amount]");
    for (int i = 1; i <= mCube->dimensionCount(); ++i)
        EXPECT_NE(mCube->dimension(i), list);
}

TEST_F(StoreModelTest, WithoutSpecialMeasuresNothingIsFlaggedAndNoListIsMade)
{
    load({false, ""});
    EXPECT_FALSE(mCube->measuresDimension()->specialFlag());
    EXPECT_EQ(mCube->measureListDimension(), nullptr);
    EXPECT_EQ(mCube->dimensionCount(), 5);
}

TEST_F(StoreModelTest, TheHierarchyListCountsFromOne)
{
    const Collection<Hierarchy> hierarchies = dimension("Product")->hierarchyList();
    ASSERT_EQ(hierarchies.count(), 2);
    EXPECT_EQ(hierarchies.item(1)->name(), "Product");
    EXPECT_EQ(hierarchies.item(2)->name(), "Brand");
    EXPECT_EQ(hierarchies.item(1), dimension("Product")->hierarchy(1));
    EXPECT_EQ(failureNumber([&] { hierarchies.item(0); }), platform::err::kSubscript);
    EXPECT_EQ(failureNumber([&] { hierarchies.item(3); }), platform::err::kSubscript);
    EXPECT_EQ(dimension("Product")->hierarchyCount(), 2);
}

TEST_F(StoreModelTest, LevelsCountFromOneTopFirstWithTheirTypes)
{
    const std::shared_ptr<Hierarchy> time = dimension("Time")->hierarchy(1);
    ASSERT_EQ(time->levelCount(), 3);
    EXPECT_EQ(time->Levels(1), time->level(1));
    EXPECT_EQ(time->level(1)->name(), "(All)");
    EXPECT_EQ(time->level(1)->LevelType(), LevelType::All);
    EXPECT_EQ(time->level(2)->name(), "Year");
    EXPECT_EQ(time->level(2)->LevelType(), LevelType::Regular);
    EXPECT_EQ(time->level(3)->depth(), 2);
    EXPECT_EQ(topLevel("Product")->LevelType(), LevelType::Regular);
    EXPECT_EQ(failureNumber([&] { time->level(4); }), platform::err::kSubscript);
    EXPECT_EQ(failureNumber([&] { time->level(0); }), platform::err::kSubscript);
}

TEST_F(StoreModelTest, ChildLevelWalksDownToNothing)
{
    const std::shared_ptr<Level> top = topLevel("Time");
    ASSERT_TRUE(top->childLevel());
    EXPECT_EQ(top->childLevel()->name(), "Year");
    EXPECT_EQ(top->childLevel()->childLevel()->name(), "Quarter");
    EXPECT_EQ(top->childLevel()->childLevel()->childLevel(), nullptr);
    EXPECT_EQ(top->childLevel()->hierarchy(), dimension("Time")->hierarchy(1));
}

// The member checks read the top level's memberCount and levelMemberTotal and
// whether a level follows; each dimension of the test cube meets another rule.
TEST_F(StoreModelTest, TopLevelCountsSayWhatTheMemberChecksNeed)
{
    const struct {
        const char* dimension;
        int memberCount;
        int levelMemberTotal;
        bool hasChildLevel;
    } expected[] = {
        {"Time", 1, 1, true},        // a single "all" member with years below it
        {"Product", 2, 2, true},     // two categories
        {"Region", 1, 1, true},      // "Everywhere" with cities below it
        {"Ship Time", 1, 1, false},  // one year and nothing below
        {"Measures", 2, 2, false},
    };
    for (const auto& e : expected) {
        const std::shared_ptr<Level> top = topLevel(e.dimension);
        EXPECT_EQ(top->memberCount(), e.memberCount) << e.dimension;
        EXPECT_EQ(top->levelMemberTotal(), e.levelMemberTotal) << e.dimension;
        EXPECT_EQ(top->levelMembers().count(), e.levelMemberTotal) << e.dimension;
        EXPECT_EQ(top->childLevel() != nullptr, e.hasChildLevel) << e.dimension;
    }
    EXPECT_EQ(dimension("Time")->hierarchy(1)->level(3)->levelMemberTotal(), 3);
}

TEST_F(StoreModelTest, LevelMembersCountFromOneInLevelOrder)
{
    const Collection<Member> years = dimension("Time")->hierarchy(1)->level(2)->levelMembers();
    ASSERT_EQ(years.count(), 2);
    EXPECT_EQ(years.item(1)->caption(), "1997");
    EXPECT_EQ(years.item(2)->caption(), "1998");
    EXPECT_EQ(failureNumber([&] { years.item(0); }), platform::err::kSubscript);
    std::vector<std::string> walked;
    for (const std::shared_ptr<Member>& year : years)
        walked.push_back(year->caption());
    EXPECT_EQ(walked, (std::vector<std::string>{"1997", "1998"}));
}

TEST_F(StoreModelTest, MembersHaveChildrenCountedFromOneAndAParent)
{
    const std::shared_ptr<Member> all = member("Time", 0, 1);
    ASSERT_EQ(all->childCount(), 2);
    EXPECT_EQ(all->parent(), nullptr);
    const std::shared_ptr<Member> y1997 = all->child(1);
    EXPECT_EQ(y1997->childCount(), 2);
    EXPECT_EQ(y1997->child(2)->caption(), "Quarter 2");
    EXPECT_EQ(y1997->child(2)->parent(), y1997);
    EXPECT_EQ(y1997->parent(), all);
    EXPECT_EQ(y1997->child(2)->childCount(), 0);
    EXPECT_EQ(failureNumber([&] { y1997->child(3); }), platform::err::kSubscript);
    EXPECT_EQ(failureNumber([&] { y1997->child(0); }), platform::err::kSubscript);
    EXPECT_EQ(all->children().item(2)->caption(), "1998");
}

TEST_F(StoreModelTest, MembersKnowTheirLevelAndDimension)
{
    const std::shared_ptr<Member> q2 = member("Time", 2, 2);
    EXPECT_EQ(q2->level(), dimension("Time")->hierarchy(1)->level(3));
    EXPECT_EQ(q2->dimension(), dimension("Time"));
    EXPECT_EQ(member("Product", 1, 3)->caption(), "Bread");
}

TEST_F(StoreModelTest, NamePathsHaveOneBracketedPartPerLevelFromTheTop)
{
    const std::shared_ptr<Member> q2 = member("Time", 2, 2);
    EXPECT_EQ(q2->namePath(), "[All Time].&[1997].[Q2]");
    EXPECT_EQ(member("Time", 1, 2)->namePath(), "[All Time].&[1998]");
    EXPECT_EQ(member("Time", 0, 1)->namePath(), "[All Time]");
    EXPECT_EQ(member("Product", 1, 1)->namePath(), "[Drinks].[Cola]");
    EXPECT_EQ(member("Region", 1, 2)->namePath(), "[Everywhere].[Oslo]");
    EXPECT_EQ("[" + q2->dimension()->name() + "]." + q2->namePath(), q2->uniqueName());
}

TEST_F(StoreModelTest, NamesAndCaptions)
{
    const std::shared_ptr<Member> q2 = member("Time", 2, 2);
    EXPECT_EQ(q2->name(), "[Q2]");
    EXPECT_EQ(q2->caption(), "Quarter 2");
    EXPECT_EQ(member("Time", 1, 1)->name(), "&[1997]");
    EXPECT_EQ(member("Region", 0, 1)->caption(), "Everywhere");
}

TEST_F(StoreModelTest, AskingTwiceGivesTheSameObjects)
{
    const std::shared_ptr<Member> viaLevel = member("Time", 2, 1);
    const std::shared_ptr<Member> viaTree = member("Time", 0, 1)->child(1)->child(1);
    EXPECT_EQ(viaLevel, viaTree);
    EXPECT_EQ(topLevel("Time"), topLevel("Time"));
    EXPECT_EQ(dimension("Time")->hierarchy(1), dimension("Time")->hierarchyList().item(1));
}

TEST_F(StoreModelTest, HeldObjectsOutliveTheCube)
{
    const std::shared_ptr<Member> q2 = member("Time", 2, 2);
    const std::shared_ptr<Level> quarters = q2->level();
    mCube.reset();
    EXPECT_EQ(q2->namePath(), "[All Time].&[1997].[Q2]");
    EXPECT_EQ(q2->dimension()->name(), "Time");
    EXPECT_EQ(quarters->levelMembers().item(3)->caption(), "Quarter 1");
}

TEST_F(StoreModelTest, SelectedMembersStartEmptyAndKeepWhatTheEditorChecks)
{
    const std::shared_ptr<Dimension> time = dimension("Time");
    MemberSelection& selected = time->selectedMembers();
    EXPECT_EQ(selected.count(), 0);
    const std::shared_ptr<Member> y1998 = member("Time", 1, 2);
    const std::shared_ptr<Member> q1 = member("Time", 2, 1);
    EXPECT_TRUE(selected.add(y1998));
    EXPECT_TRUE(selected.add(q1));
    EXPECT_FALSE(selected.add(member("Time", 1, 2)));
    ASSERT_EQ(selected.count(), 2);
    EXPECT_EQ(selected.item(0), y1998);
    EXPECT_EQ(selected.item(1), q1);
    EXPECT_TRUE(selected.contains(q1));
    EXPECT_EQ(failureNumber([&] { selected.item(2); }), platform::err::kSubscript);
    EXPECT_EQ(&mCube->dimensionByName("Time")->selectedMembers(), &selected);
}

TEST_F(StoreModelTest, SelectedMembersCanBeRemovedAndCleared)
{
    MemberSelection& selected = dimension("Time")->selectedMembers();
    const std::shared_ptr<Member> a = member("Time", 2, 1), b = member("Time", 2, 2), c = member("Time", 2, 3);
    selected.add(a);
    selected.add(b);
    selected.add(c);
    EXPECT_TRUE(selected.remove(b));
    EXPECT_FALSE(selected.remove(b));
    std::vector<std::shared_ptr<Member>> left(selected.begin(), selected.end());
    EXPECT_EQ(left, (std::vector<std::shared_ptr<Member>>{a, c}));
    selected.clear();
    EXPECT_EQ(selected.count(), 0);
    EXPECT_FALSE(selected.contains(a));
}

TEST_F(StoreModelTest, SelectedMembersTakeOnlyMembersOfTheirDimension)
{
    MemberSelection& selected = dimension("Time")->selectedMembers();
    EXPECT_EQ(failureNumber([&] { selected.add(member("Region", 1, 1)); }), platform::err::kInvalidCall);
    EXPECT_EQ(failureNumber([&] { selected.add(nullptr); }), platform::err::kObjectNotSet);
    EXPECT_EQ(selected.count(), 0);
}

TEST(StoreCube, AnEmptyCubeHasNothing)
{
    Cube cube;
    EXPECT_FALSE(cube.isLoaded());
    EXPECT_EQ(cube.name(), "");
    EXPECT_EQ(cube.dimensionCount(), 0);
    EXPECT_EQ(cube.timeDimensionCount(), 0);
    EXPECT_EQ(cube.measuresDimension(), nullptr);
    EXPECT_EQ(cube.measureListDimension(), nullptr);
    EXPECT_EQ(cube.dimensionByName("Measures"), nullptr);
    EXPECT_EQ(failureNumber([&] { cube.dimension(1); }), platform::err::kSubscript);
}

TEST_F(StoreModelTest, LoadingAMissingFileFailsNamingItAndKeepsTheCube)
{
    const std::filesystem::path missing = mFolder / "Stock.BWC";
    try {
        mCube->loadFromFile(missing, true);
        FAIL() << "no failure";
    } catch (const platform::Failure& failure) {
        EXPECT_EQ(failure.number(), platform::err::kFileNotFound);
        EXPECT_EQ(failure.source(), "olap");
        EXPECT_NE(failure.description().find(missing.string()), std::string::npos) << failure.description();
    }
    EXPECT_EQ(mCube->name(), "Sales");
    EXPECT_EQ(mCube->dimensionCount(), 5);
}

TEST_F(StoreModelTest, LoadingACorruptOrNewerFileFailsAndKeepsTheCube)
{
    std::string bytes = storetest::readBytes(mBwc);
    const std::filesystem::path spoiled = mFolder / "Spoiled.BWC";
    const std::string corrupt = bytes.substr(0, bytes.size() / 2);
    std::string newer = bytes;
    newer[8] = 2;
    for (const std::string& content : {corrupt, newer, std::string("not a cube")}) {
        storetest::writeText(spoiled, content);
        EXPECT_THROW(mCube->loadFromFile(spoiled, true), platform::Failure);
        EXPECT_EQ(mCube->name(), "Sales");
        EXPECT_EQ(mCube->dimensionCount(), 5);
    }
}

TEST_F(StoreModelTest, ReloadingReplacesTheContentAndLeavesHeldObjectsAsTheyWere)
{
    const std::shared_ptr<Dimension> before = mCube->measuresDimension();
    writeStoreCompanion(mFolder / "Sales.bwf", {false, ""});
    ASSERT_TRUE(extractStoreCube((mFolder / "pivotwizard").string(), "Sales", mBwc, 1));
    mCube->loadFromFile(mBwc, false);
    EXPECT_FALSE(mCube->measuresDimension()->specialFlag());
    EXPECT_NE(mCube->measuresDimension(), before);
    EXPECT_TRUE(before->specialFlag());
}

TEST_F(StoreModelTest, TheBwcFileCanBeDeletedRightAfterLoading)
{
    std::filesystem::remove(mBwc);
    EXPECT_EQ(member("Time", 2, 3)->caption(), "Quarter 1");
}
