// WorkbookDocument::save: turns the host's changes into part writes. Sheets
// are rendered before the package is written, so a sheet the host cannot
// write (a malformed part, a cell inside an array formula) fails the save
// before any file is touched. Also the parts and relationships that engines
// (charts) add for the next save.
#include "sheet/xlsx/workbookdocument.h"

#include "sheet/xlsx/contenttypes.h"
#include "sheet/xlsx/ooxml.h"
#include "sheet/xlsx/partnames.h"
#include "sheet/xlsx/sheetwriter.h"
#include "sheet/xlsx/starttagscan.h"
#include "sheet/xlsx/stylesheet.h"
#include "sheet/xlsx/tagedit.h"
#include "sheet/xlsx/xmlpart.h"

#include <algorithm>

namespace sheet {

struct WorkbookDocument::SaveBatch {
    std::vector<PartWrite> writes;
    bool replacedFormula = false;

    void add(std::string part, std::string bytes)
    {
        auto shared = std::make_shared<const std::string>(std::move(bytes));
        writes.push_back({std::move(part), [shared] { return *shared; }});
    }
};

namespace {

bool isTabbed(const SheetModel& sheet)
{
    return sheet.kind == SheetKind::Worksheet || sheet.kind == SheetKind::Chartsheet;
}

// The part of a new chart sheet: one view; the chart engine adds the drawing
// that shows the chart.
std::string newChartsheetPart()
{
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<chartsheet xmlns=\"")
           + ooxml::kMainNamespace + "\" xmlns:r=\"" + ooxml::kRelNamespace
           + "\"><sheetViews><sheetView workbookViewId=\"0\"/></sheetViews></chartsheet>";
}

std::string newPartOf(const SheetModel& sheet)
{
    return sheet.kind == SheetKind::Chartsheet ? newChartsheetPart() : newSheetPart();
}

bool samePath(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::error_code error;
    return !a.empty() && std::filesystem::equivalent(a, b, error);
}

}  // namespace

Relationships& WorkbookDocument::relationships(SheetModel& sheet)
{
    if (!sheet.relationships) {
        const std::string relsPart = relationshipsPartOf(sheet.part);
        sheet.relationships = std::make_unique<Relationships>(
            mPackage->has(relsPart) ? Relationships::parse(mPackage->read(relsPart), displayName(), relsPart)
                                    : Relationships());
    }
    return *sheet.relationships;
}

std::string WorkbookDocument::addRelationship(SheetModel& sheet, std::string_view type, std::string_view target)
{
    return relationships(sheet).add(type, relativeTarget(sheet.part, target));
}

void WorkbookDocument::putPart(std::string part, std::string contentType, std::function<std::string()> produce)
{
    if (!contentType.empty())
        mContentTypes->setOverride(part, contentType);
    std::erase(mDroppedParts, part);  // a put outweighs an earlier drop
    std::erase_if(mExtraParts, [&](const PartWrite& w) { return w.name == part; });
    mExtraParts.push_back({std::move(part), std::move(produce)});
}

void WorkbookDocument::dropPart(const std::string& part)
{
    mContentTypes->removeOverride(part);
    std::erase_if(mExtraParts, [&](const PartWrite& w) { return w.name == part; });
    if (mPackage->has(part) && std::find(mDroppedParts.begin(), mDroppedParts.end(), part) == mDroppedParts.end())
        mDroppedParts.push_back(part);
}

bool WorkbookDocument::hasPart(std::string_view part) const
{
    return mPackage->has(part)
           || std::any_of(mExtraParts.begin(), mExtraParts.end(), [&](const PartWrite& w) { return w.name == part; });
}

std::string WorkbookDocument::readPart(std::string_view part) const
{
    return mPackage->read(part);
}

std::string WorkbookDocument::freePartName(std::string_view stem, std::string_view extension) const
{
    for (int n = 1;; ++n) {
        std::string candidate = std::string(stem) + std::to_string(n) + std::string(extension);
        if (!hasPart(candidate))
            return candidate;
    }
}

void WorkbookDocument::save(const std::filesystem::path& target)
{
    if (!modified() && samePath(target, file()))
        return;
    SaveBatch batch;
    prepareSheets(batch);
    prepareSelection(batch);
    if (batch.replacedFormula)
        dropCalculationChain(batch);
    prepareParts(batch);
    mPackage->save(target, batch.writes, mDroppedParts);
    markSaved();
}

void WorkbookDocument::prepareSheets(SaveBatch& batch)
{
    for (const auto& sheet : mSheets) {
        if (sheet->touched())
            prepareSheet(*sheet, batch);
    }
}

void WorkbookDocument::prepareSheet(SheetModel& sheet, SaveBatch& batch)
{
    const std::string text = sheet.created && !mPackage->has(sheet.part) ? newPartOf(sheet) : mPackage->read(sheet.part);
    const bool selected = indexOf(sheet) == activeSheet();
    auto written = writeSheetPart(text, sheet.cells, styles(), name(sheet), [&](pugi::xml_node root) {
        for (const auto& edit : sheet.edits)
            edit(root);
        setTabSelected(root, selected);
    }, displayName(), sheet.part);
    batch.replacedFormula |= written.outcome.replacedFormula;
    batch.add(sheet.part, std::move(written.text));
}

// Moving the active tab also moves the selected tab: the sheet that was
// selected loses the mark and the new active sheet gets it, so the workbook
// does not open with two tabs grouped. Sheets not otherwise touched get the
// one attribute changed in place.
void WorkbookDocument::prepareSelection(SaveBatch& batch)
{
    const SheetModel* active = mSheets.empty() ? nullptr : mSheets[activeSheet()].get();
    if (active == mSelectedSheet)
        return;
    for (const SheetModel* sheet : {mSelectedSheet, active}) {
        if (!sheet || sheet->touched() || !isTabbed(*sheet) || !mPackage->has(sheet->part))
            continue;
        const bool selected = sheet == active;
        const auto tag = findStartTag(
            [&](const std::function<bool(std::string_view)>& sink) { mPackage->stream(sheet->part, sink); },
            "sheetView");
        if (!tag)
            continue;
        const auto attributes = tagAttributes(*tag);
        const auto mark = attributes.find("tabSelected");
        if ((mark != attributes.end() && (mark->second == "1" || mark->second == "true")) == selected)
            continue;
        std::string text = mPackage->read(sheet->part);
        const auto where = locateStartTag(text, "sheetView");
        const auto edited = withAttribute(*tag, "tabSelected", selected ? std::optional<std::string_view>("1") : std::nullopt);
        text.replace(where->first, where->second, edited);
        batch.add(sheet->part, std::move(text));
    }
}

// A calculation chain lists the cells that hold formulas; once the host has
// replaced a formula it would name a cell without one, which readers treat as
// damage. The chain is optional and rebuilt by whoever calculates next.
void WorkbookDocument::dropCalculationChain(SaveBatch&)
{
    for (const auto& link : mWorkbookRels->ofType(ooxml::kCalcChain)) {
        const std::string part = resolveTarget(mWorkbookPartName, link.target);
        mWorkbookRels->remove(link.id);
        mContentTypes->removeOverride(part);
        mDroppedParts.push_back(part);
    }
}

void WorkbookDocument::prepareParts(SaveBatch& batch)
{
    for (const auto& sheet : mSheets) {
        if (sheet->relationships && sheet->relationships->changed())
            batch.add(relationshipsPartOf(sheet->part), sheet->relationships->serialize());
    }
    if (mWorkbook->changed())
        batch.add(mWorkbookPartName, mWorkbook->serialize());
    if (mWorkbookRels->changed())
        batch.add(relationshipsPartOf(mWorkbookPartName), mWorkbookRels->serialize());
    if (mStyles && mStyles->changed())
        batch.add(mStylesPart, mStyles->serialize());
    if (mContentTypes->changed())
        batch.add(std::string(ooxml::kContentTypesPart), mContentTypes->serialize());
    batch.writes.insert(batch.writes.end(), mExtraParts.begin(), mExtraParts.end());
}

void WorkbookDocument::markSaved()
{
    for (const auto& sheet : mSheets) {
        sheet->created = false;
        sheet->cells.clear();
        sheet->edits.clear();
        if (sheet->relationships)
            sheet->relationships->markSaved();
    }
    mWorkbook->markSaved();
    mWorkbookRels->markSaved();
    mContentTypes->markSaved();
    if (mStyles)
        mStyles->markSaved();
    mExtraParts.clear();
    mDroppedParts.clear();
    mSelectedSheet = mSheets.empty() ? nullptr : mSheets[activeSheet()].get();
}

}  // namespace sheet
