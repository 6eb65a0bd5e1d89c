// A relationships part (".rels"): the typed links from one part to others.
// Kept as the parsed document so that a rewrite changes only what was added
// or removed.
#pragma once

#include <pugixml.hpp>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sheet {

struct Relationship {
    std::string id;
    std::string type;
    std::string target;     // as written; resolve with resolveTarget()
    bool external = false;  // TargetMode="External": not a part of the package
};

class Relationships {
public:
    // An empty relationships part.
    Relationships();
    // Parses `text`, part `part` of `file`. Throws 1004 when it is malformed.
    static Relationships parse(std::string_view text, std::string_view file, std::string_view part);

    const std::vector<Relationship>& all() const { return mItems; }
    // The relationship with id `id`; null when there is none.
    const Relationship* byId(std::string_view id) const;
    // The relationships whose type ends in `segment` (ooxml::relationshipIs).
    std::vector<Relationship> ofType(std::string_view segment) const;

    // Adds a relationship to an internal target and returns its new id
    // ("rId<n>", n one above the highest such number in use).
    std::string add(std::string_view type, std::string_view target);
    void remove(std::string_view id);

    bool changed() const { return mChanged; }
    void markSaved() { mChanged = false; }
    std::string serialize() const;

private:
    std::unique_ptr<pugi::xml_document> mDocument;
    std::vector<Relationship> mItems;
    bool mChanged = false;
};

}  // namespace sheet
