// The JSON reader of cube definitions. It parses the text itself, so that
// the values and where each was written come from one reading of one
// grammar: JSON with "//" comments (ended by a line break, "\n" or "\r") and
// "/* */" comments. Parsed values do not remember their places, so the
// reader keeps them beside the values, by JSON pointer ("/cubes/0/name"), for
// problems found later to be reported at their line and column.
//
// Hostile text is bounded: nesting deeper than kMaxNesting is refused, and
// the places take memory in proportion to the text.
#pragma once

#include "olap/build/cubesourceerror.h"

#include <nlohmann/json.hpp>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace olap {

class JsonPlaces {
public:
    // Definitions nest about eight deep; this leaves room and keeps the
    // recursive reading far from the end of the stack.
    static constexpr int kMaxNesting = 64;

    // Parses `text`. Throws Failure naming `file`, line and column of the
    // first problem: malformed JSON, an unterminated comment, nesting deeper
    // than kMaxNesting, a number out of range, or an object member whose
    // name appears twice in that object (a parser would keep only one).
    JsonPlaces(std::string_view text, std::filesystem::path file);
    ~JsonPlaces();

    // The parsed value; valid as long as this object.
    const nlohmann::json& root() const { return mRoot; }

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
    // Where one value was written, and its members' or items' places.
    struct Place {
        size_t value = 0;
        size_t name = std::string::npos;   // npos: not an object member
        std::map<std::string, size_t, std::less<>> members;   // name -> index into mPlaces
        std::vector<size_t> items;                            // index into mPlaces
    };

    [[noreturn]] void fail(size_t offset, std::string_view message) const;
    [[noreturn]] void malformed(size_t offset, std::string_view message) const;
    void skipSpace();
    char peek() const { return mPos < mText.size() ? mText[mPos] : '\0'; }
    size_t parseValue(nlohmann::json& into, int depth);
    void parseObject(nlohmann::json& into, size_t place, int depth);
    void parseArray(nlohmann::json& into, size_t place, int depth);
    std::string parseString();
    void parseScalar(nlohmann::json& into);
    const Place& placeOf(std::string_view pointer) const;

    std::string mText;
    std::filesystem::path mFile;
    size_t mPos = 0;
    nlohmann::json mRoot;
    std::vector<Place> mPlaces;   // [0] is the root's
};

}  // namespace olap
