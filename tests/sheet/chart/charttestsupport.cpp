#include "charttestsupport.h"
#include "pivottestsupport.h"

#include "sheet/chart/chartengine.h"
#include "sheet/host/hostworksheet.h"
#include "sheet/xlsx/partnames.h"
#include "sheet/constants.h"
#include "sheet/cubefield.h"

#include <cstdlib>
#include <sstream>

namespace charttest {

sheet::ChartData salesData(sheet::CellRef topLeft)
{
    const auto at = [&](int32_t row, int32_t column) {
        return sheet::CellRef{topLeft.row + row, topLeft.column + column};
    };
    return {"Amount",
            "Report",
            {"North", "South", "East"},
            {at(1, 0), at(2, 0), at(3, 0)},
            {{"Amount", "#,##0"}},
            {{"2023", 0, {10.0, 32.0, std::nullopt}, {at(1, 1), at(2, 1), at(3, 1)}},
             {"2024", 0, {15.0, 20.0, 25.0}, {at(1, 2), at(2, 2), at(3, 2)}}}};
}

sheet::Area area(const std::string& address)
{
    return *sheet::parseAddress(address);
}

std::shared_ptr<sheet::HostApplication> chartApplication()
{
    auto app = sheet::HostApplication::create();
    app->setEngines(nullptr, sheet::makeChartEngine());
    return app;
}

std::shared_ptr<FakeTable> placeTable(const std::shared_ptr<sheet::Worksheet>& sheet, const std::string& address)
{
    auto table = std::make_shared<FakeTable>("Sales", area(address), salesData(area(address).first));
    std::dynamic_pointer_cast<sheet::HostWorksheet>(sheet)->addPivotTable(table);
    return table;
}

void saveSalesReportWithChart(const std::filesystem::path& file, std::vector<std::string>& series,
                              std::vector<std::string>& categories)
{
    auto app = sheet::createApplication();
    auto book = app->Workbooks()->Add();
    auto report = book->Worksheets()->Item(1);
    report->Name("Report");
    auto table = pivottest::sampleSalesTable(*book, "B3");
    report->Range("B3")->Select();
    app->Charts()->Add()->Location(sheet::kLocationAsObject, "Report");
    table->Format(sheet::kTableFormat13);
    auto fields = table->CubeFields();
    const auto drill = [&](const char* field, std::vector<std::string> members) {
        auto drilled = sheet::VariantArray::twoDimensional(1, members.size());
        for (size_t i = 0; i < members.size(); ++i)
            drilled(0, i) = members[i];
        fields->Item(field)->TreeviewControl()->Drilled(drilled);
    };
    fields->Item("[Time]")->Orientation(sheet::kColumnField);
    drill("[Time]", {"[Time].[2022]", "[Time].[2023]", "[Time].[2024]"});
    fields->Item("[Store]")->Orientation(sheet::kRowField);
    drill("[Store]", {"[Store].[USA]"});
    table->ManualUpdate(true);
    fields->Item("[Measures].[Sales Amount]")->Orientation(sheet::kDataField);
    fields->Item("[Measures].[Units]")->Orientation(sheet::kDataField);
    table->ManualUpdate(false);
    report->Columns()->AutoFit();
    const auto data = std::dynamic_pointer_cast<sheet::PlacedPivotTable>(table)->chartData();
    for (const auto& s : data->series)
        series.push_back(s.name);
    categories = data->categories;
    book->SaveAs(file.string());
}

int run(const std::string& command, const std::filesystem::path& log)
{
    return std::system((command + " > '" + log.string() + "' 2>&1").c_str());
}

std::unique_ptr<pugi::xml_document> parseXml(const std::string& text)
{
    auto document = std::make_unique<pugi::xml_document>();
    EXPECT_TRUE(document->load_string(text.c_str())) << text;
    return document;
}

void expectGolden(const std::string& part, const std::string& name)
{
    std::ostringstream indented;
    parseXml(part)->save(indented, "  ");
    const std::filesystem::path golden = sheettest::dataFolder() / "chart" / "golden" / (name + ".xml");
    if (std::getenv("UPDATE_GOLDEN") && !std::getenv("CI"))
        writeText(golden, indented.str());
    EXPECT_EQ(indented.str(), textOf(golden)) << "the golden part " << golden.string();
}

std::vector<std::string> texts(const pugi::xml_node& node, const char* name)
{
    std::vector<std::string> found;
    for (const auto& hit : node.select_nodes((std::string(".//") + name).c_str()))
        found.push_back(hit.node().text().get());
    return found;
}

SavedParts::SavedParts(const std::filesystem::path& file)
{
    for (const auto& [name, entry] : sheettest::readZip(file))
        mParts[name] = entry.data;
}

std::string SavedParts::operator[](const std::string& part) const
{
    const auto it = mParts.find(part);
    EXPECT_NE(it, mParts.end()) << part << " is missing";
    return it == mParts.end() ? std::string() : it->second;
}

std::string SavedParts::link(const std::string& part, const std::string& id) const
{
    const std::string rels = sheet::relationshipsPartOf(part);
    if (!has(rels))
        return {};
    pugi::xml_document document;
    document.load_string((*this)[rels].c_str());
    const auto node = document.document_element().find_child_by_attribute("Relationship", "Id", id.c_str());
    const std::string type = node.attribute("Type").value();
    return node ? type.substr(type.rfind('/') + 1) + " " + sheet::resolveTarget(part, node.attribute("Target").value())
                : std::string();
}

std::string SavedParts::overrideOf(const std::string& part) const
{
    pugi::xml_document types;
    types.load_string((*this)["[Content_Types].xml"].c_str());
    const auto node = types.document_element().find_child_by_attribute("Override", "PartName", ("/" + part).c_str());
    return node.attribute("ContentType").value();
}

std::string SavedParts::charts(const std::string& sheetPart) const
{
    const auto sheet = parseXml((*this)[sheetPart]);
    const std::string drawingLink = link(sheetPart, sheet->document_element().child("drawing").attribute("r:id").value());
    EXPECT_TRUE(drawingLink.starts_with("drawing ")) << drawingLink;
    const std::string drawing = drawingLink.substr(drawingLink.find(' ') + 1);
    EXPECT_EQ(overrideOf(drawing), "application/vnd.openxmlformats-officedocument.drawing+xml");
    std::string found = drawing + ":";
    const auto drawingXml = parseXml((*this)[drawing]);
    for (const auto& hit : drawingXml->document_element().select_nodes(".//c:chart")) {
        const std::string chartLink = link(drawing, hit.node().attribute("r:id").value());
        EXPECT_TRUE(chartLink.starts_with("chart ")) << chartLink;
        const std::string chart = chartLink.substr(chartLink.find(' ') + 1);
        EXPECT_EQ(overrideOf(chart), "application/vnd.openxmlformats-officedocument.drawingml.chart+xml");
        found += " " + chart;
    }
    return found;
}

std::vector<std::string> SavedParts::anchors(const std::string& drawing) const
{
    std::vector<std::string> found;
    const auto document = parseXml((*this)[drawing]);
    for (auto anchor : document->document_element().children()) {
        const auto from = anchor.child("xdr:from");
        if (!from)
            continue;
        found.push_back(std::string(from.child("xdr:col").text().get()) + "," + from.child("xdr:row").text().get());
    }
    return found;
}

}  // namespace charttest
