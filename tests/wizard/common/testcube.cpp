#include "testcube.h"

#include <algorithm>
#include <sstream>

namespace {

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);)
        parts.push_back(part);
    return parts;
}

std::vector<olap::PathPart> path(const std::string& text)
{
    std::vector<olap::PathPart> parts;
    for (const std::string& name : split(text, '/'))
        parts.push_back({name, ""});
    return parts;
}

olap::HierarchySpec levels(const std::string& name, std::vector<olap::LevelSpec> levels, const char* all = nullptr)
{
    return {name, all != nullptr, all ? all : "", std::move(levels)};
}

}  // namespace

TestDimension shaped(const std::string& name, olap::DimensionType type, int hierarchies)
{
    TestDimension dimension{{name, type, {}}, {}};
    for (int h = 1; h <= hierarchies; ++h)
        dimension.spec.hierarchies.push_back(levels(name + " " + std::to_string(h), {{"Level"}}));
    dimension.members.push_back("M1");
    for (int h = 2; h <= hierarchies; ++h)
        dimension.members.back() += "|M1";
    return dimension;
}

void writeCube(const std::filesystem::path& file, const std::string& catalog, const std::string& cube,
               const std::vector<TestDimension>& dimensions, const std::vector<std::string>& measures)
{
    olap::CubeSpec spec{cube, {}, {}};
    size_t facts = 1;
    for (const TestDimension& dimension : dimensions) {
        spec.dimensions.push_back(dimension.spec);
        facts = std::max(facts, dimension.members.size());
    }
    for (const std::string& measure : measures)
        spec.measures.push_back({measure, olap::Aggregation::Sum, ""});
    olap::CubeBuilder builder(spec);
    for (size_t i = 0; i < facts; ++i) {
        std::vector<uint32_t> keys;
        for (size_t d = 0; d < dimensions.size(); ++d) {
            const auto& members = dimensions[d].members;
            std::vector<std::vector<olap::PathPart>> paths;
            for (const std::string& one : split(members[i % members.size()], '|'))
                paths.push_back(path(one));
            keys.push_back(builder.dimensionKey(d, paths));
        }
        const std::vector<double> values(measures.size(), double(10 * (i + 1)));
        builder.addFact(keys, values);
    }
    olap::CubeBuilder* cubes[] = {&builder};
    olap::writeCubeFile(file, catalog, cubes);
}

void writeStoreCube(const std::filesystem::path& folder, const std::string& name,
                    const std::vector<TestDimension>& dimensions, const olap::StoreCompanion& companion,
                    const std::vector<std::string>& measures)
{
    writeCube(folder / (name + ".cub"), name + " Catalog", name, dimensions, measures);
    olap::writeStoreCompanion(folder / (name + ".bwf"), companion);
}

std::vector<TestDimension> designCube()
{
    using olap::DimensionType;
    return {{{"Time", DimensionType::Time, {levels("", {{"Year"}, {"Quarter"}})}}, {"1997/Q1", "1997/Q2", "1998/Q3"}},
            {{"Product", DimensionType::Other, {levels("", {{"Category"}, {"Item"}}, "All Products")}},
             {"Drinks/Cola", "Drinks/Juice", "Food/Bread", "Food/Cake"}},
            {{"City", DimensionType::Other, {levels("", {{"City"}})}}, {"Paris", "Rome", "Oslo"}},
            {{"Channel", DimensionType::Other, {levels("", {{"Channel"}})}}, {"Web"}}};
}

std::vector<TestDimension> shopCube()
{
    using olap::DimensionType;
    return {
        {{"Time", DimensionType::Time, {levels("", {{"Year", true}, {"Quarter"}, {"Month"}})}},
         {"2023/Q1/Jan", "2023/Q1/Feb", "2023/Q2/Apr", "2024/Q1/Jan"}},
        {{"Product", DimensionType::Other, {levels("", {{"Category"}, {"Subcategory"}, {"Item"}}, "All Products")}},
         {"Drinks/Soda/Cola", "Drinks/Soda/Lemonade", "Drinks/Juice/Apple", "Food/Bakery/Bread"}},
        {{"Store", DimensionType::Other, {levels("", {{"City"}}), levels("Size", {{"Size"}})}},
         {"Oslo|Big", "Paris|Small"}},
        {{"Region", DimensionType::Other, {levels("", {{"Country"}})}}, {"Norway", "France"}}};
}
