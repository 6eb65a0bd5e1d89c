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

TEST(StartTagScanning, ReportsNothingWhenThePartHasNoSuchElementAndReadsAttributesWithEitherQuote)
{
    EXPECT_FALSE(scanInChunks("<worksheet><sheetData/></worksheet>", 5, "sheetProtection"));
    EXPECT_EQ(tagAttributes("<a:b one=\"1\" two = 'x &amp; y' three=\"\"/>"),
              (std::map<std::string, std::string>{{"one", "1"}, {"three", ""}, {"two", "x & y"}}));
}

TEST(TagEditing, SetsAndRemovesOneAttributeOfTheFirstStartTag)
{
    const std::tuple<const char*, std::optional<std::string_view>, const char*> edits[] = {
        {"<sheetView tabSelected=\"1\" workbookViewId=\"0\"/>", std::nullopt, "<sheetView workbookViewId=\"0\"/>"},
        {"<sheetView workbookViewId=\"0\"/>", "1", "<sheetView workbookViewId=\"0\" tabSelected=\"1\"/>"},
        {"<sheetView workbookViewId=\"0\">", "1", "<sheetView workbookViewId=\"0\" tabSelected=\"1\">"}};
    for (const auto& [tag, value, edited] : edits)
        EXPECT_EQ(withAttribute(tag, "tabSelected", value), edited);
    const std::string text = "<a><sheetViews><sheetView b=\"1\"/><sheetView c=\"2\"/></sheetViews></a>";
    const auto where = locateStartTag(text, "sheetView");
    ASSERT_TRUE(where);
    EXPECT_EQ(text.substr(where->first, where->second), "<sheetView b=\"1\"/>");
}

}  // namespace
