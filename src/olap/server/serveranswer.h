// Reading what a server answers. Answers are requested in TabSeparated
// format; this checks their shape and undoes its escaping. An answer is
// hostile until checked: a wrong column count, a broken escape, a number
// that is not one, or more rows or bytes than the caller allows are a
// malformed answer, never a crash or an oversized allocation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace olap::server {

// Why an answer was refused; the session turns it into a failure that names
// the server.
struct MalformedAnswer {
    std::string what;
};

// The rows of a TabSeparated answer, each with exactly `columns` fields,
// unescaped. Throws MalformedAnswer for a row with another field count, a
// bad escape, a last line without its newline, or more than `maxRows` rows.
std::vector<std::vector<std::string>> parseRows(std::string_view answer, size_t columns, size_t maxRows);

// Field readers; each throws MalformedAnswer naming `what` for text that is
// not a number of that kind (or is out of its range).
int64_t readInteger(std::string_view field, std::string_view what);
uint64_t readUnsigned(std::string_view field, std::string_view what);
// Accepts the server's spellings of special values: "nan", "inf", "-inf".
double readDouble(std::string_view field, std::string_view what);

}  // namespace olap::server
