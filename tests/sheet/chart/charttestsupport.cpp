#include "charttestsupport.h"

#include "sheet/chart/chartengine.h"
#include "sheet/host/hostworksheet.h"
#include "sheet/xlsx/partnames.h"

#include <cstdlib>
#include <sstream>

namespace charttest {

sheet::ChartData salesData()
{
    return {"Amount", {"North", "South", "East"}, {{"2023", {10.0, 32.0, std::nullopt}}, {"2024", {15.0, 20.0, 25.0}}}};
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
    auto table = std::make_shared<FakeTable>("Sales", area(address), salesData());
    std::dynamic_pointer_cast<sheet::HostWorksheet>(sheet)->addPivotTable(table);
    return table;
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
        sheettest::writeFile(golden, indented.str());
    EXPECT_EQ(indented.str(), sheettest::fileBytes(golden)) << "the golden part " << golden.string();
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
    for (auto anchor : document->document_element().children("xdr:twoCellAnchor")) {
        std::string corners;
        for (const char* corner : {"xdr:from", "xdr:to"}) {
            const auto node = anchor.child(corner);
            corners += std::string(corners.empty() ? "" : " ") + node.child("xdr:col").text().get() + ","
                       + node.child("xdr:row").text().get();
        }
        found.push_back(corners);
    }
    return found;
}

}  // namespace charttest
