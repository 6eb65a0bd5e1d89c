// Fresh temporary files with unique names.
#pragma once

#include <filesystem>
#include <string_view>

namespace platform {

// The system's folder for temporary files: $TMPDIR when set and not empty,
// else /tmp. Not checked for existence.
std::filesystem::path tempFolder();

// Creates a new, empty file in tempFolder() named `prefix`, a hexadecimal
// number and ".tmp" (for example "bwt3F09A1C2.tmp") and returns its path.
// The file is created exclusively, so no two calls in any processes ever
// return the same file. The caller owns the file and deletes it.
// Returns an empty path when no file can be created (missing or read-only
// folder); the system's error code is then in lastPlatformError().
std::filesystem::path createTempFile(std::string_view prefix);

}  // namespace platform
