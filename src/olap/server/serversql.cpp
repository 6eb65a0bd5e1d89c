#include "olap/server/serversql.h"

namespace olap::server {

namespace {

// Escapes backslash, the quote character and every control character, so
// that the quoted text is one line of plain bytes whatever it holds.
std::string quoted(std::string_view text, char quote)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() + 2);
    out += quote;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        case '\r': out += "\\r"; break;
        case '\0': out += "\\0"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default:
            if (c == quote) {
                out += '\\';
                out += c;
            } else if (byte < 0x20 || byte == 0x7f) {
                out += "\\x";
                out += kHex[byte >> 4];
                out += kHex[byte & 15];
            } else {
                out += c;
            }
        }
    }
    out += quote;
    return out;
}

}  // namespace

std::string quoteName(std::string_view name) { return quoted(name, '`'); }

std::string quoteText(std::string_view text) { return quoted(text, '\''); }

}  // namespace olap::server
