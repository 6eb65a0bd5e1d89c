#include "sheet/xlsx/autofit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace sheet {

namespace {

constexpr double kDigitPixels = 7.0;
constexpr double kPaddingPixels = 5.0;

int decimalsOf(const std::string& format)
{
    const size_t dot = format.find('.');
    if (dot == std::string::npos)
        return 0;
    int count = 0;
    for (size_t i = dot + 1; i < format.size() && (format[i] == '0' || format[i] == '#'); ++i)
        ++count;
    return count;
}

std::string withThousands(const std::string& digits)
{
    const size_t start = !digits.empty() && digits[0] == '-' ? 1 : 0;
    const size_t dot = std::min(digits.find('.'), digits.size());
    std::string grouped(digits, 0, start);
    grouped.reserve(digits.size() + dot / 3);
    for (size_t i = start; i < dot; ++i) {
        if (i > start && (dot - i) % 3 == 0)
            grouped += ',';
        grouped += digits[i];
    }
    grouped.append(digits, dot, std::string::npos);
    return grouped;
}

std::string numberText(double number, const std::string& format)
{
    char buffer[64];
    if (format.empty() || format == "General") {
        std::snprintf(buffer, sizeof buffer, "%.11g", number);
        return buffer;
    }
    std::snprintf(buffer, sizeof buffer, "%.*f", decimalsOf(format), number);
    return format.find(',') != std::string::npos ? withThousands(buffer) : std::string(buffer);
}

size_t characterCount(const std::string& text)
{
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

}  // namespace

std::string displayText(const CellValue& value, const std::string& numberFormat)
{
    if (const auto* number = std::get_if<double>(&value))
        return numberText(*number, numberFormat);
    if (const auto* text = std::get_if<std::string>(&value))
        return *text;
    if (const auto* flag = std::get_if<bool>(&value))
        return *flag ? "TRUE" : "FALSE";
    return {};
}

double widthForCharacters(size_t characters, bool bold)
{
    const double pixels = static_cast<double>(characters) * kDigitPixels * (bold ? 1.1 : 1.0) + kPaddingPixels;
    return std::floor(pixels / kDigitPixels * 256.0) / 256.0;
}

std::map<int32_t, double> fittedWidths(const CellStore& cells, int32_t first, int32_t last)
{
    std::map<int32_t, double> widths;
    for (const auto& [cell, entry] : cells.cells()) {
        if (cell.column < first || cell.column > last)
            continue;
        const CellFormat format = entry.format.value_or(CellFormat{});
        const std::string text = displayText(entry.value, format.numberFormat);
        if (text.empty())
            continue;
        const double width = widthForCharacters(characterCount(text), format.bold);
        auto [it, inserted] = widths.emplace(cell.column, width);
        if (!inserted)
            it->second = std::max(it->second, width);
    }
    return widths;
}

}  // namespace sheet
