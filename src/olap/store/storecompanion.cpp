// The companion file N.bwf, a small text file:
//
//     bwf 1
//     # what the store adds to the cube file
//     measuresSpecial = true
//     measureListDimension = Measure List
//
// The first line is "bwf " and the format version. Every other line is
// empty, a comment starting with "#", or "key = value" (blanks around the key
// and the value are dropped). Keys are case-sensitive, each at most once;
// a missing key keeps its default (false, empty). A key this version does not
// know makes the file damaged: new keys come with a new version number, which
// older programs refuse as "newer". Line ends LF or CRLF; text UTF-8.
#include "olap/store/storecompanion.h"

#include "platform/core/failure.h"
#include "olap/store/storefiles.h"

#include <optional>
#include <set>
#include <vector>

namespace olap {

namespace {

constexpr int kCompanionVersion = 1;
constexpr uint64_t kMaxCompanionBytes = 64 * 1024;
constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kMeasuresSpecialKey = "measuresSpecial";
constexpr std::string_view kMeasureListKey = "measureListDimension";

std::string_view trim(std::string_view text)
{
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

[[noreturn]] void damaged(const std::filesystem::path& file, const std::string& what)
{
    storeFailure(platform::err::kPathFileAccess, file, "the store companion file is damaged (" + what + ")");
}

// The version on the first line; nothing when the line is not a companion's.
std::optional<int> versionOf(std::string_view firstLine)
{
    if (!firstLine.starts_with("bwf "))
        return std::nullopt;
    const std::string_view digits = firstLine.substr(4);
    if (digits.empty() || digits.size() > 6 || digits.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    return std::stoi(std::string(digits));
}

void checkVersion(const std::filesystem::path& file, const std::vector<std::string_view>& lines)
{
    const std::optional<int> version = lines.empty() ? std::nullopt : versionOf(lines[0]);
    if (!version || *version == 0)
        storeFailure(platform::err::kBadFileName, file, "is not a store companion file");
    if (*version > kCompanionVersion) {
        storeFailure(platform::err::kBadFileName, file,
                     "the store companion file was written by a newer version (format " + std::to_string(*version)
                         + "; this program reads up to " + std::to_string(kCompanionVersion) + ")");
    }
}

bool booleanValue(const std::filesystem::path& file, std::string_view key, std::string_view value)
{
    if (value == "true")
        return true;
    if (value == "false")
        return false;
    damaged(file, std::string(key) + " must be true or false");
}

void apply(const std::filesystem::path& file, std::string_view key, std::string_view value, StoreCompanion& companion)
{
    if (key == kMeasuresSpecialKey)
        companion.measuresSpecial = booleanValue(file, key, value);
    else if (key == kMeasureListKey)
        companion.measureListDimension = std::string(value);
    else
        damaged(file, "unknown entry \"" + std::string(key) + "\"");
}

// The rule both ends keep: special measures are listed through a named dimension.
std::string problemOf(const StoreCompanion& companion)
{
    if (companion.measuresSpecial && companion.measureListDimension.empty())
        return "the measures are special but no measure-list dimension is named";
    if (companion.measureListDimension != trim(companion.measureListDimension)
        || companion.measureListDimension.find_first_of("\r\n") != std::string::npos)
        return "the measure-list dimension name starts or ends with a blank or holds a line break";
    return {};
}

}  // namespace

void writeStoreCompanion(const std::filesystem::path& file, const StoreCompanion& companion)
{
    if (const std::string problem = problemOf(companion); !problem.empty())
        storeFailure(platform::err::kInvalidCall, file, "cannot write the store companion file: " + problem);
    std::string text = "bwf " + std::to_string(kCompanionVersion) + "\n";
    text += "# What the application store adds to the cube file of the same name.\n";
    text += std::string(kMeasuresSpecialKey) + " = " + (companion.measuresSpecial ? "true" : "false") + "\n";
    if (!companion.measureListDimension.empty())
        text += std::string(kMeasureListKey) + " = " + companion.measureListDimension + "\n";
    writeFileAtomically(file, text);
}

StoreCompanion readStoreCompanion(const std::filesystem::path& file)
{
    const std::string text = readWholeFile(file, kMaxCompanionBytes);
    const std::vector<std::string_view> lines = splitLines(text);
    checkVersion(file, lines);
    StoreCompanion companion;
    std::set<std::string_view> seen;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = trim(lines[i]);
        if (line.empty() || line.front() == '#')
            continue;
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            damaged(file, "line " + std::to_string(i + 1) + " is not \"key = value\"");
        const std::string_view key = trim(line.substr(0, equals));
        if (!seen.insert(key).second)
            damaged(file, "\"" + std::string(key) + "\" is given twice");
        apply(file, key, trim(line.substr(equals + 1)), companion);
    }
    if (const std::string problem = problemOf(companion); !problem.empty())
        damaged(file, problem);
    return companion;
}

}  // namespace olap
