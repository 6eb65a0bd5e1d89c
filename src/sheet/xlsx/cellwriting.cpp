#include "sheet/xlsx/cellwriting.h"

#include "sheet/failures.h"
#include "sheet/xlsx/stylesheet.h"
#include "sheet/xlsx/xmlpart.h"

#include <charconv>
#include <cmath>

namespace sheet {

std::string numberText(double number)
{
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, number);
    return std::string(buffer, end);
}

std::string xmlSafe(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 || c == '\t' || c == '\n' || c == '\r')
            out += c;
    }
    return out;
}

namespace {

void setText(pugi::xml_node cell, const std::string& text)
{
    cell.append_attribute("t") = "inlineStr";
    auto is = cell.append_child(xml::qualified(cell, "is").c_str());
    auto t = is.append_child(xml::qualified(cell, "t").c_str());
    const std::string safe = xmlSafe(text);
    if (!safe.empty() && (std::isspace(static_cast<unsigned char>(safe.front()))
                          || std::isspace(static_cast<unsigned char>(safe.back()))))
        t.append_attribute("xml:space") = "preserve";
    t.text() = safe.c_str();
}

void setValue(pugi::xml_node cell, const CellValue& value)
{
    if (const auto* number = std::get_if<double>(&value)) {
        if (!std::isfinite(*number)) {
            cell.append_attribute("t") = "e";
            cell.append_child(xml::qualified(cell, "v").c_str()).text() = "#NUM!";
        } else {
            cell.append_child(xml::qualified(cell, "v").c_str()).text() = numberText(*number).c_str();
        }
    } else if (const auto* text = std::get_if<std::string>(&value)) {
        setText(cell, *text);
    } else if (const auto* flag = std::get_if<bool>(&value)) {
        cell.append_attribute("t") = "b";
        cell.append_child(xml::qualified(cell, "v").c_str()).text() = *flag ? "1" : "0";
    }
}

}  // namespace

void fillCell(pugi::xml_node cell, const CellEntry& entry, StyleSheet& styles)
{
    pugi::xml_node extension;
    for (auto node = cell.first_child(); node;) {
        const auto next = node.next_sibling();
        if (xml::localName(node) != "extLst")
            cell.remove_child(node);
        else if (!extension)
            extension = node;
        node = next;
    }
    // One pass over the attributes: a sheet rewritten in place has a
    // quarter of a million cells.
    for (auto attribute = cell.first_attribute(); attribute;) {
        const auto next = attribute.next_attribute();
        const std::string_view name = attribute.name();
        if (name == "t" || name == "cm" || name == "vm" || name == "ph" || (entry.format && name == "s"))
            cell.remove_attribute(attribute);
        attribute = next;
    }
    if (entry.format) {
        const uint32_t style = styles.styleFor(*entry.format);
        if (style != 0)
            cell.append_attribute("s") = style;
    }
    setValue(cell, entry.value);
    // extLst must stay last: move it behind the new content.
    if (extension)
        cell.append_move(extension);
}

bool clears(const CellEntry& entry)
{
    return std::holds_alternative<std::monostate>(entry.value) && entry.format == CellFormat{};
}

void FormulaGuard::check(pugi::xml_node cell, CellRef at)
{
    for (const auto& area : arrays) {
        if (area.contains(at)) {
            failApplication("Cell " + cellName(at) + " of sheet '" + std::string(sheetName)
                            + "' is part of an array formula, which the host cannot change in part");
        }
    }
    const auto formula = cell ? xml::child(cell, "f") : pugi::xml_node();
    if (!formula)
        return;
    if (std::string_view(formula.attribute("t").value()) == "shared" && formula.attribute("ref")) {
        failApplication("Cell " + cellName(at) + " of sheet '" + std::string(sheetName)
                        + "' holds a formula that other cells share, which the host cannot overwrite");
    }
    replacedFormula = true;
}

}  // namespace sheet
