#include "sheet/xlsx/tagedit.h"

#include "sheet/xlsx/starttagscan.h"

#include <cctype>

namespace sheet {

namespace {

bool isSpace(char c)
{
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// The span [start, end) of ` attribute="value"` in `tag`, leading blanks
// included; nullopt when the tag has no such attribute.
std::optional<std::pair<size_t, size_t>> attributeSpan(std::string_view tag, std::string_view attribute)
{
    for (size_t at = tag.find(attribute); at != std::string_view::npos; at = tag.find(attribute, at + 1)) {
        if (at == 0 || !isSpace(tag[at - 1]))
            continue;
        size_t i = at + attribute.size();
        while (i < tag.size() && isSpace(tag[i]))
            ++i;
        if (i >= tag.size() || tag[i] != '=')
            continue;
        const size_t quote = tag.find_first_of("\"'", i);
        const size_t close = quote == std::string_view::npos ? quote : tag.find(tag[quote], quote + 1);
        if (close == std::string_view::npos)
            return std::nullopt;
        size_t start = at;
        while (start > 0 && isSpace(tag[start - 1]))
            --start;
        return std::make_pair(start, close + 1);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::pair<size_t, size_t>> locateStartTag(std::string_view text, std::string_view name)
{
    StartTagScanner scanner{std::string(name)};
    // In pieces: the scanner keeps what it is given, and the tag is
    // usually near the start of a part that may run to many megabytes.
    constexpr size_t kPiece = 1 << 16;
    for (size_t at = 0; at < text.size() && scanner.feed(text.substr(at, kPiece)); at += kPiece) {
    }
    if (!scanner.tag())
        return std::nullopt;
    return std::make_pair(text.find(*scanner.tag()), scanner.tag()->size());
}

std::string withAttribute(std::string_view tag, std::string_view attribute, std::optional<std::string_view> value)
{
    std::string result(tag);
    if (const auto span = attributeSpan(tag, attribute))
        result.erase(span->first, span->second - span->first);
    if (!value)
        return result;
    const size_t end = result.size() >= 2 && result[result.size() - 2] == '/' ? result.size() - 2 : result.size() - 1;
    result.insert(end, " " + std::string(attribute) + "=\"" + std::string(*value) + "\"");
    return result;
}

}  // namespace sheet
