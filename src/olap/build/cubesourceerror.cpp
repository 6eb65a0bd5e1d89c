#include "olap/build/cubesourceerror.h"

namespace olap {

TextPosition advancePosition(TextPosition start, std::string_view text)
{
    TextPosition at = start;
    for (const char c : text) {
        if (c == '\n') {
            ++at.line;
            at.column = 1;
        } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            // UTF-8 continuation bytes belong to the character before them.
            ++at.column;
        }
    }
    return at;
}

TextPosition positionOfOffset(std::string_view text, size_t offset)
{
    return advancePosition({1, 1}, text.substr(0, offset));
}

std::string describePlace(const std::filesystem::path& file, TextPosition position)
{
    std::string place = file.string();
    if (position.line > 0) {
        place += ':' + std::to_string(position.line);
        if (position.column > 0)
            place += ':' + std::to_string(position.column);
    }
    return place;
}

void throwBadInput(const std::filesystem::path& file, TextPosition position, std::string_view message,
                   int32_t number)
{
    throw platform::Failure(number, describePlace(file, position) + ": " + std::string(message),
                            kCubeBuilderSource);
}

std::string inQuotes(std::string_view text)
{
    return '"' + std::string(text) + '"';
}

}  // namespace olap
