// Number format codes as the host changes and shows them, and the value a
// cell holds for a computed number.
//
// A format code has up to four sections separated by ';' (positive,
// negative, zero, text). Inside a section, text in double quotes, a character
// after a backslash and anything in square brackets ([Red], [$€-407]) are
// literal; '0', '#' and '?' are digit placeholders, ',' between them groups
// thousands and '.' starts the decimals.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sheet {

// The number of decimals of a bare decimal-places code: "0" gives 0, "0.0"
// gives 1, "0.00" gives 2, and so on; nullopt for any other code.
std::optional<int> bareDecimalPlaces(std::string_view code);

// `code` with `places` decimals (0 .. 30) in every section that shows a
// number, everything else kept: "#,##0" with 2 gives "#,##0.00",
// "$#,##0.00_);($#,##0.00)" with 0 gives "$#,##0_);($#,##0)", "0%" with 1
// gives "0.0%". Sections without digit placeholders (text, a dash for zero)
// and date or time sections are left as they are. An empty or "General"
// code has nothing to keep and gives the bare code ("0.00").
std::string withDecimalPlaces(std::string_view code, int places);

// `value` rounded to the 15 significant digits spreadsheet programs show, so
// that a sum carrying the noise of binary fractions (14239.479999999996) is
// stored as the number its decimal digits say (14239.48). Infinities and NaN
// come back unchanged.
double shownValue(double value);

}  // namespace sheet
