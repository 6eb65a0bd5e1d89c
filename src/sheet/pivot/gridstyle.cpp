#include "sheet/pivot/gridstyle.h"

#include "sheet/constants.h"

namespace sheet::pivot {

namespace {

constexpr uint32_t kHeadingBand = 0x1F4E78;   // dark blue, under white text
constexpr uint32_t kSubtotalShade = 0xDDEBF7;
constexpr uint32_t kGrandTotalShade = 0xBDD7EE;
constexpr uint32_t kPageItemShade = 0xF2F2F2;
constexpr uint32_t kWhite = 0xFFFFFF;

CellFormat tableStyle(CellRole role)
{
    CellFormat format;
    format.bold = role == CellRole::PageName || role == CellRole::Heading || role == CellRole::SubtotalLabel
                  || role == CellRole::GrandTotalLabel;
    format.border = role != CellRole::PageName && role != CellRole::PageItem;
    return format;
}

CellFormat shadedStyle(CellRole role)
{
    CellFormat format = tableStyle(role);
    switch (role) {
    case CellRole::Heading:
        format.fill = kHeadingBand;
        format.fontColour = kWhite;
        break;
    case CellRole::PageItem:
        format.fill = kPageItemShade;
        break;
    case CellRole::SubtotalLabel:
    case CellRole::SubtotalValue:
        format.bold = true;
        format.fill = kSubtotalShade;
        break;
    case CellRole::GrandTotalLabel:
    case CellRole::GrandTotalValue:
        format.bold = true;
        format.fill = kGrandTotalShade;
        format.heavyTop = true;
        break;
    default:
        break;
    }
    return format;
}

}  // namespace

CellFormat cellStyle(CellRole role, int32_t autoformat)
{
    if (autoformat == kTableFormat13)
        return tableStyle(role);
    if (autoformat == kTableFormatShaded)
        return shadedStyle(role);
    return {};
}

}  // namespace sheet::pivot
