#include "sheet/host/tablepreview.h"

#include "sheet/failures.h"
#include "sheet/host/extensions.h"
#include "sheet/xlsx/autofit.h"

#include <algorithm>

namespace sheet {

namespace {

size_t characterCount(const std::string& text)
{
    return size_t(std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

}  // namespace

TablePreview previewTable(PivotTable& table, int32_t rows)
{
    auto* placed = dynamic_cast<PlacedPivotTable*>(&table);
    std::optional<DrawnRows> drawn = placed ? placed->firstRows(rows) : std::nullopt;
    if (!drawn)
        failApplication("Pivot table '" + table.Name() + "' is not drawn by the host");
    TablePreview preview;
    preview.rows = drawn->rows;
    preview.columns = drawn->columns;
    preview.shownRows = std::min(preview.rows, rows);
    preview.cells.reserve(drawn->cells.size());
    // AutoFit's rule over the rows shown: the widest text of each column.
    for (DrawnCell& at : drawn->cells) {
        PreviewCell cell{at.row, at.column, std::move(at.value), std::move(at.format), {}};
        cell.text = displayText(cell.value, cell.format.numberFormat);
        if (!cell.text.empty()) {
            const double width = widthForCharacters(characterCount(cell.text), cell.format.bold);
            auto [known, added] = preview.widths.emplace(cell.column, width);
            known->second = std::max(known->second, width);
        }
        preview.cells.push_back(std::move(cell));
    }
    return preview;
}

}  // namespace sheet
