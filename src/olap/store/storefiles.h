// File handling shared by the application store's formats (the .bwf
// companion and the .BWC store cube): whole-file reads, atomic writes, and
// where a store cube's files live.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace olap {

// The failures of the store name the file first: "<path>: <problem>".
[[noreturn]] void storeFailure(int32_t number, const std::filesystem::path& file, const std::string& problem);

// The whole content of `file`. Throws Failure naming the file when it cannot
// be read (53 when missing, 70 when denied, 75 otherwise) or is larger than
// `maxBytes` (75: nothing of ours is that large, so it is not ours).
std::string readWholeFile(const std::filesystem::path& file, uint64_t maxBytes);

// Replaces `file` with `bytes` through platform's SafeWrite, so readers see
// the old file or the new one, never a part, and the file keeps its
// permissions. Throws Failure naming the file ("<path>: cannot write the file
// (<system text>)") when it cannot be written; an existing file is then
// untouched.
void writeFileAtomically(const std::filesystem::path& file, std::string_view bytes);

// The application folder of an application path: every component but the
// last, each followed by "/"; '/' and '\' both separate components, and a
// trailing separator adds no empty component. Empty when the path has no
// separator (the current folder).
// "/opt/app/pivotwizard" -> "/opt/app/"; "/opt/app/" -> "/opt/"; "C:\App\x.exe" -> "C:/App/".
std::string applicationFolder(std::string_view applicationPath);

// The file of store cube `storeCubeName` with `extension` (".cub", ".bwf",
// ".BWC") in the application folder of `applicationPath`.
std::filesystem::path storeFile(std::string_view applicationPath, std::string_view storeCubeName,
                                std::string_view extension);

}  // namespace olap
