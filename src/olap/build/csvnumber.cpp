#include "olap/build/csvnumber.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace olap {

bool parseCsvNumber(std::string_view text, double& value)
{
    if (text.empty()) {
        value = std::numeric_limits<double>::quiet_NaN();
        return true;
    }
    const char* first = text.data();
    const char* const last = first + text.size();
    // from_chars takes '-' but not '+'; a sign after '+' would be a second sign.
    if (*first == '+' && text.size() > 1 && first[1] != '-')
        ++first;
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    return error == std::errc() && end == last && std::isfinite(value);
}

}  // namespace olap
