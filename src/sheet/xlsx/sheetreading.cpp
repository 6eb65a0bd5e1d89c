// What the host reads of a sheet only when asked: its protection and the
// pivot tables the file holds on it.
#include "sheet/xlsx/workbookdocument.h"

#include "sheet/failures.h"
#include "sheet/xlsx/starttagscan.h"
#include "sheet/xlsx/xmlpart.h"

namespace sheet {

namespace {

bool truthy(const std::map<std::string, std::string>& attributes, const std::string& name)
{
    const auto it = attributes.find(name);
    return it != attributes.end() && (it->second == "1" || it->second == "true");
}

}  // namespace

bool WorkbookDocument::protectContents(SheetModel& sheet)
{
    if (sheet.protectContents)
        return *sheet.protectContents;
    if (sheet.created || !mPackage->has(sheet.part)) {
        if (!sheet.created)
            failApplication("'" + displayName() + "' is damaged: the part " + sheet.part + " of sheet '" + name(sheet)
                            + "' is missing");
        return *(sheet.protectContents = false);
    }
    // The protection element follows the cell data, so the whole part is
    // scanned, but as a stream: no document is built for a sheet of any size.
    const auto tag = findStartTag(
        [&](const std::function<bool(std::string_view)>& sink) { mPackage->stream(sheet.part, sink); },
        "sheetProtection");
    // A worksheet protects its cells with "sheet"; a chart sheet its chart with "content".
    const std::string attribute = sheet.kind == SheetKind::Chartsheet ? "content" : "sheet";
    sheet.protectContents = tag && truthy(tagAttributes(*tag), attribute);
    return *sheet.protectContents;
}

void WorkbookDocument::markPivotReport(const SheetModel& sheet, std::string_view table, const Area& area)
{
    std::string quoted = "'";
    for (char c : name(sheet))
        quoted.append(c == '\'' ? 2 : 1, c);
    mWorkbook->setReportMark(indexOf(sheet), table, quoted + "'!" + absoluteAddress(area));
}

const std::vector<StoredPivotTableInfo>& WorkbookDocument::storedPivotTables(SheetModel& sheet)
{
    if (sheet.storedPivotTables)
        return *sheet.storedPivotTables;
    std::vector<StoredPivotTableInfo> tables;
    for (const auto& part : sheet.pivotTableParts) {
        if (!mPackage->has(part))
            failApplication("'" + displayName() + "' is damaged: the pivot table part " + part + " is missing");
        const auto document = xml::parse(mPackage->read(part), displayName(), part);
        const auto root = xml::root(*document);
        StoredPivotTableInfo info;
        info.name = root.attribute("name").value();
        info.rowGrand = xml::booleanValue(root.attribute("rowGrandTotals"), true);
        info.columnGrand = xml::booleanValue(root.attribute("colGrandTotals"), true);
        const auto area = parseAddress(xml::child(root, "location").attribute("ref").value());
        info.area = area ? *area : Area{};
        tables.push_back(std::move(info));
    }
    tables.insert(tables.end(), sheet.drawnReports.begin(), sheet.drawnReports.end());
    sheet.storedPivotTables = std::move(tables);
    return *sheet.storedPivotTables;
}

}  // namespace sheet
