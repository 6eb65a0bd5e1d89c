#include "sheet/xlsx/contenttypes.h"

#include "sheet/failures.h"
#include "sheet/xlsx/ooxml.h"
#include "sheet/xlsx/sheetnames.h"
#include "sheet/xlsx/xmlpart.h"

namespace sheet {

namespace {

std::string_view extensionOf(std::string_view part)
{
    const size_t dot = part.rfind('.');
    const size_t slash = part.rfind('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    return part.substr(dot + 1);
}

// Part names and extensions compare without regard to ASCII case in a package.
bool sameName(std::string_view a, std::string_view b)
{
    return sameSheetName(a, b);
}

}  // namespace

ContentTypes ContentTypes::parse(std::string_view text, std::string_view file)
{
    ContentTypes types;
    types.mDocument = xml::parse(text, file, ooxml::kContentTypesPart);
    if (xml::localName(xml::root(*types.mDocument)) != "Types") {
        failApplication("'" + std::string(file) + "' is damaged: its part [Content_Types].xml is not a content types list");
    }
    return types;
}

pugi::xml_node ContentTypes::findOverride(std::string_view part) const
{
    for (auto node : xml::root(*mDocument).children()) {
        if (xml::localName(node) != "Override")
            continue;
        std::string_view name = node.attribute("PartName").value();
        if (name.starts_with('/'))
            name.remove_prefix(1);
        if (sameName(name, part))
            return node;
    }
    return {};
}

std::string ContentTypes::typeOf(std::string_view part) const
{
    if (const auto node = findOverride(part))
        return node.attribute("ContentType").value();
    const std::string_view extension = extensionOf(part);
    for (auto node : xml::root(*mDocument).children()) {
        if (xml::localName(node) == "Default" && sameName(node.attribute("Extension").value(), extension))
            return node.attribute("ContentType").value();
    }
    return {};
}

void ContentTypes::setOverride(std::string_view part, std::string_view type)
{
    auto node = findOverride(part);
    if (!node) {
        auto root = xml::root(*mDocument);
        node = root.append_child(xml::qualified(root, "Override").c_str());
        node.append_attribute("PartName") = ("/" + std::string(part)).c_str();
        node.append_attribute("ContentType");
    }
    if (node.attribute("ContentType").value() != type) {
        node.attribute("ContentType") = std::string(type).c_str();
        mChanged = true;
    }
}

void ContentTypes::removeOverride(std::string_view part)
{
    if (auto node = findOverride(part)) {
        xml::root(*mDocument).remove_child(node);
        mChanged = true;
    }
}

std::string ContentTypes::serialize() const
{
    return xml::serialize(*mDocument);
}

}  // namespace sheet
