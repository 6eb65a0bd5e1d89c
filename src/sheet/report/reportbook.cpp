#include "sheet/report/reportbook.h"

#include "sheet/chart/hostchart.h"
#include "sheet/chart/hostchartobject.h"
#include "sheet/failures.h"
#include "sheet/host/hostworkbook.h"
#include "sheet/host/hostworksheet.h"
#include "sheet/pivot/cubepivottable.h"
#include "sheet/pivot/pivotconnection.h"
#include "sheet/report/reportdesign.h"
#include "sheet/xlsx/ooxml.h"
#include "sheet/xlsx/partnames.h"
#include "sheet/xlsx/workbookdocument.h"

#include "platform/core/diagnostics.h"
#include "platform/core/failure.h"

#include <pugixml.hpp>

#include <filesystem>
#include <sstream>

namespace sheet::report {

namespace {

constexpr const char* kRelCustomXml = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/customXml";
constexpr const char* kRelCustomXmlProps =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/customXmlProps";
constexpr const char* kCustomXmlPropsType = "application/vnd.openxmlformats-officedocument.customXmlProperties+xml";
constexpr const char* kItemId = "{6B1E4C52-7A3D-4F0E-9C1B-2D5A8E0F3C71}";
constexpr size_t kMaxPart = 64u << 20;

// The JSON inside the part, or nullopt when the part is another program's.
std::optional<std::string> definitionsText(const std::string& bytes, const std::string& origin)
{
    const bool ours = bytes.find(kDefinitionsNamespace) != std::string::npos;
    if (ours && bytes.size() > kMaxPart)
        failApplication("'" + origin + "': the report definitions are larger than 64 MB");
    pugi::xml_document document;
    if (!ours || !document.load_buffer(bytes.data(), bytes.size()))
        return std::nullopt;
    const auto root = document.document_element();
    if (std::string_view(root.name()) != kDefinitionsElement
        || std::string_view(root.attribute("xmlns").value()) != kDefinitionsNamespace)
        return std::nullopt;
    return std::string(root.text().get());
}

std::string definitionsPart(const std::vector<ReportDefinition>& reports)
{
    pugi::xml_document document;
    auto declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    auto root = document.append_child(kDefinitionsElement);
    root.append_attribute("xmlns") = kDefinitionsNamespace;
    root.append_attribute("version") = kDefinitionVersion;
    root.text() = toJson(reports).c_str();
    std::ostringstream out;
    document.save(out, "", pugi::format_raw);
    return out.str();
}

std::string itemProperties()
{
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n")
           + "<ds:datastoreItem ds:itemID=\"" + kItemId
           + "\" xmlns:ds=\"http://schemas.openxmlformats.org/officeDocument/2006/customXml\">"
             "<ds:schemaRefs><ds:schemaRef ds:uri=\"" + kDefinitionsNamespace + "\"/></ds:schemaRefs></ds:datastoreItem>";
}

bool showsChart(HostWorkbook& book, const PlacedPivotTable& table)
{
    for (const auto& sheet : book.document().sheets()) {
        if (auto chart = std::dynamic_pointer_cast<HostChart>(sheet->chart); chart && chart->shows(table))
            return true;
    }
    for (const auto& model : book.worksheetModels()) {
        for (const auto& object : book.worksheet(model)->chartObjects()) {
            auto chart = std::dynamic_pointer_cast<HostChart>(object->Chart());
            if (chart && chart->shows(table))
                return true;
        }
    }
    return false;
}

std::string quoteValue(const std::string& value)
{
    if (value.find_first_of(";\"") == std::string::npos)
        return value;
    std::string quoted = "\"";
    for (char c : value)
        quoted.append(c == '"' ? 2 : 1, c);
    return quoted + "\"";
}

}  // namespace

std::string areaName(const Area& area)
{
    return plainAddress(area);
}

std::string connectionOf(const ReportSource& source)
{
    std::string text = "OLEDB;Provider=" + quoteValue(source.provider);
    if (!source.location.empty())
        text += ";Location=" + quoteValue(source.location);
    text += ";Data Source=" + quoteValue(source.dataSource);
    if (!source.catalog.empty())
        text += ";Initial Catalog=" + quoteValue(source.catalog);
    return text + ";Client Cache Size=25;Auto Synch Period=10000";
}

ReportSource sourceOf(const std::string& connection, const std::string& cube)
{
    const auto parts = pivot::parseConnection(connection);
    ReportSource source{"server", parts.provider, parts.dataSource, parts.initialCatalog, parts.location, cube};
    if (parts.location.empty()) {
        std::filesystem::path companion(parts.dataSource);
        companion.replace_extension(".bwf");
        std::error_code error;
        source.kind = std::filesystem::exists(companion, error) ? "store" : "file";
    }
    return source;
}

const std::vector<ReportDefinition>& ReportBook::definitions(WorkbookDocument& document)
{
    if (!mReports)
        load(document);
    return *mReports;
}

const ReportDefinition* ReportBook::find(WorkbookDocument& document, const std::string& name, const std::string& sheet)
{
    for (const auto& report : definitions(document)) {
        if (report.name == name && (sheet.empty() || report.sheet == sheet))
            return &report;
    }
    return nullptr;
}

void ReportBook::put(WorkbookDocument& document, ReportDefinition report)
{
    definitions(document);
    auto& reports = *mReports;
    const auto same = std::find_if(reports.begin(), reports.end(), [&](const ReportDefinition& r) {
        return r.name == report.name && r.sheet == report.sheet;
    });
    if (same == reports.end())
        reports.push_back(std::move(report));
    else if (toJson(*same) != toJson(report))
        *same = std::move(report);
    else
        return;
    mChanged = true;
}

void ReportBook::prepareSave(HostWorkbook& book)
{
    auto& document = book.document();
    try {
        definitions(document);
    } catch (const platform::Failure& failure) {
        // Definitions no one can read are no reason to lose the user's work:
        // the part is replaced by those of the reports drawn now.
        platform::noteIgnoredFailure("ReportBook::prepareSave", failure);
        mReports.emplace();
    }
    for (const auto& model : book.worksheetModels()) {
        const auto sheet = book.worksheet(model);
        for (const auto& table : sheet->pivotTables()) {
            const auto cube = std::dynamic_pointer_cast<pivot::CubePivotTable>(table);
            if (!cube || cube->design().empty())
                continue;
            ReportDefinition report = captureDefinition(cube->design());
            report.name = cube->Name();
            report.sheet = sheet->Name();
            report.cell = cellName(cube->topLeft());
            report.area = areaName(cube->area());
            report.source = sourceOf(cube->source().connection, cube->source().commandText);
            report.chart = showsChart(book, *cube);
            const auto* known = find(document, report.name, report.sheet);
            report.refreshed = known && known->area == report.area && known->refreshed.size() ? known->refreshed : utcNow();
            put(document, std::move(report));
        }
    }
    const auto removed = std::erase_if(*mReports, [&](const ReportDefinition& report) {
        for (const auto& model : book.worksheetModels()) {
            if (document.name(*model) == report.sheet)
                return false;
        }
        return true;
    });
    if (removed > 0)
        mChanged = true;
    if (mChanged)
        write(document);
}

void ReportBook::load(WorkbookDocument& document)
{
    std::vector<ReportDefinition> reports;
    const std::string origin = document.displayName();
    for (const auto& link : document.workbookRelationships().all()) {
        if (link.external || !ooxml::relationshipIs(link.type, "customXml"))
            continue;
        const std::string part = resolveTarget(document.workbookPartName(), link.target);
        if (!document.hasPart(part))
            continue;
        const auto text = definitionsText(document.readPart(part), origin);
        if (!text)
            continue;
        mPart = part;
        reports = reportsFromJson(*text, origin + " (" + part + ")");
        break;
    }
    mReports = std::move(reports);
}

void ReportBook::write(WorkbookDocument& document)
{
    if (mPart.empty()) {
        mPart = document.freePartName("customXml/item", ".xml");
        const std::string props = "customXml/itemProps" + mPart.substr(std::string("customXml/item").size());
        document.workbookRelationships().add(kRelCustomXml, relativeTarget(document.workbookPartName(), mPart));
        auto links = std::make_shared<Relationships>();
        links->add(kRelCustomXmlProps, relativeTarget(mPart, props));
        document.putPart(relationshipsPartOf(mPart), "", [links] { return links->serialize(); });
        document.putPart(props, kCustomXmlPropsType, [] { return itemProperties(); });
    }
    document.putPart(mPart, "application/xml", [text = definitionsPart(*mReports)] { return text; });
    mChanged = false;
}

}  // namespace sheet::report
