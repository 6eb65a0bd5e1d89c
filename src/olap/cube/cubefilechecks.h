// The checks a cube file passes before anything it says is used: counts
// against what the file can hold (before anything is sized by them), the
// shape of each hierarchy's levels, and every fact chunk present exactly
// once. Each check throws Failure "<file>: the cube file is damaged (...)";
// they are kept apart from the reading so that a new fact layout can reuse them.
#pragma once

#include "olap/cube/schema.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace olap::cubecheck {

// Throws the failure for a damaged cube file, naming `file` and `what`.
[[noreturn]] void damaged(const std::filesystem::path& file, const std::string& what);

// Requires: `widths` holds the bytes per fact of each of the cube's fact
// columns (keys, then stored measures). Refuses a fact count that the file's
// `fileBytes` cannot hold.
void checkFactCount(const std::filesystem::path& file, const CubeInfo& cube, std::span<const int> widths,
                    uint64_t fileBytes);

// Refuses an "all" level below the top, and an "all" level on top whose
// members are not exactly one. Requires: the members are read.
void checkAllLevel(const std::filesystem::path& file, const HierarchyInfo& hierarchy);

// Refuses a key at or past `keyCount`: facts are indexes into the dimension's keys.
void checkKeys(const std::filesystem::path& file, std::span<const uint8_t> keys, uint32_t keyCount);
void checkKeys(const std::filesystem::path& file, std::span<const uint16_t> keys, uint32_t keyCount);
void checkKeys(const std::filesystem::path& file, std::span<const uint32_t> keys, uint32_t keyCount);

// Which fact chunks of one cube have been read: each (chunk, column) must be
// filled exactly once before the facts are used.
class ChunkLedger {
public:
    // Requires: chunks * columns was bounded by checkFactCount.
    ChunkLedger(const std::filesystem::path& file, uint64_t chunks, uint64_t columns);
    // Records chunk `chunk` of column `column`; refuses one outside the cube
    // or one already filled.
    void fill(uint64_t chunk, uint64_t column);
    // Refuses a ledger with a chunk still unfilled.
    void requireComplete() const;

private:
    const std::filesystem::path& mFile;
    uint64_t mChunks;
    uint64_t mColumns;
    std::vector<bool> mFilled;
    uint64_t mCount = 0;
};

}  // namespace olap::cubecheck
