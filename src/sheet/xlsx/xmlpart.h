// Reading and writing the XML parts of a workbook package with pugixml, in a
// way that keeps what the host does not understand: comments, processing
// instructions, namespace prefixes, unknown elements and attributes all
// survive a parse and serialise. Elements are found by local name, so parts
// that bind the main namespace to a prefix ("x:sheet") are read alike.
#pragma once

#include <pugixml.hpp>

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

namespace sheet::xml {

// Parses `text`, the part `part` of the package `file`. Throws 1004 naming the
// file, the part and the parser's complaint when it is not well-formed.
std::unique_ptr<pugi::xml_document> parse(std::string_view text, std::string_view file, std::string_view part);

// The document as UTF-8 text with an XML declaration, without added
// indentation.
std::string serialize(const pugi::xml_document& document);

// The root element of `document`.
pugi::xml_node root(const pugi::xml_document& document);

// "sheet" for both <sheet> and <x:sheet>.
std::string_view localName(const pugi::xml_node& node);
std::string_view localName(const pugi::xml_attribute& attribute);

// The first child element of `parent` with local name `name`; empty when none.
pugi::xml_node child(const pugi::xml_node& parent, std::string_view name);

// `name` with the namespace prefix of `context` ("x:row" when the context
// element is <x:worksheet>), for new elements that join a part.
std::string qualified(const pugi::xml_node& context, std::string_view name);

// The first child of `parent` named `name`, created when missing. A new child
// goes before the first existing child whose name comes later in `order` (the
// schema's sequence of child elements), else at the end.
pugi::xml_node ensureChild(pugi::xml_node parent, std::string_view name,
                           std::initializer_list<std::string_view> order);

// Inserts a new child `name` into `parent` at its place in `order`, after any
// children of the same name.
pugi::xml_node insertChild(pugi::xml_node parent, std::string_view name,
                           std::initializer_list<std::string_view> order);

// The attribute of `element` in the relationships namespace with local name
// `name` ("r:id"); empty when there is none.
pugi::xml_attribute relationshipAttribute(const pugi::xml_node& element, std::string_view name);

// The qualified name to use for a new relationships-namespace attribute on
// `element` (declaring the prefix "r" on the root element when no prefix is
// bound to that namespace).
std::string relationshipAttributeName(pugi::xml_node element, std::string_view name);

// An XML Schema boolean: "1" and "true" are true, any other value false, and
// a missing attribute `fallback`.
bool booleanValue(const pugi::xml_attribute& attribute, bool fallback);

}  // namespace sheet::xml
