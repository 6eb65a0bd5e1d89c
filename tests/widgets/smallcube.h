// A one-dimension cube file for the store and selector tests: catalog
// "Sales Catalog", cube "Sales", dimension City with Paris, measure Units.
#pragma once

#include "olap/cube/cubebuilder.h"

#include <filesystem>
#include <vector>

inline void writeSmallCube(const std::filesystem::path& file)
{
    olap::CubeSpec spec{"Sales",
                        {{"City", olap::DimensionType::Other, {{"", false, "", {{"City"}}}}}},
                        {{"Units", olap::Aggregation::Sum, ""}}};
    olap::CubeBuilder cube(spec);
    const uint32_t keys[] = {cube.dimensionKey(0, std::vector<olap::PathPart>{{"Paris", ""}})};
    const double values[] = {1.0};
    cube.addFact(keys, values);
    olap::CubeBuilder* cubes[] = {&cube};
    olap::writeCubeFile(file, "Sales Catalog", cubes);
}
