#include "testcubes.h"

#include "olap/cube/cubebuilder.h"

void writeShapedCube(const std::filesystem::path& file, const std::string& catalogName, const std::string& cubeName,
                     const std::vector<DimensionShape>& dimensions)
{
    olap::CubeSpec spec{cubeName, {}, {{"Units", olap::Aggregation::Sum, ""}}};
    for (const DimensionShape& shape : dimensions) {
        olap::DimensionSpec dimension{shape.name, shape.type, {}};
        for (int h = 1; h <= shape.hierarchies; ++h)
            dimension.hierarchies.push_back({shape.name + " " + std::to_string(h), false, "", {{"Level"}}});
        spec.dimensions.push_back(dimension);
    }
    olap::CubeBuilder cube(spec);
    std::vector<uint32_t> keys;
    for (size_t d = 0; d < dimensions.size(); ++d) {
        const std::vector<std::vector<olap::PathPart>> paths(size_t(dimensions[d].hierarchies), {{"M1", ""}});
        keys.push_back(cube.dimensionKey(d, paths));
    }
    const double values[] = {1.0};
    cube.addFact(keys, values);
    olap::CubeBuilder* cubes[] = {&cube};
    olap::writeCubeFile(file, catalogName, cubes);
}

void writeShapedStoreCube(const std::filesystem::path& folder, const std::string& storeName,
                          const std::vector<DimensionShape>& dimensions, const olap::StoreCompanion& companion)
{
    writeShapedCube(folder / (storeName + ".cub"), storeName + " Catalog", storeName, dimensions);
    olap::writeStoreCompanion(folder / (storeName + ".bwf"), companion);
}
