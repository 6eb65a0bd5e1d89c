#include "sheet/xlsx/workbookdocument.h"

#include "sheet/xlsx/contenttypes.h"
#include "sheet/failures.h"
#include "sheet/xlsx/ooxml.h"
#include "sheet/xlsx/partnames.h"
#include "sheet/xlsx/sheetnames.h"
#include "sheet/xlsx/sheetwriter.h"
#include "sheet/xlsx/stylesheet.h"

#include <algorithm>

namespace sheet {

namespace {

// Chart sheets the host adds: their relationship and content types.
constexpr const char* kRelChartsheet = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/chartsheet";
constexpr const char* kContentTypeChartsheet =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.chartsheet+xml";

SheetKind kindOf(std::string_view type)
{
    if (ooxml::relationshipIs(type, ooxml::kWorksheet))
        return SheetKind::Worksheet;
    if (ooxml::relationshipIs(type, ooxml::kChartsheet))
        return SheetKind::Chartsheet;
    if (ooxml::relationshipIs(type, ooxml::kDialogsheet))
        return SheetKind::Dialogsheet;
    if (ooxml::relationshipIs(type, ooxml::kMacrosheet))
        return SheetKind::Macrosheet;
    return SheetKind::Other;
}

// The parts of a new workbook: one empty worksheet, the styles every reader
// expects, and the relationships and content types that tie them together.
std::map<std::string, std::string> newWorkbookParts()
{
    const std::string declaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    std::map<std::string, std::string> parts;
    parts[std::string(ooxml::kContentTypesPart)] =
        declaration + "<Types xmlns=\"" + ooxml::kContentTypesNamespace + "\"><Default Extension=\"rels\" ContentType=\""
        + ooxml::kContentTypeRelationships + "\"/><Default Extension=\"xml\" ContentType=\"" + ooxml::kContentTypeXml
        + "\"/><Override PartName=\"/xl/workbook.xml\" ContentType=\"" + ooxml::kContentTypeWorkbook
        + "\"/><Override PartName=\"/xl/worksheets/sheet1.xml\" ContentType=\"" + ooxml::kContentTypeWorksheet
        + "\"/><Override PartName=\"/xl/styles.xml\" ContentType=\"" + ooxml::kContentTypeStyles + "\"/></Types>";
    parts[std::string(ooxml::kPackageRelsPart)] =
        declaration + "<Relationships xmlns=\"" + ooxml::kPackageRelNamespace + "\"><Relationship Id=\"rId1\" Type=\""
        + ooxml::kRelOfficeDocument + "\" Target=\"xl/workbook.xml\"/></Relationships>";
    parts["xl/workbook.xml"] =
        declaration + "<workbook xmlns=\"" + ooxml::kMainNamespace + "\" xmlns:r=\"" + ooxml::kRelNamespace
        + "\"><bookViews><workbookView activeTab=\"0\"/></bookViews><sheets><sheet name=\"Sheet1\" sheetId=\"1\" "
          "r:id=\"rId1\"/></sheets></workbook>";
    parts["xl/_rels/workbook.xml.rels"] =
        declaration + "<Relationships xmlns=\"" + ooxml::kPackageRelNamespace + "\"><Relationship Id=\"rId1\" Type=\""
        + ooxml::kRelWorksheet + "\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\""
        + ooxml::kRelStyles + "\" Target=\"styles.xml\"/></Relationships>";
    parts["xl/worksheets/sheet1.xml"] = newSheetPart();
    parts["xl/styles.xml"] = StyleSheet::minimalPart();
    return parts;
}

}  // namespace

WorkbookDocument::WorkbookDocument() = default;
WorkbookDocument::~WorkbookDocument() = default;

std::unique_ptr<WorkbookDocument> WorkbookDocument::open(const std::filesystem::path& file)
{
    std::unique_ptr<WorkbookDocument> document(new WorkbookDocument);
    document->mPackage = Package::open(file);
    document->load();
    return document;
}

std::unique_ptr<WorkbookDocument> WorkbookDocument::create()
{
    std::unique_ptr<WorkbookDocument> document(new WorkbookDocument);
    document->mPackage = Package::fromParts(newWorkbookParts());
    document->load();
    // Its tab is the selected one, as in any workbook's active sheet.
    document->mSheets.front()->created = true;
    return document;
}

const std::filesystem::path& WorkbookDocument::file() const
{
    return mPackage->file();
}

std::string WorkbookDocument::displayName() const
{
    return mPackage->displayName();
}

// Reads what opening needs, failing with the file's name and the problem.
void WorkbookDocument::load()
{
    const std::string file = displayName();
    const auto need = [&](std::string_view part, const std::string& problem) {
        if (!mPackage->has(part))
            failApplication("'" + file + "' is not a workbook: " + problem);
        return mPackage->read(part);
    };
    mContentTypes = std::make_unique<ContentTypes>(ContentTypes::parse(
        need(ooxml::kContentTypesPart, "the zip package has no [Content_Types].xml"), file));
    const auto rootRels = Relationships::parse(
        need(ooxml::kPackageRelsPart, "the zip package has no relationships part (_rels/.rels)"), file,
        ooxml::kPackageRelsPart);
    const auto documents = rootRels.ofType(ooxml::kOfficeDocument);
    if (documents.empty())
        failApplication("'" + file + "' is not a workbook: the package names no main document");
    mWorkbookPartName = resolveTarget("", documents.front().target);
    mWorkbook = std::make_unique<WorkbookPart>(WorkbookPart::parse(
        need(mWorkbookPartName, "its workbook part " + mWorkbookPartName + " is missing"), file, mWorkbookPartName));
    const std::string relsPart = relationshipsPartOf(mWorkbookPartName);
    mWorkbookRels = std::make_unique<Relationships>(
        mPackage->has(relsPart) ? Relationships::parse(mPackage->read(relsPart), file, relsPart) : Relationships());
    for (const auto& entry : mWorkbook->sheets())
        loadSheet(entry);
    for (const auto& mark : mWorkbook->reportMarks()) {
        const auto bang = mark.reference.rfind('!');
        const auto area = parseAddress(bang == std::string::npos ? mark.reference : mark.reference.substr(bang + 1));
        if (mark.sheet < mSheets.size() && area)
            mSheets[mark.sheet]->drawnReports.push_back({mark.table, *area});
    }
    mSelectedSheet = mSheets.empty() ? nullptr : mSheets[mWorkbook->activeTab()].get();
}

void WorkbookDocument::loadSheet(pugi::xml_node entry)
{
    const std::string file = displayName();
    const std::string id = WorkbookPart::relationshipId(entry);
    const Relationship* link = mWorkbookRels->byId(id);
    if (!link) {
        failApplication("'" + file + "' is damaged: sheet '" + WorkbookPart::name(entry)
                        + "' refers to relationship '" + id + "', which the workbook does not have");
    }
    auto sheet = std::make_shared<SheetModel>();
    sheet->entry = entry;
    sheet->kind = kindOf(link->type);
    sheet->part = resolveTarget(mWorkbookPartName, link->target);
    const std::string relsPart = relationshipsPartOf(sheet->part);
    if (sheet->kind == SheetKind::Worksheet && mPackage->has(relsPart)) {
        for (const auto& r : Relationships::parse(mPackage->read(relsPart), file, relsPart).ofType(ooxml::kPivotTable))
            sheet->pivotTableParts.push_back(resolveTarget(sheet->part, r.target));
    }
    mSheets.push_back(std::move(sheet));
}

size_t WorkbookDocument::indexOf(const SheetModel& sheet) const
{
    const auto it = std::find_if(mSheets.begin(), mSheets.end(), [&](const auto& s) { return s.get() == &sheet; });
    return static_cast<size_t>(it - mSheets.begin());
}

std::string WorkbookDocument::name(const SheetModel& sheet) const
{
    return WorkbookPart::name(sheet.entry);
}

void WorkbookDocument::checkName(std::string_view name, const SheetModel* renamed) const
{
    if (const auto problem = sheetNameProblem(name))
        failApplication("'" + std::string(name) + "' cannot name a sheet: " + *problem);
    for (const auto& other : mSheets) {
        if (other.get() != renamed && sameSheetName(this->name(*other), name))
            failApplication("'" + std::string(name) + "' cannot name a sheet: another sheet of the workbook has that name");
    }
}

void WorkbookDocument::rename(SheetModel& sheet, std::string_view name)
{
    checkName(name, &sheet);
    if (this->name(sheet) != name)
        mWorkbook->setName(sheet.entry, name);
}

SheetState WorkbookDocument::state(const SheetModel& sheet) const
{
    return WorkbookPart::state(sheet.entry);
}

std::string WorkbookDocument::nextWorksheetName() const
{
    std::vector<std::string> names;
    for (const auto& sheet : mSheets)
        names.push_back(name(*sheet));
    return nextSheetName(names);
}

std::string WorkbookDocument::newSheetPartName(std::string_view stem) const
{
    const std::string folder = folderOf(mWorkbookPartName) + std::string(stem);
    for (int n = 1;; ++n) {
        const std::string candidate = folder + std::to_string(n) + ".xml";
        const bool used = mPackage->has(candidate) || std::any_of(mSheets.begin(), mSheets.end(), [&](const auto& s) {
                              return sameSheetName(s->part, candidate);
                          });
        if (!used)
            return candidate;
    }
}

std::shared_ptr<SheetModel> WorkbookDocument::addWorksheet(size_t position, std::string_view name)
{
    return insertSheet(position, name, SheetKind::Worksheet);
}

std::shared_ptr<SheetModel> WorkbookDocument::addChartsheet(size_t position, std::string_view name)
{
    return insertSheet(position, name, SheetKind::Chartsheet);
}

std::shared_ptr<SheetModel> WorkbookDocument::insertSheet(size_t position, std::string_view name, SheetKind kind)
{
    checkName(name, nullptr);  // before anything changes, so a refused name leaves no trace
    const bool chart = kind == SheetKind::Chartsheet;
    position = std::min(position, mSheets.size());
    auto sheet = std::make_shared<SheetModel>();
    sheet->kind = kind;
    sheet->created = true;
    sheet->part = newSheetPartName(chart ? "chartsheets/sheet" : "worksheets/sheet");
    const std::string id = mWorkbookRels->add(chart ? kRelChartsheet : ooxml::kRelWorksheet,
                                              relativeTarget(mWorkbookPartName, sheet->part));
    sheet->entry = mWorkbook->insertSheet(position, name, id);
    mContentTypes->setOverride(sheet->part, chart ? kContentTypeChartsheet : ooxml::kContentTypeWorksheet);
    mSheets.insert(mSheets.begin() + static_cast<std::ptrdiff_t>(position), sheet);
    return sheet;
}

void WorkbookDocument::removeSheet(const SheetModel& sheet)
{
    const size_t at = indexOf(sheet);
    const bool anotherVisible = std::any_of(mSheets.begin(), mSheets.end(), [&](const auto& s) {
        return s.get() != &sheet && state(*s) == SheetState::Visible;
    });
    if (state(sheet) == SheetState::Visible && !anotherVisible)
        failApplication("Sheet '" + name(sheet) + "' cannot be removed: a workbook must keep one visible sheet");
    const bool wasActive = activeSheet() == at;
    mWorkbookRels->remove(WorkbookPart::relationshipId(sheet.entry));
    mContentTypes->removeOverride(sheet.part);
    for (const std::string& part : {sheet.part, relationshipsPartOf(sheet.part)}) {
        if (mPackage->has(part))
            mDroppedParts.push_back(part);
    }
    mWorkbook->removeSheet(at);
    if (mSelectedSheet == &sheet)
        mSelectedSheet = nullptr;
    mSheets.erase(mSheets.begin() + static_cast<std::ptrdiff_t>(at));
    if (wasActive)
        activateVisibleNear(std::min(at, mSheets.size() - 1));
}

size_t WorkbookDocument::activeSheet() const
{
    return mWorkbook->activeTab();
}

void WorkbookDocument::activate(const SheetModel& sheet)
{
    if (state(sheet) != SheetState::Visible)
        failApplication("Sheet '" + name(sheet) + "' is hidden and cannot be activated");
    mWorkbook->setActiveTab(indexOf(sheet));
}

void WorkbookDocument::setState(SheetModel& sheet, SheetState state)
{
    if (state != SheetState::Visible) {
        const bool anotherVisible = std::any_of(mSheets.begin(), mSheets.end(), [&](const auto& s) {
            return s.get() != &sheet && this->state(*s) == SheetState::Visible;
        });
        if (!anotherVisible)
            failApplication("Sheet '" + name(sheet) + "' cannot be hidden: a workbook must keep one visible sheet");
    }
    mWorkbook->setState(sheet.entry, state);
    if (state != SheetState::Visible && activeSheet() == indexOf(sheet))
        activateVisibleNear(indexOf(sheet));
}

// The active tab must be a visible one: take the one at `position` if it is,
// else the nearest after it, else before it.
void WorkbookDocument::activateVisibleNear(size_t position)
{
    for (size_t step = 0; step < mSheets.size(); ++step) {
        for (const size_t candidate : {position + step, position - step}) {
            if (candidate < mSheets.size() && state(*mSheets[candidate]) == SheetState::Visible) {
                mWorkbook->setActiveTab(candidate);
                return;
            }
        }
    }
}

StyleSheet& WorkbookDocument::styles()
{
    if (mStyles)
        return *mStyles;
    const auto links = mWorkbookRels->ofType(ooxml::kStyles);
    const std::string part = links.empty() ? folderOf(mWorkbookPartName) + "styles.xml"
                                           : resolveTarget(mWorkbookPartName, links.front().target);
    mStylesPart = part;
    if (mPackage->has(part)) {
        mStyles = std::make_unique<StyleSheet>(StyleSheet::parse(mPackage->read(part), displayName(), part));
        return *mStyles;
    }
    // A workbook without a styles part gets one, tied in like any other part.
    mStyles = std::make_unique<StyleSheet>(StyleSheet::parse(StyleSheet::minimalPart(), displayName(), part));
    mStyles->markChanged();
    if (links.empty())
        mWorkbookRels->add(ooxml::kRelStyles, relativeTarget(mWorkbookPartName, part));
    mContentTypes->setOverride(part, ooxml::kContentTypeStyles);
    return *mStyles;
}

bool WorkbookDocument::modified() const
{
    const bool sheetsChanged = std::any_of(mSheets.begin(), mSheets.end(), [](const auto& s) {
        return s->touched() || (s->relationships && s->relationships->changed());
    });
    return sheetsChanged || mContentTypes->changed() || mWorkbook->changed() || mWorkbookRels->changed()
           || (mStyles && mStyles->changed()) || !mExtraParts.empty() || !mDroppedParts.empty()
           || mPackage->file().empty();
}

}  // namespace sheet
