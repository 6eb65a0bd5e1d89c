#include "olap/build/cubedefinition.h"

#include "olap/build/cubesourcejson.h"
#include "olap/cube/calculatedmeasures.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <unordered_set>

#include <nlohmann/json.hpp>

namespace olap {

namespace {

using Json = nlohmann::json;

// Parsed JSON plus where each value was written, and the checks every
// definition member goes through. Member functions take the JSON pointer of
// the value they look at, so each message lands on the right line.
class DefinitionParser {
public:
    DefinitionParser(std::string_view text, const std::filesystem::path& file);
    CatalogDefinition parse();

private:
    [[noreturn]] void failAt(const std::string& pointer, std::string_view message) const;
    [[noreturn]] void failAtName(const std::string& pointer, std::string_view message) const;
    void expectObject(const Json& value, const std::string& pointer,
                      std::initializer_list<std::string_view> members) const;
    std::string text(const Json& object, const std::string& pointer, std::string_view name, bool required) const;
    DefinitionText placedText(const Json& object, const std::string& pointer, std::string_view name,
                              bool required) const;
    bool flag(const Json& object, const std::string& pointer, std::string_view name) const;
    const Json& list(const Json& object, const std::string& pointer, std::string_view name) const;
    TextPosition at(const std::string& pointer) const { return mPlaces->valueAt(pointer); }

    CubeDefinition cube(const Json& value, const std::string& pointer) const;
    DimensionDefinition dimension(const Json& value, const std::string& pointer, const CubeDefinition& cube) const;
    std::vector<HierarchyDefinition> hierarchies(const Json& value, const std::string& pointer,
                                                 const std::string& dimensionName) const;
    HierarchyDefinition hierarchy(const Json& value, const std::string& pointer, bool ownObject) const;
    LevelDefinition level(const Json& value, const std::string& pointer) const;
    JoinDefinition join(const Json& value, const std::string& pointer) const;
    MeasureDefinition measure(const Json& value, const std::string& pointer) const;
    MeasureFilter filter(const Json& value, const std::string& pointer) const;
    CalculatedMeasureDefinition calculatedMeasure(const Json& value, const std::string& pointer) const;
    void checkFormulas(const CubeDefinition& cube) const;
    void levelOrder(const Json& value, const std::string& pointer, LevelDefinition& level) const;
    StoreCompanion store(const Json& value, const std::string& pointer, const CatalogDefinition& catalog) const;
    void checkLevelTables(const DimensionDefinition& dimension, const CubeDefinition& cube) const;

    std::filesystem::path mFile;
    std::unique_ptr<JsonPlaces> mPlaces;
    const Json& mRoot;
};

DefinitionParser::DefinitionParser(std::string_view text, const std::filesystem::path& file)
    : mFile(file), mPlaces(std::make_unique<JsonPlaces>(text, mFile)), mRoot(mPlaces->root())
{
}

void DefinitionParser::failAt(const std::string& pointer, std::string_view message) const
{
    throwBadInput(mFile, mPlaces->valueAt(pointer), message);
}

void DefinitionParser::failAtName(const std::string& pointer, std::string_view message) const
{
    throwBadInput(mFile, mPlaces->nameAt(pointer), message);
}

std::string listOf(std::initializer_list<std::string_view> names)
{
    std::string text;
    for (const std::string_view name : names)
        text += (text.empty() ? "" : ", ") + std::string(name);
    return text;
}

// Requires `value` to be an object whose members are all among `members`:
// a misspelt member would otherwise be ignored without a word.
void DefinitionParser::expectObject(const Json& value, const std::string& pointer,
                                    std::initializer_list<std::string_view> members) const
{
    if (!value.is_object())
        failAt(pointer, "expected an object { ... } with the members " + listOf(members));
    for (const auto& [name, member] : value.items()) {
        if (std::find(members.begin(), members.end(), name) == members.end()) {
            failAtName(JsonPlaces::child(pointer, name),
                       "unknown member " + inQuotes(name) + "; expected one of " + listOf(members));
        }
    }
}

std::string DefinitionParser::text(const Json& object, const std::string& pointer, std::string_view name,
                                   bool required) const
{
    const auto found = object.find(name);
    if (found == object.end()) {
        if (required)
            failAt(pointer, "missing member " + inQuotes(name));
        return {};
    }
    const std::string here = JsonPlaces::child(pointer, name);
    if (!found->is_string())
        failAt(here, inQuotes(name) + " must be a text in double quotes");
    std::string value = found->get<std::string>();
    if (required && value.empty())
        failAt(here, inQuotes(name) + " must not be empty");
    return value;
}

DefinitionText DefinitionParser::placedText(const Json& object, const std::string& pointer, std::string_view name,
                                            bool required) const
{
    std::string value = text(object, pointer, name, required);
    return {std::move(value), at(JsonPlaces::child(pointer, name))};
}

bool DefinitionParser::flag(const Json& object, const std::string& pointer, std::string_view name) const
{
    const auto found = object.find(name);
    if (found == object.end())
        return false;
    if (!found->is_boolean())
        failAt(JsonPlaces::child(pointer, name), inQuotes(name) + " must be true or false");
    return found->get<bool>();
}

// A required, non-empty array member.
const Json& DefinitionParser::list(const Json& object, const std::string& pointer, std::string_view name) const
{
    const auto found = object.find(name);
    if (found == object.end())
        failAt(pointer, "missing member " + inQuotes(name));
    const std::string here = JsonPlaces::child(pointer, name);
    if (!found->is_array())
        failAt(here, inQuotes(name) + " must be a list [ ... ]");
    if (found->empty())
        failAt(here, inQuotes(name) + " must not be empty");
    return *found;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y)); });
}

// Fails at the name of the second element of `names` that repeats an earlier one.
template <class Item, class NameOf, class Fail>
void checkUnique(const std::vector<Item>& items, NameOf nameOf, std::string_view what, Fail fail)
{
    std::unordered_set<std::string> seen;
    for (size_t i = 0; i < items.size(); ++i) {
        if (!seen.insert(nameOf(items[i])).second)
            fail(i, "a second " + std::string(what) + " named " + inQuotes(nameOf(items[i])));
    }
}

CatalogDefinition DefinitionParser::parse()
{
    expectObject(mRoot, "", {"catalog", "cubes", "store"});
    CatalogDefinition catalog;
    catalog.file = mFile;
    catalog.catalog = text(mRoot, "", "catalog", true);
    const Json& cubes = list(mRoot, "", "cubes");
    for (size_t i = 0; i < cubes.size(); ++i)
        catalog.cubes.push_back(cube(cubes[i], JsonPlaces::child("/cubes", i)));
    checkUnique(catalog.cubes, [](const CubeDefinition& c) { return c.name; }, "cube",
                [&](size_t i, const std::string& message) { failAt("/cubes/" + std::to_string(i) + "/name", message); });
    if (mRoot.contains("store"))
        catalog.store = store(mRoot.at("store"), "/store", catalog);
    return catalog;
}

CubeDefinition DefinitionParser::cube(const Json& value, const std::string& pointer) const
{
    expectObject(value, pointer, {"name", "factTable", "dimensions", "measures", "calculatedMeasures"});
    CubeDefinition cube;
    cube.position = at(pointer);
    cube.name = text(value, pointer, "name", true);
    cube.factTable = placedText(value, pointer, "factTable", true);
    const Json& dimensions = list(value, pointer, "dimensions");
    const std::string dimensionsPointer = JsonPlaces::child(pointer, "dimensions");
    for (size_t i = 0; i < dimensions.size(); ++i)
        cube.dimensions.push_back(dimension(dimensions[i], JsonPlaces::child(dimensionsPointer, i), cube));
    const Json& measures = list(value, pointer, "measures");
    const std::string measuresPointer = JsonPlaces::child(pointer, "measures");
    for (size_t i = 0; i < measures.size(); ++i)
        cube.measures.push_back(measure(measures[i], JsonPlaces::child(measuresPointer, i)));
    auto failAtName = [&](const std::string& listPointer) {
        return [this, listPointer](size_t i, const std::string& message) {
            failAt(JsonPlaces::child(JsonPlaces::child(listPointer, i), "name"), message);
        };
    };
    checkUnique(cube.dimensions, [](const DimensionDefinition& d) { return d.name; }, "dimension",
                failAtName(dimensionsPointer));
    checkUnique(cube.measures, [](const MeasureDefinition& m) { return m.name; }, "measure",
                failAtName(measuresPointer));
    if (value.contains("calculatedMeasures")) {
        const Json& calculated = list(value, pointer, "calculatedMeasures");
        const std::string calculatedPointer = JsonPlaces::child(pointer, "calculatedMeasures");
        for (size_t i = 0; i < calculated.size(); ++i) {
            const std::string here = JsonPlaces::child(calculatedPointer, i);
            cube.calculatedMeasures.push_back(calculatedMeasure(calculated[i], here));
            const std::string& name = cube.calculatedMeasures.back().name;
            const auto sameName = [&](const auto& m) { return m.name == name; };
            if (std::any_of(cube.measures.begin(), cube.measures.end(), sameName)
                || std::count_if(cube.calculatedMeasures.begin(), cube.calculatedMeasures.end(), sameName) > 1)
                failAt(JsonPlaces::child(here, "name"), "a second measure named " + inQuotes(name));
        }
        checkFormulas(cube);
    }
    return cube;
}

DimensionType dimensionType(std::string_view name)
{
    if (name == "time")
        return DimensionType::Time;
    if (name == "measure")
        return DimensionType::Measure;
    return DimensionType::Other;
}

DimensionDefinition DefinitionParser::dimension(const Json& value, const std::string& pointer,
                                                const CubeDefinition& cube) const
{
    expectObject(value, pointer, {"name", "type", "joins", "hierarchies", "levels", "allLevel", "allMemberName"});
    DimensionDefinition dimension;
    dimension.position = at(pointer);
    dimension.name = text(value, pointer, "name", true);
    if (equalsIgnoringCase(dimension.name, kMeasuresDimensionName))
        failAt(JsonPlaces::child(pointer, "name"), inQuotes(dimension.name) + " is the name of the measures dimension");
    const std::string type = value.contains("type") ? text(value, pointer, "type", true) : "other";
    if (type != "time" && type != "other" && type != "measure")
        failAt(JsonPlaces::child(pointer, "type"), "unknown dimension type " + inQuotes(type)
                                                       + "; expected \"time\", \"other\" or \"measure\"");
    dimension.type = dimensionType(type);
    if (value.contains("joins")) {
        const Json& joins = list(value, pointer, "joins");
        for (size_t i = 0; i < joins.size(); ++i)
            dimension.joins.push_back(join(joins[i], JsonPlaces::child(JsonPlaces::child(pointer, "joins"), i)));
    }
    dimension.hierarchies = hierarchies(value, pointer, dimension.name);
    checkLevelTables(dimension, cube);
    return dimension;
}

// Either a list of hierarchies, or the one hierarchy's members written into
// the dimension itself.
std::vector<HierarchyDefinition> DefinitionParser::hierarchies(const Json& value, const std::string& pointer,
                                                               const std::string& dimensionName) const
{
    std::vector<HierarchyDefinition> result;
    if (!value.contains("hierarchies")) {
        if (!value.contains("levels"))
            failAt(pointer, "missing member \"hierarchies\" (or \"levels\" for a single hierarchy)");
        result.push_back(hierarchy(value, pointer, false));
        return result;
    }
    for (const char* single : {"levels", "allLevel", "allMemberName"}) {
        if (value.contains(single))
            failAtName(JsonPlaces::child(pointer, single),
                       inQuotes(single) + " belongs in each of the \"hierarchies\" when they are given");
    }
    const std::string listPointer = JsonPlaces::child(pointer, "hierarchies");
    const Json& hierarchies = list(value, pointer, "hierarchies");
    for (size_t i = 0; i < hierarchies.size(); ++i) {
        const std::string here = JsonPlaces::child(listPointer, i);
        expectObject(hierarchies[i], here, {"name", "levels", "allLevel", "allMemberName"});
        result.push_back(hierarchy(hierarchies[i], here, true));
    }
    checkUnique(result, [&](const HierarchyDefinition& h) { return h.name.empty() ? dimensionName : h.name; },
                "hierarchy", [&](size_t i, const std::string& message) { failAt(JsonPlaces::child(listPointer, i), message); });
    return result;
}

// `ownObject`: `value` is an entry of "hierarchies" (with a name of its own),
// not the dimension that holds its single hierarchy's members.
HierarchyDefinition DefinitionParser::hierarchy(const Json& value, const std::string& pointer, bool ownObject) const
{
    HierarchyDefinition hierarchy;
    hierarchy.position = at(pointer);
    if (ownObject)
        hierarchy.name = text(value, pointer, "name", false);
    hierarchy.allLevel = flag(value, pointer, "allLevel");
    hierarchy.allMemberName = text(value, pointer, "allMemberName", false);
    const std::string levelsPointer = JsonPlaces::child(pointer, "levels");
    const Json& levels = list(value, pointer, "levels");
    for (size_t i = 0; i < levels.size(); ++i)
        hierarchy.levels.push_back(level(levels[i], JsonPlaces::child(levelsPointer, i)));
    checkUnique(hierarchy.levels, [](const LevelDefinition& l) { return l.name; }, "level",
                [&](size_t i, const std::string& message) {
                    failAt(JsonPlaces::child(JsonPlaces::child(levelsPointer, i), "name"), message);
                });
    return hierarchy;
}

LevelDefinition DefinitionParser::level(const Json& value, const std::string& pointer) const
{
    expectObject(value, pointer,
                 {"name", "column", "captionColumn", "table", "namedByKey", "orderBy", "orderColumn", "descending"});
    LevelDefinition level;
    level.position = at(pointer);
    level.name = text(value, pointer, "name", true);
    level.column = placedText(value, pointer, "column", true);
    level.captionColumn = placedText(value, pointer, "captionColumn", false);
    level.table = placedText(value, pointer, "table", false);
    level.namedByKey = flag(value, pointer, "namedByKey");
    levelOrder(value, pointer, level);
    return level;
}

void DefinitionParser::levelOrder(const Json& value, const std::string& pointer, LevelDefinition& level) const
{
    level.descending = flag(value, pointer, "descending");
    level.orderColumn = placedText(value, pointer, "orderColumn", false);
    const std::string by = text(value, pointer, "orderBy", false);
    if (by.empty() && !level.orderColumn.empty())
        level.order = MemberOrder::Ordinal;
    else if (by == "name")
        level.order = MemberOrder::Name;
    else if (by == "key")
        level.order = MemberOrder::Key;
    else if (by == "ordinal")
        level.order = MemberOrder::Ordinal;
    else if (!by.empty())
        failAt(JsonPlaces::child(pointer, "orderBy"),
               "unknown order " + inQuotes(by) + "; expected \"name\", \"key\" or \"ordinal\"");
    if (level.order == MemberOrder::Ordinal && level.orderColumn.empty())
        failAt(pointer, "\"orderBy\": \"ordinal\" needs the \"orderColumn\" that holds each member's place");
    if (level.order != MemberOrder::Ordinal && !level.orderColumn.empty())
        failAtName(JsonPlaces::child(pointer, "orderColumn"), "\"orderColumn\" goes with \"orderBy\": \"ordinal\"");
    if (level.descending && level.order == MemberOrder::FirstSeen)
        failAtName(JsonPlaces::child(pointer, "descending"), "\"descending\" needs an \"orderBy\"");
}

JoinDefinition DefinitionParser::join(const Json& value, const std::string& pointer) const
{
    expectObject(value, pointer, {"table", "key", "foreignKey"});
    JoinDefinition join;
    join.position = at(pointer);
    join.table = placedText(value, pointer, "table", true);
    join.key = placedText(value, pointer, "key", true);
    join.foreignKey = placedText(value, pointer, "foreignKey", true);
    return join;
}

MeasureDefinition DefinitionParser::measure(const Json& value, const std::string& pointer) const
{
    expectObject(value, pointer, {"name", "column", "aggregation", "format", "filter"});
    MeasureDefinition measure;
    measure.position = at(pointer);
    measure.name = text(value, pointer, "name", true);
    const std::string aggregation = value.contains("aggregation") ? text(value, pointer, "aggregation", true) : "sum";
    constexpr std::string_view kNames[] = {"sum", "count", "min", "max", "average", "distinct count"};
    const auto found = std::find(std::begin(kNames), std::end(kNames), aggregation);
    if (found == std::end(kNames))
        failAt(JsonPlaces::child(pointer, "aggregation"),
               "unknown aggregation " + inQuotes(aggregation)
                   + "; expected sum, count, min, max, average or distinct count");
    // The names are listed in the order of the Aggregation codes.
    measure.aggregation = static_cast<Aggregation>(found - std::begin(kNames));
    measure.column = placedText(value, pointer, "column", measure.aggregation != Aggregation::Count);
    measure.formatString = text(value, pointer, "format", false);
    if (value.contains("filter"))
        measure.filter = filter(value.at("filter"), JsonPlaces::child(pointer, "filter"));
    return measure;
}

MeasureFilter DefinitionParser::filter(const Json& value, const std::string& pointer) const
{
    expectObject(value, pointer, {"column", "table", "equals", "notEquals", "oneOf", "from", "to"});
    MeasureFilter filter;
    filter.position = at(pointer);
    filter.column = placedText(value, pointer, "column", true);
    filter.table = placedText(value, pointer, "table", false);
    const int tests = int(value.contains("equals")) + int(value.contains("notEquals")) + int(value.contains("oneOf"))
                      + int(value.contains("from") || value.contains("to"));
    if (tests != 1)
        failAt(pointer, "a filter needs exactly one test: \"equals\", \"notEquals\", \"oneOf\" or \"from\"/\"to\"");
    if (value.contains("equals") || value.contains("notEquals")) {
        const bool equals = value.contains("equals");
        filter.test = equals ? MeasureFilter::Test::Equals : MeasureFilter::Test::NotEquals;
        filter.values.push_back(text(value, pointer, equals ? "equals" : "notEquals", false));
    } else if (value.contains("oneOf")) {
        filter.test = MeasureFilter::Test::OneOf;
        const Json& values = list(value, pointer, "oneOf");
        for (size_t i = 0; i < values.size(); ++i) {
            if (!values[i].is_string())
                failAt(JsonPlaces::child(JsonPlaces::child(pointer, "oneOf"), i), "\"oneOf\" lists texts in double quotes");
            filter.values.push_back(values[i].get<std::string>());
        }
    } else {
        filter.test = MeasureFilter::Test::Range;
        for (const char* end : {"from", "to"}) {
            if (!value.contains(end))
                continue;
            if (!value.at(end).is_number())
                failAt(JsonPlaces::child(pointer, end), inQuotes(end) + " must be a number");
            (end == std::string_view("from") ? filter.from : filter.to) = value.at(end).get<double>();
        }
    }
    return filter;
}

CalculatedMeasureDefinition DefinitionParser::calculatedMeasure(const Json& value, const std::string& pointer) const
{
    expectObject(value, pointer, {"name", "formula", "format"});
    CalculatedMeasureDefinition measure;
    measure.position = at(pointer);
    measure.name = text(value, pointer, "name", true);
    measure.formula = placedText(value, pointer, "formula", true);
    measure.formatString = text(value, pointer, "format", false);
    return measure;
}

// A formula's problem is placed at the character it concerns: the formula's
// text starts one column after its opening quote.
void DefinitionParser::checkFormulas(const CubeDefinition& cube) const
{
    std::vector<MeasureInfo> measures;
    for (const MeasureDefinition& measure : cube.measures)
        measures.push_back({measure.name, measure.aggregation, measure.formatString});
    for (const CalculatedMeasureDefinition& measure : cube.calculatedMeasures)
        measures.push_back({measure.name, Aggregation::Sum, measure.formatString, measure.formula.value});
    const auto problem = findCalculatedProblem(measures);
    if (!problem)
        return;
    const DefinitionText& formula = cube.calculatedMeasures[problem->measure - cube.measures.size()].formula;
    const TextPosition start{formula.position.line, formula.position.column + 1};
    throwBadInput(mFile, advancePosition(start, std::string_view(formula.value).substr(0, problem->offset)),
                  problem->message);
}

StoreCompanion DefinitionParser::store(const Json& value, const std::string& pointer,
                                       const CatalogDefinition& catalog) const
{
    expectObject(value, pointer, {"measuresSpecial", "measureListDimension"});
    StoreCompanion companion;
    companion.measuresSpecial = flag(value, pointer, "measuresSpecial");
    companion.measureListDimension = text(value, pointer, "measureListDimension", companion.measuresSpecial);
    if (companion.measureListDimension.empty())
        return companion;
    for (const CubeDefinition& cube : catalog.cubes) {
        const bool found = std::any_of(cube.dimensions.begin(), cube.dimensions.end(), [&](const DimensionDefinition& d) {
            return d.name == companion.measureListDimension;
        });
        if (!found)
            failAt(JsonPlaces::child(pointer, "measureListDimension"),
                   "cube " + inQuotes(cube.name) + " has no dimension " + inQuotes(companion.measureListDimension));
    }
    return companion;
}

// A level may name its table only among the tables the dimension reaches:
// the joined tables, or the fact table when the dimension joins none.
void DefinitionParser::checkLevelTables(const DimensionDefinition& dimension, const CubeDefinition& cube) const
{
    std::vector<std::string> tables;
    for (const JoinDefinition& join : dimension.joins)
        tables.push_back(join.table.value);
    if (tables.empty())
        tables.push_back(cube.factTable.value);
    for (const HierarchyDefinition& hierarchy : dimension.hierarchies) {
        for (const LevelDefinition& level : hierarchy.levels) {
            if (level.table.empty() || std::find(tables.begin(), tables.end(), level.table.value) != tables.end())
                continue;
            std::string known;
            for (const std::string& table : tables)
                known += (known.empty() ? "" : ", ") + table;
            throwBadInput(mFile, level.table.position,
                          "dimension " + inQuotes(dimension.name) + " does not reach table " + inQuotes(level.table.value)
                              + "; its tables: " + known);
        }
    }
}

}  // namespace

std::filesystem::path CatalogDefinition::tablePath(std::string_view table) const
{
    const std::filesystem::path name(table);
    return name.is_absolute() ? name : file.parent_path() / name;
}

CatalogDefinition parseCubeDefinition(std::string_view text, const std::filesystem::path& file)
{
    return DefinitionParser(text, file).parse();
}

CatalogDefinition readCubeDefinition(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw platform::Failure(platform::err::kFileNotFound, file.string() + ": cannot open the cube definition",
                                kCubeBuilderSource);
    }
    std::ostringstream text;
    text << in.rdbuf();
    return parseCubeDefinition(text.str(), file);
}

}  // namespace olap
