#include "sheet/xlsx/rowmerge.h"

#include "sheet/xlsx/a1address.h"
#include "sheet/xlsx/stylesheet.h"
#include "sheet/xlsx/xmlpart.h"

#include <charconv>
#include <cmath>
#include <sstream>
#include <vector>

namespace sheet {

namespace {

// As the document form reads a part (xml::parse).
constexpr unsigned kCellParsing = pugi::parse_cdata | pugi::parse_escapes | pugi::parse_eol | pugi::parse_comments
                                  | pugi::parse_pi | pugi::parse_ws_pcdata_single;

// Whether `text` holds `what`, looked for through its character at `rare`:
// memchr finds a character rare in cell markup many times faster than a
// search for the whole of `what` goes.
bool holds(std::string_view text, std::string_view what, size_t rare)
{
    for (size_t at = text.find(what[rare], rare); at != std::string_view::npos; at = text.find(what[rare], at + 1)) {
        if (text.substr(at - rare, what.size()) == what)
            return true;
    }
    return false;
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string_view localOf(std::string_view name)
{
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// One element of the rows' text: its start tag and, unless it is an
// empty-element tag, its content up to the end tag.
struct Element {
    std::string_view name;
    std::string_view attributes;  // the start tag between the name and ">" or "/>"
    std::string_view content;     // up to the end tag, or to the end of the text when not looked for
    size_t contentBegin = 0;
    size_t end = 0;  // offset just past the element; 0 when its end tag was not looked for
};

// The end tag of `name` at or after `from`: the offsets of its "<" and just
// past its ">".
std::optional<std::pair<size_t, size_t>> endTag(std::string_view text, size_t from, std::string_view name)
{
    for (size_t at = text.find('<', from); at != std::string_view::npos; at = text.find('<', at + 1)) {
        if (text.substr(at + 1, 1) != "/" || text.substr(at + 2, name.size()) != name)
            continue;
        size_t j = at + 2 + name.size();
        while (j < text.size() && isSpace(text[j]))
            ++j;
        if (j < text.size() && text[j] == '>')
            return std::pair{at, j + 1};
    }
    return std::nullopt;
}

// The element starting at `at` ("<" there); nullopt for anything else.
// Elements of the same name do not nest in rows and cells, so the first end
// tag of the name closes it; it is looked for unless `findEnd` is false.
std::optional<Element> elementAt(std::string_view text, size_t at, bool findEnd = true)
{
    if (at + 1 >= text.size() || text[at] != '<' || text[at + 1] == '!' || text[at + 1] == '?' || text[at + 1] == '/')
        return std::nullopt;
    size_t i = at + 1;
    while (i < text.size() && !isSpace(text[i]) && text[i] != '/' && text[i] != '>')
        ++i;
    Element element;
    element.name = text.substr(at + 1, i - at - 1);
    const size_t nameEnd = i;
    for (char quote = 0; i < text.size() && (quote || text[i] != '>'); ++i) {
        if (text[i] == '<' && !quote)
            return std::nullopt;
        if (text[i] == '"' || text[i] == '\'')
            quote = quote == text[i] ? 0 : (quote ? quote : text[i]);
    }
    if (i >= text.size() || element.name.empty())
        return std::nullopt;
    const bool empty = text[i - 1] == '/';
    element.attributes = text.substr(nameEnd, i - nameEnd - (empty ? 1 : 0));
    if (empty) {
        element.end = i + 1;
        return element;
    }
    element.contentBegin = i + 1;
    if (!findEnd) {
        element.content = text.substr(i + 1);
        return element;
    }
    const auto close = endTag(text, i + 1, element.name);
    if (!close)
        return std::nullopt;
    element.content = text.substr(i + 1, close->first - i - 1);
    element.end = close->second;
    return element;
}

// One attribute of a start tag: its name and value as written, and the whole
// `name="value"` text.
struct Attribute {
    std::string_view name, value, text;
};

// Reads the attributes of `attributes` (Element::attributes) into `list`;
// false when they are not well formed.
bool readAttributes(std::string_view attributes, std::vector<Attribute>& list)
{
    list.clear();
    size_t i = 0;
    for (;;) {
        while (i < attributes.size() && isSpace(attributes[i]))
            ++i;
        if (i == attributes.size())
            return true;
        const size_t start = i;
        while (i < attributes.size() && attributes[i] != '=' && !isSpace(attributes[i]))
            ++i;
        const std::string_view name = attributes.substr(start, i - start);
        while (i < attributes.size() && isSpace(attributes[i]))
            ++i;
        if (i == attributes.size() || attributes[i++] != '=')
            return false;
        while (i < attributes.size() && isSpace(attributes[i]))
            ++i;
        if (i == attributes.size() || (attributes[i] != '"' && attributes[i] != '\''))
            return false;
        const size_t close = attributes.find(attributes[i], i + 1);
        if (close == std::string_view::npos || name.empty())
            return false;
        list.push_back({name, attributes.substr(i + 1, close - i - 1), attributes.substr(start, close + 1 - start)});
        i = close + 1;
    }
}

std::optional<std::vector<Attribute>> attributesOf(std::string_view attributes)
{
    std::vector<Attribute> list;
    if (!readAttributes(attributes, list))
        return std::nullopt;
    return list;
}

std::string_view valueOf(const std::vector<Attribute>& attributes, std::string_view name)
{
    for (const auto& attribute : attributes) {
        if (attribute.name == name)
            return attribute.value;
    }
    return {};
}

// The cell `name` refers to ("C5"); the upper-case spelling every writer
// uses is read here directly, as it is on every cell of every merged row.
std::optional<CellRef> cellAt(std::string_view name)
{
    size_t i = 0;
    int32_t column = 0, row = 0;
    for (; i < name.size() && i < 3 && name[i] >= 'A' && name[i] <= 'Z'; ++i)
        column = column * 26 + (name[i] - 'A' + 1);
    const size_t digits = i;
    for (; i < name.size() && i - digits < 7 && name[i] >= '0' && name[i] <= '9'; ++i)
        row = row * 10 + (name[i] - '0');
    if (i == name.size() && digits > 0 && i > digits && name[digits] != '0' && column <= kMaxColumn && row <= kMaxRow)
        return CellRef{row, column};
    return parseCellName(name);
}

// Skips the blanks between elements; false when anything else is there.
bool skipBlanks(std::string_view text, size_t& at)
{
    while (at < text.size() && isSpace(text[at]))
        ++at;
    return at == text.size() || text[at] == '<';
}

// Escapes text content as the document form writes it.
void appendEscaped(std::string& out, std::string_view text)
{
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c;
        }
    }
}

class RowMerger {
public:
    RowMerger(std::string_view prefix, StyleSheet& styles, FormulaGuard& guard)
        : mPrefix(prefix), mStyles(styles), mGuard(guard)
    {
    }

    // Writes rows of `cells` from `next` on that come before row `before`
    // (all when 0); returns where it stopped.
    template <class Iterator>
    Iterator newRows(Iterator next, Iterator end, int32_t before, std::string& out);

    // Writes the old row `row` (its index `index`) with its cells from
    // `next` on, and sets its end when not known; nullopt when the row's
    // cells cannot be merged as text.
    template <class Iterator>
    std::optional<Iterator> mergeRow(Element& row, int32_t index, Iterator next, Iterator end, std::string& out);

private:
    static void openCell(std::string& out, CellRef at, std::string_view prefix);
    void content(std::string& out, const CellEntry& entry, std::string_view prefix);
    bool replaceCell(std::string& out, const Element& cell, const std::vector<Attribute>& attributes,
                     std::string_view text, CellRef at, const CellEntry& entry);
    static void element(std::string& out, std::string_view prefix, std::string_view name, std::string_view value);

    std::string mPrefix;
    StyleSheet& mStyles;
    FormulaGuard& mGuard;
    std::vector<Attribute> mCellAttributes;  // of the cell being read, kept to spare an allocation per cell
};

void RowMerger::element(std::string& out, std::string_view prefix, std::string_view name, std::string_view value)
{
    out += '<';
    out += prefix;
    out += name;
    out += '>';
    out += value;
    out += "</";
    out += prefix;
    out += name;
    out += '>';
}

// The attributes the cell's content decides and the content itself, after
// the attributes the cell keeps; as fillCell leaves a cell. The cell's
// elements are named with `prefix`, as the cell is.
void RowMerger::content(std::string& out, const CellEntry& entry, std::string_view prefix)
{
    if (entry.format) {
        if (const uint32_t style = mStyles.styleFor(*entry.format); style != 0)
            out += " s=\"" + std::to_string(style) + '"';
    }
    if (const auto* number = std::get_if<double>(&entry.value)) {
        if (!std::isfinite(*number))
            out += " t=\"e\">", element(out, prefix, "v", "#NUM!");
        else
            out += '>', element(out, prefix, "v", numberText(*number));
    } else if (const auto* text = std::get_if<std::string>(&entry.value)) {
        const std::string safe = xmlSafe(*text);
        out += " t=\"inlineStr\"><";
        out += prefix;
        out += "is><";
        out += prefix;
        out += 't';
        if (!safe.empty() && (std::isspace(static_cast<unsigned char>(safe.front()))
                              || std::isspace(static_cast<unsigned char>(safe.back()))))
            out += " xml:space=\"preserve\"";
        out += '>';
        appendEscaped(out, safe);
        out += "</";
        out += prefix;
        out += "t></";
        out += prefix;
        out += "is>";
    } else if (const auto* flag = std::get_if<bool>(&entry.value)) {
        out += " t=\"b\">", element(out, prefix, "v", *flag ? "1" : "0");
    } else {
        out += "/>";
        return;
    }
    out += "</";
    out += prefix;
    out += "c>";
}

void RowMerger::openCell(std::string& out, CellRef at, std::string_view prefix)
{
    out += '<';
    out += prefix;
    out += "c r=\"";
    out += cellName(at);
    out += '"';
}

// Rewrites the old cell `cell` (its text `text`). A cell holding a formula
// or an extension list goes through the document form; false when it cannot
// be read.
bool RowMerger::replaceCell(std::string& out, const Element& cell, const std::vector<Attribute>& attributes,
                            std::string_view text, CellRef at, const CellEntry& entry)
{
    bool simple = true;
    for (size_t lt = cell.content.find('<'); lt != std::string_view::npos && simple;
         lt = cell.content.find('<', lt + 1)) {
        size_t i = lt + 1;
        while (i < cell.content.size() && !isSpace(cell.content[i]) && cell.content[i] != '/' && cell.content[i] != '>')
            ++i;
        const std::string_view local = localOf(cell.content.substr(lt + 1, i - lt - 1));
        simple = local != "f" && local != "extLst";
    }
    if (!simple) {
        pugi::xml_document document;
        if (!document.load_buffer(text.data(), text.size(), kCellParsing, pugi::encoding_utf8))
            return false;
        const auto node = document.document_element();
        mGuard.check(node, at);
        fillCell(node, entry, mStyles);
        std::ostringstream written;
        node.print(written, "", pugi::format_raw, pugi::encoding_utf8);
        out += written.str();
        return true;
    }
    out += '<';
    out += cell.name;
    for (const auto& attribute : attributes) {
        const auto& name = attribute.name;
        if (name == "t" || name == "cm" || name == "vm" || name == "ph" || (entry.format && name == "s"))
            continue;
        out += ' ';
        out += attribute.text;
    }
    content(out, entry, cell.name.substr(0, cell.name.size() - 1));  // the name ends in "c"
    return true;
}

template <class Iterator>
Iterator RowMerger::newRows(Iterator next, Iterator end, int32_t before, std::string& out)
{
    while (next != end && (before == 0 || next->first.row < before)) {
        const int32_t row = next->first.row;
        const size_t start = out.size();
        out += '<';
        out += mPrefix;
        out += "row r=\"";
        out += std::to_string(row);
        out += "\">";
        const size_t cells = out.size();
        for (; next != end && next->first.row == row; ++next) {
            if (clears(next->second))
                continue;
            openCell(out, next->first, mPrefix);
            content(out, next->second, mPrefix);
        }
        if (out.size() == cells) {
            out.resize(start);  // a row of cleared cells the part does not hold
            continue;
        }
        out += "</";
        out += mPrefix;
        out += "row>";
    }
    return next;
}

// The row's start tag without its spans: a hint of the row's extent, wrong
// once cells are added.
void openRow(std::string& out, const Element& row, const std::vector<Attribute>& attributes)
{
    out += '<';
    out += row.name;
    for (const auto& attribute : attributes) {
        if (attribute.name != "spans")
            out += ' ', out += attribute.text;
    }
    out += '>';
}

// Ends the row opened at `start` in `out`, as an empty element when nothing
// was written in it.
void closeRow(std::string& out, std::string_view name, size_t start)
{
    if (out.size() == start) {
        out.back() = '/';
        out += '>';
        return;
    }
    out += "</";
    out += name;
    out += '>';
}

// Whether the row's cells end at `at` of its content, where its end tag is;
// sets the row's end when it was not known.
bool endsAt(Element& row, size_t at)
{
    if (row.end != 0)
        return at == row.content.size();
    const auto close = endTag(row.content, at, row.name);
    if (!close || close->first != at)
        return false;
    row.end = row.contentBegin + close->second;
    return true;
}

// Finds the end of `row` of `rows` when it is not known; false when there
// is none.
bool findEnd(std::string_view rows, Element& row)
{
    if (row.end != 0)
        return true;
    const auto close = endTag(rows, row.contentBegin, row.name);
    row.end = close ? close->second : 0;
    return close.has_value();
}

template <class Iterator>
std::optional<Iterator> RowMerger::mergeRow(Element& row, int32_t index, Iterator next, Iterator end,
                                            std::string& out)
{
    const auto attributes = attributesOf(row.attributes);
    if (!attributes)
        return std::nullopt;
    openRow(out, row, *attributes);
    const size_t start = out.size();
    const std::string_view prefix = row.name.substr(0, row.name.size() - 3);  // new cells are named as the row is
    const std::string_view text = row.content;
    size_t at = 0, copied = 0;
    int32_t last = 0;
    const auto writeBefore = [&](int32_t column) {
        for (; next != end && next->first.row == index && next->first.column < column; ++next) {
            if (!clears(next->second))
                openCell(out, next->first, prefix), content(out, next->second, prefix);
        }
    };
    while (skipBlanks(text, at) && at < text.size() && text.substr(at, 2) != "</") {
        const auto cell = elementAt(text, at);
        const bool read = cell && localOf(cell->name) == "c" && readAttributes(cell->attributes, mCellAttributes);
        const auto column = read ? cellAt(valueOf(mCellAttributes, "r")) : std::nullopt;
        if (!column || column->row != index || column->column <= last)
            return std::nullopt;
        last = column->column;
        writeBefore(last);
        out.append(text.substr(copied, at - copied));
        if (next != end && next->first == *column) {
            if (!replaceCell(out, *cell, mCellAttributes, text.substr(at, cell->end - at), *column, next->second))
                return std::nullopt;
            ++next;
        } else {
            out.append(text.substr(at, cell->end - at));
        }
        at = copied = cell->end;
    }
    if (!endsAt(row, at))
        return std::nullopt;
    writeBefore(kMaxColumn + 1);
    out.append(text.substr(copied, at - copied));
    closeRow(out, row.name, start);
    return next;
}

int32_t indexOf(std::string_view value)
{
    int32_t index = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), index);
    return ec == std::errc() && end == value.data() + value.size() && index > 0 ? index : 0;
}

}  // namespace

std::optional<MergedRows> mergeRows(std::string_view rows, std::string_view prefix, const CellStore& cells,
                                    StyleSheet& styles, FormulaGuard& guard)
{
    // Array formulas reach over cells of other rows; "<!" and "<?" open
    // comments, CDATA and instructions, which text inside would hide.
    if (holds(rows, "array", 4) || holds(rows, "<!", 1) || holds(rows, "<?", 1))
        return std::nullopt;
    RowMerger merger(prefix, styles, guard);
    MergedRows merged;
    merged.text.reserve(rows.size() + cells.cells().size() * 40);
    auto next = cells.cells().begin();
    const auto end = cells.cells().end();
    size_t at = 0, copied = 0;
    int32_t last = 0;
    while (skipBlanks(rows, at) && at < rows.size()) {
        auto row = elementAt(rows, at, false);
        if (!row || localOf(row->name) != "row")
            return std::nullopt;
        const auto attributes = attributesOf(row->attributes);
        const int32_t index = attributes ? indexOf(valueOf(*attributes, "r")) : 0;
        if (index <= last)
            return std::nullopt;
        last = index;
        merged.hadRows = true;
        merged.text.append(rows.substr(copied, at - copied));
        next = merger.newRows(next, end, index, merged.text);
        if (next != end && next->first.row == index) {
            const auto after = merger.mergeRow(*row, index, next, end, merged.text);
            if (!after)
                return std::nullopt;
            next = *after;
        } else if (!findEnd(rows, *row)) {
            return std::nullopt;
        } else {
            merged.text.append(rows.substr(at, row->end - at));  // a row the host does not write, as it was
        }
        at = copied = row->end;
    }
    if (at != rows.size())
        return std::nullopt;
    merged.text.append(rows.substr(copied));
    merger.newRows(next, end, 0, merged.text);
    return merged;
}

}  // namespace sheet
