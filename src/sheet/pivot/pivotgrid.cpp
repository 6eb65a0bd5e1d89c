#include "sheet/pivot/pivotgrid.h"

#include "olap/model/membersource.h"

#include <algorithm>

namespace sheet::pivot {

namespace {

using olap::AxisTuple;
using olap::TupleKind;

// One displayed line of an axis: a tuple, and the measure when the measure
// names are a level of this axis.
struct Line {
    size_t tuple = 0;
    int32_t measure = -1;  // index into the query's measures; -1: not on this axis
    bool total = false;
    std::vector<std::string> keys;    // per slot: what the slot shows, for grouping
    std::vector<std::string> labels;  // per slot
};

struct AxisLayout {
    int32_t slots = 0;
    std::vector<int32_t> fieldOffset;  // first slot of each field
    std::vector<int32_t> fieldLevels;  // slots of each field
    int32_t topLevel = 0;
    bool measureSlot = false;
    std::vector<Line> lines;
};

const std::string& caption(const olap::MemberInfo& member)
{
    return member.caption.empty() ? member.name : member.caption;
}

const olap::HierarchyInfo& hierarchyOf(const PivotDesign& design, uint32_t dimension)
{
    return design.cube().dimensions.at(dimension).hierarchies.at(0);
}

// Fills the slots of field `f` of `tuple` into `line`.
void fieldLabels(const PivotDesign& design, const AxisLayout& layout, uint32_t dimension, size_t f,
                 const AxisTuple& tuple, bool totalled, Line& line)
{
    const auto& tm = tuple.members[f];
    if (tm.member == olap::kAllMembers)
        return;
    const olap::HierarchyInfo& hierarchy = hierarchyOf(design, dimension);
    uint32_t member = static_cast<uint32_t>(tm.member);
    for (int32_t depth = tm.depth; depth >= 0; --depth) {
        const size_t slot = static_cast<size_t>(layout.fieldOffset[f] + depth);
        line.keys[slot] = std::to_string(f) + ':' + std::to_string(member);
        const olap::MemberInfo& info = olap::memberOf(hierarchy, member);
        line.labels[slot] = caption(info);
        if (depth == tm.depth && totalled) {
            line.keys[slot] += 'T';
            line.labels[slot] += " Total";
        }
        if (info.parent >= 0)
            member = static_cast<uint32_t>(info.parent);
    }
}

AxisLayout axisLayout(const PivotDesign& design, const std::vector<AxisTuple>& tuples,
                      const std::vector<uint32_t>& fields, bool measuresHere, size_t measureCount,
                      const std::string& fieldlessLabel)
{
    AxisLayout layout;
    layout.measureSlot = measuresHere && measureCount > 1;
    for (size_t f = 0; f < fields.size(); ++f) {
        int32_t depth = 0;
        for (const auto& tuple : tuples) {
            if (tuple.members[f].member != olap::kAllMembers)
                depth = std::max<int32_t>(depth, tuple.members[f].depth);
        }
        layout.fieldOffset.push_back(layout.slots);
        layout.fieldLevels.push_back(depth + 1);
        layout.slots += depth + 1;
    }
    const int32_t measureSlot = layout.slots;
    layout.slots = std::max<int32_t>(1, layout.slots + (layout.measureSlot ? 1 : 0));
    const size_t perTuple = layout.measureSlot ? measureCount : 1;
    for (size_t t = 0; t < tuples.size(); ++t) {
        const AxisTuple& tuple = tuples[t];
        for (size_t m = 0; m < perTuple; ++m) {
            Line line;
            line.tuple = t;
            line.measure = measuresHere && measureCount > 0 ? static_cast<int32_t>(m) : -1;
            line.total = tuple.kind != TupleKind::Member;
            line.keys.resize(static_cast<size_t>(layout.slots));
            line.labels.resize(static_cast<size_t>(layout.slots));
            if (fields.empty()) {
                line.keys[0] = "*";
                line.labels[0] = fieldlessLabel;
                line.total = false;
            } else if (tuple.kind == TupleKind::GrandTotal) {
                line.keys[0] = "G";
                line.labels[0] = "Grand Total";
            } else {
                size_t totalled = fields.size();
                if (tuple.kind == TupleKind::Subtotal) {
                    for (size_t f = 0; f < fields.size(); ++f) {
                        if (tuple.members[f].member != olap::kAllMembers)
                            totalled = f;
                    }
                }
                for (size_t f = 0; f < fields.size(); ++f)
                    fieldLabels(design, layout, fields[f], f, tuple, f == totalled, line);
            }
            if (layout.measureSlot) {
                const uint32_t measure = design.axis(kDataField)[m];
                line.keys[static_cast<size_t>(measureSlot)] = "m" + std::to_string(m);
                line.labels[static_cast<size_t>(measureSlot)] = design.cube().measures[measure].name;
            }
            layout.lines.push_back(std::move(line));
        }
    }
    return layout;
}

// The first slot whose grouping differs from the previous line's; labels
// before it repeat the line above and are left blank.
size_t firstChangedSlot(const Line* previous, const Line& line)
{
    if (!previous)
        return 0;
    size_t slot = 0;
    while (slot < line.keys.size() && line.keys[slot] == previous->keys[slot] && !line.keys[slot].empty())
        ++slot;
    return slot;
}

std::string joinedLabels(const Line& line)
{
    std::string text;
    for (const auto& label : line.labels) {
        if (label.empty())
            continue;
        if (!text.empty())
            text += " - ";
        text += label;
    }
    return text;
}

std::string levelName(const PivotDesign& design, uint32_t dimension, int32_t slot)
{
    const auto& levels = hierarchyOf(design, dimension).levels;
    const size_t top = !levels.empty() && levels[0].type == olap::LevelType::All ? 1 : 0;
    const size_t level = std::min(levels.size() - 1, top + static_cast<size_t>(slot));
    return levels[level].name;
}

class GridWriter {
public:
    GridWriter(const PivotDesign& design, PivotGrid& grid) : mDesign(design), mGrid(grid) {}

    void text(int32_t row, int32_t column, const std::string& value, bool bold, bool body)
    {
        if (value.empty() && !(body && mDesign.formatted))
            return;
        CellFormat format;
        format.bold = bold && mDesign.formatted;
        format.border = body && mDesign.formatted;
        add(row, column, value.empty() ? CellValue{} : CellValue{value}, std::move(format));
    }

    void number(int32_t row, int32_t column, std::optional<double> value, const std::string& numberFormat)
    {
        if (!value && !mDesign.formatted)
            return;
        CellFormat format;
        format.border = mDesign.formatted;
        format.numberFormat = numberFormat;
        add(row, column, value ? CellValue{*value} : CellValue{}, std::move(format));
    }

private:
    void add(int32_t row, int32_t column, CellValue value, CellFormat format)
    {
        mGrid.cells.push_back({row, column, std::move(value), std::move(format)});
    }

    const PivotDesign& mDesign;
    PivotGrid& mGrid;
};

}  // namespace

namespace {

std::string dataCaption(const PivotDesign& design)
{
    const auto& measures = design.axis(kDataField);
    if (measures.size() == 1)
        return design.cube().measures[measures[0]].name;
    return measures.empty() ? std::string() : std::string("Values");
}

std::string numberFormatOf(const PivotDesign& design, uint32_t measure)
{
    const auto& state = design.measure(measure);
    return state.numberFormat ? *state.numberFormat : design.cube().measures[measure].formatString;
}

std::string joinedDimensionNames(const PivotDesign& design, const std::vector<uint32_t>& dimensions)
{
    std::string text;
    for (uint32_t d : dimensions)
        text += (text.empty() ? "" : ", ") + design.cube().dimensions[d].name;
    return text;
}

// Which of the query's measures a cell of row line `row` and column line
// `column` shows; -1 when the table shows no measure.
int32_t measureOf(const Line& row, const Line& column, size_t measureCount)
{
    if (row.measure >= 0)
        return row.measure;
    if (column.measure >= 0)
        return column.measure;
    return measureCount > 0 ? 0 : -1;
}

void addChart(const PivotDesign& design, const olap::QueryResult& result, const AxisLayout& rows,
              const AxisLayout& columns, PivotGrid& grid)
{
    grid.chart.title = dataCaption(design);
    const size_t measureCount = result.measures.size();
    if (measureCount == 0)
        return;
    std::vector<const Line*> categories;
    for (const auto& line : rows.lines) {
        if (!line.total) {
            categories.push_back(&line);
            grid.chart.categories.push_back(joinedLabels(line));
        }
    }
    for (const auto& column : columns.lines) {
        if (column.total)
            continue;
        ChartSeries series;
        series.name = joinedLabels(column);
        for (const Line* row : categories) {
            const int32_t m = measureOf(*row, column, measureCount);
            series.values.push_back(result.cell(row->tuple, column.tuple, static_cast<size_t>(m)));
        }
        grid.chart.series.push_back(std::move(series));
    }
}

}  // namespace

namespace {

// A page field shows its one selected member, or that several or all are counted.
std::string pageCaption(const PivotDesign& design, uint32_t dimension)
{
    const auto& selected = design.dimension(dimension).pageSelected;
    if (selected.empty())
        return "(All)";
    if (selected.size() > 1)
        return "(Multiple Items)";
    return olap::memberOf(design.cube().dimensions[dimension].hierarchies.at(0), *selected.begin()).caption;
}

}  // namespace

PivotGrid layoutGrid(const PivotDesign& design, const olap::QueryResult& result)
{
    PivotGrid grid;
    GridWriter writer(design, grid);
    const size_t measureCount = result.measures.size();
    const bool valuesOnRows = design.valuesAxis() == kRowField;
    const std::string caption = dataCaption(design);
    const auto& rowFields = design.axis(kRowField);
    const auto& columnFields = design.axis(kColumnField);
    const AxisLayout rows = axisLayout(design, result.rows, rowFields, valuesOnRows, measureCount, "Total");
    const AxisLayout columns = axisLayout(design, result.columns, columnFields, !valuesOnRows, measureCount, "Total");

    const auto& pages = design.axis(kPageField);
    for (size_t p = 0; p < pages.size(); ++p) {
        writer.text(static_cast<int32_t>(p), 0, design.cube().dimensions[pages[p]].name, true, false);
        writer.text(static_cast<int32_t>(p), 1, pageCaption(design, pages[p]), false, false);
    }
    const int32_t top = pages.empty() ? 0 : static_cast<int32_t>(pages.size()) + 1;
    const int32_t left = rows.slots;
    const int32_t firstDataRow = top + 1 + columns.slots;
    grid.rows = firstDataRow + static_cast<int32_t>(rows.lines.size());
    grid.columns = left + static_cast<int32_t>(columns.lines.size());
    grid.cells.reserve(static_cast<size_t>(grid.rows) * static_cast<size_t>(grid.columns));

    // The caption row: the data caption over the row labels, the column
    // fields' names over the column items.
    for (int32_t c = 0; c < grid.columns; ++c) {
        const std::string text = c == 0 ? caption : c == left ? joinedDimensionNames(design, columnFields) : "";
        writer.text(top, c, text, true, true);
    }
    // Column items, one header row per slot; the last header row also names
    // the row fields' levels over their columns.
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
            writer.text(row, c, text, true, true);
        }
        const Line* previous = nullptr;
        for (size_t j = 0; j < columns.lines.size(); ++j) {
            const Line& line = columns.lines[j];
            const bool shown = static_cast<size_t>(s) >= firstChangedSlot(previous, line);
            writer.text(row, left + static_cast<int32_t>(j), shown ? line.labels[static_cast<size_t>(s)] : "", true, true);
            previous = &line;
        }
    }
    // Row items and values.
    std::vector<std::string> formats;
    for (uint32_t m : result.measures)
        formats.push_back(numberFormatOf(design, m));
    const Line* previous = nullptr;
    for (size_t i = 0; i < rows.lines.size(); ++i) {
        const Line& line = rows.lines[i];
        const int32_t row = firstDataRow + static_cast<int32_t>(i);
        const size_t changed = firstChangedSlot(previous, line);
        for (int32_t s = 0; s < rows.slots; ++s)
            writer.text(row, s, static_cast<size_t>(s) >= changed ? line.labels[static_cast<size_t>(s)] : "", line.total, true);
        for (size_t j = 0; j < columns.lines.size(); ++j) {
            const int32_t m = measureOf(line, columns.lines[j], measureCount);
            const int32_t column = left + static_cast<int32_t>(j);
            if (m < 0)
                writer.text(row, column, "", false, true);
            else
                writer.number(row, column, result.cell(line.tuple, columns.lines[j].tuple, static_cast<size_t>(m)),
                              formats[static_cast<size_t>(m)]);
        }
        previous = &line;
    }
    addChart(design, result, rows, columns, grid);
    return grid;
}

}  // namespace sheet::pivot
