#include "sheet/xlsx/columnwidths.h"

#include "sheet/xlsx/sheetwriter.h"
#include "sheet/xlsx/xmlpart.h"

namespace sheet {

namespace {

int32_t bound(const pugi::xml_node& col, const char* name)
{
    return col.attribute(name).as_int(0);
}

// The <col> element that covers exactly `column`, carved out of the span
// holding it; empty when no span holds it.
pugi::xml_node carve(pugi::xml_node cols, int32_t column)
{
    for (auto col : cols.children()) {
        if (xml::localName(col) != "col" || bound(col, "min") > column || bound(col, "max") < column)
            continue;
        if (bound(col, "min") < column) {
            auto before = cols.insert_copy_before(col, col);
            before.attribute("max") = column - 1;
            col.attribute("min") = column;
        }
        if (bound(col, "max") > column) {
            auto after = cols.insert_copy_after(col, col);
            after.attribute("min") = column + 1;
            col.attribute("max") = column;
        }
        return col;
    }
    return {};
}

pugi::xml_node addColumn(pugi::xml_node cols, int32_t column)
{
    pugi::xml_node next;
    for (auto col : cols.children()) {
        if (xml::localName(col) == "col" && bound(col, "min") > column) {
            next = col;
            break;
        }
    }
    const std::string tag = xml::qualified(cols, "col");
    auto col = next ? cols.insert_child_before(tag.c_str(), next) : cols.append_child(tag.c_str());
    col.append_attribute("min") = column;
    col.append_attribute("max") = column;
    return col;
}

void setAttribute(pugi::xml_node node, const char* name, double value)
{
    auto attribute = node.attribute(name);
    if (!attribute)
        attribute = node.append_attribute(name);
    attribute = value;
}

}  // namespace

void writeColumnWidths(pugi::xml_node worksheet, const std::map<int32_t, double>& widths)
{
    auto cols = xml::ensureChild(worksheet, "cols", kWorksheetOrder);
    for (const auto& [column, width] : widths) {
        auto col = carve(cols, column);
        if (!col)
            col = addColumn(cols, column);
        setAttribute(col, "width", width);
        setAttribute(col, "customWidth", 1);
    }
}

}  // namespace sheet
