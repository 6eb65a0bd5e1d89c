// Where a server is: the data source forms users type ("host", "host:port",
// "http://host:port", "https://host:port") taken apart, checked, and put
// back together for requests and messages.
#pragma once

#include <cstdint>
#include <string>

namespace olap::server {

inline constexpr uint16_t kDefaultHttpPort = 8123;
inline constexpr uint16_t kDefaultHttpsPort = 8443;

struct ServerAddress {
    bool https = false;
    std::string host;  // a name, an IPv4 address, or an IPv6 address without brackets
    uint16_t port = kDefaultHttpPort;

    // "host:port" ("[::1]:8123" for IPv6): how messages and settings keys name the server.
    std::string display() const;
    // "http://host:port/" (or https): where requests go. Never holds credentials.
    std::string url() const;
};

// Takes `dataSource` apart. Surrounding blanks are ignored; a trailing "/" is
// allowed. Throws Failure 5 naming the text for anything else: an empty
// text, another scheme, a path or query, a port that is not 1..65535, and
// user or password text ("user:password@host"), which never belongs in a
// data source (the message then does not repeat the text).
ServerAddress parseDataSource(const std::string& dataSource);

}  // namespace olap::server
