#include "sheet/xlsx/stylesheet.h"
#include "sheet/xlsx/xmlpart.h"

#include "sheettestsupport.h"

using namespace sheet;

namespace {

StyleSheet fixtureStyles()
{
    return StyleSheet::parse(sheettest::fixtureParts().at("xl/styles.xml"), "f.xlsx", "xl/styles.xml");
}

TEST(StyleSheets, TheDefaultFormatIsStyleZeroAndChangesNothing)
{
    auto styles = fixtureStyles();
    EXPECT_EQ(styles.styleFor(CellFormat{}), 0u);
    EXPECT_FALSE(styles.changed());
}

TEST(StyleSheets, AppendsNewStylesAfterTheExistingOnes)
{
    auto styles = fixtureStyles();
    EXPECT_EQ(styles.styleFor(CellFormat{.bold = true, .border = false, .numberFormat = ""}), 3u);
    EXPECT_EQ(styles.styleFor(CellFormat{.border = true, .numberFormat = "0.000"}), 4u);
    EXPECT_EQ(styles.styleFor(CellFormat{.bold = true, .border = false, .numberFormat = ""}), 3u);
    const auto text = styles.serialize();
    EXPECT_NE(text.find("<numFmt numFmtId=\"165\" formatCode=\"0.000\"/>"), std::string::npos) << text;
    EXPECT_NE(text.find("<cellXfs count=\"5\">"), std::string::npos) << text;
    EXPECT_NE(text.find("<font><b/><sz val=\"11\"/><name val=\"Liberation Sans\"/></font></fonts>"), std::string::npos)
        << text;
    EXPECT_NE(text.find("<borders count=\"2\">"), std::string::npos) << text;
    EXPECT_TRUE(styles.changed());
}

TEST(StyleSheets, ReusesBuiltInAndExistingNumberFormats)
{
    auto styles = fixtureStyles();
    styles.styleFor(CellFormat{.numberFormat = "0.00"});
    styles.styleFor(CellFormat{.numberFormat = "0.0"});
    const auto text = styles.serialize();
    EXPECT_NE(text.find("<xf numFmtId=\"2\" fontId=\"0\""), std::string::npos) << text;
    EXPECT_NE(text.find("<xf numFmtId=\"164\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\" "
                        "applyNumberFormat=\"1\"/></cellXfs>"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("<numFmts count=\"1\">"), std::string::npos) << text;
}

}  // namespace
