#include "sheet/pivot/pivotgrid.h"

#include "olap/model/membersource.h"
#include "sheet/pivot/gridaxes.h"
#include "sheet/pivot/gridstyle.h"
#include "sheet/xlsx/numberformat.h"

#include <algorithm>

namespace sheet::pivot {

namespace {

// A page field shows its one selected member, or that several or all are counted.
std::string pageCaption(const PivotDesign& design, uint32_t dimension)
{
    const auto& selected = design.dimension(dimension).pageSelected;
    if (selected.empty())
        return "(All)";
    if (selected.size() > 1)
        return "(Multiple Items)";
    const olap::MemberInfo& member =
        olap::memberOf(design.cube().dimensions[dimension].hierarchies.at(0), *selected.begin());
    return member.caption.empty() ? member.name : member.caption;
}

std::string levelName(const PivotDesign& design, uint32_t dimension, int32_t slot)
{
    const auto& levels = design.cube().dimensions.at(dimension).hierarchies.at(0).levels;
    const size_t top = !levels.empty() && levels[0].type == olap::LevelType::All ? 1 : 0;
    const size_t level = std::min(levels.size() - 1, top + static_cast<size_t>(slot));
    return levels[level].name;
}

std::string dataCaption(const PivotDesign& design)
{
    const auto& measures = design.axis(kDataField);
    if (measures.size() == 1)
        return design.cube().measures[measures[0]].name;
    return measures.empty() ? std::string() : std::string("Values");
}

std::string joinedDimensionNames(const PivotDesign& design, const std::vector<uint32_t>& dimensions)
{
    std::string text;
    for (uint32_t d : dimensions)
        text += (text.empty() ? "" : ", ") + design.cube().dimensions[d].name;
    return text;
}

CellRole labelRole(const Line& line)
{
    return line.grand ? CellRole::GrandTotalLabel : line.total ? CellRole::SubtotalLabel : CellRole::Item;
}

CellRole valueRole(const Line& row, const Line& column)
{
    if (row.grand || column.grand)
        return CellRole::GrandTotalValue;
    return row.total || column.total ? CellRole::SubtotalValue : CellRole::Value;
}

// Adds the cells of the rows the limits let through. Without an autoformat
// empty cells are left out; with one they are written for their borders.
class GridWriter {
public:
    GridWriter(const PivotDesign& design, const GridLimits& limits, PivotGrid& grid)
        : mAutoformat(design.autoformat), mLimits(limits), mGrid(grid)
    {
    }

    void text(int32_t row, int32_t column, const std::string& value, CellRole role)
    {
        const bool body = role != CellRole::PageName && role != CellRole::PageItem;
        if (value.empty() && !(body && mAutoformat))
            return;
        CellValue cell;
        if (!value.empty())
            cell = value;
        add(row, column, std::move(cell), cellStyle(role, mAutoformat));
    }

    void number(int32_t row, int32_t column, std::optional<double> value, const std::string& numberFormat,
                CellRole role)
    {
        if (!value && !mAutoformat)
            return;
        CellFormat format = cellStyle(role, mAutoformat);
        format.numberFormat = numberFormat;
        CellValue cell;
        if (value)
            cell = shownValue(*value);
        add(row, column, std::move(cell), std::move(format));
    }

private:
    void add(int32_t row, int32_t column, CellValue value, CellFormat format)
    {
        if (row >= mLimits.rows)
            return;
        GridCell& cell = mGrid.cells.emplace_back();
        cell.row = row;
        cell.column = column;
        cell.value = std::move(value);
        cell.format = std::move(format);
    }

    int32_t mAutoformat;
    const GridLimits& mLimits;
    PivotGrid& mGrid;
};

// The caption row and the column items' header rows; the last header row
// also names the row fields' levels over their columns.
void writeHeadings(const PivotDesign& design, const AxisLayout& rows, const AxisLayout& columns, int32_t top,
                   GridWriter& writer)
{
    const auto& rowFields = design.axis(kRowField);
    const int32_t left = rows.slots;
    const int32_t width = left + static_cast<int32_t>(columns.lines.size());
    for (int32_t c = 0; c < width; ++c) {
        const std::string text = c == 0      ? dataCaption(design)
                                 : c == left ? joinedDimensionNames(design, design.axis(kColumnField))
                                             : "";
        writer.text(top, c, text, CellRole::Heading);
    }
    for (int32_t s = 0; s < columns.slots; ++s) {
        const int32_t row = top + 1 + s;
        for (int32_t c = 0; c < left; ++c) {
            std::string text;
            if (s == columns.slots - 1) {
                for (size_t f = 0; f < rowFields.size(); ++f) {
                    if (c >= rows.fieldOffset[f] && c < rows.fieldOffset[f] + rows.fieldLevels[f])
                        text = levelName(design, rowFields[f], c - rows.fieldOffset[f]);
                }
                if (rows.measureSlot && c == left - 1)
                    text = "Values";
            }
            writer.text(row, c, text, CellRole::Heading);
        }
        const Line* previous = nullptr;
        for (size_t j = 0; j < columns.lines.size(); ++j) {
            const Line& line = columns.lines[j];
            const bool shown = static_cast<size_t>(s) >= firstChangedSlot(previous, line);
            writer.text(row, left + static_cast<int32_t>(j), shown ? line.labels[static_cast<size_t>(s)] : "",
                        CellRole::Heading);
            previous = &line;
        }
    }
}

// Row items and values, up to the last row the limits let through.
void writeBody(const PivotDesign& design, const olap::QueryResult& result, const AxisLayout& rows,
               const AxisLayout& columns, const GridFrame& frame, const GridLimits& limits, GridWriter& writer)
{
    const size_t measureCount = result.measures.size();
    std::vector<std::string> formats;
    for (uint32_t m : result.measures)
        formats.push_back(numberFormatOf(design, m));
    const Line* previous = nullptr;
    const size_t shownLines = static_cast<size_t>(std::clamp<int64_t>(int64_t(limits.rows) - frame.firstDataRow, 0,
                                                                      int64_t(rows.lines.size())));
    for (size_t i = 0; i < shownLines; ++i) {
        const Line& line = rows.lines[i];
        const int32_t row = frame.firstDataRow + static_cast<int32_t>(i);
        const size_t changed = firstChangedSlot(previous, line);
        for (int32_t s = 0; s < rows.slots; ++s)
            writer.text(row, s, static_cast<size_t>(s) >= changed ? line.labels[static_cast<size_t>(s)] : "",
                        labelRole(line));
        for (size_t j = 0; j < columns.lines.size(); ++j) {
            const int32_t m = measureOf(line, columns.lines[j], measureCount);
            const int32_t column = frame.left + static_cast<int32_t>(j);
            const CellRole role = valueRole(line, columns.lines[j]);
            if (m < 0)
                writer.text(row, column, "", role);
            else
                writer.number(row, column, result.cell(line.tuple, columns.lines[j].tuple, static_cast<size_t>(m)),
                              formats[static_cast<size_t>(m)], role);
        }
        previous = &line;
    }
}

}  // namespace

PivotGrid layoutGrid(const PivotDesign& design, const olap::QueryResult& result, const GridLimits& limits)
{
    PivotGrid grid;
    GridWriter writer(design, limits, grid);
    const size_t measureCount = result.measures.size();
    const bool valuesOnRows = design.valuesAxis() == kRowField;
    const AxisLayout rows =
        axisLayout(design, result.rows, design.axis(kRowField), valuesOnRows, measureCount, "Total");
    const AxisLayout columns =
        axisLayout(design, result.columns, design.axis(kColumnField), !valuesOnRows, measureCount, "Total");

    const auto& pages = design.axis(kPageField);
    for (size_t p = 0; p < pages.size(); ++p) {
        writer.text(static_cast<int32_t>(p), 0, design.cube().dimensions[pages[p]].name, CellRole::PageName);
        writer.text(static_cast<int32_t>(p), 1, pageCaption(design, pages[p]), CellRole::PageItem);
    }
    const int32_t top = pages.empty() ? 0 : static_cast<int32_t>(pages.size()) + 1;
    const GridFrame frame{top + 1 + columns.slots, rows.slots};
    grid.rows = frame.firstDataRow + static_cast<int32_t>(rows.lines.size());
    grid.columns = frame.left + static_cast<int32_t>(columns.lines.size());
    const int64_t shownRows = std::min<int64_t>(grid.rows, limits.rows);
    grid.cells.reserve(static_cast<size_t>(shownRows) * static_cast<size_t>(grid.columns));
    writeHeadings(design, rows, columns, top, writer);
    writeBody(design, result, rows, columns, frame, limits, writer);
    if (limits.chart)
        grid.chart = chartOf(design, result, rows, columns, frame);
    return grid;
}

}  // namespace sheet::pivot
