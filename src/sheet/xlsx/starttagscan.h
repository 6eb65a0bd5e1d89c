// Finding one element in a large part without parsing the part: the bytes
// are scanned as they stream out of the zip, and only the start tag found is
// parsed. Reading whether a 500 MB sheet is protected then costs one pass of
// decompression and no memory beyond a few kilobytes.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace sheet {

// Feeds chunks of a part to the scanner until it has found the first start
// tag (or empty-element tag) whose local name is `name`, with any prefix.
// Comments and CDATA are not recognised: a part's raw bytes can only hold
// "<name" as markup, since text escapes "<".
class StartTagScanner {
public:
    explicit StartTagScanner(std::string name);

    // Takes the next chunk; returns false once the tag is found (no more
    // chunks needed).
    bool feed(std::string_view chunk);

    // The tag's text from "<" to ">" once found.
    const std::optional<std::string>& tag() const { return mTag; }

private:
    bool scanWindow();

    std::string mName;
    std::string mWindow;            // carried bytes of the previous chunk, then the current chunk
    std::optional<std::string> mTag;
};

// The attributes of a start tag's text ("<x:a b='1' c=\"2\"/>"), by
// qualified name, with the five predefined entities decoded.
std::map<std::string, std::string> tagAttributes(std::string_view tag);

// Streams a part through `stream` (a Package::stream bound to the part) and
// returns the first start tag named `name`; nullopt when the part has none.
std::optional<std::string> findStartTag(
    const std::function<void(const std::function<bool(std::string_view)>&)>& stream, std::string name);

}  // namespace sheet
