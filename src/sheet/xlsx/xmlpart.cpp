#include "sheet/xlsx/xmlpart.h"

#include "sheet/failures.h"

#include <algorithm>
#include <sstream>

namespace sheet::xml {

namespace {

// Comments, processing instructions and the declaration are kept so that a
// rewritten part differs from the original only where the host changed it.
// Whitespace-only text is kept where it is an element's only content, as in
// <t xml:space="preserve"> </t>.
constexpr unsigned kParseOptions = pugi::parse_cdata | pugi::parse_escapes | pugi::parse_eol
                                   | pugi::parse_comments | pugi::parse_pi | pugi::parse_declaration
                                   | pugi::parse_ws_pcdata_single;

std::string_view afterColon(std::string_view name)
{
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::string_view prefixOf(std::string_view name)
{
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? std::string_view() : name.substr(0, colon);
}

// The namespace URI bound to `prefix` in scope at `node`.
std::string_view namespaceOf(pugi::xml_node node, std::string_view prefix)
{
    const std::string attribute = prefix.empty() ? std::string("xmlns") : "xmlns:" + std::string(prefix);
    for (; node; node = node.parent()) {
        if (const auto a = node.attribute(attribute.c_str()))
            return a.value();
    }
    return {};
}

bool isRelationshipsNamespace(std::string_view uri)
{
    // Transitional and strict spellings both end so; the package relationship
    // namespace is never bound inside a content part.
    return uri.ends_with("/relationships") && uri.find("/package/") == std::string_view::npos;
}

size_t rank(std::initializer_list<std::string_view> order, std::string_view name)
{
    const auto it = std::find(order.begin(), order.end(), name);
    return it == order.end() ? order.size() : static_cast<size_t>(it - order.begin());
}

}  // namespace

std::unique_ptr<pugi::xml_document> parse(std::string_view text, std::string_view file, std::string_view part)
{
    auto document = std::make_unique<pugi::xml_document>();
    const auto result = document->load_buffer(text.data(), text.size(), kParseOptions, pugi::encoding_auto);
    if (!result) {
        failApplication("'" + std::string(file) + "' is damaged: its part " + std::string(part)
                        + " is not well-formed XML (" + result.description() + " at byte "
                        + std::to_string(result.offset) + ")");
    }
    if (!root(*document)) {
        failApplication("'" + std::string(file) + "' is damaged: its part " + std::string(part)
                        + " has no root element");
    }
    return document;
}

std::string serialize(const pugi::xml_document& document)
{
    std::ostringstream out;
    bool hasDeclaration = document.first_child().type() == pugi::node_declaration;
    if (!hasDeclaration)
        out << "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n";
    document.save(out, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
    return std::move(out).str();
}

pugi::xml_node root(const pugi::xml_document& document)
{
    return document.document_element();
}

std::string_view localName(const pugi::xml_node& node)
{
    return afterColon(node.name());
}

std::string_view localName(const pugi::xml_attribute& attribute)
{
    return afterColon(attribute.name());
}

pugi::xml_node child(const pugi::xml_node& parent, std::string_view name)
{
    for (auto node = parent.first_child(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_element && localName(node) == name)
            return node;
    }
    return {};
}

std::string qualified(const pugi::xml_node& context, std::string_view name)
{
    const std::string_view prefix = prefixOf(context.name());
    return prefix.empty() ? std::string(name) : std::string(prefix) + ":" + std::string(name);
}

pugi::xml_node ensureChild(pugi::xml_node parent, std::string_view name,
                           std::initializer_list<std::string_view> order)
{
    if (auto existing = child(parent, name))
        return existing;
    return insertChild(parent, name, order);
}

pugi::xml_node insertChild(pugi::xml_node parent, std::string_view name,
                           std::initializer_list<std::string_view> order)
{
    const size_t mine = rank(order, name);
    const std::string tag = qualified(parent, name);
    for (auto node = parent.first_child(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_element && rank(order, localName(node)) > mine)
            return parent.insert_child_before(tag.c_str(), node);
    }
    return parent.append_child(tag.c_str());
}

pugi::xml_attribute relationshipAttribute(const pugi::xml_node& element, std::string_view name)
{
    for (auto attribute = element.first_attribute(); attribute; attribute = attribute.next_attribute()) {
        const std::string_view full = attribute.name();
        const std::string_view prefix = prefixOf(full);
        if (!prefix.empty() && prefix != "xmlns" && localName(attribute) == name
            && isRelationshipsNamespace(namespaceOf(element, prefix)))
            return attribute;
    }
    return {};
}

std::string relationshipAttributeName(pugi::xml_node element, std::string_view name)
{
    pugi::xml_node top = element;
    while (top.parent() && top.parent().type() == pugi::node_element)
        top = top.parent();
    for (pugi::xml_node node = element; node; node = node.parent()) {
        for (auto a = node.first_attribute(); a; a = a.next_attribute()) {
            const std::string_view full = a.name();
            if (full.starts_with("xmlns:") && isRelationshipsNamespace(a.value()))
                return std::string(full.substr(6)) + ":" + std::string(name);
        }
    }
    std::string prefix = "r";
    for (int n = 1; top.attribute(("xmlns:" + prefix).c_str()); ++n)
        prefix = "r" + std::to_string(n);
    top.append_attribute(("xmlns:" + prefix).c_str()) =
        "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    return prefix + ":" + std::string(name);
}

bool booleanValue(const pugi::xml_attribute& attribute, bool fallback)
{
    if (!attribute)
        return fallback;
    const std::string_view value = attribute.value();
    return value == "1" || value == "true";
}

}  // namespace sheet::xml
