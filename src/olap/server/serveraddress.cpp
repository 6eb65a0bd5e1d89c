#include "olap/server/serveraddress.h"

#include "platform/core/failure.h"

#include <cctype>
#include <charconv>

namespace olap::server {

namespace {

[[noreturn]] void badSource(const std::string& why)
{
    throw platform::Failure(platform::err::kInvalidCall, "The server name " + why, "olap");
}

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

uint16_t portOf(std::string_view text, const std::string& source)
{
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value == 0 || value > 65535)
        badSource("\"" + source + "\" has a port that is not a number from 1 to 65535");
    return uint16_t(value);
}

bool hostCharacter(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_'
           || static_cast<unsigned char>(c) >= 0x80;
}

}  // namespace

std::string ServerAddress::display() const
{
    const bool ipv6 = host.find(':') != std::string::npos;
    return (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::string ServerAddress::url() const
{
    return std::string(https ? "https://" : "http://") + display() + "/";
}

ServerAddress parseDataSource(const std::string& dataSource)
{
    const std::string source = trimmed(dataSource);
    if (source.empty())
        badSource("is empty");
    ServerAddress address;
    std::string_view rest = source;
    if (const auto scheme = rest.find("://"); scheme != std::string_view::npos) {
        const std::string_view name = rest.substr(0, scheme);
        if (name == "https")
            address.https = true;
        else if (name != "http")
            badSource("\"" + source + "\" names a scheme other than http or https");
        rest.remove_prefix(scheme + 3);
    }
    // Checked before anything is repeated in a message: the text may hold a password.
    if (rest.find('@') != std::string_view::npos)
        badSource("holds a user name or password; give them in the settings or the environment instead");
    if (!rest.empty() && rest.back() == '/')
        rest.remove_suffix(1);
    if (rest.find_first_of("/?#") != std::string_view::npos)
        badSource("\"" + source + "\" has a path; give only host and port");
    std::string_view portText;
    if (!rest.empty() && rest.front() == '[') {
        const auto close = rest.find(']');
        if (close == std::string_view::npos)
            badSource("\"" + source + "\" has an unclosed \"[\"");
        address.host = std::string(rest.substr(1, close - 1));
        rest.remove_prefix(close + 1);
        if (!rest.empty() && rest.front() != ':')
            badSource("\"" + source + "\" has text after the address");
        if (!rest.empty())
            portText = rest.substr(1);
    } else {
        const auto colon = rest.find(':');
        address.host = std::string(rest.substr(0, colon));
        if (colon != std::string_view::npos)
            portText = rest.substr(colon + 1);
        for (char c : address.host) {
            if (!hostCharacter(c))
                badSource("\"" + source + "\" is not a host name or a host:port");
        }
    }
    if (address.host.empty())
        badSource("\"" + source + "\" names no host");
    const bool hasPort = !portText.empty() || (source.back() == ':' );
    address.port = hasPort ? portOf(portText, source) : (address.https ? kDefaultHttpsPort : kDefaultHttpPort);
    return address;
}

}  // namespace olap::server
