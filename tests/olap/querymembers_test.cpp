// Finding members by unique name in both spellings: with or without the
// "all" member, with or without the key marker "&".
#include "olap/query/querymembers.h"
#include "olaptestsupport.h"

namespace olap {
namespace {

// Time with an "all" level, years named plainly and quarters by key; a
// product whose name holds a closing bracket.
TEST(MemberNames, BothSpellingsFindTheMemberAndNothingElseMatches)
{
    HierarchySpec time{{}, true, {}, {{"Year", false}, {"Quarter", true}}};
    HierarchySpec product{{}, false, {}, {{"Name", false}}};
    CubeBuilder builder({"Sales", {{"Time", DimensionType::Time, {time}}, {"Product", DimensionType::Other, {product}}}, {}});
    for (const char* quarter : {"1997.Q1", "1997.Q2", "1998.Q1"})
        builder.dimensionKey(0, {{std::string(quarter, 4)}, {quarter + 5}});
    builder.dimensionKey(1, {{"Box [large]"}});
    const olaptest::TestCube cube = olaptest::readBack(builder);
    const HierarchyInfo& times = cube.info.dimensions[0].hierarchies[0];
    const MemberNameIndex index(times);
    const std::pair<const char*, const char*> cases[] = {
        {"[Time].[All Time].[1998].&[Q1]", "[Time].[All Time].[1998].&[Q1]"},
        {"[Time].[1997].[Q2]", "[Time].[All Time].[1997].&[Q2]"},
        {"[Time].&[1998]", "[Time].[All Time].[1998]"},
        {"[Time].&[1997].&[Q1]", "[Time].[All Time].[1997].&[Q1]"},
        {"[Time].[All Time]", "[Time].[All Time]"},
        {"[Time].[1999]", nullptr}, {"[Time].[1997].[Q3]", nullptr}, {"[Time].[1997", nullptr},
        {"Time.1997", nullptr}, {"[Time]x[1997]", nullptr}, {"[Time].[1997].", nullptr}, {"", nullptr},
        {"[time].[1997]", nullptr}, {"[Product].[1997]", nullptr},
    };
    for (const auto& [name, expected] : cases) {
        const std::optional<uint32_t> found = findMember(times, name);
        EXPECT_EQ(found ? times.members[*found].uniqueName : "none", expected ? expected : "none") << name;
        EXPECT_EQ(index.find(name), found) << name;
    }
    const HierarchyInfo& products = cube.info.dimensions[1].hierarchies[0];
    const auto box = findMember(products, "[Product].[Box [large]]]");
    ASSERT_TRUE(box);
    EXPECT_EQ(products.members[*box].name, "Box [large]");
    EXPECT_EQ(MemberNameIndex(products).find("[Product].[Box [large]]]"), box);
}

}  // namespace
}  // namespace olap
