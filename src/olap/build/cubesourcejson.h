// Where each value of a JSON text starts, by JSON pointer ("/cubes/0/name"),
// so that problems found in a parsed cube definition can be reported at
// their line and column: parsed JSON values do not remember where they were.
#pragma once

#include "olap/build/cubesourceerror.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>

namespace olap {

class JsonPlaces {
public:
    // Indexes `text`. Requires: `text` is valid JSON, "//" and "/* */"
    // comments allowed (the JSON parser accepted it). Throws Failure naming
    // `file`, line and column of an object member whose name appears twice in
    // that object, because the parser would silently keep only one of them.
    JsonPlaces(std::string text, std::filesystem::path file);

    // Where the value at `pointer` starts; for a pointer not in the text, the
    // place of its nearest ancestor that is.
    TextPosition valueAt(std::string_view pointer) const;
    // Where the name of the object member at `pointer` starts; the value's
    // place when `pointer` is not an object member.
    TextPosition nameAt(std::string_view pointer) const;

    // `pointer` extended by an object member name or an array index.
    static std::string child(std::string_view pointer, std::string_view name);
    static std::string child(std::string_view pointer, size_t index);

private:
    void skipSpace();
    void indexValue(const std::string& pointer);
    void indexObject(const std::string& pointer);
    void indexArray(const std::string& pointer);
    std::string readString();
    TextPosition positionOf(const std::unordered_map<std::string, size_t>& offsets,
                            std::string_view pointer) const;

    std::string mText;
    std::filesystem::path mFile;
    size_t mPos = 0;
    std::unordered_map<std::string, size_t> mValues;
    std::unordered_map<std::string, size_t> mNames;
};

}  // namespace olap
