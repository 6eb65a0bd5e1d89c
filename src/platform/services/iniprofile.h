// Profile files: the INI format with the behaviour programs written for the
// Windows profile functions expect, on plain text files.
//
// A file is a sequence of lines, LF or CR LF. "[name]" starts a section; a
// line "key=value" inside it is an entry; lines starting with ';' and blank
// lines are neither. Section and key names compare without regard to ASCII
// case; names and values lose their surrounding blanks when read. Where a
// section or a key occurs twice, the first occurrence counts. Text is handled
// as bytes; UTF-8 passes through unchanged.
//
// Writing changes only the line it concerns and keeps every other line as it
// was, and replaces the file in one step (a temporary file in the same folder
// renamed over it), so a crash or a full disk never leaves half a file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace platform {

// The value of `key` in `section`. One pair of matching quotes (" or ')
// around the value is dropped. When the file, the section or the key does
// not exist: `defaultValue` without its trailing blanks. The result is cut to
// `bufferSize` - 1 characters, as a buffer of that size would hold it with its
// terminating NUL; a size of 0 gives an empty text.
std::string readProfileString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                              std::string_view defaultValue, size_t bufferSize);

// The number at the start of the value of `key`: decimal with an optional
// sign, or hexadecimal after "0x". A value that does not start with a number
// gives 0; a missing or empty value gives `defaultValue`. Larger numbers wrap
// around to 32 bits.
int32_t readProfileInt(const std::filesystem::path& file, std::string_view section, std::string_view key,
                       int32_t defaultValue);

// Sets `key` in `section` to `value`, creating the file and the section when
// they do not exist. An existing entry is replaced in place (its key keeps
// its spelling); a new one goes after the section's last line that is not
// blank; a new section goes at the end of the file. The file keeps its line
// ends (LF for a new file) and its permissions.
// Requires: section, key and value hold no line break.
// Returns false when the file cannot be read or written; the system's error
// code is then in lastPlatformError().
bool writeProfileString(const std::filesystem::path& file, std::string_view section, std::string_view key,
                        std::string_view value);

// Copies the entries of `section` into `buffer` as "key=value" texts, each
// followed by a NUL, the list followed by a second NUL; a line without "="
// is copied as its trimmed text. An empty or missing section gives two NULs.
// Returns the number of characters copied, not counting the final NUL. When
// the list does not fit, the last text is cut, the buffer ends with two NULs
// and the result is buffer.size() - 2. Characters after the list are left
// as they were.
size_t readProfileSection(const std::filesystem::path& file, std::string_view section, std::span<char> buffer);

}  // namespace platform
