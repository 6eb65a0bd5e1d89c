#include "olap/build/cubesourcejson.h"

#include <unordered_set>

namespace olap {

JsonPlaces::JsonPlaces(std::string text, std::filesystem::path file)
    : mText(std::move(text)), mFile(std::move(file))
{
    skipSpace();
    if (mPos < mText.size())
        indexValue("");
}

std::string JsonPlaces::child(std::string_view pointer, std::string_view name)
{
    std::string result(pointer);
    result += '/';
    for (const char c : name) {
        if (c == '~')
            result += "~0";
        else if (c == '/')
            result += "~1";
        else
            result += c;
    }
    return result;
}

std::string JsonPlaces::child(std::string_view pointer, size_t index)
{
    return std::string(pointer) + '/' + std::to_string(index);
}

TextPosition JsonPlaces::valueAt(std::string_view pointer) const
{
    return positionOf(mValues, pointer);
}

TextPosition JsonPlaces::nameAt(std::string_view pointer) const
{
    if (mNames.contains(std::string(pointer)))
        return positionOf(mNames, pointer);
    return positionOf(mValues, pointer);
}

TextPosition JsonPlaces::positionOf(const std::unordered_map<std::string, size_t>& offsets,
                                    std::string_view pointer) const
{
    for (std::string key(pointer);; key.erase(key.rfind('/'))) {
        if (const auto found = offsets.find(key); found != offsets.end())
            return positionOfOffset(mText, found->second);
        if (key.empty())
            return {1, 1};
    }
}

void JsonPlaces::skipSpace()
{
    while (mPos < mText.size()) {
        const char c = mText[mPos];
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            ++mPos;
        } else if (mText.compare(mPos, 2, "//") == 0) {
            mPos = std::min(mText.find('\n', mPos), mText.size());
        } else if (mText.compare(mPos, 2, "/*") == 0) {
            const size_t end = mText.find("*/", mPos + 2);
            mPos = end == std::string::npos ? mText.size() : end + 2;
        } else {
            return;
        }
    }
}

void JsonPlaces::indexValue(const std::string& pointer)
{
    mValues[pointer] = mPos;
    const char c = mText[mPos];
    if (c == '{') {
        indexObject(pointer);
    } else if (c == '[') {
        indexArray(pointer);
    } else if (c == '"') {
        readString();
    } else {
        // A number, true, false or null: runs to the next delimiter.
        while (mPos < mText.size() && std::string_view(",]} \t\r\n/").find(mText[mPos]) == std::string_view::npos)
            ++mPos;
    }
}

void JsonPlaces::indexObject(const std::string& pointer)
{
    std::unordered_set<std::string> seen;
    ++mPos;  // '{'
    for (skipSpace(); mText[mPos] != '}'; skipSpace()) {
        const size_t nameStart = mPos;
        const std::string name = readString();
        if (!seen.insert(name).second)
            throwBadInput(mFile, positionOfOffset(mText, nameStart), "the member " + inQuotes(name) + " appears twice");
        const std::string memberPointer = child(pointer, name);
        mNames[memberPointer] = nameStart;
        skipSpace();
        ++mPos;  // ':'
        skipSpace();
        indexValue(memberPointer);
        skipSpace();
        if (mText[mPos] == ',')
            ++mPos;
    }
    ++mPos;  // '}'
}

void JsonPlaces::indexArray(const std::string& pointer)
{
    ++mPos;  // '['
    size_t index = 0;
    for (skipSpace(); mText[mPos] != ']'; skipSpace()) {
        indexValue(child(pointer, index++));
        skipSpace();
        if (mText[mPos] == ',')
            ++mPos;
    }
    ++mPos;  // ']'
}

// Reads a string at mPos and returns its text with simple escapes resolved;
// member names of a definition are plain words, so "\u" escapes are kept
// as written rather than decoded.
std::string JsonPlaces::readString()
{
    std::string text;
    ++mPos;  // opening quote
    while (mPos < mText.size() && mText[mPos] != '"') {
        if (mText[mPos] == '\\' && mPos + 1 < mText.size()) {
            const char escaped = mText[++mPos];
            const std::string_view from = "\"\\/bfnrt", to = "\"\\/\b\f\n\r\t";
            const size_t which = from.find(escaped);
            if (which == std::string_view::npos)
                text += '\\';
            text += which == std::string_view::npos ? escaped : to[which];
        } else {
            text += mText[mPos];
        }
        ++mPos;
    }
    ++mPos;  // closing quote
    return text;
}

}  // namespace olap
