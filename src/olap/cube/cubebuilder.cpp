// Collects a cube's members and facts in memory; cubewriter.cpp writes them.
#include "olap/cube/cubebuilder.h"

#include "olap/cube/builderdata.h"
#include "olap/cube/calculatedmeasures.h"
#include "platform/core/failure.h"

#include <cmath>
#include <set>

namespace olap {

namespace {

[[noreturn]] void specFailure(const std::string& cube, const std::string& problem)
{
    throw platform::Failure(platform::err::kInvalidCall, "Cube \"" + cube + "\": " + problem, "olap");
}

void checkUnique(std::set<std::string>& seen, const std::string& name, const std::string& cube, const char* what)
{
    if (name.empty())
        specFailure(cube, std::string("a ") + what + " has no name");
    if (!seen.insert(name).second)
        specFailure(cube, std::string("the ") + what + " name \"" + name + "\" is used twice");
}

}  // namespace

std::vector<MeasureInfo> measureInfos(const CubeSpec& spec)
{
    std::vector<MeasureInfo> measures;
    for (const MeasureSpec& measure : spec.measures)
        measures.push_back({measure.name, measure.aggregation, measure.formatString});
    for (const CalculatedMeasureSpec& measure : spec.calculatedMeasures) {
        // An empty formula would make the measure a stored one.
        measures.push_back({measure.name, Aggregation::Sum, measure.formatString,
                            measure.formula.empty() ? std::string(" ") : measure.formula});
    }
    return measures;
}

namespace {

void validate(const CubeSpec& spec)
{
    if (spec.name.empty())
        specFailure(spec.name, "the cube has no name");
    std::set<std::string> dimensions, measures;
    for (const DimensionSpec& dimension : spec.dimensions) {
        checkUnique(dimensions, dimension.name, spec.name, "dimension");
        if (dimension.name == kMeasuresDimensionName)
            specFailure(spec.name, "a dimension cannot be called \"Measures\"; that name holds the measures");
        if (dimension.hierarchies.empty())
            specFailure(spec.name, "the dimension \"" + dimension.name + "\" has no hierarchy");
        std::set<std::string> hierarchies;
        for (const HierarchySpec& hierarchy : dimension.hierarchies) {
            checkUnique(hierarchies, hierarchy.name.empty() ? dimension.name : hierarchy.name, spec.name,
                        "hierarchy");
            if (hierarchy.levels.empty())
                specFailure(spec.name, "a hierarchy of \"" + dimension.name + "\" has no levels");
            std::set<std::string> levels;
            for (const LevelSpec& level : hierarchy.levels)
                checkUnique(levels, level.name, spec.name, "level");
        }
    }
    for (const MeasureSpec& measure : spec.measures)
        checkUnique(measures, measure.name, spec.name, "measure");
    for (const CalculatedMeasureSpec& measure : spec.calculatedMeasures)
        checkUnique(measures, measure.name, spec.name, "measure");
    if (const auto problem = findCalculatedProblem(measureInfos(spec)))
        specFailure(spec.name, problem->message);
}

}  // namespace

HierarchyBuild::HierarchyBuild(const DimensionSpec& dimension, const HierarchySpec& spec)
    : hasAll(spec.hasAllLevel), levels(spec.levels.size() + (spec.hasAllLevel ? 1 : 0)), lookup(levels.size())
{
    if (hasAll) {
        const std::string all = spec.allMemberName.empty() ? "All " + dimension.name : spec.allMemberName;
        levels[0].push_back({-1, all, {}});
    }
}

uint32_t HierarchyBuild::addPath(const std::vector<PathPart>& path)
{
    int32_t parent = hasAll ? 0 : -1;
    for (size_t i = 0; i < path.size(); ++i) {
        const size_t level = i + (hasAll ? 1 : 0);
        std::string key = std::to_string(parent);
        key += '\x1f';
        key += path[i].name;
        auto [at, added] = lookup[level].try_emplace(std::move(key), uint32_t(levels[level].size()));
        if (added)
            levels[level].push_back({parent, path[i].name, path[i].caption, path[i].ordinal});
        parent = int32_t(at->second);
    }
    return uint32_t(parent);
}

CubeBuilder::CubeBuilder(CubeSpec spec) : d(std::make_unique<Data>())
{
    validate(spec);
    d->spec = std::move(spec);
    for (const DimensionSpec& dimension : d->spec.dimensions) {
        DimensionBuild build;
        for (const HierarchySpec& hierarchy : dimension.hierarchies)
            build.hierarchies.emplace_back(dimension, hierarchy);
        d->dimensions.push_back(std::move(build));
    }
    d->keys.resize(d->spec.dimensions.size());
    d->values.resize(d->spec.measures.size());
    d->distinctIds.resize(d->spec.measures.size());
}

CubeBuilder::~CubeBuilder() = default;
CubeBuilder::CubeBuilder(CubeBuilder&&) noexcept = default;
CubeBuilder& CubeBuilder::operator=(CubeBuilder&&) noexcept = default;

const CubeSpec& CubeBuilder::spec() const { return d->spec; }
uint64_t CubeBuilder::factCount() const { return d->factCount; }

uint32_t CubeBuilder::dimensionKey(size_t dimension, const std::vector<PathPart>& path)
{
    return dimensionKey(dimension, std::span<const std::vector<PathPart>>(&path, 1));
}

uint32_t CubeBuilder::dimensionKey(size_t dimension, std::span<const std::vector<PathPart>> paths)
{
    if (dimension >= d->dimensions.size())
        throw platform::Failure(platform::err::kSubscript, "There is no dimension number " + std::to_string(dimension), "olap");
    const DimensionSpec& spec = d->spec.dimensions[dimension];
    DimensionBuild& build = d->dimensions[dimension];
    if (paths.size() != build.hierarchies.size())
        specFailure(d->spec.name, "\"" + spec.name + "\" needs one member path per hierarchy");
    for (size_t h = 0; h < paths.size(); ++h) {
        if (paths[h].size() != spec.hierarchies[h].levels.size())
            specFailure(d->spec.name, "a member path of \"" + spec.name + "\" needs one name per level");
    }
    std::string identity;
    for (const PathPart& part : paths[0]) {
        identity += part.name;
        identity += '\x1f';
    }
    const auto known = build.keyOfPath.find(identity);
    if (known != build.keyOfPath.end())
        return checkSameKey(dimension, known->second, paths);
    const uint32_t key = uint32_t(build.keyOfPath.size());
    build.keyOfPath.emplace(std::move(identity), key);
    for (size_t h = 0; h < paths.size(); ++h)
        build.hierarchies[h].memberOfKey.push_back(build.hierarchies[h].addPath(paths[h]));
    return key;
}

// A key seen before must name the same members in every other hierarchy.
uint32_t CubeBuilder::checkSameKey(size_t dimension, uint32_t key, std::span<const std::vector<PathPart>> paths)
{
    DimensionBuild& build = d->dimensions[dimension];
    for (size_t h = 1; h < paths.size(); ++h) {
        HierarchyBuild& hierarchy = build.hierarchies[h];
        const size_t before = hierarchy.levels.back().size();
        if (hierarchy.addPath(paths[h]) != hierarchy.memberOfKey[key] || hierarchy.levels.back().size() != before) {
            specFailure(d->spec.name, "duplicate member key: \"" + paths[0].back().name + "\" of \""
                                          + d->spec.dimensions[dimension].name
                                          + "\" is given two different places in another hierarchy");
        }
    }
    return key;
}

uint32_t CubeBuilder::distinctId(size_t measure, std::string_view value)
{
    if (measure >= d->spec.measures.size() || d->spec.measures[measure].aggregation != Aggregation::DistinctCount)
        specFailure(d->spec.name, "measure number " + std::to_string(measure) + " is not a distinct count");
    auto& ids = d->distinctIds[measure];
    if (ids.size() >= UINT32_MAX - 1)
        specFailure(d->spec.name, "\"" + d->spec.measures[measure].name + "\" has more different values than a cube holds");
    return ids.try_emplace(std::string(value), uint32_t(ids.size() + 1)).first->second;
}

void CubeBuilder::addFact(std::span<const uint32_t> keys, std::span<const double> values)
{
    if (keys.size() != d->dimensions.size() || values.size() != d->values.size())
        specFailure(d->spec.name, "a fact needs one key per dimension and one value per measure");
    for (size_t i = 0; i < keys.size(); ++i) {
        if (keys[i] >= d->dimensions[i].keyOfPath.size())
            specFailure(d->spec.name, "a fact names an unknown key of \"" + d->spec.dimensions[i].name + "\"");
        d->keys[i].push_back(keys[i]);
    }
    for (size_t i = 0; i < values.size(); ++i) {
        const bool distinct = d->spec.measures[i].aggregation == Aggregation::DistinctCount;
        if (distinct && !std::isnan(values[i])
            && !(values[i] >= 1 && values[i] <= double(d->distinctIds[i].size()) && values[i] == std::floor(values[i])))
            specFailure(d->spec.name, "a fact names an unknown value of \"" + d->spec.measures[i].name + "\"");
    }
    for (size_t i = 0; i < values.size(); ++i)
        d->values[i].push_back(values[i]);
    ++d->factCount;
}

}  // namespace olap
