// The store model: positions count from 1 (the selection from 0), a bad
// position is failure 9, asking twice gives the same object, and what a
// caller holds outlives the cube.
#include "olap/store/storemodel.h"

#include "olap/store/storecompanion.h"
#include "olap/store/storeloader.h"
#include "olaptestsupport.h"

#include <functional>

using namespace olap;
using olaptest::failureOf;

namespace {

// Store cube "Sales" extracted and loaded, as the wizard does it.
class StoreModelTest : public testing::Test {
protected:
    void SetUp() override
    {
        olaptest::writeSalesCube(mFolder / "Sales.cub");
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

    // Level `number` (1-based, top first) of the first hierarchy.
    std::shared_ptr<Level> level(const char* name, int number) const { return dimension(name)->hierarchy(1)->level(number); }

    // Member `number` (1-based) of level `depth + 1` of the first hierarchy.
    std::shared_ptr<Member> member(const char* name, int depth, int number) const
    {
        return level(name, depth + 1)->levelMembers().item(number);
    }

    ScratchFolder mFolder;
    std::filesystem::path mBwc = mFolder / "Sales.BWC";
    std::shared_ptr<Cube> mCube;
};

// What the store model names its own way, for olaptest::outline.
struct StoreOutline {
    using MemberPointer = std::shared_ptr<Member>;
    static Collection<Hierarchy> hierarchies(const Dimension& dimension) { return dimension.hierarchyList(); }
    static std::shared_ptr<Level> firstLevel(const Hierarchy& hierarchy) { return hierarchy.level(1); }
    static int depth(const Level& level) { return level.depth(); }
    static Collection<Member> members(const Level& level) { return level.levelMembers(); }
};

std::string outline(const Cube& cube)
{
    std::vector<std::shared_ptr<Dimension>> dimensions;
    for (int d = 1; d <= cube.dimensionCount(); ++d)
        dimensions.push_back(cube.dimension(d));
    return olaptest::outline<StoreOutline>(dimensions);
}

}  // namespace

TEST_F(StoreModelTest, TheCubeShowsTheMeasuresThenItsDimensionsCountedFromOne)
{
    EXPECT_EQ(mCube->catalogName(), "Sales Catalog");
    EXPECT_EQ(outline(*mCube), olaptest::kSalesOutline);
    for (int i = 1; i <= mCube->dimensionCount(); ++i)
        EXPECT_EQ(mCube->dimension(i)->specialFlag(), i == 1) << i;
    ASSERT_EQ(mCube->timeDimensionCount(), 2);
    EXPECT_EQ(mCube->timeDimension(1), mCube->dimension(2));
    EXPECT_EQ(mCube->timeDimension(2), mCube->dimension(5));
    EXPECT_EQ(mCube->dimensionByName("Measures"), mCube->dimension(1));
    EXPECT_EQ(mCube->dimensionByName("Measure List"), mCube->measureListDimension());
    EXPECT_EQ(mCube->dimensionByName("region"), nullptr);
    EXPECT_EQ(dimension("Time")->hierarchy(1)->level(1)->name(), "(All)");
}

TEST_F(StoreModelTest, PositionsOutsideTheCollectionFailWithNumber9)
{
    const auto years = level("Time", 2)->levelMembers();
    const auto y1997 = member("Time", 1, 1);
    MemberSelection& selected = dimension("Time")->selectedMembers();
    selected.add(y1997);
    const std::function<void()> calls[] = {
        [&] { mCube->dimension(0); }, [&] { mCube->timeDimension(3); }, [&] { dimension("Product")->hierarchyList().item(3); },
        [&] { dimension("Time")->hierarchy(1)->level(4); }, [&] { years.item(0); }, [&] { y1997->child(3); },
        [&] { selected.item(1); }, [] { Cube().dimension(1); },
    };
    const Cube empty;
    EXPECT_FALSE(empty.isLoaded() || empty.measuresDimension() || empty.dimensionByName("Measures"));
    for (size_t i = 0; i < std::size(calls); ++i)
        EXPECT_EQ(failureOf(calls[i]).number(), platform::err::kSubscript) << "call " << i;
}

TEST_F(StoreModelTest, MeasuresAreMembersOfTheMeasuresDimensionAndOfTheFlaggedListApart)
{
    for (const std::shared_ptr<Dimension>& measures : {mCube->measuresDimension(), mCube->measureListDimension()}) {
        ASSERT_TRUE(measures);
        EXPECT_EQ(measures->dimensionType(), DimensionType::Measure);
        EXPECT_TRUE(measures->specialFlag());
        const Collection<Member> members = measures->hierarchy(1)->level(1)->levelMembers();
        ASSERT_EQ(members.count(), 2);
        EXPECT_EQ(members.item(1)->name(), "[Sales Amount]");
        EXPECT_EQ(members.item(2)->caption(), "Units");
        EXPECT_EQ(members.item(2)->namePath(), "[Units]");
    }
    EXPECT_EQ(member("Measures", 0, 1)->uniqueName(), "[Measures].[Sales Amount]");
    for (int i = 1; i <= mCube->dimensionCount(); ++i)
        EXPECT_NE(mCube->dimension(i), mCube->measureListDimension());
    load({false, ""});
    EXPECT_FALSE(mCube->measuresDimension()->specialFlag());
    EXPECT_EQ(mCube->measureListDimension(), nullptr);
    EXPECT_EQ(mCube->dimensionCount(), 5);
}

// A name is one bracketed part, "&" marking a level named by key; the name
// path has one part per level from the top; the unique name adds the dimension.
TEST_F(StoreModelTest, NamesCaptionsAndPaths)
{
    const struct { std::shared_ptr<Member> member; const char *name, *caption, *namePath; } cases[] = {
        {member("Time", 2, 2), "[Q2]", "Quarter 2", "[All Time].&[1997].[Q2]"},
        {member("Time", 1, 2), "&[1998]", "1998", "[All Time].&[1998]"},
        {member("Time", 0, 1), "[All Time]", "All Time", "[All Time]"},
        {member("Product", 1, 1), "[Cola]", "Cola", "[Drinks].[Cola]"},
        {member("Region", 1, 2), "[Oslo]", "Oslo", "[Everywhere].[Oslo]"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.member->name(), c.name);
        EXPECT_EQ(c.member->caption(), c.caption);
        EXPECT_EQ(c.member->namePath(), c.namePath);
        EXPECT_EQ(c.member->uniqueName(), "[" + c.member->dimension()->name() + "]." + c.namePath);
    }
}

TEST_F(StoreModelTest, AskingTwiceGivesTheSameObjectsAndHeldObjectsOutliveTheCube)
{
    EXPECT_EQ(level("Time", 1), dimension("Time")->hierarchyList().item(1)->Levels(1));
    EXPECT_EQ(dimension("Time")->hierarchy(1), dimension("Time")->hierarchyList().item(1));
    EXPECT_EQ(&dimension("Time")->selectedMembers(), &mCube->dimension(2)->selectedMembers());
    const std::shared_ptr<Member> q2 = member("Time", 2, 2);
    const std::shared_ptr<Level> quarters = q2->level();
    std::filesystem::remove(mBwc);  // loaded wholly: the file may go
    mCube.reset();
    EXPECT_EQ(q2->namePath(), "[All Time].&[1997].[Q2]");
    EXPECT_EQ(q2->dimension()->name(), "Time");
    EXPECT_EQ(quarters->levelMembers().item(3)->caption(), "Quarter 1");
}

// The member editor keeps its checks here: in the order added, from 0,
// each member once, only members of the dimension.
TEST_F(StoreModelTest, SelectedMembersKeepWhatTheEditorChecksInOrder)
{
    MemberSelection& selected = dimension("Time")->selectedMembers();
    const std::shared_ptr<Member> y1998 = member("Time", 1, 2), q1 = member("Time", 2, 1), q2 = member("Time", 2, 2);
    EXPECT_TRUE(selected.add(y1998));
    EXPECT_TRUE(selected.add(q1));
    EXPECT_TRUE(selected.add(q2));
    EXPECT_FALSE(selected.add(member("Time", 1, 2)));
    ASSERT_EQ(selected.count(), 3);
    EXPECT_EQ(selected.item(0), y1998);
    EXPECT_TRUE(selected.contains(q1));
    EXPECT_TRUE(selected.remove(q1));
    EXPECT_FALSE(selected.remove(q1));
    EXPECT_EQ((std::vector<std::shared_ptr<Member>>(selected.begin(), selected.end())),
              (std::vector<std::shared_ptr<Member>>{y1998, q2}));
    EXPECT_EQ(failureOf([&] { selected.add(member("Region", 1, 1)); }).number(), platform::err::kInvalidCall);
    EXPECT_EQ(failureOf([&] { selected.add(nullptr); }).number(), platform::err::kObjectNotSet);
    selected.clear();
    EXPECT_FALSE(selected.contains(y1998));
}

TEST_F(StoreModelTest, AFailedLoadKeepsTheCubeAndAReloadLeavesHeldObjectsAsTheyWere)
{
    const std::filesystem::path missing = mFolder / "Stock.BWC";
    const platform::Failure failure = failureOf([&] { mCube->loadFromFile(missing, true); });
    EXPECT_EQ(failure.number(), platform::err::kFileNotFound);
    EXPECT_EQ(failure.source(), "olap");
    EXPECT_THAT(failure.description(), olaptest::HasSubstr(missing.string()));
    const std::string bytes = textOf(mBwc);
    std::string newer = bytes;
    newer[8] = 2;
    for (const std::string& content : {bytes.substr(0, bytes.size() / 2), newer, std::string("not a cube")}) {
        writeText(missing, content);
        EXPECT_THROW(mCube->loadFromFile(missing, true), platform::Failure);
        EXPECT_EQ(mCube->name(), "Sales");
        EXPECT_EQ(mCube->dimensionCount(), 5);
    }
    const std::shared_ptr<Dimension> before = mCube->measuresDimension();
    writeStoreCompanion(mFolder / "Sales.bwf", {false, ""});
    ASSERT_TRUE(extractStoreCube((mFolder / "pivotwizard").string(), "Sales", mBwc, 1));
    mCube->loadFromFile(mBwc, false);
    EXPECT_FALSE(mCube->measuresDimension()->specialFlag());
    EXPECT_NE(mCube->measuresDimension(), before);
    EXPECT_TRUE(before->specialFlag());
}
