// The fields of a built table: dimensions in the order of the layout step's
// areas, measures as data fields, and the options of the layout step.
#include "buildfixture.h"
#include "sheet/chart/hostchartobject.h"

#include <algorithm>
#include <map>

namespace {

using Fields = BuildTest;
using Place = std::pair<int, int>;

TEST_F(Fields, DimensionsArePlacedInTheOrderOfTheirAreasAndSeveralHierarchiesOnlyFromAStoreCube)
{
    const struct {
        int kind;
        QStringList pages, columns;
        std::map<std::string, Place> places;
    } cases[] = {
        {kStoreCube, {QStringLiteral("Region"), QStringLiteral("Store")}, {QStringLiteral("Time")},
         {{"[Region]", {sheet::kPageField, 1}}, {"[Store]", {sheet::kPageField, 2}},
          {"[Time]", {sheet::kColumnField, 1}}, {"[Product]", {sheet::kRowField, 1}}}},
        // A local cube leaves a dimension of several hierarchies out; the next takes its position.
        {kCubeFile, {QStringLiteral("Store"), QStringLiteral("Region")}, {QStringLiteral("Store"), QStringLiteral("Time")},
         {{"[Store]", {sheet::kHidden, 0}}, {"[Region]", {sheet::kPageField, 1}},
          {"[Time]", {sheet::kColumnField, 1}}, {"[Product]", {sheet::kRowField, 1}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        prepareBuild(c.kind);
        arrange(c.pages, {QStringLiteral("Product")}, c.columns);
        ASSERT_TRUE(wizard.CreatePivot());
        for (const auto& [field, place] : c.places)
            EXPECT_EQ(placeOf(builtTable(), field), place) << field;
        click(0);
    }
}

TEST_F(Fields, TheCheckedMeasuresBecomeDataFieldsInCheckOrderSkippingThoseTheTableDoesNotKnow)
{
    prepareBuild(kCubeFile);
    check(openMeasures(), {"[Measures].[Units]"});
    ASSERT_TRUE(wizard.CreatePivot());
    std::vector<std::string> names;
    for (const auto& field : *builtTable()->DataFields())
        names.push_back(field->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"[Measures].[Amount]", "[Measures].[Units]"}));

    click(0);
    useShop(kStoreCube, true);  // the table knows no Cost of the measure list
    arrange({}, {QStringLiteral("Product")}, {QStringLiteral("Time")});
    check(openMeasures(true), {"[Measure List].[Amount]", "[Measure List].[Cost]", "[Measure List].[Units]"});
    ASSERT_TRUE(wizard.CreatePivot());
    EXPECT_EQ(placeOf(builtTable(), "[Measure List].[Amount]"), Place(sheet::kDataField, 1));
    EXPECT_EQ(placeOf(builtTable(), "[Measure List].[Units]"), Place(sheet::kDataField, 2));
}

// Whether each level field of the table shows subtotals, by orientation.
std::map<int, std::vector<bool>> subtotals(const std::shared_ptr<sheet::PivotTable>& table)
{
    std::map<int, std::vector<bool>> shown;
    for (const auto& field : *table->PivotFields()) {
        const auto on = field->Subtotals();
        shown[field->Orientation()].push_back(std::find(on.begin(), on.end(), true) != on.end());
    }
    return shown;
}

TEST_F(Fields, TotalsAndDecimalPlacesFollowTheirBoxes)
{
    const struct {
        bool rowGrand, columnGrand, rowSubtotals, columnSubtotals;
        int places;  // -1: "Set decimal places" unchecked (the read-out still says 2)
        const char* format;
    } cases[] = {{false, true, true, true, 0, "0"}, {true, false, false, true, 1, "0.0"},
                 {true, true, true, false, 3, "0.000"}, {true, true, true, true, -1, nullptr}};
    prepareBuild(kStoreCube);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.places);
        wizard.chkRowGrand->setChecked(c.rowGrand);
        wizard.chkColumnsGrand->setChecked(c.columnGrand);
        wizard.chkRowSubs->setChecked(c.rowSubtotals);
        wizard.chkColumnSubs->setChecked(c.columnSubtotals);
        wizard.chkDps->setChecked(c.places >= 0);
        wizard.dpscrllbr->setValue(c.places >= 0 ? -c.places : -2);
        ASSERT_TRUE(wizard.CreatePivot());
        const auto table = builtTable();
        EXPECT_EQ(table->RowGrand(), c.rowGrand);
        EXPECT_EQ(table->ColumnGrand(), c.columnGrand);
        const auto shown = subtotals(table);
        EXPECT_EQ(shown.at(sheet::kRowField), std::vector<bool>(3, c.rowSubtotals));
        EXPECT_EQ(shown.at(sheet::kColumnField), std::vector<bool>(3, c.columnSubtotals));
        for (const auto& field : *table->DataFields()) {
            if (c.format)
                EXPECT_EQ(field->NumberFormat(), c.format) << field->Name();
            else
                EXPECT_NE(field->NumberFormat(), "0.00") << field->Name();
        }
    }
}

TEST_F(Fields, AChartIsMadeOnTheReportSheetOnlyWhenAskedFor)
{
    prepareBuild(kStoreCube);
    using Charts = std::vector<std::vector<std::optional<sheet::CellRef>>>;
    for (const auto& [chart, expected] : {std::pair{false, Charts{{}, {}, {}}}, std::pair{true, Charts{{}, {}, {}, {std::nullopt}}}}) {
        wizard.chkDisplay[1]->setChecked(chart);
        ASSERT_TRUE(wizard.CreatePivot());
        // The embedded charts of each worksheet, with where the host put them (nullopt: beside the table).
        Charts charts;
        for (const auto& worksheet : *host->ActiveWorkbook()->Worksheets()) {
            charts.emplace_back();
            for (const auto& object : *worksheet->ChartObjects())
                charts.back().push_back(std::dynamic_pointer_cast<sheet::HostChartObject>(object)->topLeft());
        }
        EXPECT_EQ(charts, expected);
    }
    EXPECT_EQ(host->ActiveWorkbook()->Charts()->Count(), 0);
}

}  // namespace
