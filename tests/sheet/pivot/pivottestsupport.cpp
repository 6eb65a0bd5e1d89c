#include "pivottestsupport.h"

#include "olap/cube/cubebuilder.h"
#include "sheet/host/hostapplication.h"

#include <pugixml.hpp>

#include <vector>

namespace pivottest {

using namespace olap;

void writeShopCube(const std::filesystem::path& file)
{
    CubeSpec spec{"Shop",
                  {{"Time", DimensionType::Time, {{"", false, "", {{"Year"}, {"Quarter"}}}}},
                   {"Product", DimensionType::Other, {{"", true, "All Products", {{"Category"}, {"Product"}}}}},
                   {"Measure List", DimensionType::Measure, {{"", false, "", {{"Measure"}}}}}},
                  {{"Sales", Aggregation::Sum, "#,##0.00"}, {"Units", Aggregation::Sum, "0"}}};
    CubeBuilder cube(spec);
    struct Fact {
        const char *year, *quarter, *category, *product;
        double sales, units;
    };
    const Fact facts[] = {{"2023", "Q1", "Drinks", "Tea", 10, 1},
                          {"2023", "Q1", "Food", "Bread", 5, 2},
                          {"2023", "Q2", "Drinks", "Coffee", 7.5, 3},
                          {"2024", "Q1", "Drinks", "Tea", 20, 4},
                          {"2024", "Q1", "Drinks", "Coffee", 1.25, 5}};
    for (const auto& fact : facts) {
        const uint32_t keys[] = {cube.dimensionKey(0, std::vector<PathPart>{{fact.year, ""}, {fact.quarter, ""}}),
                                 cube.dimensionKey(1, std::vector<PathPart>{{fact.category, ""}, {fact.product, ""}}),
                                 cube.dimensionKey(2, std::vector<PathPart>{{"Units", ""}})};
        const double values[] = {fact.sales, fact.units};
        cube.addFact(keys, values);
    }
    CubeBuilder* cubes[] = {&cube};
    writeCubeFile(file, "Shop Catalog", cubes);
}

std::string localConnection(const std::filesystem::path& cube, const std::string& catalog)
{
    return "OLEDB;Provider=MSOLAP.2;Data Source=" + cube.string() + ";Initial Catalog=" + catalog
           + ";Client Cache Size=25;Auto Synch Period=10000";
}

void ShopTable::place(const std::string& field, int32_t orientation)
{
    table->CubeFields()->Item(field)->Orientation(orientation);
}

sheet::Area ShopTable::area() const
{
    return std::dynamic_pointer_cast<sheet::PlacedPivotTable>(table)->area();
}

// A pivot cache of `book` over cube `name` of catalog `catalog` in `file`.
static std::shared_ptr<sheet::PivotCache> cubeCache(sheet::Workbook& book, const std::filesystem::path& file,
                                                    const std::string& catalog, const std::string& name)
{
    auto cache = book.PivotCaches()->Add(sheet::kExternalSource);
    cache->Connection(sheet::VariantArray{localConnection(file, catalog)});
    cache->CommandType(sheet::kCommandCube);
    cache->CommandText(sheet::VariantArray{name});
    return cache;
}

std::shared_ptr<sheet::PivotCache> shopCache(sheet::Workbook& book, const std::filesystem::path& cube)
{
    return cubeCache(book, cube, "Shop Catalog", "Shop");
}

std::shared_ptr<sheet::PivotTable> sampleSalesTable(sheet::Workbook& book, const std::string& address)
{
    return cubeCache(book, std::filesystem::path(PIVOTWIZARD_SAMPLE_STORE) / "Sales.cub", "Sales", "Sales")
        ->CreatePivotTable(book.Worksheets()->Item(1)->Range(address), "Table Sales");
}

ShopTable makeShopTable(const std::filesystem::path& cube, const std::string& address)
{
    ShopTable shop;
    shop.app = sheet::createApplication();
    shop.book = shop.app->Workbooks()->Add();
    shop.sheet = shop.book->Worksheets()->Item(1);
    shop.table = shopCache(*shop.book, cube)->CreatePivotTable(shop.sheet->Range(address), "Table Shop");
    return shop;
}

namespace {

// Per cell style: the number format code ("" for General) and boldness.
std::vector<SavedCell> stylesOf(const std::string& stylesXml)
{
    static const std::map<std::string, std::string> kBuiltin{
        {"", ""}, {"0", ""}, {"1", "0"}, {"2", "0.00"}, {"3", "#,##0"}, {"4", "#,##0.00"}};
    pugi::xml_document styles;
    styles.load_string(stylesXml.c_str());
    const auto sheet = styles.child("styleSheet");
    std::map<std::string, std::string> codes = kBuiltin;
    for (auto format : sheet.child("numFmts").children("numFmt"))
        codes[format.attribute("numFmtId").value()] = format.attribute("formatCode").value();
    std::vector<bool> boldFonts;
    for (auto font : sheet.child("fonts").children("font"))
        boldFonts.push_back(bool(font.child("b")));
    std::vector<SavedCell> byStyle;
    for (auto xf : sheet.child("cellXfs").children("xf")) {
        const std::string id = xf.attribute("numFmtId").value();
        byStyle.push_back({"", codes.count(id) ? codes[id] : "builtin " + id, boldFonts.at(xf.attribute("fontId").as_uint())});
    }
    return byStyle;
}

}  // namespace

std::map<std::string, SavedCell> savedCells(const std::filesystem::path& file, const std::string& part)
{
    const auto zip = sheettest::readZip(file);
    const auto styles = stylesOf(zip.at("xl/styles.xml").data);
    pugi::xml_document document;
    document.load_string(zip.at(part).data.c_str());
    std::map<std::string, SavedCell> cells;
    for (auto row : document.child("worksheet").child("sheetData").children("row")) {
        for (auto c : row.children("c")) {
            SavedCell cell = styles.at(c.attribute("s").as_uint());
            cell.text = c.attribute("t").value() == std::string("inlineStr") ? c.child("is").child("t").text().get()
                                                                           : c.child("v").text().get();
            if (!cell.text.empty())
                cells[c.attribute("r").value()] = cell;
        }
    }
    return cells;
}

}  // namespace pivottest
