// Bad input to the cube builder, reported the way compilers do: the file, the
// line and the column where the problem is, then what is wrong. Users fix
// definitions and CSV files in a text editor, so that is the place they need.
#pragma once

#include "platform/core/failure.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace olap {

// The source named in every failure about cube-builder input.
inline constexpr const char* kCubeBuilderSource = "cubebuilder";

// A place in a text file. Both parts count from 1; 0 means unknown. Columns
// count characters (UTF-8 code points), as editors show them.
struct TextPosition {
    uint64_t line = 0;
    uint64_t column = 0;
    bool operator==(const TextPosition&) const = default;
};

// The position reached after reading `text` from `start`: a '\n' moves to
// column 1 of the next line, every other character one column on.
TextPosition advancePosition(TextPosition start, std::string_view text);

// The position of byte `offset` of `text` (clamped to its end).
TextPosition positionOfOffset(std::string_view text, size_t offset);

// "file:line:column", "file:line" or "file", as much as is known.
std::string describePlace(const std::filesystem::path& file, TextPosition position);

// Throws Failure(number, "file:line:column: message", kCubeBuilderSource).
[[noreturn]] void throwBadInput(const std::filesystem::path& file, TextPosition position,
                                std::string_view message,
                                int32_t number = platform::err::kInvalidCall);

// `text` in double quotes, for naming values and columns in messages.
std::string inQuotes(std::string_view text);

}  // namespace olap
