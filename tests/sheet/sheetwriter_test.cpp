#include "sheet/xlsx/sheetwriter.h"
#include "sheet/xlsx/stylesheet.h"
#include "sheet/xlsx/xmlpart.h"

#include "sheettestsupport.h"

using namespace sheet;
using sheettest::failureOf;

namespace {

class SheetWriting : public ::testing::Test {
protected:
    std::string write(const std::string& part)
    {
        auto document = xml::parse(part, "test.xlsx", "xl/worksheets/sheet1.xml");
        outcome = writeCells(xml::root(*document), cells, styles, "Data");
        return xml::serialize(*document);
    }

    static std::string sheet(const std::string& inner)
    {
        return "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" + inner
               + "</worksheet>";
    }

    CellStore cells;
    StyleSheet styles = StyleSheet::parse(StyleSheet::minimalPart(), "test.xlsx", "xl/styles.xml");
    WriteOutcome outcome;
};

TEST_F(SheetWriting, PutsNewRowsAndCellsInOrderAroundExistingOnes)
{
    cells.setValue({1, 2}, 5.0);
    cells.setValue({2, 1}, std::string("new"));
    cells.setValue({4, 3}, true);
    const auto text = write(sheet("<dimension ref=\"A1:C3\"/><sheetData><row r=\"1\" spans=\"1:3\"><c r=\"A1\"><v>1"
                                  "</v></c><c r=\"C1\"><v>3</v></c></row><row r=\"3\"><c r=\"A3\"><v>9</v></c></row>"
                                  "</sheetData>"));
    EXPECT_NE(text.find("<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\"><v>5</v></c><c r=\"C1\"><v>3</v></c></row>"
                        "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>new</t></is></c></row><row r=\"3\">"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("<row r=\"4\"><c r=\"C4\" t=\"b\"><v>1</v></c></row></sheetData>"), std::string::npos) << text;
    EXPECT_NE(text.find("<dimension ref=\"A1:C4\"/>"), std::string::npos) << text;
}

TEST_F(SheetWriting, GivesAnEmptySheetTheRangeOfItsNewCellsAsItsDimension)
{
    cells.setValue({3, 3}, 1.0);
    cells.setValue({5, 4}, 2.0);
    const auto text = write(newSheetPart());
    EXPECT_NE(text.find("<dimension ref=\"C3:D5\"/>"), std::string::npos) << text;
}

// Rows and cells without a number follow the one before. Those up to where
// the host writes get their number written down; the rest still follow
// correctly from there.
TEST_F(SheetWriting, NumbersImpliedRowsAndCellsUpToWhereItWrites)
{
    cells.setValue({2, 2}, 7.0);
    const auto text = write(sheet("<sheetData><row><c><v>1</v></c><c><v>2</v></c></row><row><c><v>3</v></c><c>"
                                  "<v>4</v></c><c><v>5</v></c></row></sheetData>"));
    EXPECT_NE(text.find("<row r=\"1\"><c><v>1</v></c><c><v>2</v></c></row><row r=\"2\"><c r=\"A2\"><v>3</v></c>"
                        "<c r=\"B2\"><v>7</v></c><c><v>5</v></c></row>"),
              std::string::npos)
        << text;
}

TEST_F(SheetWriting, ReplacesACellsContentAndKeepsItsStyleUnlessGivenOne)
{
    cells.setValue({1, 1}, std::string("text"));
    cells.setValue({1, 2}, 2.5);
    cells.setFormat({1, 2}, CellFormat{.bold = true, .border = true, .numberFormat = "0.00"});
    const auto text = write(sheet("<sheetData><row r=\"1\"><c r=\"A1\" s=\"3\" t=\"s\"><v>0</v></c><c r=\"B1\" "
                                  "s=\"3\"><f>A1*2</f><v>0</v></c></row></sheetData>"));
    EXPECT_NE(text.find("<c r=\"A1\" s=\"3\" t=\"inlineStr\"><is><t>text</t></is></c><c r=\"B1\" s=\"1\"><v>2.5</v>"),
              std::string::npos)
        << text;
    EXPECT_TRUE(outcome.replacedFormula);
}

TEST_F(SheetWriting, KeepsLeadingAndTrailingBlanksOfTexts)
{
    cells.setValue({1, 1}, std::string("  indented"));
    const auto text = write(sheet("<sheetData/>"));
    EXPECT_NE(text.find("<t xml:space=\"preserve\">  indented</t>"), std::string::npos) << text;
}

TEST_F(SheetWriting, RefusesToOverwriteTheCellThatHoldsASharedFormula)
{
    cells.setValue({1, 1}, 1.0);
    const auto failure = failureOf([&] {
        write(sheet("<sheetData><row r=\"1\"><c r=\"A1\"><f t=\"shared\" ref=\"A1:A3\" si=\"0\">B1</f><v>0</v></c>"
                    "</row></sheetData>"));
    });
    EXPECT_EQ(failure.number(), 1004);
    EXPECT_NE(failure.description().find("A1"), std::string::npos);
}

TEST_F(SheetWriting, RefusesToWriteIntoPartOfAnArrayFormula)
{
    cells.setValue({2, 1}, 1.0);
    const auto failure = failureOf([&] {
        write(sheet("<sheetData><row r=\"1\"><c r=\"A1\"><f t=\"array\" ref=\"A1:A3\">B1:B3</f><v>0</v></c></row>"
                    "</sheetData>"));
    });
    EXPECT_EQ(failure.number(), 1004);
}

TEST_F(SheetWriting, SplitsAColumnSpanToWidenOneColumn)
{
    cells.setColumnWidth(3, 20.5);
    const auto text = write(sheet("<cols><col min=\"1\" max=\"5\" width=\"9\" style=\"2\"/></cols><sheetData/>"));
    EXPECT_NE(text.find("<cols><col min=\"1\" max=\"2\" width=\"9\" style=\"2\"/><col min=\"3\" max=\"3\" "
                        "width=\"20.5\" style=\"2\" customWidth=\"1\"/><col min=\"4\" max=\"5\" width=\"9\" "
                        "style=\"2\"/></cols>"),
              std::string::npos)
        << text;
}

TEST_F(SheetWriting, AddsAColumnListInItsPlaceWhenThereIsNone)
{
    cells.setColumnWidth(2, 11.0);
    const auto text = write(sheet("<sheetViews/><sheetFormatPr defaultRowHeight=\"15\"/><sheetData/>"));
    EXPECT_NE(text.find("<sheetFormatPr defaultRowHeight=\"15\"/><cols><col min=\"2\" max=\"2\" width=\"11\" "
                        "customWidth=\"1\"/></cols><sheetData"),
              std::string::npos)
        << text;
}

TEST_F(SheetWriting, UsesThePrefixOfAPrefixedPart)
{
    cells.setValue({1, 1}, 1.0);
    const auto text = write("<x:worksheet xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
                            "<x:sheetData/></x:worksheet>");
    EXPECT_NE(text.find("<x:sheetData><x:row r=\"1\"><x:c r=\"A1\"><x:v>1</x:v></x:c></x:row></x:sheetData>"),
              std::string::npos)
        << text;
}

TEST_F(SheetWriting, KeepsACellsExtensionListLast)
{
    cells.setValue({1, 1}, 3.0);
    const auto text = write(sheet("<sheetData><row r=\"1\"><c r=\"A1\"><v>1</v><extLst><ext uri=\"u\"/></extLst>"
                                  "</c></row></sheetData>"));
    EXPECT_NE(text.find("<c r=\"A1\"><v>3</v><extLst><ext uri=\"u\"/></extLst></c>"), std::string::npos) << text;
}

TEST(TabSelection, SetsAndClearsTheFirstViewsMark)
{
    auto document = xml::parse("<worksheet><sheetViews><sheetView tabSelected=\"1\" workbookViewId=\"0\"/>"
                               "</sheetViews><sheetData/></worksheet>",
                               "t", "p");
    setTabSelected(xml::root(*document), false);
    EXPECT_EQ(xml::serialize(*document).find("tabSelected"), std::string::npos);
    setTabSelected(xml::root(*document), true);
    EXPECT_NE(xml::serialize(*document).find("<sheetView tabSelected=\"1\" workbookViewId=\"0\"/>"), std::string::npos);
}

}  // namespace
