#include "sheet/xlsx/a1address.h"
#include "sheet/xlsx/sheetwriter.h"
#include "sheet/xlsx/stylesheet.h"
#include "sheet/xlsx/xmlpart.h"

#include "sheettestsupport.h"

#include <limits>

using namespace sheet;
using sheettest::failureOf;

namespace {

std::string sheetPart(const std::string& inner)
{
    return "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" + inner + "</worksheet>";
}

// Cells the host writes into a part, and what the written part must hold.
struct WriteCase {
    const char* label;
    std::function<void(CellStore&)> fill;
    std::string part;
    std::vector<std::string> holds;
    bool replacedFormula = false;
    bool asDocument = true;  // the same bytes as writing into the parsed document gives
};

const WriteCase kWrites[] = {
    {"new rows and cells go in order around existing ones",
     [](CellStore& c) { c.setValue({1, 2}, 5.0), c.setValue({2, 1}, std::string("new")), c.setValue({4, 3}, true); },
     sheetPart("<dimension ref=\"A1:C3\"/><sheetData><row r=\"1\" spans=\"1:3\"><c r=\"A1\"><v>1</v></c><c r=\"C1\">"
               "<v>3</v></c></row><row r=\"3\"><c r=\"A3\"><v>9</v></c></row></sheetData>"),
     {"<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\"><v>5</v></c><c r=\"C1\"><v>3</v></c></row><row r=\"2\"><c "
      "r=\"A2\" t=\"inlineStr\"><is><t>new</t></is></c></row><row r=\"3\">",
      "<row r=\"4\"><c r=\"C4\" t=\"b\"><v>1</v></c></row></sheetData>", "<dimension ref=\"A1:C4\"/>"}},
    {"an empty sheet gets the range of its new cells as its dimension",
     [](CellStore& c) { c.setValue({3, 3}, 1.0), c.setValue({5, 4}, 2.0); }, newSheetPart(),
     {"<dimension ref=\"C3:D5\"/>"}},
    // Rows and cells without a number follow the one before: those up to where
    // the host writes get their number, the rest still follow from there.
    {"implied rows and cells are numbered up to where it writes", [](CellStore& c) { c.setValue({2, 2}, 7.0); },
     sheetPart("<sheetData><row><c><v>1</v></c><c><v>2</v></c></row><row><c><v>3</v></c><c><v>4</v></c><c><v>5</v>"
               "</c></row></sheetData>"),
     {"<row r=\"1\"><c><v>1</v></c><c><v>2</v></c></row><row r=\"2\"><c r=\"A2\"><v>3</v></c><c r=\"B2\"><v>7</v>"
      "</c><c><v>5</v></c></row>"}},
    {"a replaced cell keeps its style unless given one",
     [](CellStore& c) {
         c.setValue({1, 1}, std::string("text")), c.setValue({1, 2}, 2.5);
         c.setFormat({1, 2}, CellFormat{.bold = true, .border = true, .numberFormat = "0.00"});
     },
     sheetPart("<sheetData><row r=\"1\"><c r=\"A1\" s=\"3\" t=\"s\"><v>0</v></c><c r=\"B1\" s=\"3\"><f>A1*2</f><v>0"
               "</v></c></row></sheetData>"),
     {"<c r=\"A1\" s=\"3\" t=\"inlineStr\"><is><t>text</t></is></c><c r=\"B1\" s=\"1\"><v>2.5</v>"}, true},
    {"texts keep their blanks and are escaped", [](CellStore& c) { c.setValue({1, 1}, std::string("  R&D <1>")); },
     sheetPart("<sheetData/>"), {"<t xml:space=\"preserve\">  R&amp;D &lt;1&gt;</t>"}},
    {"a column span is split to widen one column", [](CellStore& c) { c.setColumnWidth(3, 20.5); },
     sheetPart("<cols><col min=\"1\" max=\"5\" width=\"9\" style=\"2\"/></cols><sheetData/>"),
     {"<cols><col min=\"1\" max=\"2\" width=\"9\" style=\"2\"/><col min=\"3\" max=\"3\" width=\"20.5\" style=\"2\" "
      "customWidth=\"1\"/><col min=\"4\" max=\"5\" width=\"9\" style=\"2\"/></cols>"}},
    {"a column list goes in its place", [](CellStore& c) { c.setColumnWidth(2, 11.0); },
     sheetPart("<sheetViews/><sheetFormatPr defaultRowHeight=\"15\"/><sheetData/>"),
     {"<sheetFormatPr defaultRowHeight=\"15\"/><cols><col min=\"2\" max=\"2\" width=\"11\" customWidth=\"1\"/></cols>"
      "<sheetData"}},
    {"clearing cells the part lacks adds none; a held one is emptied",
     [](CellStore& c) { c.set({1, 1}, {}, {}), c.set({1, 2}, {}, {}), c.set({2, 1}, {}, {}); },
     sheetPart("<sheetData><row r=\"1\"><c r=\"A1\" s=\"2\"><v>4</v></c></row></sheetData>"),
     {"<sheetData><row r=\"1\"><c r=\"A1\"/></row></sheetData>"}},
    {"every kind of value over cells with other attributes, in a prefixed part",
     [](CellStore& c) {
         c.setValue({2, 1}, std::string("a\tb\r\nc \"q\" 'p'")), c.setValue({2, 2}, std::string());
         c.setValue({2, 3}, false), c.setValue({2, 4}, std::numeric_limits<double>::infinity());
         c.set({2, 5}, 1e-7, CellFormat{.bold = true, .border = true, .numberFormat = "0.0"});
         c.setValue({5, 2}, 4.0), c.setValue({1, 9}, 1.0);
     },
     "<x:worksheet xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><x:sheetData><x:row r=\"2\" "
     "spans=\"1:5\" ht=\"20\" customHeight=\"1\"><x:c r=\"A2\" s=\"1\" t=\"s\" cm=\"1\"><x:v>0</x:v></x:c><x:c "
     "r=\"C2\" vm=\"2\" ph=\"1\"/><x:c r=\"E2\" s=\"2\"><x:v>1</x:v></x:c><x:c r=\"F2\"><x:v>6</x:v></x:c></x:row>"
     "<x:row r=\"5\"/><x:row r=\"7\"><x:c r=\"A7\"><x:v>7</x:v></x:c></x:row></x:sheetData></x:worksheet>",
     {"<x:row r=\"1\"><x:c r=\"I1\"><x:v>1</x:v></x:c></x:row><x:row r=\"2\" ht=\"20\" customHeight=\"1\"><x:c "
      "r=\"A2\" s=\"1\" t=\"inlineStr\"><x:is><x:t>a\tb\r\nc \"q\" 'p'</x:t></x:is></x:c>",
      "<x:c r=\"C2\" t=\"b\"><x:v>0</x:v></x:c><x:c r=\"D2\" t=\"e\"><x:v>#NUM!</x:v></x:c>",
      "<x:row r=\"5\"><x:c r=\"B5\"><x:v>4</x:v></x:c></x:row><x:row r=\"7\"><x:c r=\"A7\"><x:v>7</x:v></x:c></x:row>"}},
    // Rows the text merge leaves to the document form.
    {"a comment among the rows", [](CellStore& c) { c.setValue({1, 2}, 2.0); },
     sheetPart("<sheetData><!-- kept --><row r=\"1\"><c r=\"A1\"><v>1</v></c></row></sheetData>"),
     {"<!-- kept --><row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\"><v>2</v></c></row>"}},
    // The document form would write these rows in its own spelling.
    {"rows and cells not written keep their bytes", [](CellStore& c) { c.setValue({1, 2}, 2.0); },
     sheetPart("<sheetData>\n <row r='1' spans=\"1:3\"> <c r=\"A1\" t=\"inlineStr\"><is><t>A&#10;&gt;</t></is></c>"
               "</row>\n <row r='3'><c r='C3'><v>3</v></c ></row >\n</sheetData>"),
     {"<row r='1'> <c r=\"A1\" t=\"inlineStr\"><is><t>A&#10;&gt;</t></is></c><c r=\"B1\"><v>2</v></c></row>\n <row "
      "r='3'><c r='C3'><v>3</v></c ></row >\n</sheetData>"},
     false,
     false},
    {"a cell's extension list stays last", [](CellStore& c) { c.setValue({1, 1}, 3.0); },
     sheetPart("<sheetData><row r=\"1\"><c r=\"A1\"><v>1</v><extLst><ext uri=\"u\"/></extLst></c></row></sheetData>"),
     {"<c r=\"A1\"><v>3</v><extLst><ext uri=\"u\"/></extLst></c>"}}};

StyleSheet testStyles()
{
    return StyleSheet::parse(StyleSheet::minimalPart(), "test.xlsx", "xl/styles.xml");
}

WriteOutcome write(const std::function<void(CellStore&)>& fill, const std::string& part, std::string& written)
{
    CellStore cells;
    fill(cells);
    StyleSheet styles = testStyles();
    auto sheet = writeSheetPart(part, cells, styles, "Data", {}, "test.xlsx", "xl/worksheets/sheet1.xml");
    written = std::move(sheet.text);
    return sheet.outcome;
}

// The part as writing the cells into the parsed document gives it.
std::string writtenAsDocument(const std::function<void(CellStore&)>& fill, const std::string& part)
{
    CellStore cells;
    fill(cells);
    StyleSheet styles = testStyles();
    auto document = xml::parse(part, "test.xlsx", "xl/worksheets/sheet1.xml");
    writeCells(xml::root(*document), cells, styles, "Data");
    return xml::serialize(*document);
}

TEST(SheetWriting, PutsTheHostsCellsIntoThePartAndKeepsTheRest)
{
    for (const auto& c : kWrites) {
        SCOPED_TRACE(c.label);
        std::string text;
        EXPECT_EQ(write(c.fill, c.part, text).replacedFormula, c.replacedFormula);
        for (const auto& held : c.holds)
            EXPECT_NE(text.find(held), std::string::npos) << held << "\nin " << text;
        if (c.asDocument) {
            EXPECT_EQ(text, writtenAsDocument(c.fill, c.part));
        }
    }
}

TEST(SheetWriting, RefusesToWriteIntoASharedOrArrayFormula)
{
    const std::pair<CellRef, const char*> refused[] = {
        {{1, 1}, "<f t=\"shared\" ref=\"A1:A3\" si=\"0\">B1</f>"},  // the cell holding it
        {{2, 1}, "<f t=\"array\" ref=\"A1:A3\">B1:B3</f>"}};         // a cell inside it
    for (const auto& [cell, formula] : refused) {
        SCOPED_TRACE(formula);
        std::string text;
        const auto part = sheetPart("<sheetData><row r=\"1\"><c r=\"A1\">" + std::string(formula) + "<v>0</v></c></row>"
                                    "</sheetData>");
        const auto failure =
            failureOf([&, &cell = cell] { write([&](CellStore& c) { c.setValue(cell, 1.0); }, part, text); });
        EXPECT_EQ(failure.number(), 1004);
        EXPECT_NE(failure.description().find(columnName(cell.column) + std::to_string(cell.row)), std::string::npos);
    }
}

}  // namespace
