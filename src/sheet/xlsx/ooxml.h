// Names the workbook package format fixes: namespaces, relationship types,
// content types and well-known part names. Relationship types are matched by
// their last path segment (relationshipIs), so packages written with either
// the transitional or the strict namespaces are understood alike.
#pragma once

#include <string_view>

namespace sheet::ooxml {

inline constexpr std::string_view kContentTypesPart = "[Content_Types].xml";
inline constexpr std::string_view kPackageRelsPart = "_rels/.rels";

inline constexpr const char* kMainNamespace = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
inline constexpr const char* kRelNamespace =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline constexpr const char* kPackageRelNamespace = "http://schemas.openxmlformats.org/package/2006/relationships";
inline constexpr const char* kContentTypesNamespace = "http://schemas.openxmlformats.org/package/2006/content-types";

// Relationship types written by the host (transitional spelling).
inline constexpr const char* kRelOfficeDocument =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";
inline constexpr const char* kRelWorksheet = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet";
inline constexpr const char* kRelStyles = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";

// Last segments of relationship types the host reads.
inline constexpr std::string_view kOfficeDocument = "officeDocument";
inline constexpr std::string_view kWorksheet = "worksheet";
inline constexpr std::string_view kChartsheet = "chartsheet";
inline constexpr std::string_view kDialogsheet = "dialogsheet";
inline constexpr std::string_view kMacrosheet = "xlMacrosheet";
inline constexpr std::string_view kPivotTable = "pivotTable";
inline constexpr std::string_view kStyles = "styles";
inline constexpr std::string_view kCalcChain = "calcChain";

inline constexpr const char* kContentTypeRelationships = "application/vnd.openxmlformats-package.relationships+xml";
inline constexpr const char* kContentTypeXml = "application/xml";
inline constexpr const char* kContentTypeWorkbook =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml";
inline constexpr const char* kContentTypeWorksheet =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";
inline constexpr const char* kContentTypeStyles =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml";

// Whether relationship type `type` ends in the segment `segment`.
inline bool relationshipIs(std::string_view type, std::string_view segment)
{
    return type.size() > segment.size() && type.ends_with(segment)
           && type[type.size() - segment.size() - 1] == '/';
}

}  // namespace sheet::ooxml
