#include "sheet/xlsx/partnames.h"

#include <vector>

namespace sheet {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string percentDecoded(std::string_view text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<std::string> segments(std::string_view path)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t slash = path.find('/', start);
        const std::string_view segment = path.substr(start, slash == std::string_view::npos ? slash : slash - start);
        if (segment == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!segment.empty() && segment != ".") {
            parts.emplace_back(segment);
        }
        if (slash == std::string_view::npos)
            break;
        start = slash + 1;
    }
    return parts;
}

std::string joined(const std::vector<std::string>& parts, size_t from = 0)
{
    std::string text;
    for (size_t i = from; i < parts.size(); ++i) {
        if (!text.empty())
            text += '/';
        text += parts[i];
    }
    return text;
}

}  // namespace

std::string folderOf(std::string_view part)
{
    const size_t slash = part.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(part.substr(0, slash + 1));
}

std::string resolveTarget(std::string_view source, std::string_view target)
{
    const std::string decoded = percentDecoded(target);
    if (!decoded.empty() && decoded.front() == '/')
        return joined(segments(decoded));
    return joined(segments(folderOf(source) + decoded));
}

std::string relationshipsPartOf(std::string_view part)
{
    const size_t slash = part.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? part : part.substr(slash + 1);
    return folderOf(part) + "_rels/" + std::string(name) + ".rels";
}

std::string relativeTarget(std::string_view source, std::string_view target)
{
    const auto from = segments(folderOf(source));
    const auto to = segments(target);
    size_t common = 0;
    while (common < from.size() && common + 1 < to.size() && from[common] == to[common])
        ++common;
    std::string text;
    for (size_t i = common; i < from.size(); ++i)
        text += "../";
    return text + joined(to, common);
}

}  // namespace sheet
