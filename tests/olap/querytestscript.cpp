#include "querytestscript.h"

#include "olap/query/querymembers.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace olap::testing {

namespace {

using Words = std::vector<std::string>;

// Blank-separated words; a bracketed part of a unique name may hold blanks
// but no "]" ("[Time].[All Time]" is one word).
Words words(const std::string& line)
{
    Words result(1);
    bool inBracket = false;
    for (const char c : line) {
        inBracket = c == '[' || (inBracket && c != ']');
        if (inBracket || (c != ' ' && c != '\t'))
            result.back() += c;
        else if (!result.back().empty())
            result.emplace_back();
    }
    if (result.back().empty())
        result.pop_back();
    return result;
}

Words dotted(const std::string& path)
{
    Words parts;
    std::string part;
    std::istringstream in(path);
    while (std::getline(in, part, '.'))
        parts.push_back(part);
    return parts;
}

bool hasAllLevel(const HierarchyInfo& hierarchy)
{
    return hierarchy.levels[0].type == LevelType::All;
}

// A member by unique name, or by dotted path from the top level ("all" left
// out), found by walking the parents rather than by the engine's lookup.
uint32_t memberNamed(const HierarchyInfo& hierarchy, const std::string& name)
{
    if (name.starts_with("[") || name.starts_with("&[")) {
        if (auto member = findMember(hierarchy, name))
            return *member;
        throw std::invalid_argument("no member has the unique name " + name);
    }
    int32_t found = hasAllLevel(hierarchy) ? 0 : -1;
    for (const std::string& part : dotted(name)) {
        const auto& members = hierarchy.members;
        const auto it = std::find_if(members.begin(), members.end(),
                                     [&](const MemberInfo& m) { return m.parent == found && m.name == part; });
        if (it == members.end())
            throw std::invalid_argument("no member has the path " + name);
        found = int32_t(it - members.begin());
    }
    return uint32_t(found);
}

std::string memberPath(const HierarchyInfo& hierarchy, int32_t member)
{
    std::string path;
    for (; member >= 0 && hierarchy.members[member].level >= (hasAllLevel(hierarchy) ? 1 : 0);
         member = hierarchy.members[member].parent)
        path = hierarchy.members[member].name + (path.empty() ? "" : "." + path);
    return path;
}

std::string tupleLabel(const CubeInfo& cube, const std::vector<AxisField>& fields, const AxisTuple& tuple)
{
    if (tuple.kind == TupleKind::GrandTotal)
        return "total";
    std::string label;
    for (size_t f = 0; f < fields.size(); ++f) {
        const HierarchyInfo& hierarchy = cube.dimensions[fields[f].dimension].hierarchies[fields[f].hierarchy];
        const int32_t member = tuple.members[f].member;
        label += f > 0 ? "/" : "";
        label += member == kAllMembers ? std::string("*") : memberPath(hierarchy, member);
        const int top = hasAllLevel(hierarchy) ? 1 : 0;
        if (member != kAllMembers && tuple.members[f].depth + top != hierarchy.members[member].level)
            label += "(depth " + std::to_string(tuple.members[f].depth) + "?)";
    }
    return tuple.kind == TupleKind::Subtotal ? label + " total" : label;
}

std::string number(std::optional<double> value)
{
    if (!value)
        return ".";
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", *value);
    return text;
}

// Reads statements one by one; a cube is built on the first query that needs
// it and again after facts or members are added.
class ScriptReader {
public:
    std::vector<ScriptCase> cases;

    void statement(const Words& w, const std::string& text, int line)
    {
        if (w[0] == "query") {
            cases.push_back({text.substr(5), line, cube(), {}, {}});
            inQuery = true;
        } else if (inQuery) {
            queryStatement(w, cases.back().query);
        } else {
            cubeStatement(w);
        }
    }

    bool inQuery = false;

private:
    void cubeStatement(const Words& w);
    void queryStatement(const Words& w, PivotQuery& query);
    uint32_t key(size_t dimension, const std::string& path)
    {
        return builder().dimensionKey(dimension, olaptest::pathOf(dotted(path)));
    }
    const HierarchyInfo& hierarchyNamed(const std::string& name)
    {
        return cube()->info.dimensions[dimensionNamed(name)].hierarchies[0];
    }
    CubeBuilder& builder();
    uint32_t dimensionNamed(const std::string& name) const;
    std::shared_ptr<const olaptest::TestCube> cube();

    CubeSpec mSpec;
    std::optional<CubeBuilder> mBuilder;
    std::shared_ptr<const olaptest::TestCube> mCube;
};

void ScriptReader::cubeStatement(const Words& w)
{
    const auto has = [&](const std::string& word) { return std::find(w.begin() + 1, w.end(), word) != w.end(); };
    if (w[0] == "cube") {
        mSpec = CubeSpec{w.at(1), {}, {}};
        mBuilder.reset();
    } else if (w[0] == "dimension") {
        const DimensionType type = has("time") ? DimensionType::Time : DimensionType::Other;
        mSpec.dimensions.push_back(DimensionSpec{w.at(1), type, {HierarchySpec{{}, has("all"), {}, {}}}});
    } else if (w[0] == "level") {
        mSpec.dimensions.back().hierarchies[0].levels.push_back(LevelSpec{w.at(1), has("key")});
    } else if (w[0] == "measure") {
        static const std::map<std::string, Aggregation> kAggregations{{"sum", Aggregation::Sum},
            {"count", Aggregation::Count}, {"min", Aggregation::Min}, {"max", Aggregation::Max},
            {"average", Aggregation::Average}};
        mSpec.measures.push_back({w.at(1), kAggregations.at(w.at(2)), {}});
    } else if (w[0] == "member") {
        key(dimensionNamed(w.at(1)), w.at(2));
    } else if (w[0] == "fact") {
        const size_t dimensions = mSpec.dimensions.size();
        if (w.size() != 1 + dimensions + mSpec.measures.size())
            throw std::invalid_argument("a fact needs a path per dimension and a value per measure");
        std::vector<uint32_t> keys;
        for (size_t d = 0; d < dimensions; ++d)
            keys.push_back(key(d, w[1 + d]));
        std::vector<double> values;
        for (auto value = w.begin() + 1 + dimensions; value != w.end(); ++value)
            values.push_back(*value == "." ? kEmpty : std::stod(*value));
        builder().addFact(keys, values);
    } else {
        throw std::invalid_argument("unknown statement " + w[0]);
    }
    mCube.reset();
}

void ScriptReader::queryStatement(const Words& w, PivotQuery& query)
{
    if (w[0] == "rows" || w[0] == "columns") {
        for (size_t i = 1; i < w.size(); ++i)
            (w[0] == "rows" ? query.rows : query.columns).fields.push_back({dimensionNamed(w[i]), 0, {}, {}});
    } else if (w[0] == "drill" || w[0] == "hide") {
        const uint32_t dimension = dimensionNamed(w.at(1));
        std::vector<AxisField*> placed;
        for (QueryAxis* axis : {&query.rows, &query.columns}) {
            for (AxisField& field : axis->fields) {
                if (field.dimension == dimension)
                    placed.push_back(&field);
            }
        }
        if (placed.empty())
            throw std::invalid_argument(w[1] + " is not on the rows or columns");
        std::vector<uint32_t>& members = w[0] == "drill" ? placed[0]->drilled : placed[0]->hidden;
        for (size_t i = 2; i < w.size(); ++i)
            members.push_back(memberNamed(hierarchyNamed(w[1]), w[i]));
    } else if (w[0] == "page") {
        PageField page{dimensionNamed(w.at(1)), 0, {}};
        for (size_t i = 2; i < w.size(); ++i)
            page.selected.push_back(memberNamed(hierarchyNamed(w[1]), w[i]));
        query.pages.push_back(page);
    } else if (w[0] == "measures") {
        const auto& measures = cube()->info.measures;
        for (size_t i = 1; i < w.size(); ++i) {
            const auto found = std::find_if(measures.begin(), measures.end(), [&](auto& m) { return m.name == w[i]; });
            query.measures.push_back(found == measures.end() ? 99 : uint32_t(found - measures.begin()));
        }
    } else if (w[0] == "option") {
        QueryAxis& axis = w.at(1) == "rows" ? query.rows : query.columns;
        const std::pair<const char*, bool*> options[] = {{"nosubtotals", &axis.subtotals},
            {"nogrand", &axis.grandTotal}, {"subtotalsfirst", &axis.subtotalsFirst}, {"keepempty", &axis.keepEmpty}};
        const auto named = [&](auto& option) { return w.at(2) == option.first; };
        const auto option = std::find_if(std::begin(options), std::end(options), named);
        if (option == std::end(options))
            throw std::invalid_argument("unknown option " + w[2]);
        *option->second = !w[2].starts_with("no");
    } else {
        throw std::invalid_argument("unknown query statement " + w[0]);
    }
}

CubeBuilder& ScriptReader::builder()
{
    if (!mBuilder)
        mBuilder.emplace(mSpec);
    return *mBuilder;
}

uint32_t ScriptReader::dimensionNamed(const std::string& name) const
{
    for (size_t d = 0; d < mSpec.dimensions.size(); ++d) {
        if (mSpec.dimensions[d].name == name)
            return uint32_t(d);
    }
    throw std::invalid_argument("no dimension is called " + name);
}

std::shared_ptr<const olaptest::TestCube> ScriptReader::cube()
{
    if (!mCube)
        mCube = std::make_shared<const olaptest::TestCube>(olaptest::readBack(builder()));
    return mCube;
}

}  // namespace

std::vector<ScriptCase> readScript(const std::filesystem::path& file)
{
    std::ifstream in(file);
    if (!in)
        throw std::runtime_error(file.string() + ": cannot be read");
    ScriptReader reader;
    int number = 0;
    bool inTable = false;
    for (std::string line; std::getline(in, line);) {
        ++number;
        const Words w = words(line);
        std::string text;
        for (const std::string& word : w)
            text += (text.empty() ? "" : " ") + word;
        try {
            if (inTable && w.empty()) {
                inTable = false;
            } else if (inTable) {
                reader.cases.back().expected.push_back(text);
            } else if (text == "----") {
                if (!reader.inQuery)
                    throw std::invalid_argument("a table without a query");
                reader.inQuery = false;
                inTable = true;
            } else if (!w.empty() && text[0] != '#') {
                reader.statement(w, text, number);
            }
        } catch (const std::exception& error) {
            throw std::runtime_error(file.string() + ":" + std::to_string(number) + ": " + error.what());
        }
    }
    if (reader.inQuery)
        throw std::runtime_error(file.string() + ": the last query has no table");
    return std::move(reader.cases);
}

std::vector<std::string> renderResult(const CubeInfo& cube, const PivotQuery& query, const QueryResult& result)
{
    std::string header = "columns:";
    for (size_t c = 0; c < result.columns.size(); ++c)
        header += (c ? " | " : " ") + tupleLabel(cube, query.columns.fields, result.columns[c]);
    std::vector<std::string> lines{header};
    for (size_t r = 0; r < result.rows.size(); ++r) {
        std::string line = tupleLabel(cube, query.rows.fields, result.rows[r]) + " :";
        for (size_t c = 0; c < result.columns.size(); ++c) {
            line += c ? " | " : " ";
            for (size_t m = 0; m < result.measures.size(); ++m)
                line += (m > 0 ? "," : "") + number(result.cell(r, c, m));
        }
        lines.push_back(line.ends_with(' ') ? line.substr(0, line.find_last_not_of(' ') + 1) : line);
    }
    return lines;
}

}  // namespace olap::testing
