#include "sheet/xlsx/relationships.h"

#include "sheet/xlsx/ooxml.h"
#include "sheet/xlsx/xmlpart.h"

#include <algorithm>
#include <charconv>

namespace sheet {

namespace {

long idNumber(std::string_view id)
{
    if (!id.starts_with("rId"))
        return 0;
    long value = 0;
    const auto [end, ec] = std::from_chars(id.data() + 3, id.data() + id.size(), value);
    return ec == std::errc() && end == id.data() + id.size() ? value : 0;
}

}  // namespace

Relationships::Relationships() : mDocument(std::make_unique<pugi::xml_document>())
{
    auto declaration = mDocument->append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    declaration.append_attribute("standalone") = "yes";
    mDocument->append_child("Relationships").append_attribute("xmlns") = ooxml::kPackageRelNamespace;
}

Relationships Relationships::parse(std::string_view text, std::string_view file, std::string_view part)
{
    Relationships rels;
    rels.mDocument = xml::parse(text, file, part);
    for (auto node : xml::root(*rels.mDocument).children()) {
        if (node.type() != pugi::node_element || xml::localName(node) != "Relationship")
            continue;
        rels.mItems.push_back({node.attribute("Id").value(), node.attribute("Type").value(),
                               node.attribute("Target").value(),
                               std::string_view(node.attribute("TargetMode").value()) == "External"});
    }
    return rels;
}

const Relationship* Relationships::byId(std::string_view id) const
{
    const auto it = std::find_if(mItems.begin(), mItems.end(), [&](const Relationship& r) { return r.id == id; });
    return it == mItems.end() ? nullptr : &*it;
}

std::vector<Relationship> Relationships::ofType(std::string_view segment) const
{
    std::vector<Relationship> found;
    std::copy_if(mItems.begin(), mItems.end(), std::back_inserter(found),
                 [&](const Relationship& r) { return ooxml::relationshipIs(r.type, segment); });
    return found;
}

std::string Relationships::add(std::string_view type, std::string_view target)
{
    long highest = 0;
    for (const auto& r : mItems)
        highest = std::max(highest, idNumber(r.id));
    std::string id = "rId" + std::to_string(highest + 1);
    auto root = xml::root(*mDocument);
    auto node = root.append_child(xml::qualified(root, "Relationship").c_str());
    node.append_attribute("Id") = id.c_str();
    node.append_attribute("Type") = std::string(type).c_str();
    node.append_attribute("Target") = std::string(target).c_str();
    mItems.push_back({id, std::string(type), std::string(target), false});
    mChanged = true;
    return id;
}

void Relationships::remove(std::string_view id)
{
    auto root = xml::root(*mDocument);
    for (auto node : root.children()) {
        if (xml::localName(node) == "Relationship" && node.attribute("Id").value() == id) {
            root.remove_child(node);
            break;
        }
    }
    std::erase_if(mItems, [&](const Relationship& r) { return r.id == id; });
    mChanged = true;
}

std::string Relationships::serialize() const
{
    return xml::serialize(*mDocument);
}

}  // namespace sheet
