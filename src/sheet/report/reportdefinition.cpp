#include "sheet/report/reportdefinition.h"

#include "sheet/failures.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <ctime>

namespace sheet::report {

const std::array<std::string_view, kSubtotalCount> kSubtotalNames = {
    "automatic", "sum", "count", "average", "max", "min", "product", "countNumbers",
    "stdDev", "stdDevP", "var", "varP"};

namespace {

using Json = nlohmann::ordered_json;

// Limits on what a definition may hold, checked before anything is kept.
constexpr size_t kMaxText = 64u << 20;
constexpr int kMaxDepth = 12;
constexpr size_t kMaxNames = 2'000'000;
constexpr size_t kMaxName = 4096;

// Where in the document a value is, for failures: "reports[0].rows[1].dimension".
class Reader {
public:
    Reader(std::string_view origin, std::string path) : mOrigin(origin), mPath(std::move(path)) {}

    [[noreturn]] void fail(const std::string& problem) const
    {
        failApplication("'" + mOrigin + "': " + (mPath.empty() ? "" : mPath + ": ") + problem);
    }
    Reader at(std::string_view key) const { return {mOrigin, mPath.empty() ? std::string(key) : mPath + "." + std::string(key)}; }
    Reader at(size_t index) const { return {mOrigin, mPath + "[" + std::to_string(index) + "]"}; }

    const Json& object(const Json& value) const
    {
        if (!value.is_object())
            fail("expected an object");
        return value;
    }
    std::string text(const Json& parent, std::string_view key, bool required = false, std::string fallback = {}) const
    {
        const auto it = parent.find(key);
        if (it == parent.end()) {
            if (required)
                at(key).fail("missing");
            return fallback;
        }
        if (!it->is_string())
            at(key).fail("expected a text");
        const auto& value = it->get_ref<const std::string&>();
        if (value.size() > kMaxName)
            at(key).fail("longer than " + std::to_string(kMaxName) + " characters");
        return value;
    }
    bool flag(const Json& parent, std::string_view key, bool fallback) const
    {
        const auto it = parent.find(key);
        if (it == parent.end())
            return fallback;
        if (!it->is_boolean())
            at(key).fail("expected true or false");
        return it->get<bool>();
    }
    const Json& array(const Json& parent, std::string_view key) const
    {
        static const Json kEmpty = Json::array();
        const auto it = parent.find(key);
        if (it == parent.end())
            return kEmpty;
        if (!it->is_array())
            at(key).fail("expected a list");
        if (it->size() > kMaxNames)
            at(key).fail("more than " + std::to_string(kMaxNames) + " entries");
        return *it;
    }
    std::vector<std::string> names(const Json& parent, std::string_view key) const
    {
        const Json& list = array(parent, key);
        std::vector<std::string> names;
        names.reserve(list.size());
        for (size_t i = 0; i < list.size(); ++i) {
            if (!list[i].is_string() || list[i].get_ref<const std::string&>().size() > kMaxName)
                at(key).at(i).fail("expected a member's unique name");
            names.push_back(list[i].get<std::string>());
        }
        return names;
    }

private:
    std::string mOrigin;
    std::string mPath;
};

// Refuses nesting deeper than any definition has, before the parser recurses.
void checkDepth(std::string_view text, const Reader& reader)
{
    int depth = 0;
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            if (++depth > kMaxDepth)
                reader.fail("nested deeper than " + std::to_string(kMaxDepth) + " levels");
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
}

Json parseDocument(std::string_view text, const Reader& reader)
{
    if (text.size() > kMaxText)
        reader.fail("larger than " + std::to_string(kMaxText >> 20) + " MB");
    checkDepth(text, reader);
    Json document;
    try {
        document = Json::parse(text);
    } catch (const Json::parse_error& error) {
        reader.fail(std::string("not valid JSON: ") + error.what());
    }
    reader.object(document);
    const auto version = document.find("version");
    if (version == document.end() || !version->is_number_integer())
        reader.at("version").fail("missing or not a whole number");
    if (version->get<int64_t>() < 1 || version->get<int64_t>() > kDefinitionVersion)
        reader.at("version").fail("version " + version->dump() + " is not one this program reads (1 to "
                                  + std::to_string(kDefinitionVersion) + ")");
    return document;
}

Json subtotalsJson(const std::array<bool, kSubtotalCount>& subtotals)
{
    Json list = Json::array();
    for (size_t i = 0; i < subtotals.size(); ++i) {
        if (subtotals[i])
            list.push_back(kSubtotalNames[i]);
    }
    return list;
}

std::array<bool, kSubtotalCount> subtotalsFrom(const Json& level, const Reader& reader)
{
    if (!level.contains("subtotals"))
        return {true};
    std::array<bool, kSubtotalCount> subtotals{};
    const Json& list = reader.array(level, "subtotals");
    for (size_t i = 0; i < list.size(); ++i) {
        const auto name = list[i].is_string() ? list[i].get<std::string>() : std::string();
        const auto it = std::find(kSubtotalNames.begin(), kSubtotalNames.end(), name);
        if (it == kSubtotalNames.end())
            reader.at("subtotals").at(i).fail("expected a subtotal name (automatic, sum, count, ...)");
        subtotals[size_t(it - kSubtotalNames.begin())] = true;
    }
    return subtotals;
}

Json fieldJson(const FieldDefinition& field, bool page)
{
    Json json = {{"dimension", field.dimension}};
    if (page) {
        json["selected"] = field.selected;
        return json;
    }
    json["drilled"] = field.drilled;
    json["hidden"] = field.hidden;
    Json levels = Json::array();
    for (const auto& level : field.levels)
        levels.push_back({{"level", level.level}, {"subtotals", subtotalsJson(level.subtotals)}, {"hidden", level.hidden}});
    json["levels"] = std::move(levels);
    return json;
}

std::vector<FieldDefinition> fieldsFrom(const Json& report, std::string_view key, const Reader& reader)
{
    std::vector<FieldDefinition> fields;
    const Json& list = reader.array(report, key);
    for (size_t i = 0; i < list.size(); ++i) {
        const Reader at = reader.at(key).at(i);
        const Json& json = at.object(list[i]);
        FieldDefinition field;
        field.dimension = at.text(json, "dimension", true);
        field.drilled = at.names(json, "drilled");
        field.hidden = at.names(json, "hidden");
        field.selected = at.names(json, "selected");
        const Json& levels = at.array(json, "levels");
        for (size_t l = 0; l < levels.size(); ++l) {
            const Reader levelAt = at.at("levels").at(l);
            const Json& level = levelAt.object(levels[l]);
            field.levels.push_back({levelAt.text(level, "level", true), subtotalsFrom(level, levelAt),
                                    levelAt.names(level, "hidden")});
        }
        fields.push_back(std::move(field));
    }
    return fields;
}

Json reportJson(const ReportDefinition& report)
{
    Json json;
    json["name"] = report.name;
    json["sheet"] = report.sheet;
    json["cell"] = report.cell;
    if (!report.area.empty())
        json["area"] = report.area;
    if (!report.refreshed.empty())
        json["refreshed"] = report.refreshed;
    const auto& s = report.source;
    json["source"] = {{"kind", s.kind}, {"provider", s.provider}, {"dataSource", s.dataSource},
                      {"catalog", s.catalog}, {"location", s.location}, {"cube", s.cube}};
    for (const auto& [key, fields] : {std::pair{"rows", &report.rows}, {"columns", &report.columns}, {"pages", &report.pages}}) {
        Json list = Json::array();
        for (const auto& field : *fields)
            list.push_back(fieldJson(field, std::string_view(key) == "pages"));
        json[key] = std::move(list);
    }
    Json data = Json::array();
    for (const auto& field : report.data)
        data.push_back({{"measure", field.measure}, {"numberFormat", field.numberFormat}});
    json["data"] = std::move(data);
    json["valuesOnRows"] = report.valuesOnRows;
    json["rowGrand"] = report.rowGrand;
    json["columnGrand"] = report.columnGrand;
    json["autoformat"] = report.autoformat;
    json["shaded"] = report.shaded;
    json["chart"] = report.chart;
    return json;
}

ReportDefinition reportFrom(const Json& json, const Reader& reader)
{
    reader.object(json);
    ReportDefinition report;
    report.name = reader.text(json, "name", true);
    report.sheet = reader.text(json, "sheet", false, "Sheet1");
    report.cell = reader.text(json, "cell", false, "A1");
    report.area = reader.text(json, "area");
    report.refreshed = reader.text(json, "refreshed");
    const auto source = json.find("source");
    if (source == json.end())
        reader.at("source").fail("missing");
    const Reader at = reader.at("source");
    at.object(*source);
    report.source = {at.text(*source, "kind"), at.text(*source, "provider", false, "MSOLAP.2"),
                     at.text(*source, "dataSource", true), at.text(*source, "catalog"), at.text(*source, "location"),
                     at.text(*source, "cube", true)};
    report.rows = fieldsFrom(json, "rows", reader);
    report.columns = fieldsFrom(json, "columns", reader);
    report.pages = fieldsFrom(json, "pages", reader);
    const Json& data = reader.array(json, "data");
    for (size_t i = 0; i < data.size(); ++i) {
        const Reader dataAt = reader.at("data").at(i);
        dataAt.object(data[i]);
        report.data.push_back({dataAt.text(data[i], "measure", true), dataAt.text(data[i], "numberFormat")});
    }
    report.valuesOnRows = reader.flag(json, "valuesOnRows", false);
    report.rowGrand = reader.flag(json, "rowGrand", true);
    report.columnGrand = reader.flag(json, "columnGrand", true);
    report.autoformat = reader.flag(json, "autoformat", false);
    report.shaded = reader.flag(json, "shaded", false);
    report.chart = reader.flag(json, "chart", false);
    return report;
}

}  // namespace

std::string toJson(const ReportDefinition& report)
{
    Json json = {{"version", kDefinitionVersion}};
    json.update(reportJson(report));
    return json.dump(2) + "\n";
}

std::string toJson(const std::vector<ReportDefinition>& reports)
{
    Json list = Json::array();
    for (const auto& report : reports)
        list.push_back(reportJson(report));
    return Json{{"version", kDefinitionVersion}, {"reports", std::move(list)}}.dump();
}

ReportDefinition reportFromJson(std::string_view text, std::string_view origin)
{
    const Reader reader(origin, "");
    const Json document = parseDocument(text, reader);
    if (document.contains("reports")) {
        const Json& list = reader.array(document, "reports");
        if (list.size() != 1)
            reader.at("reports").fail("holds " + std::to_string(list.size()) + " reports; name one report");
        return reportFrom(list[0], reader.at("reports").at(size_t(0)));
    }
    return reportFrom(document, reader);
}

std::vector<ReportDefinition> reportsFromJson(std::string_view text, std::string_view origin)
{
    const Reader reader(origin, "");
    const Json document = parseDocument(text, reader);
    if (!document.contains("reports"))
        return {reportFrom(document, reader)};
    std::vector<ReportDefinition> reports;
    const Json& list = reader.array(document, "reports");
    for (size_t i = 0; i < list.size(); ++i)
        reports.push_back(reportFrom(list[i], reader.at("reports").at(i)));
    return reports;
}

std::string utcNow()
{
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm parts{};
    gmtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

}  // namespace sheet::report
