// The companion file N.bwf of an application-store cube N: what the store
// adds to the cube file N.cub. A store cube is accepted only when both exist.
#pragma once

#include <filesystem>
#include <string>

namespace olap {

struct StoreCompanion {
    // The measures dimension carries the special flag: the wizard then places
    // the measures in the Rows area and lists them through measureListDimension.
    bool measuresSpecial = false;
    // The name of the dimension that lists the measures as members on the
    // measures step when measuresSpecial is set; empty otherwise.
    std::string measureListDimension;
};

// Writes `companion` to `file` atomically (temporary file, then rename).
// Throws Failure naming the file when it cannot be written.
void writeStoreCompanion(const std::filesystem::path& file, const StoreCompanion& companion);

// Reads a companion file. Throws Failure naming the file and the problem when
// it is missing, damaged or of a newer version.
StoreCompanion readStoreCompanion(const std::filesystem::path& file);

}  // namespace olap
