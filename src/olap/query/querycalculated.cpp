#include "olap/query/querycalculated.h"

#include "olap/cube/calculatedmeasures.h"
#include "olap/query/queryrollup.h"
#include "platform/core/failure.h"

#include <algorithm>

namespace olap::query {

namespace {

bool showsCalculated(const CubeInfo& cube, const std::vector<uint32_t>& measures)
{
    return std::any_of(measures.begin(), measures.end(),
                       [&](uint32_t m) { return m < cube.measures.size() && cube.measures[m].calculated(); });
}

void checkMeasures(const CubeInfo& cube, const std::vector<uint32_t>& measures)
{
    for (uint32_t m : measures) {
        if (m >= cube.measures.size())
            throw platform::Failure(platform::err::kSubscript, "Query on cube \"" + cube.name
                                                                   + "\": there is no measure number " + std::to_string(m),
                                    "olap");
    }
}

// The calculated measures `shown` needs, each after its inputs, and per
// measure whether it is needed.
std::vector<const CalculatedMeasure*> neededInOrder(const std::vector<CalculatedMeasure>& calculated,
                                                    const CubeInfo& cube, const std::vector<uint32_t>& shown)
{
    std::vector<uint8_t> needed(cube.measures.size());
    for (uint32_t m : shown)
        needed[m] = 1;
    // Inputs come before the measures that read them, so one pass from the
    // end marks every input of a needed measure.
    for (auto at = calculated.rbegin(); at != calculated.rend(); ++at) {
        if (needed[at->measure]) {
            for (uint32_t input : at->inputs)
                needed[input] = 1;
        }
    }
    std::vector<const CalculatedMeasure*> result;
    for (const CalculatedMeasure& measure : calculated) {
        if (needed[measure.measure])
            result.push_back(&measure);
    }
    return result;
}

}  // namespace

PivotQuery aggregatedQuery(const CubeInfo& cube, const PivotQuery& query)
{
    checkMeasures(cube, query.measures);
    if (!showsCalculated(cube, query.measures))
        return query;
    PivotQuery aggregated = query;
    aggregated.measures.clear();
    const auto add = [&](uint32_t m) {
        if (!cube.measures[m].calculated()
            && std::find(aggregated.measures.begin(), aggregated.measures.end(), m) == aggregated.measures.end())
            aggregated.measures.push_back(m);
    };
    for (uint32_t m : query.measures)
        add(m);
    const std::vector<CalculatedMeasure> calculated = resolveCalculatedMeasures(cube);
    for (const CalculatedMeasure* measure : neededInOrder(calculated, cube, query.measures)) {
        for (uint32_t input : measure->inputs)
            add(input);
    }
    return aggregated;
}

void showMeasures(const CubeInfo& cube, const PivotQuery& query, QueryResult& result)
{
    if (result.measures == query.measures)
        return;
    const std::vector<CalculatedMeasure> calculated = resolveCalculatedMeasures(cube);
    const std::vector<const CalculatedMeasure*> needed = neededInOrder(calculated, cube, query.measures);
    const size_t cellCount = result.rows.size() * result.columns.size();
    const size_t from = result.measures.size(), to = query.measures.size();
    Column<std::optional<double>> cells(cellCount * to);
    std::vector<std::optional<double>> values(cube.measures.size());
    std::vector<std::optional<double>> inputs;
    for (size_t cell = 0; cell < cellCount; ++cell) {
        for (size_t m = 0; m < from; ++m)
            values[result.measures[m]] = result.cells[cell * from + m];
        for (const CalculatedMeasure* measure : needed) {
            inputs.clear();
            for (uint32_t input : measure->inputs)
                inputs.push_back(values[input]);
            values[measure->measure] = measure->formula.evaluate(inputs);
        }
        for (size_t m = 0; m < to; ++m)
            cells[cell * to + m] = values[query.measures[m]];
    }
    result.cells = std::move(cells);
    result.measures = query.measures;
    dropEmptyTuples(result, !query.rows.keepEmpty, !query.columns.keepEmpty);
}

}  // namespace olap::query
