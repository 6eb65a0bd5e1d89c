// Part names inside a package and the targets of relationships between them.
// Part names are kept as the zip stores them: no leading slash
// ("xl/worksheets/sheet1.xml"); content types write them with one.
#pragma once

#include <string>
#include <string_view>

namespace sheet {

// The part that relationship target `target` of part `source` names: a target
// starting with "/" is taken from the package root, any other relative to the
// source's folder; "." and ".." segments are resolved and %XX escapes
// decoded. `source` is empty for the package's own relationships.
std::string resolveTarget(std::string_view source, std::string_view target);

// The relationships part of `part`: "xl/workbook.xml" ->
// "xl/_rels/workbook.xml.rels"; "" (the package) -> "_rels/.rels".
std::string relationshipsPartOf(std::string_view part);

// The relative target that leads from part `source` to part `target`
// ("xl/workbook.xml", "xl/worksheets/sheet2.xml" -> "worksheets/sheet2.xml").
std::string relativeTarget(std::string_view source, std::string_view target);

// The folder of `part` with its trailing slash ("xl/" for "xl/workbook.xml");
// empty for a part at the root.
std::string folderOf(std::string_view part);

}  // namespace sheet
