#include "olap/cube/cubefilechecks.h"

#include "platform/core/failure.h"

#include <algorithm>
#include <cstring>

namespace olap::cubecheck {

void damaged(const std::filesystem::path& file, const std::string& what)
{
    throw platform::Failure(platform::err::kPathFileAccess,
                            file.string() + ": the cube file is damaged (" + what + ")", "olap");
}

void checkFactCount(const std::filesystem::path& file, const CubeInfo& cube, std::span<const int> widths,
                    uint64_t fileBytes)
{
    uint64_t bytesPerFact = 0;
    for (const int width : widths)
        bytesPerFact += uint64_t(width);
    // A fact with no column still counts against the file, so that a cube
    // with neither dimensions nor measures cannot claim endless facts.
    if (cube.factCount > fileBytes / std::max<uint64_t>(bytesPerFact, 1))
        damaged(file, "\"" + cube.name + "\" claims more facts than the file can hold");
}

void checkAllLevel(const std::filesystem::path& file, const HierarchyInfo& hierarchy)
{
    for (size_t i = 0; i < hierarchy.levels.size(); ++i) {
        const LevelInfo& level = hierarchy.levels[i];
        if (level.type != LevelType::All)
            continue;
        if (i != 0)
            damaged(file, "the \"all\" level of \"" + hierarchy.name + "\" is not its top level");
        if (level.memberCount != 1)
            damaged(file, "the \"all\" level of \"" + hierarchy.name + "\" does not hold exactly one member");
    }
}

namespace {

template <class Key>
void checkKeysOfWidth(const std::filesystem::path& file, std::span<const Key> keys, uint32_t keyCount)
{
    // Four vectors of 16 bytes (the instruction set every x86-64 has), as
    // the compiler does not vectorise this loop by itself: a column of
    // 100,000,000 keys is checked on every read.
    typedef Key Vector __attribute__((vector_size(16)));
    constexpr size_t kLanes = sizeof(Vector) / sizeof(Key), kStep = 4 * kLanes;
    Vector top[4] = {};
    size_t at = 0;
    for (; at + kStep <= keys.size(); at += kStep) {
        for (size_t v = 0; v < 4; ++v) {
            Vector next;
            std::memcpy(&next, keys.data() + at + v * kLanes, sizeof(next));
            top[v] = top[v] > next ? top[v] : next;
        }
    }
    Key largest = 0;
    for (; at < keys.size(); ++at)
        largest = std::max(largest, keys[at]);
    for (const Vector& vector : top) {
        for (size_t lane = 0; lane < kLanes; ++lane)
            largest = std::max<Key>(largest, vector[lane]);
    }
    if (!keys.empty() && largest >= keyCount)
        damaged(file, "a fact names an unknown member");
}

}  // namespace

void checkKeys(const std::filesystem::path& file, std::span<const uint8_t> keys, uint32_t keyCount)
{
    checkKeysOfWidth(file, keys, keyCount);
}

void checkKeys(const std::filesystem::path& file, std::span<const uint16_t> keys, uint32_t keyCount)
{
    checkKeysOfWidth(file, keys, keyCount);
}

void checkKeys(const std::filesystem::path& file, std::span<const uint32_t> keys, uint32_t keyCount)
{
    checkKeysOfWidth(file, keys, keyCount);
}

ChunkLedger::ChunkLedger(const std::filesystem::path& file, uint64_t chunks, uint64_t columns)
    : mFile(file), mChunks(chunks), mColumns(columns), mFilled(chunks * columns, false)
{
}

void ChunkLedger::fill(uint64_t chunk, uint64_t column)
{
    if (chunk >= mChunks || column >= mColumns)
        damaged(mFile, "a fact chunk lies outside the cube");
    const uint64_t at = chunk * mColumns + column;
    if (mFilled[at])
        damaged(mFile, "fact chunk " + std::to_string(chunk) + " of column " + std::to_string(column)
                           + " appears twice");
    mFilled[at] = true;
    ++mCount;
}

void ChunkLedger::requireComplete() const
{
    if (mCount != mChunks * mColumns)
        damaged(mFile, "fact chunks are missing");
}

}  // namespace olap::cubecheck
