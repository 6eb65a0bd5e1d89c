// Column widths in a worksheet's <cols> list. A <col> element covers a span
// of columns; giving one column of a span its own width splits the span so
// that its other columns keep theirs.
#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <map>

namespace sheet {

// Sets the width of each column in `widths` (column -> width in characters)
// in the worksheet whose root is `worksheet`, marking it as set by hand so
// readers do not recompute it.
void writeColumnWidths(pugi::xml_node worksheet, const std::map<int32_t, double>& widths);

}  // namespace sheet
