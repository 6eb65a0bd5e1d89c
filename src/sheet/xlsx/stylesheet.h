// The workbook's styles part (xl/styles.xml) as far as the host adds to it:
// number formats, fonts (bold, coloured), solid fills, borders (thin, with a
// medium top), and the cell styles (cellXfs entries) that combine them.
// Existing entries are never changed or renumbered, so the user's cells keep
// their look; new ones are appended.
#pragma once

#include "sheet/xlsx/cellstore.h"

#include <pugixml.hpp>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace sheet {

class StyleSheet {
public:
    // Parses `text`, the part `part` of `file`. Throws 1004 when malformed.
    static StyleSheet parse(std::string_view text, std::string_view file, std::string_view part);
    // The styles part of a new workbook: one font, the two fills every styles
    // part starts with, no border, one cell style.
    static std::string minimalPart();

    // The cell style index for `format`, added on first request. The default
    // format is style 0.
    uint32_t styleFor(const CellFormat& format);

    // Whether a format whose entries the part already holds (a report drawn
    // again over its own cells) takes those entries instead of appending
    // equal ones, leaving the part as it was. Off by default: the user's
    // styles are theirs to change.
    void setReuseEqual(bool on) { mReuseEqual = on; }

    bool changed() const { return mChanged; }
    // Makes the next save write the part (a part the workbook did not have).
    void markChanged() { mChanged = true; }
    void markSaved() { mChanged = false; }
    std::string serialize() const;

private:
    uint32_t numberFormatId(const std::string& code);
    uint32_t fontId(bool bold, uint32_t colour);
    uint32_t fillId(uint32_t colour);
    uint32_t borderId(bool thin, bool heavyTop);
    pugi::xml_node list(std::string_view name);
    pugi::xml_node append(pugi::xml_node list, std::string_view name);
    uint32_t reuseEqual(pugi::xml_node list, pugi::xml_node added, bool changedBefore);

    std::unique_ptr<pugi::xml_document> mDocument;
    std::map<CellFormat, uint32_t> mStyles;
    std::map<std::string, uint32_t> mNumberFormats;
    std::map<std::pair<bool, uint32_t>, uint32_t> mFonts;
    std::map<uint32_t, uint32_t> mFills;
    std::map<std::pair<bool, bool>, uint32_t> mBorders;
    bool mChanged = false;
    bool mReuseEqual = false;
};

}  // namespace sheet
