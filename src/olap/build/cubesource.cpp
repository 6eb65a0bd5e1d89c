#include "olap/build/cubesource.h"

#include "olap/build/csvnumber.h"
#include "olap/build/csvreader.h"
#include "olap/build/cubesourcedimension.h"
#include "olap/build/cubesourcefilter.h"
#include "olap/store/storecompanion.h"

#include <optional>

namespace olap {

namespace {

CubeSpec cubeSpec(const CubeDefinition& cube)
{
    CubeSpec spec;
    spec.name = cube.name;
    for (const DimensionDefinition& dimension : cube.dimensions) {
        DimensionSpec& target = spec.dimensions.emplace_back();
        target.name = dimension.name;
        target.type = dimension.type;
        for (const HierarchyDefinition& hierarchy : dimension.hierarchies) {
            HierarchySpec& h = target.hierarchies.emplace_back();
            h.name = hierarchy.name;
            h.hasAllLevel = hierarchy.allLevel;
            h.allMemberName = hierarchy.allMemberName;
            for (const LevelDefinition& level : hierarchy.levels)
                h.levels.push_back({level.name, level.namedByKey, level.order, level.descending});
        }
    }
    for (const MeasureDefinition& measure : cube.measures)
        spec.measures.push_back({measure.name, measure.aggregation, measure.formatString});
    for (const CalculatedMeasureDefinition& measure : cube.calculatedMeasures)
        spec.calculatedMeasures.push_back({measure.name, measure.formula.value, measure.formatString});
    return spec;
}

CubeBuilder makeBuilder(const CatalogDefinition& catalog, const CubeDefinition& cube)
{
    try {
        return CubeBuilder(cubeSpec(cube));
    } catch (const platform::Failure& failure) {
        throwBadInput(catalog.file, cube.position, failure.description(), failure.number());
    }
}

// A measure's column in the fact table; none for a count of facts. A
// filtered measure has no value for the facts that fail its filter.
struct MeasureColumn {
    std::optional<size_t> column;
    std::string name;
    std::optional<FilterSource> filter;
    bool distinct = false;  // a distinct count: any text is a value, an empty field none
};

std::vector<MeasureColumn> measureColumns(const CatalogDefinition& catalog, const CubeDefinition& cube,
                                          const CsvReader& facts)
{
    std::vector<MeasureColumn> columns;
    for (const MeasureDefinition& measure : cube.measures) {
        MeasureColumn& target = columns.emplace_back();
        target.name = measure.name;
        target.distinct = measure.aggregation == Aggregation::DistinctCount;
        if (measure.filter)
            target.filter.emplace(catalog, cube, *measure.filter, facts);
        if (measure.column.empty())
            continue;
        target.column = facts.findColumn(measure.column.value);
        if (!target.column)
            throwUnknownColumn(catalog, measure.column, facts.path(), facts.header());
    }
    return columns;
}

void readFacts(CsvReader& facts, std::vector<DimensionSource>& dimensions, const std::vector<MeasureColumn>& measures,
               CubeBuilder& builder)
{
    std::vector<uint32_t> keys(dimensions.size());
    std::vector<double> values(measures.size());
    while (facts.next()) {
        for (size_t d = 0; d < dimensions.size(); ++d)
            keys[d] = dimensions[d].keyOf(facts);
        for (size_t m = 0; m < measures.size(); ++m) {
            if (measures[m].filter && !measures[m].filter->meets(facts)) {
                values[m] = kEmpty;
                continue;
            }
            if (!measures[m].column) {
                values[m] = 1.0;
                continue;
            }
            const size_t column = *measures[m].column;
            if (measures[m].distinct) {
                const std::string_view value = facts.field(column);
                values[m] = value.empty() ? kEmpty : double(builder.distinctId(m, value));
                continue;
            }
            if (!parseCsvNumber(facts.field(column), values[m])) {
                facts.failAt(column,
                             "non-numeric value " + inQuotes(facts.field(column)) + " for measure "
                                 + inQuotes(measures[m].name) + " in column " + inQuotes(facts.header()[column]),
                             platform::err::kTypeMismatch);
            }
        }
        builder.addFact(keys, values);
    }
}

CubeBuilder buildCube(const CatalogDefinition& catalog, const CubeDefinition& cube)
{
    CubeBuilder builder = makeBuilder(catalog, cube);
    CsvReader facts = openTable(catalog, cube.factTable);
    std::vector<DimensionSource> dimensions;
    dimensions.reserve(cube.dimensions.size());
    for (size_t d = 0; d < cube.dimensions.size(); ++d)
        dimensions.emplace_back(catalog, cube, d, facts, builder);
    const std::vector<MeasureColumn> measures = measureColumns(catalog, cube, facts);
    readFacts(facts, dimensions, measures, builder);
    return builder;
}

}  // namespace

std::vector<CubeBuilder> buildCubes(const CatalogDefinition& catalog)
{
    std::vector<CubeBuilder> builders;
    builders.reserve(catalog.cubes.size());
    for (const CubeDefinition& cube : catalog.cubes)
        builders.push_back(buildCube(catalog, cube));
    return builders;
}

std::filesystem::path companionPath(const std::filesystem::path& cubeFile)
{
    return std::filesystem::path(cubeFile).replace_extension(".bwf");
}

std::vector<CubeSummary> buildCubeFile(const CatalogDefinition& catalog, const std::filesystem::path& output)
{
    std::vector<CubeBuilder> builders = buildCubes(catalog);
    std::vector<CubeBuilder*> cubes;
    std::vector<CubeSummary> summary;
    for (CubeBuilder& builder : builders) {
        cubes.push_back(&builder);
        summary.push_back({builder.spec().name, builder.factCount(), builder.spec().dimensions.size(),
                           builder.spec().measures.size() + builder.spec().calculatedMeasures.size()});
    }
    writeCubeFile(output, catalog.catalog, cubes);
    if (catalog.store)
        writeStoreCompanion(companionPath(output), *catalog.store);
    return summary;
}

}  // namespace olap
