// The workbook part (xl/workbook.xml): the list of sheets with their names,
// states and relationship ids, the active tab, and the defined names whose
// sheet indices move when a sheet is inserted. Edits go to the parsed
// document, so everything else in the part survives a rewrite.
#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sheet {

enum class SheetState { Visible, Hidden, VeryHidden };

// Where a pivot report the host drew lies, kept in the workbook so that a
// later session knows the sheet holds a pivot table (the report itself is
// ordinary cells). Stored as a hidden defined name local to the sheet,
// "_PivotReport<n>", whose comment is the table's name and whose reference
// the cells the report covers.
struct ReportMark {
    size_t sheet = 0;       // tab position
    std::string table;      // "Table Sales"
    std::string reference;  // "'Report'!$C$5:$H$40"
};

class WorkbookPart {
public:
    // Parses `text`, the part `part` of `file`. Throws 1004 naming the file
    // when it is malformed, not a workbook, or has no sheet list.
    static WorkbookPart parse(std::string_view text, std::string_view file, std::string_view part);

    // The <sheet> elements in tab order. Valid as long as this object; a
    // sheet's element stays the same when others are inserted.
    const std::vector<pugi::xml_node>& sheets() const { return mSheets; }

    static std::string name(const pugi::xml_node& sheet);
    static std::string relationshipId(const pugi::xml_node& sheet);
    static SheetState state(const pugi::xml_node& sheet);

    void setName(pugi::xml_node sheet, std::string_view name);
    void setState(pugi::xml_node sheet, SheetState state);

    // Inserts a sheet entry at tab position `position` (0-based) with a fresh
    // sheet id, and shifts what refers to tab positions at or after it (the
    // active and first visible tab, sheet-local defined names). Returns it.
    pugi::xml_node insertSheet(size_t position, std::string_view name, std::string_view relationshipId);
    // Removes the sheet entry at tab position `position` (0-based) and moves
    // back what refers to later tabs; defined names local to the removed
    // sheet go with it. The active tab may then need choosing again.
    void removeSheet(size_t position);

    // The tab shown when the workbook opens (0-based).
    size_t activeTab() const;
    void setActiveTab(size_t position);

    // The report marks of the workbook, in document order.
    std::vector<ReportMark> reportMarks() const;
    // Adds the mark of table `table` on the sheet at tab position `sheet`, or
    // updates its reference.
    void setReportMark(size_t sheet, std::string_view table, std::string_view reference);

    bool changed() const { return mChanged; }
    void markSaved() { mChanged = false; }
    std::string serialize() const;

private:
    void shiftTabReferences(size_t position);
    void unshiftTabReferences(size_t position);

    std::unique_ptr<pugi::xml_document> mDocument;
    pugi::xml_node mSheetList;
    std::vector<pugi::xml_node> mSheets;
    bool mChanged = false;
};

}  // namespace sheet
