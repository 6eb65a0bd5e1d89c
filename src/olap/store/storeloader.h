// The application store's reader. A store cube N is the pair N.cub (a cube
// file) and N.bwf (its companion) in the application folder; the reader
// turns them into one store cube file (.BWC, bwcfile.h) that the store model
// loads with Cube::loadFromFile.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace olap {

// Writes cube number `cubeNumber` (1 = the first) of the catalog in N.cub,
// with what N.bwf adds to it, to `target` as a store cube file, N being
// `storeCubeName` and both files in the application folder of
// `applicationPath` (storefiles.h). An existing `target` is replaced.
// Throws Failure naming the file and the problem when the name is empty or
// holds a folder, a file is missing, unreadable, damaged or of a newer
// version, the cube number does not exist, the companion does not fit the
// cube, or `target` cannot be written; nothing is written then.
void writeStoreCube(std::string_view applicationPath, std::string_view storeCubeName,
                    const std::filesystem::path& target, int cubeNumber);

// The store reader's one operation: writeStoreCube that reports instead of
// throwing. True when `target` holds the store cube; false when the store
// cube cannot be read or `target` cannot be written, with the reason in
// `problem` when it is given.
bool extractStoreCube(std::string_view applicationPath, std::string_view storeCubeName,
                      const std::filesystem::path& target, int cubeNumber, std::string* problem = nullptr);

}  // namespace olap
