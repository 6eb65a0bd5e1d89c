// The cube file of the widget tests: catalog "Sales Catalog", cube "Sales",
// measure Units. Product: an "all" level over Category and Item: All
// Products > Drinks (Cola, Juice), Food (Bread, Cake). City: one level of 40
// cities, "City 00" to "City 39".
#pragma once

#include "olap/cube/cubebuilder.h"

#include <filesystem>
#include <string>
#include <vector>

inline void writeSalesCube(const std::filesystem::path& file)
{
    using olap::DimensionType;
    olap::CubeBuilder cube({"Sales",
                            {{"Product", DimensionType::Other, {{"", true, "All Products", {{"Category"}, {"Item"}}}}},
                             {"City", DimensionType::Other, {{"", false, "", {{"City"}}}}}},
                            {{"Units", olap::Aggregation::Sum, ""}}});
    const char* const items[][2] = {{"Drinks", "Cola"}, {"Drinks", "Juice"}, {"Food", "Bread"}, {"Food", "Cake"}};
    for (int i = 0; i < 40; ++i) {
        const auto& item = items[i % 4];
        const std::string city = (i < 10 ? "City 0" : "City ") + std::to_string(i);
        const uint32_t keys[] = {cube.dimensionKey(0, std::vector<olap::PathPart>{{item[0], ""}, {item[1], ""}}),
                                 cube.dimensionKey(1, std::vector<olap::PathPart>{{city, ""}})};
        const double values[] = {1.0};
        cube.addFact(keys, values);
    }
    olap::CubeBuilder* cubes[] = {&cube};
    olap::writeCubeFile(file, "Sales Catalog", cubes);
}

