#include "sheet/xlsx/stylesheet.h"

#include "sheet/xlsx/ooxml.h"
#include "sheet/xlsx/xmlpart.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <sstream>

namespace sheet {

namespace {

const std::initializer_list<std::string_view> kStyleSheetOrder = {
    "numFmts", "fonts", "fills", "borders", "cellStyleXfs", "cellXfs", "cellStyles", "dxfs", "tableStyles",
    "colors", "extLst"};

// Number formats every reader knows by id without a numFmt entry.
const std::map<std::string, uint32_t> kBuiltInFormats = {
    {"General", 0}, {"0", 1}, {"0.00", 2}, {"#,##0", 3}, {"#,##0.00", 4}, {"0%", 9}, {"0.00%", 10},
    {"0.00E+00", 11}, {"@", 49}};

// Custom number formats take ids from here up.
constexpr uint32_t kFirstCustomFormat = 164;

uint32_t elementCount(const pugi::xml_node& list)
{
    uint32_t count = 0;
    for (auto node : list.children())
        count += node.type() == pugi::node_element ? 1 : 0;
    return count;
}

// "FF1F4E78": an opaque colour as styles parts write it.
std::string argb(uint32_t rgb)
{
    char text[9];
    std::snprintf(text, sizeof text, "FF%06X", rgb & 0xFFFFFFu);
    return text;
}

uint32_t numberOf(const pugi::xml_attribute& attribute)
{
    const std::string_view text = attribute.value();
    uint32_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

}  // namespace

StyleSheet StyleSheet::parse(std::string_view text, std::string_view file, std::string_view part)
{
    StyleSheet styles;
    styles.mDocument = xml::parse(text, file, part);
    return styles;
}

std::string StyleSheet::minimalPart()
{
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<styleSheet xmlns=\"")
           + ooxml::kMainNamespace
           + "\"><fonts count=\"1\"><font><sz val=\"11\"/><name val=\"Liberation Sans\"/><family val=\"2\"/></font>"
             "</fonts><fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill><fill><patternFill "
             "patternType=\"gray125\"/></fill></fills><borders count=\"1\"><border><left/><right/><top/><bottom/>"
             "<diagonal/></border></borders><cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
             "borderId=\"0\"/></cellStyleXfs><cellXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
             "borderId=\"0\" xfId=\"0\"/></cellXfs><cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" "
             "builtinId=\"0\"/></cellStyles></styleSheet>";
}

pugi::xml_node StyleSheet::list(std::string_view name)
{
    return xml::ensureChild(xml::root(*mDocument), name, kStyleSheetOrder);
}

// Appends an element to one of the lists and keeps the list's count right.
pugi::xml_node StyleSheet::append(pugi::xml_node list, std::string_view name)
{
    auto node = list.append_child(xml::qualified(list, name).c_str());
    auto count = list.attribute("count");
    if (!count)
        count = list.append_attribute("count");
    count = std::to_string(elementCount(list)).c_str();
    mChanged = true;
    return node;
}

// With reuse on, the entry just appended is taken back when an earlier entry
// of its list is the same; the first such entry is taken, so that entries
// repeated by earlier sessions all lead to one.
uint32_t StyleSheet::reuseEqual(pugi::xml_node list, pugi::xml_node added, bool changedBefore)
{
    const uint32_t appended = elementCount(list) - 1;
    if (!mReuseEqual)
        return appended;
    const auto text = [](pugi::xml_node node) {
        std::ostringstream out;
        node.print(out, "", pugi::format_raw);
        return out.str();
    };
    const std::string wanted = text(added);
    uint32_t index = 0;
    for (auto node = list.first_child(); node && node != added; node = node.next_sibling()) {
        if (node.type() != pugi::node_element)
            continue;
        if (text(node) == wanted) {
            list.remove_child(added);
            list.attribute("count") = std::to_string(elementCount(list)).c_str();
            mChanged = changedBefore;
            return index;
        }
        ++index;
    }
    return appended;
}

uint32_t StyleSheet::numberFormatId(const std::string& code)
{
    if (code.empty())
        return 0;
    if (const auto it = kBuiltInFormats.find(code); it != kBuiltInFormats.end())
        return it->second;
    if (const auto it = mNumberFormats.find(code); it != mNumberFormats.end())
        return it->second;
    auto formats = list("numFmts");
    uint32_t highest = kFirstCustomFormat - 1;
    for (auto node : formats.children()) {
        if (node.attribute("formatCode").value() == code)
            return mNumberFormats[code] = numberOf(node.attribute("numFmtId"));
        highest = std::max(highest, numberOf(node.attribute("numFmtId")));
    }
    auto node = append(formats, "numFmt");
    node.append_attribute("numFmtId") = highest + 1;
    node.append_attribute("formatCode") = code.c_str();
    return mNumberFormats[code] = highest + 1;
}

// A copy of the workbook's first font, bold and coloured as asked.
uint32_t StyleSheet::fontId(bool bold, uint32_t colour)
{
    if (!bold && colour == kNoColour)
        return 0;
    if (const auto it = mFonts.find({bold, colour}); it != mFonts.end())
        return it->second;
    auto fonts = list("fonts");
    const auto base = xml::child(fonts, "font");
    const bool changedBefore = mChanged;
    auto font = append(fonts, "font");
    if (base) {
        for (auto part : base.children()) {
            if (colour == kNoColour || xml::localName(part) != "color")
                font.append_copy(part);
        }
    }
    if (bold && !xml::child(font, "b"))
        font.prepend_child(xml::qualified(font, "b").c_str());
    if (colour != kNoColour) {
        // After the size, before the name, as the schema orders a font.
        auto size = xml::child(font, "sz");
        auto node = size ? font.insert_child_after(xml::qualified(font, "color").c_str(), size)
                         : font.append_child(xml::qualified(font, "color").c_str());
        node.append_attribute("rgb") = argb(colour).c_str();
    }
    return mFonts[{bold, colour}] = reuseEqual(fonts, font, changedBefore);
}

uint32_t StyleSheet::fillId(uint32_t colour)
{
    if (colour == kNoColour)
        return 0;
    if (const auto it = mFills.find(colour); it != mFills.end())
        return it->second;
    auto fills = list("fills");
    // Readers take fills 0 and 1 to be "none" and "gray125" whatever the
    // part says; a part that lacks them gets them before the first new fill.
    for (uint32_t reserved = elementCount(fills); reserved < 2; ++reserved) {
        auto none = append(fills, "fill").append_child(xml::qualified(fills, "patternFill").c_str());
        none.append_attribute("patternType") = reserved == 0 ? "none" : "gray125";
    }
    const bool changedBefore = mChanged;
    auto pattern = append(fills, "fill").append_child(xml::qualified(fills, "patternFill").c_str());
    pattern.append_attribute("patternType") = "solid";
    pattern.append_child(xml::qualified(fills, "fgColor").c_str()).append_attribute("rgb") = argb(colour).c_str();
    pattern.append_child(xml::qualified(fills, "bgColor").c_str()).append_attribute("indexed") = 64;
    return mFills[colour] = reuseEqual(fills, pattern.parent(), changedBefore);
}

uint32_t StyleSheet::borderId(bool thin, bool heavyTop)
{
    if (!thin && !heavyTop)
        return 0;
    if (const auto it = mBorders.find({thin, heavyTop}); it != mBorders.end())
        return it->second;
    auto borders = list("borders");
    const bool changedBefore = mChanged;
    auto border = append(borders, "border");
    for (const char* side : {"left", "right", "top", "bottom"}) {
        auto line = border.append_child(xml::qualified(border, side).c_str());
        const char* style = std::string_view(side) == "top" && heavyTop ? "medium" : thin ? "thin" : nullptr;
        if (!style)
            continue;
        line.append_attribute("style") = style;
        line.append_child(xml::qualified(border, "color").c_str()).append_attribute("indexed") = 64;
    }
    border.append_child(xml::qualified(border, "diagonal").c_str());
    return mBorders[{thin, heavyTop}] = reuseEqual(borders, border, changedBefore);
}

uint32_t StyleSheet::styleFor(const CellFormat& format)
{
    if (format == CellFormat{})
        return 0;
    if (const auto it = mStyles.find(format); it != mStyles.end())
        return it->second;
    const uint32_t numberFormat = numberFormatId(format.numberFormat);
    const uint32_t font = fontId(format.bold, format.fontColour);
    const uint32_t fill = fillId(format.fill);
    const uint32_t border = borderId(format.border, format.heavyTop);
    auto styles = list("cellXfs");
    const bool changedBefore = mChanged;
    auto xf = append(styles, "xf");
    xf.append_attribute("numFmtId") = numberFormat;
    xf.append_attribute("fontId") = font;
    xf.append_attribute("fillId") = fill;
    xf.append_attribute("borderId") = border;
    xf.append_attribute("xfId") = 0;
    if (numberFormat != 0)
        xf.append_attribute("applyNumberFormat") = 1;
    if (font != 0)
        xf.append_attribute("applyFont") = 1;
    if (fill != 0)
        xf.append_attribute("applyFill") = 1;
    if (border != 0)
        xf.append_attribute("applyBorder") = 1;
    return mStyles[format] = reuseEqual(styles, xf, changedBefore);
}

std::string StyleSheet::serialize() const
{
    return xml::serialize(*mDocument);
}

}  // namespace sheet
