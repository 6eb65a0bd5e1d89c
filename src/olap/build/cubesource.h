// Making cubes from a cube definition and its CSV files: the work of the
// command-line cube builder, also used by the sample generator.
#pragma once

#include "olap/cube/cubebuilder.h"
#include "olap/build/cubedefinition.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace olap {

// Builds every cube of `catalog`, reading its fact table and dimension
// tables. Throws Failure (source "cubebuilder") naming file, line and column
// of the first problem: an unknown column, a non-numeric measure value (13),
// a duplicate member key, a missing join key, a malformed CSV record, a file
// that cannot be opened.
std::vector<CubeBuilder> buildCubes(const CatalogDefinition& catalog);

struct CubeSummary {
    std::string name;
    uint64_t factCount = 0;
    size_t dimensionCount = 0;
    size_t measureCount = 0;
};

// Builds the cubes and writes the cube file `output`; when the definition
// has a "store" section, writes the store companion beside it (`output` with
// the extension ".bwf"), which makes the pair a store cube. Nothing is
// written when building fails. Throws as buildCubes and writeCubeFile do.
std::vector<CubeSummary> buildCubeFile(const CatalogDefinition& catalog, const std::filesystem::path& output);

// The store companion file that belongs to cube file `cubeFile`.
std::filesystem::path companionPath(const std::filesystem::path& cubeFile);

}  // namespace olap
