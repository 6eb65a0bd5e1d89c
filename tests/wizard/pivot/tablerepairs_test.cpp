// The repairs of a table the host rejected: key markers added for a store
// cube, removed (raising the key-name flag) for the other cube kinds.
#include "pivotfixture.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace pivottest;
using sheet::VariantArray;

namespace {

struct Repair {
    quint8 kind;
    bool second;  // fixArray2 instead of fixArray
    const char* before;
    const char* after;
};

void PrintTo(const Repair& repair, std::ostream* out)
{
    *out << (repair.second ? "fixArray2" : "fixArray") << " kind " << int(repair.kind) << " " << repair.before;
}

class TableRepairs : public PivotFixture, public testing::WithParamInterface<Repair> {};

TEST_P(TableRepairs, RewriteEachNameOfTheTable)
{
    const Repair& repair = GetParam();
    wizard().setSourceKind(repair.kind);
    VariantArray names = table({{S(repair.before), E}});
    if (repair.second)
        wizard().fixArray2(names);
    else
        wizard().fixArray(names);
    EXPECT_EQ(rowsOf(names), (Rows{{S(repair.after), E}}));
}

INSTANTIATE_TEST_SUITE_P(
    ByKind, TableRepairs,
    testing::Values(
        // A store cube's names get a key marker before every part but the first ...
        Repair{1, false, "[Time].[1997].[Q1]", "[Time].&[1997].&[Q1]"},
        Repair{1, false, "[Time]", "[Time]"},
        // ... and lose their first marker again, one repair at a time.
        Repair{1, true, "[Time].&[1997].&[Q1]", "[Time].[1997].&[Q1]"},
        Repair{1, true, "[Time].[1997]", "[Time].[1997]"},
        // A name that would end up empty keeps its text.
        Repair{1, true, "&", "&"},
        // Other kinds lose every marker that stands before a bracket.
        Repair{2, false, "[Time].&[1997].&[Q1]", "[Time].[1997].[Q1]"},
        Repair{4, false, "[R&D].&[Oslo]", "[R&D].[Oslo]"},
        Repair{2, false, "&[x]&", "[x]&"},
        // The second repair is for store cubes only.
        Repair{2, true, "[Time].&[1997]", "[Time].&[1997]"},
        Repair{4, true, "[Time].&[1997]", "[Time].&[1997]"}));

class KeyNameFlag : public PivotFixture {};

TEST_F(KeyNameFlag, IsRaisedOnlyByRepairsOfLocalFileAndServerTables)
{
    VariantArray names = table({{E}});
    wizard().setSourceKind(1);
    wizard().fixArray(names);
    EXPECT_FALSE(wizard().keyNames());
    wizard().setSourceKind(2);
    wizard().fixArray2(names);
    EXPECT_FALSE(wizard().keyNames());
    wizard().fixArray(names);
    EXPECT_TRUE(wizard().keyNames());
}

TEST_F(KeyNameFlag, RepairsLeaveEmptySlotsEmpty)
{
    VariantArray names = table({{E, S("[A].[b]")}, {E, E}});
    wizard().setSourceKind(1);
    wizard().fixArray(names);
    wizard().fixArray2(names);
    EXPECT_EQ(rowsOf(names), (Rows{{E, S("[A].[b]")}, {E, E}}));
}

}  // namespace
