// Definitions come from workbooks other programs saved and from files
// scripts wrote: every form read back as written, everything else refused
// with a message naming the origin and the offending field.
#include "sheet/report/reportdefinition.h"

#include "sheettestsupport.h"

using namespace sheet::report;

namespace {

ReportDefinition fullDefinition()
{
    ReportDefinition report;
    report.name = "Table Sales";
    report.sheet = "Q1 \"Report\"";
    report.cell = "C5";
    report.area = "C5:K40";
    report.refreshed = "2026-12-06T03:00:00Z";
    report.source = {"server", "PivotServer", "http://127.0.0.1:8123", "Retail", "sales_db", "Sales"};
    FieldDefinition product{"Product", {"[Product].[Food]"}, {"[Product].[Food].[Snacks]"}, {}, {}};
    std::array<bool, sheet::kSubtotalCount> sumAndCount{};
    sumAndCount[1] = sumAndCount[2] = true;
    product.levels.push_back({"Category", sumAndCount, {"[Product].[Household]"}});
    product.levels.push_back({"Subcategory", {}, {}});
    report.rows = {product};
    report.columns = {{"Time", {"[Time].[2023]"}, {}, {}, {}}};
    report.pages = {{"Store", {}, {}, {}, {"[Store].[North]", "[Store].[South]"}}};
    report.data = {{"Sales Amount", "0.00"}, {"Units", ""}};
    report.valuesOnRows = true;
    report.rowGrand = false;
    report.autoformat = true;
    report.chart = true;
    return report;
}

TEST(ReportDefinitions, EveryFieldReadsBackAsWritten)
{
    const ReportDefinition report = fullDefinition();
    const std::string one = toJson(report);
    EXPECT_EQ(toJson(reportFromJson(one, "a.json")), one);
    const std::string many = toJson(std::vector<ReportDefinition>{report, report});
    const auto read = reportsFromJson(many, "book.xlsx");
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(toJson(read), many);
    // A workbook's list of one is a definition a script can build.
    EXPECT_EQ(toJson(reportFromJson(toJson(std::vector<ReportDefinition>{report}), "b.json")), one);
}

TEST(ReportDefinitions, HostileDefinitionsAreRefusedNamingTheOriginAndField)
{
    const std::string source = R"("source": {"dataSource": "s.cub", "cube": "S"})";
    struct Case {
        const char* what;
        std::string text;
        std::string named;
    };
    const std::vector<Case> cases = {
        {"not JSON", "{\"version\": 1,", "not valid JSON"},
        {"not an object", "[1, 2]", "expected an object"},
        {"no version", R"({"name": "T", )" + source + "}", "version"},
        {"a later version", R"({"version": 2, "name": "T", )" + source + "}", "version 2"},
        {"no name", R"({"version": 1, )" + source + "}", "name: missing"},
        {"no cube", R"({"version": 1, "name": "T", "source": {"dataSource": "s.cub"}})", "source.cube: missing"},
        {"a member that is no text",
         R"({"version": 1, "name": "T", )" + source + R"(, "columns": [{"dimension": "D", "drilled": ["a", 3]}]})",
         "columns[0].drilled[1]"},
        {"an unknown subtotal",
         R"({"version": 1, "name": "T", )" + source
             + R"(, "rows": [{"dimension": "D", "levels": [{"level": "L", "subtotals": ["median"]}]}]})",
         "rows[0].levels[0].subtotals[0]"},
        {"nesting far too deep", std::string(100000, '[') + std::string(100000, ']'), "nested deeper"},
        {"an overlong name", R"({"version": 1, "name": ")" + std::string(5000, 'x') + "\", " + source + "}",
         "name: longer than"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto failure = sheettest::failureOf([&] { reportFromJson(c.text, "weekly.json"); });
        EXPECT_EQ(failure.number(), 1004);
        EXPECT_NE(failure.description().find("weekly.json"), std::string::npos) << failure.description();
        EXPECT_NE(failure.description().find(c.named), std::string::npos) << failure.description();
    }
}

}  // namespace
