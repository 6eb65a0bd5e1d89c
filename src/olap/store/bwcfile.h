// Store cube files (.BWC): one cube of the application store, saved with
// what the store's companion adds to it, in a single file that the store
// model (Cube::loadFromFile) loads. The store reader writes them from N.cub
// and N.bwf (storeloader.h). They hold metadata only: dimensions, hierarchies,
// levels, members and measures; the facts stay in N.cub, which PivotTables
// connect to. Layout: bwcformat.h.
#pragma once

#include "olap/cube/schema.h"
#include "olap/store/storecompanion.h"

#include <filesystem>
#include <string>

namespace olap {

struct StoreCubeData {
    std::string storeName;     // N, the store cube's name
    std::string catalogName;   // the catalog of N.cub
    StoreCompanion companion;
    // The cube as N.cub describes it, with unique names and captions.
    // memberOfKey stays empty: the facts are not part of a store cube file.
    CubeInfo cube;
};

// What makes `data` unusable as a store cube, or an empty text: a cube
// dimension named like the measures dimension, two dimensions of one name,
// special measures without a measure-list dimension, or a measure-list
// dimension named like a cube dimension that is not a measure dimension
// (naming it like the measures dimension is allowed).
std::string storeCubeProblem(const StoreCubeData& data);

// Writes `data` to `file` atomically (temporary file, then rename). Throws
// Failure naming the file when it cannot be written; an existing file is
// then untouched.
void writeBwcFile(const std::filesystem::path& file, const StoreCubeData& data);

// Reads a store cube file. With `verify` the checksum of the whole content is
// checked first, so flipped bytes anywhere are found; without it only the
// structure is checked (every count, index and range), which keeps a damaged
// file from doing harm but may let changed names through.
// Throws Failure naming the file and the problem when it is missing or
// unreadable (53, 70, 75), not a store cube file (52), written by a newer
// version (52) or damaged or truncated (75).
StoreCubeData readBwcFile(const std::filesystem::path& file, bool verify);

}  // namespace olap
