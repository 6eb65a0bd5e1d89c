#include "olap/build/cubesourcejson.h"

namespace olap {

namespace {

using Json = nlohmann::json;

// A character for a message: printable ASCII as itself, anything else by its code.
std::string shown(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F)
        return std::string("'") + c + "'";
    char code[8];
    std::snprintf(code, sizeof code, "0x%02X", byte);
    return std::string("the byte ") + code;
}

}  // namespace

JsonPlaces::JsonPlaces(std::string_view text, std::filesystem::path file) : mText(text), mFile(std::move(file))
{
    skipSpace();
    if (mPos >= mText.size())
        malformed(mPos, "the text is empty; expected a JSON object { ... }");
    parseValue(mRoot, 0);
    skipSpace();
    if (mPos < mText.size())
        malformed(mPos, "unexpected " + shown(mText[mPos]) + " after the end of the JSON value");
}

JsonPlaces::~JsonPlaces() = default;

void JsonPlaces::fail(size_t offset, std::string_view message) const
{
    throwBadInput(mFile, positionOfOffset(mText, offset), message);
}

void JsonPlaces::malformed(size_t offset, std::string_view message) const
{
    fail(offset, "malformed JSON: " + std::string(message));
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

// Walks `pointer` down the places as far as they go.
const JsonPlaces::Place& JsonPlaces::placeOf(std::string_view pointer) const
{
    const Place* place = &mPlaces.front();
    size_t at = 0;
    while (at < pointer.size() && pointer[at] == '/') {
        const size_t end = std::min(pointer.find('/', at + 1), pointer.size());
        std::string token;
        for (size_t i = at + 1; i < end; ++i) {
            if (pointer[i] == '~' && i + 1 < end && (pointer[i + 1] == '0' || pointer[i + 1] == '1'))
                token += pointer[++i] == '0' ? '~' : '/';
            else
                token += pointer[i];
        }
        at = end;
        if (const auto member = place->members.find(token); member != place->members.end()) {
            place = &mPlaces[member->second];
            continue;
        }
        const bool digits = !token.empty() && token.find_first_not_of("0123456789") == std::string::npos;
        const size_t index = digits && token.size() < 10 ? std::stoul(token) : SIZE_MAX;
        if (index >= place->items.size())
            break;
        place = &mPlaces[place->items[index]];
    }
    return *place;
}

TextPosition JsonPlaces::valueAt(std::string_view pointer) const
{
    return positionOfOffset(mText, placeOf(pointer).value);
}

TextPosition JsonPlaces::nameAt(std::string_view pointer) const
{
    const Place& place = placeOf(pointer);
    return positionOfOffset(mText, place.name != std::string::npos ? place.name : place.value);
}

void JsonPlaces::skipSpace()
{
    while (mPos < mText.size()) {
        const char c = mText[mPos];
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            ++mPos;
        } else if (mText.compare(mPos, 2, "//") == 0) {
            mPos = std::min(mText.find_first_of("\r\n", mPos), mText.size());
        } else if (mText.compare(mPos, 2, "/*") == 0) {
            const size_t end = mText.find("*/", mPos + 2);
            if (end == std::string::npos)
                malformed(mPos, "the comment that starts here is never closed with */");
            mPos = end + 2;
        } else {
            return;
        }
    }
}

// Parses the value at mPos into `into`; returns the index of its place.
size_t JsonPlaces::parseValue(Json& into, int depth)
{
    const size_t place = mPlaces.size();
    mPlaces.push_back({mPos, std::string::npos, {}, {}});
    const char c = peek();
    if ((c == '{' || c == '[') && depth >= kMaxNesting)
        fail(mPos, "the values are nested more than " + std::to_string(kMaxNesting) + " levels deep");
    if (c == '{')
        parseObject(into, place, depth);
    else if (c == '[')
        parseArray(into, place, depth);
    else if (c == '"')
        into = parseString();
    else
        parseScalar(into);
    return place;
}

void JsonPlaces::parseObject(Json& into, size_t place, int depth)
{
    into = Json::object();
    ++mPos;  // '{'
    skipSpace();
    if (peek() == '}') {
        ++mPos;
        return;
    }
    for (;;) {
        if (peek() != '"')
            malformed(mPos, "expected a member name in double quotes");
        const size_t nameStart = mPos;
        std::string name = parseString();
        if (mPlaces[place].members.contains(name))
            throwBadInput(mFile, positionOfOffset(mText, nameStart), "the member " + inQuotes(name) + " appears twice");
        skipSpace();
        if (peek() != ':')
            malformed(mPos, "expected ':' after the member name " + inQuotes(name));
        ++mPos;
        skipSpace();
        const size_t member = parseValue(into[name], depth + 1);
        mPlaces[member].name = nameStart;
        mPlaces[place].members.emplace(std::move(name), member);
        skipSpace();
        if (peek() == '}') {
            ++mPos;
            return;
        }
        if (peek() != ',')
            malformed(mPos, "expected ',' or '}' after a member of an object");
        ++mPos;
        skipSpace();
    }
}

void JsonPlaces::parseArray(Json& into, size_t place, int depth)
{
    into = Json::array();
    ++mPos;  // '['
    skipSpace();
    if (peek() == ']') {
        ++mPos;
        return;
    }
    for (;;) {
        into.push_back(nullptr);
        const size_t item = parseValue(into.back(), depth + 1);
        mPlaces[place].items.push_back(item);
        skipSpace();
        if (peek() == ']') {
            ++mPos;
            return;
        }
        if (peek() != ',')
            malformed(mPos, "expected ',' or ']' after an item of a list");
        ++mPos;
        skipSpace();
    }
}

// The string at mPos, its escapes resolved and its UTF-8 checked by the
// JSON library on just that string.
std::string JsonPlaces::parseString()
{
    const size_t start = mPos;
    size_t end = start + 1;
    while (end < mText.size() && mText[end] != '"')
        end += mText[end] == '\\' ? 2 : 1;
    if (end >= mText.size())
        malformed(start, "the text in double quotes that starts here is never closed");
    mPos = end + 1;
    try {
        return Json::parse(std::string_view(mText).substr(start, mPos - start)).get<std::string>();
    } catch (const Json::exception& error) {
        const std::string what = error.what();
        const size_t colon = what.rfind(": ");
        malformed(start, "a text in double quotes is malformed (" + (colon == std::string::npos ? what : what.substr(colon + 2)) + ")");
    }
}

// true, false, null or a number, checked and converted by the JSON library.
void JsonPlaces::parseScalar(Json& into)
{
    const size_t start = mPos;
    while (mPos < mText.size() && (std::isalnum(static_cast<unsigned char>(mText[mPos])) || mText[mPos] == '-'
                                   || mText[mPos] == '+' || mText[mPos] == '.'))
        ++mPos;
    const std::string_view token = std::string_view(mText).substr(start, mPos - start);
    if (token.empty())
        malformed(start, start < mText.size() ? "unexpected " + shown(mText[start]) + "; expected a value"
                                         : std::string("the text ends where a value was expected"));
    try {
        into = Json::parse(token);
    } catch (const Json::out_of_range&) {
        fail(start, "the number " + std::string(token) + " is out of range");
    } catch (const Json::exception&) {
        malformed(start, "unexpected " + inQuotes(token) + "; expected a value");
    }
}

}  // namespace olap
