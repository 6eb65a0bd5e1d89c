#include "querytestscript.h"

#include "olap/query/querymembers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace olap::testing {

namespace {

// Blank-separated words; a bracketed part of a unique name may hold blanks
// ("[Time].[All Time]" is one word).
std::vector<std::string> words(const std::string& line)
{
    std::vector<std::string> result;
    std::string word;
    bool inBracket = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (!inBracket && (c == ' ' || c == '\t')) {
            if (!word.empty())
                result.push_back(std::move(word));
            word.clear();
            continue;
        }
        word += c;
        if (c == '[' && !inBracket)
            inBracket = true;
        else if (c == ']' && inBracket && i + 1 < line.size() && line[i + 1] == ']')
            word += line[++i];
        else if (c == ']')
            inBracket = false;
    }
    if (!word.empty())
        result.push_back(std::move(word));
    return result;
}

std::vector<std::string> dotted(const std::string& path)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(path);
    while (std::getline(in, part, '.'))
        parts.push_back(part);
    return parts;
}

Aggregation aggregationNamed(const std::string& name)
{
    static const std::pair<const char*, Aggregation> kNames[] = {{"sum", Aggregation::Sum},
        {"count", Aggregation::Count}, {"min", Aggregation::Min}, {"max", Aggregation::Max},
        {"average", Aggregation::Average}};
    for (const auto& [text, aggregation] : kNames) {
        if (name == text)
            return aggregation;
    }
    throw std::invalid_argument("unknown aggregation " + name);
}

bool hasAllLevel(const HierarchyInfo& hierarchy)
{
    return hierarchy.levels[0].type == LevelType::All;
}

// A member by dotted path from the top level ("all" left out) or by unique name.
uint32_t memberNamed(const HierarchyInfo& hierarchy, const std::string& name)
{
    if (name.starts_with("[") || name.starts_with("&[")) {
        if (auto member = findMember(hierarchy, name))
            return *member;
        throw std::invalid_argument("no member has the unique name " + name);
    }
    uint32_t first = hasAllLevel(hierarchy) ? hierarchy.members[0].firstChild : 0;
    uint32_t count = hasAllLevel(hierarchy) ? hierarchy.members[0].childCount : hierarchy.levels[0].memberCount;
    std::optional<uint32_t> found;
    for (const std::string& part : dotted(name)) {
        found.reset();
        for (uint32_t m = first; m < first + count && !found; ++m) {
            if (hierarchy.members[m].name == part)
                found = m;
        }
        if (!found)
            throw std::invalid_argument("no member has the path " + name);
        first = hierarchy.members[*found].firstChild;
        count = hierarchy.members[*found].childCount;
    }
    return *found;
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
        if (f > 0)
            label += '/';
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

class ScriptReader {
public:
    explicit ScriptReader(std::filesystem::path file) : mFile(std::move(file)) {}

    std::vector<ScriptCase> read();

private:
    void statement(const std::vector<std::string>& w);
    void cubeStatement(const std::vector<std::string>& w);
    void queryStatement(const std::vector<std::string>& w);
    TestCubeMaker& maker();
    size_t dimensionNamed(const std::string& name) const;
    const HierarchyInfo& hierarchyNamed(const std::string& name);
    AxisField* placedField(const std::string& name);
    std::shared_ptr<const TestCube> cube();

    std::filesystem::path mFile;
    CubeSpec mSpec;
    std::unique_ptr<TestCubeMaker> mMaker;
    std::shared_ptr<const TestCube> mCube;
    std::vector<ScriptCase> mCases;
    bool mInQuery = false;
};

std::vector<ScriptCase> ScriptReader::read()
{
    std::ifstream in(mFile);
    if (!in)
        throw std::runtime_error(mFile.string() + ": cannot be read");
    int number = 0;
    bool inTable = false;
    for (std::string line; std::getline(in, line);) {
        ++number;
        const std::string text = normalizedLine(line);
        try {
            if (inTable && text.empty()) {
                inTable = false;
            } else if (inTable) {
                mCases.back().expected.push_back(text);
            } else if (text == "----") {
                if (!mInQuery)
                    throw std::invalid_argument("a table without a query");
                mInQuery = false;
                inTable = true;
            } else if (!text.empty() && text[0] != '#') {
                if (words(text)[0] == "query")
                    mCases.push_back({text.substr(5), number, nullptr, {}, {}});
                statement(words(text));
            }
        } catch (const std::exception& error) {
            throw std::runtime_error(mFile.string() + ":" + std::to_string(number) + ": " + error.what());
        }
    }
    if (mInQuery)
        throw std::runtime_error(mFile.string() + ": the last query has no table");
    return std::move(mCases);
}

void ScriptReader::statement(const std::vector<std::string>& w)
{
    if (w[0] == "query") {
        mInQuery = true;
        mCases.back().cube = cube();
    } else if (mInQuery) {
        queryStatement(w);
    } else {
        cubeStatement(w);
    }
}

void ScriptReader::cubeStatement(const std::vector<std::string>& w)
{
    const auto has = [&](const std::string& word) { return std::find(w.begin() + 1, w.end(), word) != w.end(); };
    if (w[0] == "cube") {
        mSpec = CubeSpec{w.at(1), {}, {}};
        mMaker.reset();
        mCube.reset();
    } else if (w[0] == "dimension") {
        HierarchySpec hierarchy;
        hierarchy.hasAllLevel = has("all");
        const DimensionType type = has("time") ? DimensionType::Time : DimensionType::Other;
        mSpec.dimensions.push_back(DimensionSpec{w.at(1), type, {hierarchy}});
    } else if (w[0] == "level") {
        mSpec.dimensions.back().hierarchies[0].levels.push_back(LevelSpec{w.at(1), has("key")});
    } else if (w[0] == "measure") {
        mSpec.measures.push_back({w.at(1), aggregationNamed(w.at(2)), {}});
    } else if (w[0] == "member") {
        maker().key(dimensionNamed(w.at(1)), dotted(w.at(2)));
        mCube.reset();
    } else if (w[0] == "fact") {
        const size_t dimensions = mSpec.dimensions.size();
        if (w.size() != 1 + dimensions + mSpec.measures.size())
            throw std::invalid_argument("a fact needs a path per dimension and a value per measure");
        std::vector<uint32_t> keys;
        for (size_t d = 0; d < dimensions; ++d)
            keys.push_back(maker().key(d, dotted(w[1 + d])));
        std::vector<double> values;
        for (size_t m = 0; m < mSpec.measures.size(); ++m)
            values.push_back(w[1 + dimensions + m] == "." ? kEmpty : std::stod(w[1 + dimensions + m]));
        maker().addFact(keys, values);
        mCube.reset();
    } else {
        throw std::invalid_argument("unknown statement " + w[0]);
    }
}

void ScriptReader::queryStatement(const std::vector<std::string>& w)
{
    PivotQuery& query = mCases.back().query;
    if (w[0] == "rows" || w[0] == "columns") {
        QueryAxis& axis = w[0] == "rows" ? query.rows : query.columns;
        for (size_t i = 1; i < w.size(); ++i)
            axis.fields.push_back({uint32_t(dimensionNamed(w[i])), 0, {}, {}});
    } else if (w[0] == "drill" || w[0] == "hide") {
        AxisField* field = placedField(w.at(1));
        const HierarchyInfo& hierarchy = hierarchyNamed(w[1]);
        for (size_t i = 2; i < w.size(); ++i)
            (w[0] == "drill" ? field->drilled : field->hidden).push_back(memberNamed(hierarchy, w[i]));
    } else if (w[0] == "page") {
        PageField page{uint32_t(dimensionNamed(w.at(1))), 0, {}};
        for (size_t i = 2; i < w.size(); ++i)
            page.selected.push_back(memberNamed(hierarchyNamed(w[1]), w[i]));
        query.pages.push_back(page);
    } else if (w[0] == "measures") {
        for (size_t i = 1; i < w.size(); ++i) {
            const auto& measures = cube()->info.measures;
            const auto named = [&](const MeasureInfo& m) { return m.name == w[i]; };
            const auto found = std::find_if(measures.begin(), measures.end(), named);
            query.measures.push_back(found == measures.end() ? 99 : uint32_t(found - measures.begin()));
        }
    } else if (w[0] == "option") {
        QueryAxis& axis = w.at(1) == "rows" ? query.rows : query.columns;
        const std::string& option = w.at(2);
        if (option == "nosubtotals")
            axis.subtotals = false;
        else if (option == "nogrand")
            axis.grandTotal = false;
        else if (option == "subtotalsfirst")
            axis.subtotalsFirst = true;
        else if (option == "keepempty")
            axis.keepEmpty = true;
        else
            throw std::invalid_argument("unknown option " + option);
    } else {
        throw std::invalid_argument("unknown query statement " + w[0]);
    }
}

TestCubeMaker& ScriptReader::maker()
{
    if (!mMaker)
        mMaker = std::make_unique<TestCubeMaker>(mSpec);
    return *mMaker;
}

size_t ScriptReader::dimensionNamed(const std::string& name) const
{
    for (size_t d = 0; d < mSpec.dimensions.size(); ++d) {
        if (mSpec.dimensions[d].name == name)
            return d;
    }
    throw std::invalid_argument("no dimension is called " + name);
}

const HierarchyInfo& ScriptReader::hierarchyNamed(const std::string& name)
{
    return cube()->info.dimensions[dimensionNamed(name)].hierarchies[0];
}

AxisField* ScriptReader::placedField(const std::string& name)
{
    const uint32_t dimension = uint32_t(dimensionNamed(name));
    PivotQuery& query = mCases.back().query;
    for (QueryAxis* axis : {&query.rows, &query.columns}) {
        for (AxisField& field : axis->fields) {
            if (field.dimension == dimension)
                return &field;
        }
    }
    throw std::invalid_argument(name + " is not on the rows or columns");
}

std::shared_ptr<const TestCube> ScriptReader::cube()
{
    if (!mCube)
        mCube = std::make_shared<const TestCube>(maker().make());
    return mCube;
}

}  // namespace

std::vector<ScriptCase> readScript(const std::filesystem::path& file)
{
    return ScriptReader(file).read();
}

std::vector<std::string> renderResult(const CubeInfo& cube, const PivotQuery& query, const QueryResult& result)
{
    std::string header = "columns:";
    for (size_t c = 0; c < result.columns.size(); ++c) {
        header += c ? " | " : " ";
        header += tupleLabel(cube, query.columns.fields, result.columns[c]);
    }
    std::vector<std::string> lines{header};
    for (size_t r = 0; r < result.rows.size(); ++r) {
        std::string line = tupleLabel(cube, query.rows.fields, result.rows[r]) + " :";
        for (size_t c = 0; c < result.columns.size(); ++c) {
            line += c ? " | " : " ";
            for (size_t m = 0; m < result.measures.size(); ++m) {
                if (m > 0)
                    line += ',';
                line += number(result.cell(r, c, m));
            }
        }
        lines.push_back(line);
    }
    return lines;
}

std::string normalizedLine(const std::string& line)
{
    std::string result;
    for (const std::string& word : words(line))
        result += (result.empty() ? "" : " ") + word;
    return result;
}

}  // namespace olap::testing
