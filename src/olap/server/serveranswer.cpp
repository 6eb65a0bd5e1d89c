#include "olap/server/serveranswer.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace olap::server {

namespace {

[[noreturn]] void malformed(std::string what) { throw MalformedAnswer{std::move(what)}; }

char unescaped(char c)
{
    switch (c) {
    case 't': return '\t';
    case 'n': return '\n';
    case 'r': return '\r';
    case 'b': return '\b';
    case 'f': return '\f';
    case '0': return '\0';
    case '\\': return '\\';
    case '\'': return '\'';
    case '"': return '"';
    case '`': return '`';
    case '/': return '/';
    default:
        malformed(std::string("a field holds the unknown escape \\") + c);
    }
}

}  // namespace

std::vector<std::vector<std::string>> parseRows(std::string_view answer, size_t columns, size_t maxRows)
{
    std::vector<std::vector<std::string>> rows;
    if (columns == 0)
        malformed("no columns were asked for");
    if (!answer.empty() && answer.back() != '\n')
        malformed("the last row is cut off");
    std::vector<std::string> row(1);
    for (size_t at = 0; at < answer.size(); ++at) {
        const char c = answer[at];
        if (c == '\\') {
            if (++at == answer.size())
                malformed("a field ends in a lone backslash");
            row.back() += unescaped(answer[at]);
        } else if (c == '\t') {
            if (row.size() == columns)
                malformed("a row has more than " + std::to_string(columns) + " fields");
            row.emplace_back();
        } else if (c == '\n') {
            if (row.size() != columns)
                malformed("a row has " + std::to_string(row.size()) + " fields instead of " + std::to_string(columns));
            if (rows.size() == maxRows)
                malformed("more than " + std::to_string(maxRows) + " rows");
            rows.push_back(std::move(row));
            row.assign(1, std::string());
        } else {
            row.back() += c;
        }
    }
    return rows;
}

int64_t readInteger(std::string_view field, std::string_view what)
{
    int64_t value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (field.empty() || error != std::errc() || end != field.data() + field.size())
        malformed(std::string(what) + " is not a whole number");
    return value;
}

uint64_t readUnsigned(std::string_view field, std::string_view what)
{
    uint64_t value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (field.empty() || error != std::errc() || end != field.data() + field.size())
        malformed(std::string(what) + " is not a whole number from 0");
    return value;
}

double readDouble(std::string_view field, std::string_view what)
{
    if (field == "nan" || field == "-nan")
        return std::numeric_limits<double>::quiet_NaN();
    if (field == "inf" || field == "+inf")
        return std::numeric_limits<double>::infinity();
    if (field == "-inf")
        return -std::numeric_limits<double>::infinity();
    double value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (field.empty() || error != std::errc() || end != field.data() + field.size() || std::isnan(value))
        malformed(std::string(what) + " is not a number");
    return value;
}

}  // namespace olap::server
