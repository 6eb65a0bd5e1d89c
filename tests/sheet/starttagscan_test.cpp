#include "sheet/xlsx/starttagscan.h"
#include "sheet/xlsx/tagedit.h"

#include <gtest/gtest.h>

using namespace sheet;

namespace {

std::optional<std::string> scanInChunks(const std::string& text, size_t chunk, const std::string& name)
{
    StartTagScanner scanner(name);
    for (size_t at = 0; at < text.size(); at += chunk) {
        if (!scanner.feed(std::string_view(text).substr(at, chunk)))
            break;
    }
    return scanner.tag();
}

const std::string kSheet =
    "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>&lt;sheetProtection "
    "sheet=\"1\"/&gt; is only text</t></is></c></row></sheetData><sheetProtectionX/>"
    "<x:sheetProtection  password=\"CC23\" sheet='true' objects=\"1\"/><mergeCells/></worksheet>";

TEST(StartTagScanning, FindsTheElementWhateverTheChunkBoundaries)
{
    for (size_t chunk : {1u, 2u, 3u, 7u, 16u, 64u, 4096u}) {
        const auto tag = scanInChunks(kSheet, chunk, "sheetProtection");
        ASSERT_TRUE(tag) << chunk;
        EXPECT_EQ(*tag, "<x:sheetProtection  password=\"CC23\" sheet='true' objects=\"1\"/>") << chunk;
    }
}

TEST(StartTagScanning, ReportsNothingWhenThePartHasNoSuchElement)
{
    EXPECT_FALSE(scanInChunks("<worksheet><sheetData/></worksheet>", 5, "sheetProtection"));
}

TEST(StartTagScanning, ReadsAttributesWithEitherQuote)
{
    const auto attributes = tagAttributes("<a:b one=\"1\" two = 'x &amp; y' three=\"\"/>");
    EXPECT_EQ(attributes.at("one"), "1");
    EXPECT_EQ(attributes.at("two"), "x & y");
    EXPECT_EQ(attributes.at("three"), "");
}

TEST(TagEditing, SetsAndRemovesOneAttribute)
{
    EXPECT_EQ(withAttribute("<sheetView tabSelected=\"1\" workbookViewId=\"0\"/>", "tabSelected", std::nullopt),
              "<sheetView workbookViewId=\"0\"/>");
    EXPECT_EQ(withAttribute("<sheetView workbookViewId=\"0\"/>", "tabSelected", "1"),
              "<sheetView workbookViewId=\"0\" tabSelected=\"1\"/>");
    EXPECT_EQ(withAttribute("<sheetView workbookViewId=\"0\">", "tabSelected", "1"),
              "<sheetView workbookViewId=\"0\" tabSelected=\"1\">");
}

TEST(TagEditing, LocatesTheFirstStartTag)
{
    const std::string text = "<a><sheetViews><sheetView b=\"1\"/><sheetView c=\"2\"/></sheetViews></a>";
    const auto where = locateStartTag(text, "sheetView");
    ASSERT_TRUE(where);
    EXPECT_EQ(text.substr(where->first, where->second), "<sheetView b=\"1\"/>");
}

}  // namespace
