// Whole-file helpers shared by the layers: writing and reading a file in one
// piece, the failure of a system call, and a file lookup that ignores letter
// case (the error report asks for "screenshot.bmp" where "screenShot.bmp" was
// saved). Replacing a file safely is safewrite.h's.
#pragma once

#include "platform/core/failure.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// Writes all of `content` to the open file `fd`, resuming after signals.
// False when a write failed (errno says why).
bool writeAll(int fd, std::string_view content);

// The whole content of `file`. Throws Failure (naming the file) when it
// cannot be read.
std::string readFile(const std::filesystem::path& file);

// The failure of a system call that set `code` (an errno value): the
// runtime's number for it (53 missing, 61 disk full, 70 denied, ...), the
// description "<runtime text>: <what>: <system text>", and `code` as the last
// platform error.
Failure systemFailure(int code, const std::string& what);

// `path` itself when it exists; otherwise the entry of its folder whose name
// equals its file name without regard to letter case (the first in the
// folder's order when several do); otherwise `path` unchanged. Only the last
// component is looked up this way.
std::filesystem::path findIgnoringCase(const std::filesystem::path& path);

// Removes the file that findIgnoringCase finds. Returns whether a file was
// removed; never throws.
bool removeIgnoringCase(const std::filesystem::path& path);

}  // namespace platform
