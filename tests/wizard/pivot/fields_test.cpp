// The fields of a built table: dimensions in the order of the layout step's
// areas, measures as data fields, and the options of the layout step.
#include "buildfixture.h"
#include "hostdecorators.h"
#include "sheet/chart/hostchartobject.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace pivottest;

namespace {

using Place = std::pair<int, int>;

class Fields : public BuildFixture {};

TEST_F(Fields, AStoreCubePlacesEveryDimensionAtItsPlaceInItsArea)
{
    prepareStoreBuild();
    wizard().arrange({"Region", "Store"}, {"Product"}, {"Time"});
    ASSERT_TRUE(wizard().CreatePivot());
    const auto table = builtTable();
    EXPECT_EQ(placeOf(table, "[Region]"), Place(sheet::kPageField, 1));
    EXPECT_EQ(placeOf(table, "[Store]"), Place(sheet::kPageField, 2));
    EXPECT_EQ(placeOf(table, "[Time]"), Place(sheet::kColumnField, 1));
    EXPECT_EQ(placeOf(table, "[Product]"), Place(sheet::kRowField, 1));
}

TEST_F(Fields, ALocalCubeLeavesDimensionsWithSeveralHierarchiesOutAndTheNextTakesTheirPosition)
{
    prepareLocalBuild();
    wizard().arrange({"Store", "Region"}, {"Product"}, {"Store", "Time"});
    ASSERT_TRUE(wizard().CreatePivot());
    const auto table = builtTable();
    EXPECT_EQ(placeOf(table, "[Store]"), Place(sheet::kHidden, 0));
    EXPECT_EQ(placeOf(table, "[Region]"), Place(sheet::kPageField, 1));
    EXPECT_EQ(placeOf(table, "[Time]"), Place(sheet::kColumnField, 1));
    EXPECT_EQ(placeOf(table, "[Product]"), Place(sheet::kRowField, 1));
}

TEST_F(Fields, TheCheckedMeasuresBecomeDataFieldsInCheckOrder)
{
    prepareLocalBuild();
    PivotWizard::check(wizard().openMeasures(), {"[Measures].[Units]"});
    ASSERT_TRUE(wizard().CreatePivot());
    std::vector<std::string> names;
    for (const auto& field : *builtTable()->DataFields())
        names.push_back(field->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"[Measures].[Amount]", "[Measures].[Units]"}));
}

TEST_F(Fields, AMeasureTheTableDoesNotKnowIsSkippedAndTheOthersStayConsecutive)
{
    useStoreShop(true);
    wizard().arrange({}, {"Product"}, {"Time"});
    PivotWizard::check(wizard().openMeasureList(),
                       {"[Measure List].[Amount]", "[Measure List].[Cost]", "[Measure List].[Units]"});
    wizard().chooseSheet({"New Sheet"}, "New Sheet");
    wizard().chooseStartCell(QStringLiteral("A"), QStringLiteral("1"));
    ASSERT_TRUE(wizard().CreatePivot());
    const auto table = builtTable();
    EXPECT_EQ(placeOf(table, "[Measure List].[Amount]"), Place(sheet::kDataField, 1));
    EXPECT_EQ(placeOf(table, "[Measure List].[Units]"), Place(sheet::kDataField, 2));
}

TEST_F(Fields, GrandTotalsFollowTheirBoxes)
{
    prepareStoreBuild();
    setChecked("chkRowGrand", false);
    setChecked("chkColumnsGrand", true);
    ASSERT_TRUE(wizard().CreatePivot());
    EXPECT_FALSE(builtTable()->RowGrand());
    EXPECT_TRUE(builtTable()->ColumnGrand());
}

// Whether each level field of the table shows subtotals, by orientation.
std::map<int, std::vector<bool>> subtotalsByOrientation(const std::shared_ptr<sheet::PivotTable>& table)
{
    std::map<int, std::vector<bool>> shown;
    for (const auto& field : *table->PivotFields()) {
        const auto subtotals = field->Subtotals();
        shown[field->Orientation()].push_back(std::find(subtotals.begin(), subtotals.end(), true) != subtotals.end());
    }
    return shown;
}

TEST_F(Fields, SubtotalsGoOnlyFromTheAreaWhoseBoxIsUnchecked)
{
    prepareStoreBuild();
    setChecked("chkRowSubs", true);
    setChecked("chkColumnSubs", true);
    ASSERT_TRUE(wizard().CreatePivot());
    const auto both = subtotalsByOrientation(builtTable());
    EXPECT_EQ(both.at(sheet::kRowField), std::vector<bool>(3, true));
    EXPECT_EQ(both.at(sheet::kColumnField), std::vector<bool>(3, true));

    setChecked("chkRowSubs", false);
    ASSERT_TRUE(wizard().CreatePivot());
    const auto rowsOff = subtotalsByOrientation(builtTable());
    EXPECT_EQ(rowsOff.at(sheet::kRowField), std::vector<bool>(3, false));
    EXPECT_EQ(rowsOff.at(sheet::kColumnField), std::vector<bool>(3, true));

    setChecked("chkRowSubs", true);
    setChecked("chkColumnSubs", false);
    ASSERT_TRUE(wizard().CreatePivot());
    const auto columnsOff = subtotalsByOrientation(builtTable());
    EXPECT_EQ(columnsOff.at(sheet::kRowField), std::vector<bool>(3, true));
    EXPECT_EQ(columnsOff.at(sheet::kColumnField), std::vector<bool>(3, false));
}

struct DecimalCase {
    int places;
    const char* format;
};

void PrintTo(const DecimalCase& decimals, std::ostream* out) { *out << decimals.places << " places"; }

class DecimalPlaces : public BuildFixture, public testing::WithParamInterface<DecimalCase> {};

TEST_P(DecimalPlaces, SetTheNumberFormatOfEveryDataField)
{
    prepareStoreBuild();
    setDecimalPlaces(GetParam().places);
    ASSERT_TRUE(wizard().CreatePivot());
    for (const auto& field : *builtTable()->DataFields())
        EXPECT_EQ(field->NumberFormat(), GetParam().format) << field->Name();
}

INSTANTIATE_TEST_SUITE_P(Places, DecimalPlaces,
                         testing::Values(DecimalCase{0, "0"}, DecimalCase{1, "0.0"}, DecimalCase{2, "0.00"},
                                         DecimalCase{3, "0.000"}));

TEST_F(Fields, WithoutDecimalPlacesTheDataFieldsKeepTheHostsFormat)
{
    prepareStoreBuild();
    setChecked("chkDps", false);  // the read-out still says 2
    ASSERT_TRUE(wizard().CreatePivot());
    for (const auto& field : *builtTable()->DataFields())
        EXPECT_NE(field->NumberFormat(), "0.00") << field->Name();
}

}  // namespace

namespace {

// The embedded charts of each worksheet of the active workbook, with where
// the host puts their top-left corner (nullopt: beside the table).
std::vector<std::vector<std::optional<sheet::CellRef>>> chartsBySheet(sheet::Application& host)
{
    std::vector<std::vector<std::optional<sheet::CellRef>>> charts;
    for (const auto& worksheet : *host.ActiveWorkbook()->Worksheets()) {
        charts.emplace_back();
        for (const auto& object : *worksheet->ChartObjects())
            charts.back().push_back(std::dynamic_pointer_cast<sheet::HostChartObject>(object)->topLeft());
    }
    return charts;
}

using Charts = std::vector<std::vector<std::optional<sheet::CellRef>>>;

TEST_F(Fields, AChartThatLandsOnTheReportSheetIsLeftWhereTheHostPutIt)
{
    prepareStoreBuild();
    setChecked("chkDisplay", true);
    ASSERT_TRUE(wizard().CreatePivot());
    // Sheet1, the report's Sheet2, the marker sheet.
    EXPECT_EQ(chartsBySheet(*host()), (Charts{{}, {std::nullopt}, {}}));
}

TEST_F(Fields, AChartTheHostEmbedsInAnotherSheetIsMovedBelowAndRightOfTheStartCell)
{
    wizard(std::make_shared<MisplacingChartsHost>(host()));
    prepareStoreBuild();
    setChecked("chkDisplay", true);
    ASSERT_TRUE(wizard().CreatePivot());
    // Two rows down and two columns right of C5.
    EXPECT_EQ(chartsBySheet(*host()), (Charts{{}, {sheet::CellRef{7, 5}}, {}}));
}

TEST_F(Fields, WithoutTheChartOptionNoChartIsMade)
{
    prepareStoreBuild();
    setChecked("chkDisplay", false);
    ASSERT_TRUE(wizard().CreatePivot());
    EXPECT_EQ(chartsBySheet(*host()), (Charts{{}, {}, {}}));
    EXPECT_EQ(host()->ActiveWorkbook()->Charts()->Count(), 0);
}

}  // namespace
