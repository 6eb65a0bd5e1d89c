#include "pivottestcube.h"

#include "olap/connection/connectionmodel.h"
#include "olap/cube/cubebuilder.h"
#include "olap/store/storecompanion.h"
#include "olap/store/storeloader.h"
#include "olap/store/storemodel.h"

#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace pivottest {

namespace {

using olap::DimensionType;
using olap::PathPart;

olap::CubeSpec shopSpec(bool measureList)
{
    olap::CubeSpec spec{
        "Shop",
        {{"Time", DimensionType::Time, {{"", false, "", {{"Year", true}, {"Quarter", false}, {"Month", false}}}}},
         {"Product",
          DimensionType::Other,
          {{"", true, "All Products", {{"Category", false}, {"Subcategory", false}, {"Item", false}}}}},
         {"Store", DimensionType::Other, {{"", false, "", {{"City", false}}}, {"Size", false, "", {{"Size", false}}}}},
         {"Region", DimensionType::Other, {{"", false, "", {{"Country", false}}}}}},
        {{"Amount", olap::Aggregation::Sum, ""}, {"Cost", olap::Aggregation::Sum, ""},
         {"Units", olap::Aggregation::Sum, ""}}};
    if (measureList)
        spec.dimensions.push_back({"Measure List", DimensionType::Measure, {{"", false, "", {{"Measure", false}}}}});
    return spec;
}

}  // namespace

void writeShopCube(const std::filesystem::path& file, bool measureList)
{
    olap::CubeBuilder cube(shopSpec(measureList));
    auto month = [&](const char* year, const char* quarter, const char* name) {
        return cube.dimensionKey(0, std::vector<PathPart>{{year, ""}, {quarter, ""}, {name, ""}});
    };
    auto item = [&](const char* category, const char* subcategory, const char* name) {
        return cube.dimensionKey(1, std::vector<PathPart>{{category, ""}, {subcategory, ""}, {name, ""}});
    };
    auto store = [&](const char* city, const char* size) {
        const std::vector<PathPart> paths[] = {{{city, ""}}, {{size, ""}}};
        return cube.dimensionKey(2, paths);
    };
    auto country = [&](const char* name) { return cube.dimensionKey(3, std::vector<PathPart>{{name, ""}}); };
    const uint32_t jan23 = month("2023", "Q1", "Jan"), feb23 = month("2023", "Q1", "Feb");
    const uint32_t apr23 = month("2023", "Q2", "Apr"), jan24 = month("2024", "Q1", "Jan");
    const uint32_t cola = item("Drinks", "Soda", "Cola"), lemonade = item("Drinks", "Soda", "Lemonade");
    const uint32_t apple = item("Drinks", "Juice", "Apple"), bread = item("Food", "Bakery", "Bread");
    const uint32_t oslo = store("Oslo", "Big"), paris = store("Paris", "Small");
    const uint32_t norway = country("Norway"), france = country("France");
    // With a measure list, each fact is listed under one of its members;
    // "Margin" names no measure of the cube, and no member names Cost.
    uint32_t listed[3] = {};
    if (measureList) {
        const char* names[] = {"Amount", "Margin", "Units"};
        for (size_t i = 0; i < 3; ++i)
            listed[i] = cube.dimensionKey(4, std::vector<PathPart>{{names[i], ""}});
    }
    size_t facts = 0;
    auto fact = [&](uint32_t time, uint32_t product, uint32_t shop, uint32_t region, double amount, double units) {
        const uint32_t keys[] = {time, product, shop, region, listed[facts++ % 3]};
        const double values[] = {amount, amount / 2, units};
        cube.addFact(std::span(keys, measureList ? 5 : 4), values);
    };
    fact(jan23, cola, oslo, norway, 10, 1);
    fact(feb23, lemonade, oslo, norway, 20, 2);
    fact(apr23, apple, paris, france, 40, 4);
    fact(jan24, bread, paris, france, 80, 8);
    fact(jan24, cola, oslo, norway, 160, 16);
    olap::CubeBuilder* cubes[] = {&cube};
    olap::writeCubeFile(file, "Shop Catalog", cubes);
}

std::shared_ptr<olap::Cube> makeStoreShop(const std::filesystem::path& folder, bool measureList)
{
    writeShopCube(folder / "Shop.cub", measureList);
    olap::writeStoreCompanion(folder / "Shop.bwf",
                              measureList ? olap::StoreCompanion{true, "Measure List"} : olap::StoreCompanion{});
    const std::filesystem::path bwc = folder / "Shop.BWC";
    std::string problem;
    if (!olap::extractStoreCube((folder / "pivotwizard").string(), "Shop", bwc, 1, &problem))
        throw std::runtime_error("cannot extract the store cube: " + problem);
    auto cube = std::make_shared<olap::Cube>();
    cube->loadFromFile(bwc, true);
    std::filesystem::remove(bwc);
    return cube;
}

std::shared_ptr<olap::KCube> openLocalCube(const std::filesystem::path& file)
{
    olap::OlapConnection connection;
    const auto providers = connection.providers();
    connection.openLocalCube(providers.item(providers.count() - 1)->connectionName(), file);
    return connection.databases().item(0)->cubes().item(0)->definition();
}

}  // namespace pivottest
