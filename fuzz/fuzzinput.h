// What the fuzz targets share: the input written to a file for the readers
// that take a path, and the failures a reader is allowed to throw.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace fuzz {

// Writes the input to `name` in a folder of this process (in memory when
// /dev/shm exists) and returns its path. The folder is removed at exit.
std::filesystem::path inputFile(std::string_view name, const uint8_t* data, size_t size);

// The input as text.
inline std::string_view text(const uint8_t* data, size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace fuzz
