// Column widths that fit text, for AutoFit. Widths are in the unit sheet
// parts use: characters of the default font's widest digit (7 pixels at the
// default size), plus the 5 pixels of cell padding.
#pragma once

#include "sheet/xlsx/cellstore.h"

#include <cstdint>
#include <map>
#include <string>

namespace sheet {

// The text a cell shows for `value` under `numberFormat` ("" = General),
// close enough to measure: fixed decimals and thousands separators as the
// format asks, General numbers with up to 11 significant digits.
std::string displayText(const CellValue& value, const std::string& numberFormat);

// The width that fits `characters` characters, bold text a tenth wider.
double widthForCharacters(size_t characters, bool bold);

// For each column from `first` to `last` holding cells in `cells`, the width
// that fits the widest of them. Columns without cells are left out.
std::map<int32_t, double> fittedWidths(const CellStore& cells, int32_t first, int32_t last);

}  // namespace sheet
