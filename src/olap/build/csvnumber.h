// Numbers in CSV cells, as measure columns hold them: '.' is the decimal
// separator whatever the locale, an exponent is allowed ("1.5e3"), a leading
// '+' or '-' too; no thousands separators, no spaces, no "inf" or "nan".
#pragma once

#include <string_view>

namespace olap {

// Reads `text` as a number into `value`. An empty cell is no value: `value`
// becomes NaN (the builder's kEmpty). Returns false when `text` is not a
// finite number; `value` is then unspecified.
bool parseCsvNumber(std::string_view text, double& value);

}  // namespace olap
