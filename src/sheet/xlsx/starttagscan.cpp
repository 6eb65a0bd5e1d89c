#include "sheet/xlsx/starttagscan.h"

#include <cctype>
#include <cstring>

namespace sheet {

namespace {

// Longest prefix plus name kept between chunks; far beyond any real prefix.
constexpr size_t kCarry = 256;

bool isNameChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.'
           || (static_cast<unsigned char>(c) & 0x80);
}

// The position of the "<" that opens the tag whose local name starts at
// `at`, or npos when the name there is not an element name.
size_t tagOpen(std::string_view window, size_t at)
{
    if (at == 0)
        return std::string_view::npos;
    if (window[at - 1] == '<')
        return at - 1;
    if (window[at - 1] != ':')
        return std::string_view::npos;
    size_t i = at - 1;
    while (i > 0 && isNameChar(window[i - 1]))
        --i;
    return i > 0 && i < at - 1 && window[i - 1] == '<' ? i - 1 : std::string_view::npos;
}

std::string decoded(std::string_view value)
{
    static const std::pair<std::string_view, char> kEntities[] = {
        {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        bool replaced = false;
        for (const auto& [entity, c] : kEntities) {
            if (value.substr(i).starts_with(entity)) {
                out += c;
                i += entity.size() - 1;
                replaced = true;
                break;
            }
        }
        if (!replaced)
            out += value[i];
    }
    return out;
}

}  // namespace

StartTagScanner::StartTagScanner(std::string name) : mName(std::move(name)) {}

bool StartTagScanner::feed(std::string_view chunk)
{
    if (mTag)
        return false;
    mWindow.append(chunk);
    return !scanWindow();
}

// Looks for the tag in the window; keeps what a later chunk may complete.
bool StartTagScanner::scanWindow()
{
    const std::string_view window = mWindow;
    size_t from = 0;
    while (const void* hit = memmem(window.data() + from, window.size() - from, mName.data(), mName.size())) {
        const size_t at = static_cast<size_t>(static_cast<const char*>(hit) - window.data());
        const size_t after = at + mName.size();
        const size_t open = tagOpen(window, at);
        if (open != std::string_view::npos) {
            if (after >= window.size()) {
                mWindow.erase(0, open);  // the next chunk decides
                return false;
            }
            const char next = window[after];
            if (next == '>' || next == '/' || std::isspace(static_cast<unsigned char>(next))) {
                const size_t close = window.find('>', after);
                if (close == std::string_view::npos) {
                    mWindow.erase(0, open);
                    return false;
                }
                mTag = std::string(window.substr(open, close - open + 1));
                return true;
            }
        }
        from = at + 1;
    }
    if (mWindow.size() > kCarry)
        mWindow.erase(0, mWindow.size() - kCarry);
    return false;
}

std::map<std::string, std::string> tagAttributes(std::string_view tag)
{
    std::map<std::string, std::string> attributes;
    size_t i = tag.find_first_of(" \t\r\n");
    while (i != std::string_view::npos && i < tag.size()) {
        while (i < tag.size() && std::isspace(static_cast<unsigned char>(tag[i])))
            ++i;
        const size_t equals = tag.find('=', i);
        if (equals == std::string_view::npos)
            break;
        std::string_view name = tag.substr(i, equals - i);
        while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back())))
            name.remove_suffix(1);
        const size_t quote = tag.find_first_of("\"'", equals);
        if (quote == std::string_view::npos)
            break;
        const size_t end = tag.find(tag[quote], quote + 1);
        if (end == std::string_view::npos)
            break;
        attributes[std::string(name)] = decoded(tag.substr(quote + 1, end - quote - 1));
        i = end + 1;
    }
    return attributes;
}

std::optional<std::string> findStartTag(
    const std::function<void(const std::function<bool(std::string_view)>&)>& stream, std::string name)
{
    StartTagScanner scanner(std::move(name));
    stream([&](std::string_view chunk) { return scanner.feed(chunk); });
    return scanner.tag();
}

}  // namespace sheet
