// The one way every name and value goes into SQL sent to a server. Nothing
// else in the code puts user-supplied text (cube, dimension, level, member
// or database names, captions, values) into SQL.
#pragma once

#include <string>
#include <string_view>

namespace olap::server {

// `name` as a quoted identifier: in backquotes, with backslash, backquote and
// control characters escaped; any byte sequence round-trips (UTF-8 is kept
// as it is).
std::string quoteName(std::string_view name);

// `text` as a string literal: in single quotes, with backslash, quote and
// control characters escaped. Any byte sequence round-trips.
std::string quoteText(std::string_view text);

}  // namespace olap::server
