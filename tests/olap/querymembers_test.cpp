// Finding members by unique name in both spellings.
#include "olap/query/querymembers.h"
#include "querytestcube.h"

#include <gtest/gtest.h>

namespace olap {
namespace {

using testing::TestCubeMaker;

// Time with an "all" level, years named plainly and quarters by key; a
// product whose name holds a closing bracket.
class MemberNames : public ::testing::Test {
protected:
    MemberNames()
    {
        HierarchySpec time{{}, true, {}, {{"Year", false}, {"Quarter", true}}};
        HierarchySpec product{{}, false, {}, {{"Name", false}}};
        TestCubeMaker maker(
            {"Sales", {{"Time", DimensionType::Time, {time}}, {"Product", DimensionType::Other, {product}}}, {}});
        maker.key(0, {"1997", "Q1"});
        maker.key(0, {"1997", "Q2"});
        maker.key(0, {"1998", "Q1"});
        maker.key(1, {"Box [large]"});
        const auto cube = maker.make();
        mTime = cube.info.dimensions[0].hierarchies[0];
        mProduct = cube.info.dimensions[1].hierarchies[0];
    }

    std::string nameOf(std::optional<uint32_t> member) const
    {
        return member ? mTime.members[*member].uniqueName : "none";
    }

    HierarchyInfo mTime;
    HierarchyInfo mProduct;
};

TEST_F(MemberNames, StoredUniqueNamesIncludeTheAllMemberAndKeyMarkers)
{
    EXPECT_EQ(nameOf(findMember(mTime, "[Time].[All Time].[1998].&[Q1]")), "[Time].[All Time].[1998].&[Q1]");
}

TEST_F(MemberNames, PlainFormFindsAMemberNamedByKey)
{
    EXPECT_EQ(nameOf(findMember(mTime, "[Time].[1997].[Q2]")), "[Time].[All Time].[1997].&[Q2]");
}

TEST_F(MemberNames, KeyMarkerFormFindsAMemberNamedPlainly)
{
    EXPECT_EQ(nameOf(findMember(mTime, "[Time].&[1998]")), "[Time].[All Time].[1998]");
    EXPECT_EQ(nameOf(findMember(mTime, "[Time].&[1997].&[Q1]")), "[Time].[All Time].[1997].&[Q1]");
}

TEST_F(MemberNames, TheAllMemberIsFoundByItsOwnName)
{
    EXPECT_EQ(nameOf(findMember(mTime, "[Time].[All Time]")), "[Time].[All Time]");
}

TEST_F(MemberNames, ADoubledClosingBracketIsPartOfTheName)
{
    const auto member = findMember(mProduct, "[Product].[Box [large]]]");
    ASSERT_TRUE(member);
    EXPECT_EQ(mProduct.members[*member].name, "Box [large]");
}

TEST_F(MemberNames, UnknownAndMalformedNamesFindNothing)
{
    for (const char* name : {"[Time].[1999]", "[Time].[1997].[Q3]", "[Time].[1997", "Time.1997", "[Time]x[1997]",
                             "[Time].[1997].", "", "[time].[1997]", "[Product].[1997]"})
        EXPECT_FALSE(findMember(mTime, name)) << name;
}

TEST_F(MemberNames, TheIndexAgreesWithTheLookup)
{
    const MemberNameIndex index(mTime);
    for (const char* name : {"[Time].[1997].[Q2]", "[Time].&[1998]", "[Time].[All Time]", "[Time].[All Time].[1997]",
                             "[Time].[1999]", "[Time].[1997"})
        EXPECT_EQ(index.find(name), findMember(mTime, name)) << name;
}

}  // namespace
}  // namespace olap
