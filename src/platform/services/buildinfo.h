// The program's version information: what the error log writes as the build
// and the date it was compiled. Both are fixed when the build is configured.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The program's version as major "." minor "." revision, each a plain decimal
// number (the project version 2.00.0054 reads 2.0.54).
std::string buildVersion();

// When this build was configured, as day/month/year hours:minutes:seconds in
// local time, for example "05/03/2024 14:07:09".
std::string buildStamp();

// `dotted` (up to three numbers separated by dots) written as three plain
// decimal numbers: leading zeros dropped, missing or unreadable parts 0.
std::string plainVersion(std::string_view dotted);

}  // namespace platform
