// The package's [Content_Types].xml: the content type of every part, by
// override for one part or by default for a file extension.
#pragma once

#include <pugixml.hpp>

#include <memory>
#include <string>
#include <string_view>

namespace sheet {

class ContentTypes {
public:
    // Parses `text` of `file`. Throws 1004 when it is malformed or not a
    // content types part.
    static ContentTypes parse(std::string_view text, std::string_view file);

    // The content type of `part` (no leading slash); empty when neither an
    // override nor a default names it.
    std::string typeOf(std::string_view part) const;

    // Makes `part` have `type` through an override, adding or changing one.
    void setOverride(std::string_view part, std::string_view type);
    // Removes the override of `part`, if there is one.
    void removeOverride(std::string_view part);

    bool changed() const { return mChanged; }
    void markSaved() { mChanged = false; }
    std::string serialize() const;

private:
    pugi::xml_node findOverride(std::string_view part) const;

    std::unique_ptr<pugi::xml_document> mDocument;
    bool mChanged = false;
};

}  // namespace sheet
