// The drill and hidden tables made from a member editor's state for both
// cube models, the helpers that read and shape them, and the repairs of a
// table the host rejected.
#include "buildfixture.h"
#include "olap/store/storemodel.h"
#include "widgets/nxdimeditctrl.h"

#include <optional>

namespace {

using sheet::VariantArray;

const Rows kUntouched{{S("untouched")}};

struct TablesCase {
    const char* what;
    int kind;
    const char* dimension;
    Names checked;
    bool captions;
    Rows drilled;                  // kUntouched: no drill state
    std::optional<Rows> hidden;    // nullopt: not compared
    bool addHidden = true;
};

void PrintTo(const TablesCase& c, std::ostream* out) { *out << c.what; }

class MemberTables : public BuildTest, public testing::WithParamInterface<TablesCase> {};

TEST_P(MemberTables, AreFilledFromTheEditorsCheckedMembers)
{
    const TablesCase& c = GetParam();
    useShop(c.kind);
    NxDimEditCtrl* editor = openEditor(1, 0, QString::fromLatin1(c.dimension));
    check(editor, c.checked);
    VariantArray drilled = table(kUntouched), hidden = table(kUntouched);
    bool addDrills = true, addHidden = true;
    if (c.kind == kStoreCube)
        wizard.GetTreeDrilledAndHiddenArrays(editor, editor->dimension(), drilled, hidden, addDrills, addHidden, c.captions);
    else
        wizard.GetKTreeDrilledAndHiddenArrays(editor, editor->kDimension(), drilled, hidden, addDrills, addHidden, c.captions);
    EXPECT_EQ(rowsOf(drilled), c.drilled);
    EXPECT_EQ(addDrills, c.drilled != kUntouched);
    EXPECT_EQ(addHidden, c.addHidden);
    EXPECT_EQ(rowsOf(hidden), c.hidden.value_or(rowsOf(hidden)));
}

const std::string kAll = "[Product].[All Products]", kDrinks = kAll + ".[Drinks]";

INSTANTIATE_TEST_SUITE_P(
    BothModels, MemberTables,
    testing::Values(
        TablesCase{"store, nothing checked", kStoreCube, "Time", {}, false, kUntouched, kUntouched, false},
        // One level: all drilled; unchecked children of checked members hidden on their own row, in check order.
        TablesCase{"store, one level", kStoreCube, "Time", {"[Time].&[2024]", "[Time].&[2023]"}, false,
                   {{S("[Time].&[2024]"), S("[Time].&[2023]")}},
                   Rows{{E, E, E}, {S("[Time].&[2024].[Q1]"), S("[Time].&[2023].[Q1]"), S("[Time].&[2023].[Q2]")}}},
        // The deepest level met is not drilled; short rows end in empty slots.
        TablesCase{"store, deepest level", kStoreCube, "Time",
                   {"[Time].&[2023]", "[Time].&[2024]", "[Time].&[2023].[Q1]", "[Time].&[2023].[Q1].[Jan]"}, false,
                   {{S("[Time].&[2023]"), S("[Time].&[2024]")}, {S("[Time].&[2023].[Q1]"), E}}, std::nullopt},
        TablesCase{"store, all member never drilled", kStoreCube, "Product", {kAll, kDrinks, kDrinks + ".[Soda]"}, false,
                   {{E}, {S(kDrinks)}}, std::nullopt},
        // Below an "all" member the default selection has nothing to drill.
        TablesCase{"store, one level below all", kStoreCube, "Product", {kDrinks, kAll + ".[Food]"}, false, kUntouched,
                   std::nullopt},
        TablesCase{"store, captions", kStoreCube, "Time", {"[Time].&[2023]", "[Time].&[2023].[Q1]"}, true,
                   {{S("[Time].2023")}},
                   Rows{{S("[Time].2024"), E}, {S("[Time].Q2"), E}, {S("[Time].Jan"), S("[Time].Feb")}}},
        TablesCase{"file, one level", kCubeFile, "Time", {"[Time].&[2023]", "[Time].&[2024]"}, false,
                   {{S("[Time].&[2023]"), S("[Time].&[2024]")}},
                   Rows{{E, E, E}, {S("[Time].&[2023].[Q1]"), S("[Time].&[2023].[Q2]"), S("[Time].&[2024].[Q1]")}}},
        // With an "all" level the all row stays empty and the deepest row is dropped.
        TablesCase{"file, all level", kCubeFile, "Product", {kAll, kDrinks, kDrinks + ".[Soda]"}, false,
                   {{E}, {S(kDrinks)}},
                   Rows{{E, E}, {S(kAll + ".[Food]"), E}, {S(kDrinks + ".[Juice]"), E},
                        {S(kDrinks + ".[Soda].[Cola]"), S(kDrinks + ".[Soda].[Lemonade]")}}},
        TablesCase{"file, one level below all", kCubeFile, "Product", {kDrinks, kAll + ".[Food]"}, false, {{E, E}},
                   std::nullopt},
        // Captions spell the path from the dimension down.
        TablesCase{"file, captions", kCubeFile, "Product", {kAll, kDrinks, kDrinks + ".[Juice]"}, true,
                   {{E}, {S(kDrinks)}},
                   Rows{{E}, {S(kAll + ".[Food]")}, {S(kDrinks + ".[Soda]")}, {S(kDrinks + ".[Juice].[Apple]")}}}),
    [](const testing::TestParamInfo<TablesCase>& info) { return "Case" + std::to_string(info.index); });

using TableHelpers = BuildTest;

TEST_F(TableHelpers, ReadAndShapeTables)
{
    EXPECT_EQ(wizard.getArray(table({{S("a"), S("b"), E}, {S("c"), E, E}}), 1), (VariantArray{S("c"), E, E}));
    EXPECT_EQ(rowsOf(wizard.shrinkArray(table({{S("a"), E}, {S("b"), S("c")}}))), (Rows{{S("a"), E}}));
    const VariantArray none = wizard.shrinkArray(table({{S("a"), S("b")}}));
    EXPECT_EQ(none.upperBound(1), -1);
    EXPECT_EQ(none.upperBound(2), 1);
    EXPECT_EQ(wizard.numElements(QStringLiteral("[Time].[2023].[Q1]")), 3);
    EXPECT_EQ(wizard.numElements(QStringLiteral("&[2023]")), 1);
    EXPECT_EQ(wizard.numElements(QString()), 0);
    useShop(kStoreCube);
    // Row 0 of a dimension with an "all" level is that level.
    EXPECT_EQ(wizard.getLevelName(wizard.loadedCube->dimensionByName("Time"), 0), QStringLiteral("[Time].[Year]"));
    EXPECT_EQ(wizard.getLevelName(wizard.loadedCube->dimensionByName("Product"), 1), QStringLiteral("[Product].[Category]"));
}

TEST_F(TableHelpers, RepairsAddKeyMarkersForAStoreCubeAndRemoveThemForOthers)
{
    const struct {
        quint8 kind;
        bool second;  // fixArray2 instead of fixArray
        const char* before;
        const char* after;
    } cases[] = {
        // A store cube's names get a key marker before every part but the first ...
        {1, false, "[Time].[1997].[Q1]", "[Time].&[1997].&[Q1]"}, {1, false, "[Time]", "[Time]"},
        // ... and lose their first marker again, one repair at a time.
        {1, true, "[Time].&[1997].&[Q1]", "[Time].[1997].&[Q1]"}, {1, true, "[Time].[1997]", "[Time].[1997]"},
        {1, true, "&", "&"},  // a name that would end up empty keeps its text
        // Other kinds lose every marker that stands before a bracket; the second repair is for store cubes only.
        {2, false, "[Time].&[1997].&[Q1]", "[Time].[1997].[Q1]"}, {4, false, "[R&D].&[Oslo]", "[R&D].[Oslo]"},
        {2, false, "&[x]&", "[x]&"}, {2, true, "[Time].&[1997]", "[Time].&[1997]"}, {4, true, "[Time].&[1997]", "[Time].&[1997]"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.kind) << (c.second ? " fixArray2 " : " fixArray ") << c.before);
        wizard.cubeSourceKind = c.kind;
        wizard.keyNameFlag = false;
        VariantArray names = table({{S(c.before), E}});
        c.second ? wizard.fixArray2(names) : wizard.fixArray(names);
        EXPECT_EQ(rowsOf(names), (Rows{{S(c.after), E}}));
        // Only a first repair of a local file's or server's table raises the key-name flag.
        EXPECT_EQ(wizard.keyNameFlag, c.kind != 1 && !c.second);
    }
}

}  // namespace
