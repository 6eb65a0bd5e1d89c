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

}  // namespace
