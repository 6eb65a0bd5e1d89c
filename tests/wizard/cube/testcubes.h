// Small real cubes of a chosen shape for the cube step's tests: each
// dimension has one level per hierarchy and one member, "M1".
#pragma once

#include "olap/cube/schema.h"
#include "olap/store/storecompanion.h"

#include <filesystem>
#include <string>
#include <vector>

struct DimensionShape {
    std::string name;
    olap::DimensionType type = olap::DimensionType::Other;
    int hierarchies = 1;
};

// Writes catalog `catalogName` with the one cube `cubeName` (measure Units)
// to `file`.
void writeShapedCube(const std::filesystem::path& file, const std::string& catalogName, const std::string& cubeName,
                     const std::vector<DimensionShape>& dimensions);

// Writes the store cube N = `storeName` into `folder`: N.cub (catalog
// "<N> Catalog", cube N) and its companion N.bwf.
void writeShapedStoreCube(const std::filesystem::path& folder, const std::string& storeName,
                          const std::vector<DimensionShape>& dimensions, const olap::StoreCompanion& companion = {});
