#include "platform/services/iniprofile.h"

#include "platform/core/failure.h"
#include "platform/core/safewrite.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

namespace platform {

namespace {

constexpr std::string_view kBlanks = " \t\r\v\f";

struct ProfileText {
    std::vector<std::string> lines;   // without their line ends
    std::string lineEnd = "\n";
};

// Lines [begin, end) after the header line of a section.
struct SectionRange {
    size_t begin = 0;
    size_t end = 0;
};

struct Entry {
    std::string_view key;
    std::string_view value;
};

std::string_view trim(std::string_view text)
{
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool sameName(std::string_view a, std::string_view b)
{
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](char x, char y) { return lower(x) == lower(y); });
}

// The file's lines; nothing when it cannot be read (missing included).
std::optional<ProfileText> load(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    const std::string text = content.str();

    ProfileText profile;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = std::min(text.find('\n', start), text.size());
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
            if (profile.lines.empty())
                profile.lineEnd = "\r\n";
        }
        profile.lines.push_back(std::move(line));
        start = end + 1;
    }
    return profile;
}

// The name of a section header line; nothing for any other line.
std::optional<std::string_view> headerName(std::string_view line)
{
    line = trim(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    line.remove_prefix(1);
    return trim(line.substr(0, line.find(']')));
}

// The key and value of an entry line; nothing for blank and comment lines.
std::optional<Entry> entryOf(std::string_view line)
{
    line = trim(line);
    if (line.empty() || line.front() == ';')
        return std::nullopt;
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return Entry{line, {}};
    return Entry{trim(line.substr(0, equals)), trim(line.substr(equals + 1))};
}

std::optional<SectionRange> findSection(const ProfileText& profile, std::string_view section)
{
    const auto& lines = profile.lines;
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto name = headerName(lines[i]);
        if (!name || !sameName(*name, section))
            continue;
        size_t end = i + 1;
        while (end < lines.size() && !headerName(lines[end]))
            ++end;
        return SectionRange{i + 1, end};
    }
    return std::nullopt;
}

std::optional<size_t> findEntry(const ProfileText& profile, SectionRange range, std::string_view key)
{
    for (size_t i = range.begin; i < range.end; ++i) {
        const auto entry = entryOf(profile.lines[i]);
        if (entry && sameName(entry->key, key))
            return i;
    }
    return std::nullopt;
}

// The trimmed value of an entry; nothing when file, section or key is missing.
std::optional<std::string> findValue(const std::filesystem::path& file, std::string_view section,
                                     std::string_view key)
{
    const auto profile = load(file);
    const auto range = profile ? findSection(*profile, section) : std::nullopt;
    const auto line = range ? findEntry(*profile, *range, key) : std::nullopt;
    if (!line)
        return std::nullopt;
    return std::string(entryOf(profile->lines[*line])->value);
}

std::string_view withoutQuotes(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

bool fail(int error)
{
    setLastPlatformError(error);
    return false;
}

std::string joined(const ProfileText& profile)
{
    std::string text;
    for (const std::string& line : profile.lines)
        text += line + profile.lineEnd;
    return text;
}

}  // namespace

std::string readProfileString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                              std::string_view defaultValue, size_t bufferSize)
{
    const auto value = findValue(file, section, key);
    const std::string_view fallback = defaultValue.substr(0, defaultValue.find_last_not_of(kBlanks) + 1);
    const std::string_view result = value ? withoutQuotes(*value) : fallback;
    if (bufferSize == 0)
        return {};
    return std::string(result.substr(0, bufferSize - 1));
}

int32_t readProfileInt(const std::filesystem::path& file, std::string_view section, std::string_view key,
                       int32_t defaultValue)
{
    const auto value = findValue(file, section, key);
    if (!value || value->empty())
        return defaultValue;
    std::string_view text = *value;
    const bool negative = text.front() == '-';
    if (negative || text.front() == '+')
        text.remove_prefix(1);
    uint32_t base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    uint32_t number = 0;   // unsigned, so that overflow wraps instead of being undefined
    for (const char c : text) {
        const uint32_t digit = c >= '0' && c <= '9' ? uint32_t(c - '0')
                               : base == 16 && c >= 'a' && c <= 'f' ? uint32_t(c - 'a' + 10)
                               : base == 16 && c >= 'A' && c <= 'F' ? uint32_t(c - 'A' + 10)
                                                                    : base;
        if (digit >= base)
            break;
        number = number * base + digit;
    }
    return static_cast<int32_t>(negative ? 0u - number : number);
}

bool writeProfileString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                        std::string_view value)
{
    std::error_code error;
    const bool exists = std::filesystem::exists(file, error);
    if (error)
        return fail(error.value());
    std::optional<ProfileText> loaded = exists ? load(file) : ProfileText{};
    if (!loaded)
        return fail(errno ? errno : EIO);
    ProfileText& profile = *loaded;

    const std::string line = std::string(key) + "=" + std::string(value);
    const auto range = findSection(profile, section);
    if (!range) {
        profile.lines.push_back("[" + std::string(section) + "]");
        profile.lines.push_back(line);
    } else if (const auto at = findEntry(profile, *range, key)) {
        std::string& old = profile.lines[*at];
        old = std::string(entryOf(old)->key) + "=" + std::string(value);
    } else {
        size_t after = range->end;
        while (after > range->begin && trim(profile.lines[after - 1]).empty())
            --after;
        profile.lines.insert(profile.lines.begin() + std::ptrdiff_t(after), line);
    }
    try {
        replaceFile(file, joined(profile));
    } catch (const Failure& failure) {
        return fail(failure.lastDllError());
    }
    return true;
}

size_t readProfileSection(const std::filesystem::path& file, std::string_view section, std::span<char> buffer)
{
    std::string list;
    const auto profile = load(file);
    if (const auto range = profile ? findSection(*profile, section) : std::nullopt) {
        for (size_t i = range->begin; i < range->end; ++i) {
            const auto entry = entryOf(profile->lines[i]);
            if (!entry)
                continue;
            const size_t equals = trim(profile->lines[i]).find('=');
            list += std::string(entry->key);
            if (equals != std::string_view::npos)
                list += "=" + std::string(entry->value);
            list += '\0';
        }
    }
    if (list.empty())
        list += '\0';   // an empty list is two NULs, as an empty key list is
    list += '\0';

    if (buffer.size() < 2) {
        std::fill(buffer.begin(), buffer.end(), '\0');
        return 0;
    }
    if (list.size() > buffer.size()) {
        std::copy_n(list.begin(), buffer.size() - 2, buffer.begin());
        buffer[buffer.size() - 2] = buffer[buffer.size() - 1] = '\0';
        return buffer.size() - 2;
    }
    std::copy(list.begin(), list.end(), buffer.begin());
    return list.size() == 2 && list[0] == '\0' ? 0 : list.size() - 1;
}

}  // namespace platform
