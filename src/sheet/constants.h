// The numbers that cross the host interface. Callers pass these values, the
// host reports them back; the names say what each number means.
#pragma once

#include <cstdint>

namespace sheet {

// Application::Version() text. It holds no "9", so callers that test the text
// for "9" treat this host as the later generation that takes hidden-item
// lists (PivotField::HiddenItemsList) rather than tree-view hidden states.
inline constexpr const char* kHostVersion = "10.0";

// Locale identifier passed where a member takes one (English, United States).
inline constexpr int32_t kLocaleEnglishUS = 1033;

// Worksheet::Visible values.
inline constexpr int32_t kSheetVisible = -1;
inline constexpr int32_t kSheetHidden = 0;
inline constexpr int32_t kSheetVeryHidden = 2;

// CubeField::Orientation and PivotField::Orientation values.
inline constexpr int32_t kHidden = 0;
inline constexpr int32_t kRowField = 1;
inline constexpr int32_t kColumnField = 2;
inline constexpr int32_t kPageField = 3;
inline constexpr int32_t kDataField = 4;

// PivotCaches::Add source type: an external source (a cube).
inline constexpr int32_t kExternalSource = 2;

// PivotCache::CommandType: the command text names a cube.
inline constexpr int32_t kCommandCube = 1;

// PivotTable::Format values: the host's table autoformat number 13, which
// the wizard applies to every report (bold headings and totals, thin
// borders), and number 14, the shaded table the wizard adds when the user
// asks to alter the report's format (headings on a dark band, totals shaded).
inline constexpr int32_t kTableFormat13 = 13;
inline constexpr int32_t kTableFormatShaded = 14;

// Chart::Location `where` values.
inline constexpr int32_t kLocationAsNewSheet = 1;
inline constexpr int32_t kLocationAsObject = 2;

// Number of entries in PivotField::Subtotals.
inline constexpr int kSubtotalCount = 12;

}  // namespace sheet
