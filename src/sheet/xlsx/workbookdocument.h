// The workbook behind a Workbook object: its package, the parts the host
// reads and edits (content types, workbook part and its relationships,
// styles), and its sheets. The interface objects delegate here; so does code
// that renders into sheets (cells, styles) or adds parts (drawings, charts).
//
// Opening reads [Content_Types].xml, _rels/.rels, the workbook part and its
// relationships, and each worksheet's relationships (for pivot tables).
// Nothing else is read until it is asked for: a sheet's protection, the
// pivot tables' names, the styles.
//
// Saving writes the parts whose models changed and the sheets the host
// touched, and copies every other part unchanged (Package::save).
#pragma once

#include "sheet/xlsx/package.h"
#include "sheet/xlsx/sheetmodel.h"
#include "sheet/xlsx/workbookpart.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sheet {

class ContentTypes;
class StyleSheet;

class WorkbookDocument {
public:
    // Opens the workbook file `file`. Throws 1004 naming the file and the
    // problem when it cannot be opened or is not a workbook (Package::open),
    // or when the parts opening reads are missing or malformed.
    static std::unique_ptr<WorkbookDocument> open(const std::filesystem::path& file);
    // A new workbook with one empty worksheet "Sheet1", not yet saved.
    static std::unique_ptr<WorkbookDocument> create();
    ~WorkbookDocument();

    // The file the workbook was opened from or last saved to; empty before
    // a new workbook's first save.
    const std::filesystem::path& file() const;
    std::string displayName() const;

    // Every sheet (worksheets, chart sheets, others) in tab order. The
    // pointers stay valid and keep their sheet while the document lives.
    const std::vector<std::shared_ptr<SheetModel>>& sheets() const { return mSheets; }
    // Tab position of `sheet`. Requires: `sheet` belongs to this document.
    size_t indexOf(const SheetModel& sheet) const;

    std::string name(const SheetModel& sheet) const;
    // Throws 1004 for an invalid name or one another sheet has.
    void rename(SheetModel& sheet, std::string_view name);
    SheetState state(const SheetModel& sheet) const;
    // Throws 1004 when it would hide the last visible sheet. Hiding the active
    // sheet makes the next visible sheet active.
    void setState(SheetModel& sheet, SheetState state);

    // The name the next new worksheet gets ("Sheet<n>").
    std::string nextWorksheetName() const;
    // Adds an empty worksheet at tab position `position`, named `name`.
    // Throws 1004 for an invalid or taken name.
    std::shared_ptr<SheetModel> addWorksheet(size_t position, std::string_view name);

    // Adds a chart sheet at tab position `position`, named `name`. Its part is
    // written at the next save; what it shows is added through the sheet's
    // `edits` and relationships. Throws 1004 for an invalid or taken name.
    std::shared_ptr<SheetModel> addChartsheet(size_t position, std::string_view name);
    // Removes `sheet`: its tab, its relationship and content type, and at the
    // next save its part and the part's relationships. When it was the active
    // sheet, the nearest visible sheet becomes active. Throws 1004 when it is
    // the last visible sheet. Requires: `sheet` belongs to this document.
    void removeSheet(const SheetModel& sheet);

    // The tab shown when the workbook opens.
    size_t activeSheet() const;
    // Throws 1004 for a hidden sheet.
    void activate(const SheetModel& sheet);

    // Whether the worksheet's contents are protected, read from its
    // protection element the first time.
    bool protectContents(SheetModel& sheet);
    // The pivot tables the file holds on `sheet`, read the first time: those
    // of pivot table parts, and the reports the host drew in earlier sessions.
    const std::vector<StoredPivotTableInfo>& storedPivotTables(SheetModel& sheet);
    // Records in the workbook that `sheet` holds the report of pivot table
    // `table` covering `area` (see ReportMark).
    void markPivotReport(const SheetModel& sheet, std::string_view table, const Area& area);

    // The styles part, read on first use.
    StyleSheet& styles();

    // The workbook part's name and its relationships (to parts such as custom
    // XML); whatever is added to them is written at the next save.
    const std::string& workbookPartName() const { return mWorkbookPartName; }
    Relationships& workbookRelationships() { return *mWorkbookRels; }

    // `sheet`'s relationships, read from the file on first use. Whatever is
    // added to them is written at the next save.
    Relationships& relationships(SheetModel& sheet);
    // Adds a relationship from `sheet`'s part to the part `target` and
    // returns its id; the sheet's relationships part is rewritten on save.
    std::string addRelationship(SheetModel& sheet, std::string_view type, std::string_view target);
    // Adds (or replaces) part `part` of content type `contentType`; its bytes
    // are made by `produce` while the next save writes the package. An empty
    // `contentType` leaves the content types alone (a ".rels" part, whose
    // extension has a default).
    void putPart(std::string part, std::string contentType, std::function<std::string()> produce);
    // Leaves `part` out of the next save, with its content type override and
    // any put of it.
    void dropPart(const std::string& part);

    // Whether `part` is in the file or put for the next save.
    bool hasPart(std::string_view part) const;
    // The bytes of `part` as the file holds them. Throws 1004 when missing.
    std::string readPart(std::string_view part) const;
    // `stem` + n + `extension` with the first n from 1 that names no part
    // ("xl/charts/chart" + 3 + ".xml").
    std::string freePartName(std::string_view stem, std::string_view extension) const;

    // Whether anything was changed since opening or the last save.
    bool modified() const;

    // Writes the workbook to `target` (Package::save); from then on the
    // workbook is that file. Throws 1004 and changes nothing on failure.
    void save(const std::filesystem::path& target);

private:
    WorkbookDocument();
    void load();
    void loadSheet(pugi::xml_node entry);
    // A new sheet's part in the workbook's folder, with the first n free:
    // "worksheets/sheet" -> "xl/worksheets/sheet<n>.xml".
    std::string newSheetPartName(std::string_view stem) const;
    std::shared_ptr<SheetModel> insertSheet(size_t position, std::string_view name, SheetKind kind);
    void activateVisibleNear(size_t position);
    // Throws 1004 unless `name` may name a sheet and no sheet but `renamed` has it.
    void checkName(std::string_view name, const SheetModel* renamed) const;

    struct SaveBatch;
    void prepareSheets(SaveBatch& batch);
    void prepareSheet(SheetModel& sheet, SaveBatch& batch);
    void prepareSelection(SaveBatch& batch);
    void prepareParts(SaveBatch& batch);
    void dropCalculationChain(SaveBatch& batch);
    void markSaved();

    std::unique_ptr<Package> mPackage;
    std::unique_ptr<ContentTypes> mContentTypes;
    std::string mWorkbookPartName;
    std::unique_ptr<WorkbookPart> mWorkbook;
    std::unique_ptr<Relationships> mWorkbookRels;
    std::unique_ptr<StyleSheet> mStyles;
    std::vector<std::shared_ptr<SheetModel>> mSheets;
    std::vector<PartWrite> mExtraParts;
    std::string mStylesPart;
    std::vector<std::string> mDroppedParts;       // parts the next save leaves out
    const SheetModel* mSelectedSheet = nullptr;  // the sheet whose tab the file shows selected
};

}  // namespace sheet
