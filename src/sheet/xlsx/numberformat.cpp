#include "sheet/xlsx/numberformat.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <charconv>
#include <cmath>
#include <vector>

namespace sheet {

namespace {

bool isPlaceholder(char c)
{
    return c == '0' || c == '#' || c == '?';
}

// Which characters of `code` are literal: quoted text, the character after
// a backslash, '_' or '*', and bracketed parts.
std::vector<uint8_t> literalMask(std::string_view code)
{
    std::vector<uint8_t> literal(code.size(), 0);
    for (size_t i = 0; i < code.size(); ++i) {
        size_t end = i;
        if (code[i] == '"')
            end = std::min(code.find('"', i + 1), code.size() - 1);
        else if (code[i] == '[')
            end = std::min(code.find(']', i + 1), code.size() - 1);
        else if (code[i] == '\\' || code[i] == '_' || code[i] == '*')
            end = std::min(i + 1, code.size() - 1);
        else
            continue;
        std::fill(literal.begin() + ptrdiff_t(i), literal.begin() + ptrdiff_t(end) + 1, uint8_t(1));
        i = end;
    }
    return literal;
}

bool isGeneral(std::string_view section)
{
    constexpr std::string_view kGeneral = "general";
    return section.size() == kGeneral.size()
           && std::equal(section.begin(), section.end(), kGeneral.begin(),
                         [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

std::string decimals(int places)
{
    return places > 0 ? "." + std::string(size_t(places), '0') : std::string();
}

// One section of a code; `literal` marks its literal characters.
std::string sectionWithDecimals(std::string_view section, const uint8_t* literal, int places)
{
    if (isGeneral(section))
        return "0" + decimals(places);
    size_t first = section.size(), last = 0;
    for (size_t i = 0; i < section.size(); ++i) {
        if (literal[i])
            continue;
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(section[i])));
        if (c == 'y' || c == 'm' || c == 'd' || c == 'h' || c == 's')
            return std::string(section);  // a date or a time
        if (first == section.size() && isPlaceholder(section[i]))
            first = i;
    }
    if (first == section.size())
        return std::string(section);  // no number shown
    // The integer part: placeholders and grouping commas; commas after its
    // last placeholder scale by thousands and stay after the decimals.
    for (size_t i = first; i < section.size() && !literal[i] && (isPlaceholder(section[i]) || section[i] == ','); ++i) {
        if (isPlaceholder(section[i]))
            last = i;
    }
    const size_t integerEnd = last + 1;
    size_t rest = integerEnd;
    if (rest < section.size() && !literal[rest] && section[rest] == '.') {
        ++rest;
        while (rest < section.size() && !literal[rest] && isPlaceholder(section[rest]))
            ++rest;
    }
    return std::string(section.substr(0, integerEnd)) + decimals(places) + std::string(section.substr(rest));
}

}  // namespace

std::optional<int> bareDecimalPlaces(std::string_view code)
{
    if (code == "0")
        return 0;
    if (code.size() < 3 || !code.starts_with("0.") || code.find_first_not_of('0', 2) != std::string_view::npos)
        return std::nullopt;
    return int(code.size() - 2);
}

std::string withDecimalPlaces(std::string_view code, int places)
{
    places = std::clamp(places, 0, 30);
    if (code.empty())
        return "0" + decimals(places);
    const std::vector<uint8_t> literal = literalMask(code);
    std::string result;
    size_t start = 0;
    for (size_t i = 0; i <= code.size(); ++i) {
        if (i < code.size() && (literal[i] || code[i] != ';'))
            continue;
        result += sectionWithDecimals(code.substr(start, i - start), literal.data() + start, places);
        if (i < code.size())
            result += ';';
        start = i + 1;
    }
    return result;
}

double shownValue(double value)
{
    if (!std::isfinite(value) || value == 0)
        return value;
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    double shown = value;
    std::from_chars(buffer, written.ptr, shown);
    return shown;
}

}  // namespace sheet
