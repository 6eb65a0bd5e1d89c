#include "sheet/xlsx/stylesheet.h"
#include "sheet/xlsx/xmlpart.h"

#include "sheettestsupport.h"

using namespace sheet;

namespace {

TEST(StyleSheets, AppendNewStylesAfterTheExistingOnesReusingTheirOwnAndEveryNumberFormat)
{
    auto styles = StyleSheet::parse(sheettest::fixtureParts().at("xl/styles.xml"), "f.xlsx", "xl/styles.xml");
    EXPECT_EQ(styles.styleFor(CellFormat{}), 0u);
    EXPECT_FALSE(styles.changed());
    EXPECT_EQ(styles.styleFor(CellFormat{.bold = true, .border = false, .numberFormat = ""}), 3u);
    EXPECT_EQ(styles.styleFor(CellFormat{.border = true, .numberFormat = "0.000"}), 4u);
    EXPECT_EQ(styles.styleFor(CellFormat{.bold = true, .border = false, .numberFormat = ""}), 3u);
    EXPECT_EQ(styles.styleFor(CellFormat{.numberFormat = "0.00"}), 5u);  // a built-in format
    EXPECT_EQ(styles.styleFor(CellFormat{.numberFormat = "0.0"}), 6u);   // the file's own format
    EXPECT_TRUE(styles.changed());
    const auto text = styles.serialize();
    for (const char* held : {"<numFmts count=\"2\"><numFmt numFmtId=\"164\" formatCode=\"0.0\"/><numFmt numFmtId=\"165\" "
                             "formatCode=\"0.000\"/></numFmts>",
                             "<font><b/><sz val=\"11\"/><name val=\"Liberation Sans\"/></font></fonts>",
                             "<borders count=\"2\">", "<cellXfs count=\"7\">",
                             "<xf numFmtId=\"2\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>"
                             "<xf numFmtId=\"164\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyNumberFormat=\"1\"/>"
                             "</cellXfs>"})
        EXPECT_NE(text.find(held), std::string::npos) << held << "\nin " << text;
}

// The shaded report's looks: a coloured font keeps the schema's order (size,
// colour, name), fills come after the two every reader assumes (added when
// a part lacks them), a heavy top line leaves the other sides as asked.
TEST(StyleSheets, WriteColouredFontsSolidFillsAndAHeavyTopLine)
{
    const std::string bare = "<?xml version=\"1.0\"?><styleSheet xmlns=\"http://schemas.openxmlformats.org/"
                             "spreadsheetml/2006/main\"><fonts count=\"1\"><font><sz val=\"11\"/><color theme=\"1\"/>"
                             "<name val=\"Arial\"/></font></fonts><cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" "
                             "fillId=\"0\" borderId=\"0\" xfId=\"0\"/></cellXfs></styleSheet>";
    auto styles = StyleSheet::parse(bare, "f.xlsx", "xl/styles.xml");
    const CellFormat band{.bold = true, .numberFormat = "", .fill = 0x1F4E78, .fontColour = 0xFFFFFF};
    const CellFormat total{.bold = true, .border = true, .numberFormat = "", .fill = 0xBDD7EE, .heavyTop = true};
    EXPECT_EQ(styles.styleFor(band), 1u);
    EXPECT_EQ(styles.styleFor(total), 2u);
    EXPECT_EQ(styles.styleFor(CellFormat{.numberFormat = "", .fill = 0x1F4E78}), 3u);  // the same fill, another style
    const auto text = styles.serialize();
    for (const char* held :
         {"<font><b/><sz val=\"11\"/><color rgb=\"FFFFFFFF\"/><name val=\"Arial\"/></font>",
          "<fills count=\"4\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill "
          "patternType=\"gray125\"/></fill><fill><patternFill patternType=\"solid\"><fgColor rgb=\"FF1F4E78\"/>",
          "<border><left style=\"thin\"><color indexed=\"64\"/></left><right style=\"thin\"><color indexed=\"64\"/>"
          "</right><top style=\"medium\"><color indexed=\"64\"/></top><bottom style=\"thin\">",
          "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"2\" borderId=\"0\" xfId=\"0\" applyFont=\"1\" applyFill=\"1\"/>",
          "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"2\" borderId=\"0\" xfId=\"0\" applyFill=\"1\"/>"})
        EXPECT_NE(text.find(held), std::string::npos) << held << "\nin " << text;
}

}  // namespace
