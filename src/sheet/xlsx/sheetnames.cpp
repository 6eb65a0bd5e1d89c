#include "sheet/xlsx/sheetnames.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace sheet {

namespace {

size_t codePoints(std::string_view text)
{
    // Continuation bytes of UTF-8 are 10xxxxxx; every other byte starts a code point.
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::optional<long> sheetNumber(std::string_view name)
{
    constexpr std::string_view kPrefix = "Sheet";
    if (name.size() <= kPrefix.size() || !sameSheetName(name.substr(0, kPrefix.size()), kPrefix))
        return std::nullopt;
    const std::string_view digits = name.substr(kPrefix.size());
    long value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size() || value < 1)
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<std::string> sheetNameProblem(std::string_view name)
{
    if (name.empty())
        return "a sheet name cannot be empty";
    if (codePoints(name) > kMaxSheetNameLength)
        return "a sheet name can have at most 31 characters";
    if (name.find_first_of("[]:*?/\\") != std::string_view::npos)
        return "a sheet name cannot contain any of [ ] : * ? / \\";
    if (name.front() == '\'' || name.back() == '\'')
        return "a sheet name cannot start or end with an apostrophe";
    return std::nullopt;
}

bool sameSheetName(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

std::string nextSheetName(const std::vector<std::string>& taken)
{
    long highest = 0;
    for (const auto& name : taken) {
        if (const auto n = sheetNumber(name))
            highest = std::max(highest, *n);
    }
    return "Sheet" + std::to_string(highest + 1);
}

}  // namespace sheet
