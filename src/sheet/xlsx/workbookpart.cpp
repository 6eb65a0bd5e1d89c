#include "sheet/xlsx/workbookpart.h"

#include "sheet/failures.h"
#include "sheet/xlsx/xmlpart.h"

#include <algorithm>
#include <charconv>

namespace sheet {

namespace {

// The workbook's child elements in schema order, for placing a new one.
const std::initializer_list<std::string_view> kWorkbookOrder = {
    "fileVersion", "fileSharing", "workbookPr", "workbookProtection", "bookViews", "sheets",
    "functionGroups", "externalReferences", "definedNames", "calcPr", "oleSize", "customWorkbookViews",
    "pivotCaches", "smartTagPr", "smartTagTypes", "webPublishing", "fileRecoveryPr", "webPublishObjects",
    "extLst"};

long numberOf(const pugi::xml_attribute& attribute, long fallback)
{
    const std::string_view text = attribute.value();
    long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return attribute && ec == std::errc() && end == text.data() + text.size() ? value : fallback;
}

void shiftAttribute(pugi::xml_node node, const char* name, size_t position)
{
    const auto attribute = node.attribute(name);
    const long value = numberOf(attribute, -1);
    if (value >= 0 && static_cast<size_t>(value) >= position)
        node.attribute(name) = std::to_string(value + 1).c_str();
}

}  // namespace

WorkbookPart WorkbookPart::parse(std::string_view text, std::string_view file, std::string_view part)
{
    WorkbookPart workbook;
    workbook.mDocument = xml::parse(text, file, part);
    const auto root = xml::root(*workbook.mDocument);
    if (xml::localName(root) != "workbook") {
        failApplication("'" + std::string(file) + "' is not a workbook: its main part is a '"
                        + std::string(xml::localName(root)) + "' document");
    }
    workbook.mSheetList = xml::child(root, "sheets");
    if (!workbook.mSheetList)
        failApplication("'" + std::string(file) + "' is damaged: its workbook part has no sheet list");
    for (auto node : workbook.mSheetList.children()) {
        if (node.type() == pugi::node_element && xml::localName(node) == "sheet")
            workbook.mSheets.push_back(node);
    }
    return workbook;
}

std::string WorkbookPart::name(const pugi::xml_node& sheet)
{
    return sheet.attribute("name").value();
}

std::string WorkbookPart::relationshipId(const pugi::xml_node& sheet)
{
    return xml::relationshipAttribute(sheet, "id").value();
}

SheetState WorkbookPart::state(const pugi::xml_node& sheet)
{
    const std::string_view value = sheet.attribute("state").value();
    if (value == "hidden")
        return SheetState::Hidden;
    if (value == "veryHidden")
        return SheetState::VeryHidden;
    return SheetState::Visible;
}

void WorkbookPart::setName(pugi::xml_node sheet, std::string_view name)
{
    sheet.attribute("name") = std::string(name).c_str();
    mChanged = true;
}

void WorkbookPart::setState(pugi::xml_node sheet, SheetState state)
{
    if (WorkbookPart::state(sheet) == state)
        return;
    if (state == SheetState::Visible) {
        sheet.remove_attribute("state");
    } else {
        auto attribute = sheet.attribute("state");
        if (!attribute)
            attribute = sheet.append_attribute("state");
        attribute = state == SheetState::Hidden ? "hidden" : "veryHidden";
    }
    mChanged = true;
}

pugi::xml_node WorkbookPart::insertSheet(size_t position, std::string_view name, std::string_view relationshipId)
{
    long highestId = 0;
    for (const auto& sheet : mSheets)
        highestId = std::max(highestId, numberOf(sheet.attribute("sheetId"), 0));
    const std::string tag = xml::qualified(mSheetList, "sheet");
    pugi::xml_node node = position < mSheets.size() ? mSheetList.insert_child_before(tag.c_str(), mSheets[position])
                                                    : mSheetList.append_child(tag.c_str());
    node.append_attribute("name") = std::string(name).c_str();
    node.append_attribute("sheetId") = std::to_string(highestId + 1).c_str();
    node.append_attribute(xml::relationshipAttributeName(node, "id").c_str()) = std::string(relationshipId).c_str();
    shiftTabReferences(position);
    mSheets.insert(mSheets.begin() + static_cast<std::ptrdiff_t>(std::min(position, mSheets.size())), node);
    mChanged = true;
    return node;
}

void WorkbookPart::shiftTabReferences(size_t position)
{
    const auto root = xml::root(*mDocument);
    if (const auto views = xml::child(root, "bookViews")) {
        for (auto view : views.children()) {
            shiftAttribute(view, "activeTab", position);
            shiftAttribute(view, "firstSheet", position);
        }
    }
    if (const auto names = xml::child(root, "definedNames")) {
        for (auto name : names.children())
            shiftAttribute(name, "localSheetId", position);
    }
}

void WorkbookPart::removeSheet(size_t position)
{
    if (position >= mSheets.size())
        return;
    mSheetList.remove_child(mSheets[position]);
    mSheets.erase(mSheets.begin() + static_cast<std::ptrdiff_t>(position));
    unshiftTabReferences(position);
    mChanged = true;
}

void WorkbookPart::unshiftTabReferences(size_t position)
{
    const auto root = xml::root(*mDocument);
    const auto moveBack = [&](pugi::xml_node node, const char* name) {
        const long value = numberOf(node.attribute(name), -1);
        if (value > static_cast<long>(position))
            node.attribute(name) = std::to_string(value - 1).c_str();
    };
    if (const auto views = xml::child(root, "bookViews")) {
        for (auto view : views.children()) {
            for (const char* name : {"activeTab", "firstSheet"}) {
                moveBack(view, name);
                // The last tab may have gone: point at the one before it.
                if (!mSheets.empty() && numberOf(view.attribute(name), 0) >= static_cast<long>(mSheets.size()))
                    view.attribute(name) = std::to_string(mSheets.size() - 1).c_str();
            }
        }
    }
    if (auto names = xml::child(root, "definedNames")) {
        for (auto name = names.first_child(); name;) {
            const auto next = name.next_sibling();
            if (numberOf(name.attribute("localSheetId"), -1) == static_cast<long>(position))
                names.remove_child(name);
            else
                moveBack(name, "localSheetId");
            name = next;
        }
    }
}

size_t WorkbookPart::activeTab() const
{
    const auto views = xml::child(xml::root(*mDocument), "bookViews");
    const auto view = views ? xml::child(views, "workbookView") : pugi::xml_node();
    const long tab = numberOf(view.attribute("activeTab"), 0);
    return tab >= 0 && static_cast<size_t>(tab) < mSheets.size() ? static_cast<size_t>(tab) : 0;
}

void WorkbookPart::setActiveTab(size_t position)
{
    if (position == activeTab())
        return;
    auto views = xml::ensureChild(xml::root(*mDocument), "bookViews", kWorkbookOrder);
    auto view = xml::child(views, "workbookView");
    if (!view)
        view = views.append_child(xml::qualified(views, "workbookView").c_str());
    auto attribute = view.attribute("activeTab");
    if (!attribute)
        attribute = view.append_attribute("activeTab");
    attribute = std::to_string(position).c_str();
    // The first tab shown in the tab bar must not lie after the active one.
    if (numberOf(view.attribute("firstSheet"), 0) > static_cast<long>(position))
        view.attribute("firstSheet") = std::to_string(position).c_str();
    mChanged = true;
}

namespace {

constexpr std::string_view kReportMarkPrefix = "_PivotReport";

bool isReportMark(const pugi::xml_node& name)
{
    return std::string_view(name.attribute("name").value()).starts_with(kReportMarkPrefix)
           && name.attribute("localSheetId");
}

}  // namespace

std::vector<ReportMark> WorkbookPart::reportMarks() const
{
    std::vector<ReportMark> marks;
    if (const auto names = xml::child(xml::root(*mDocument), "definedNames")) {
        for (const auto& name : names.children()) {
            const long sheet = numberOf(name.attribute("localSheetId"), -1);
            if (isReportMark(name) && sheet >= 0)
                marks.push_back({static_cast<size_t>(sheet), name.attribute("comment").value(), name.text().get()});
        }
    }
    return marks;
}

void WorkbookPart::setReportMark(size_t sheet, std::string_view table, std::string_view reference)
{
    auto names = xml::ensureChild(xml::root(*mDocument), "definedNames", kWorkbookOrder);
    std::vector<std::string> taken;
    for (auto name : names.children()) {
        taken.push_back(name.attribute("name").value());
        if (isReportMark(name) && numberOf(name.attribute("localSheetId"), -1) == static_cast<long>(sheet)
            && table == name.attribute("comment").value()) {
            if (reference != name.text().get()) {
                name.text() = std::string(reference).c_str();
                mChanged = true;
            }
            return;
        }
    }
    int n = 1;
    while (std::find(taken.begin(), taken.end(), std::string(kReportMarkPrefix) + std::to_string(n)) != taken.end())
        ++n;
    auto name = names.append_child(xml::qualified(names, "definedName").c_str());
    name.append_attribute("name") = (std::string(kReportMarkPrefix) + std::to_string(n)).c_str();
    name.append_attribute("comment") = std::string(table).c_str();
    name.append_attribute("localSheetId") = std::to_string(sheet).c_str();
    name.append_attribute("hidden") = "1";
    name.text() = std::string(reference).c_str();
    mChanged = true;
}

std::string WorkbookPart::serialize() const
{
    return xml::serialize(*mDocument);
}

}  // namespace sheet
