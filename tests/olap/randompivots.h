// Random cubes and random pivots, for the tests that check every cell of
// a pivot against an independent computation: SQLite's GROUP BY for the
// local engine, the local engine for the server provider.
#pragma once

#include "olap/query/query.h"
#include "olaptestsupport.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace olap::randompivots {

// One measure per aggregation, with SQLite's name for it; kFactsMeasure, a
// count with a value in every fact, counts facts; the last counts distinct
// ids (randomDistinctId).
inline constexpr std::pair<Aggregation, const char*> kMeasures[] = {{Aggregation::Sum, "SUM"},
    {Aggregation::Count, "COUNT"}, {Aggregation::Min, "MIN"}, {Aggregation::Max, "MAX"},
    {Aggregation::Average, "AVG"}, {Aggregation::Count, "COUNT"}, {Aggregation::DistinctCount, "COUNT(DISTINCT"}};
inline constexpr uint32_t kFactsMeasure = 5;
inline constexpr uint32_t kDistinctMeasure = 6;

inline std::string numbered(const char* prefix, size_t number) { return prefix + std::to_string(number); }

// A fact's value of the distinct count measure: one of `values` customers, or none.
inline double randomDistinctId(std::mt19937_64& random, CubeBuilder& cube, size_t values)
{
    return random() % 6 == 0 ? kEmpty : double(cube.distinctId(kDistinctMeasure, numbered("c", random() % values)));
}

// ---- random cubes -------------------------------------------------------

// Every path of a tree with 1 to 3 children per member; some get no key.
inline std::vector<uint32_t> randomKeys(std::mt19937_64& random, CubeBuilder& cube, size_t dimension)
{
    std::vector<std::vector<PathPart>> paths{{}};
    for (size_t l = 0; l < cube.spec().dimensions[dimension].hierarchies[0].levels.size(); ++l) {
        std::vector<std::vector<PathPart>> deeper;
        for (const auto& path : paths) {
            for (size_t c = 0, children = random() % 3 + 1; c < children; ++c) {
                deeper.push_back(path);
                deeper.back().push_back({numbered("m", c), {}});
            }
        }
        paths = std::move(deeper);
    }
    std::vector<uint32_t> keys;
    for (const auto& path : paths) {
        if (random() % 5 != 0 || (keys.empty() && &path == &paths.back()))
            keys.push_back(cube.dimensionKey(dimension, path));
    }
    return keys;
}

// The cube builder of a random cube: 2 to 4 dimensions of 1 to 3 levels;
// some keys get no fact, some cubes none. Values are quarters, so that sums
// stay exact.
inline CubeBuilder randomCubeBuilder(std::mt19937_64& random, const std::string& name = "Random")
{
    CubeSpec spec{name, {}, {}};
    for (size_t d = 0, dimensions = random() % 3 + 2; d < dimensions; ++d) {
        HierarchySpec hierarchy{{}, random() % 2 == 0, {}, {}};
        for (size_t l = 0, levels = random() % 3 + 1; l < levels; ++l)
            hierarchy.levels.push_back({numbered("L", l), random() % 3 == 0});
        spec.dimensions.push_back({numbered("D", d), DimensionType::Other, {hierarchy}});
    }
    for (size_t m = 0; m < std::size(kMeasures); ++m)
        spec.measures.push_back({numbered("M", m), kMeasures[m].first, {}});
    CubeBuilder cube(spec);
    std::vector<std::vector<uint32_t>> keys;
    for (size_t d = 0; d < spec.dimensions.size(); ++d)
        keys.push_back(randomKeys(random, cube, d));
    for (size_t i = 0, facts = random() % 8 == 0 ? 0 : random() % 300; i < facts; ++i) {
        std::vector<uint32_t> factKeys;
        for (const auto& dimensionKeys : keys)
            factKeys.push_back(dimensionKeys[random() % dimensionKeys.size()]);
        std::vector<double> values;
        for (uint32_t m = 0; m < kFactsMeasure; ++m)
            values.push_back(random() % 5 == 0 ? kEmpty : double(int64_t(random() % 400) - 200) / 4);
        values.push_back(1);
        values.push_back(randomDistinctId(random, cube, 20));
        cube.addFact(factKeys, values);
    }
    return cube;
}

inline olaptest::TestCube randomCube(std::mt19937_64& random)
{
    CubeBuilder cube = randomCubeBuilder(random);
    return olaptest::readBack(cube);
}

// ---- random queries -----------------------------------------------------

inline std::vector<uint32_t> randomMembers(std::mt19937_64& random, const HierarchyInfo& hierarchy, unsigned percent,
                                    bool withChildrenOnly)
{
    std::vector<uint32_t> members;
    for (uint32_t m = 0; m < hierarchy.members.size(); ++m) {
        if ((!withChildrenOnly || hierarchy.members[m].childCount > 0) && random() % 100 < percent)
            members.push_back(m);
    }
    return members;
}

// Each dimension on the rows, the columns, the pages or nowhere; drilled,
// hidden and selected members, options and measures at random.
inline PivotQuery randomQuery(std::mt19937_64& random, const CubeInfo& cube)
{
    PivotQuery query;
    for (uint32_t d = 0; d < cube.dimensions.size(); ++d) {
        const HierarchyInfo& hierarchy = cube.dimensions[d].hierarchies[0];
        const unsigned place = unsigned(random() % 4);
        if (place < 2) {
            (place == 0 ? query.rows : query.columns)
                .fields.push_back(
                    {d, 0, randomMembers(random, hierarchy, 60, true), randomMembers(random, hierarchy, 8, false)});
        } else if (place == 2) {
            const bool all = random() % 3 == 0;
            query.pages.push_back({d, 0, all ? std::vector<uint32_t>{} : randomMembers(random, hierarchy, 30, false)});
        }
    }
    for (QueryAxis* axis : {&query.rows, &query.columns}) {
        axis->subtotals = random() % 4 != 0;
        axis->grandTotal = random() % 4 != 0;
        axis->subtotalsFirst = random() % 2;
        axis->keepEmpty = random() % 3 == 0;
    }
    for (uint32_t m = 0; m < cube.measures.size(); ++m) {
        if (random() % 4 != 0 || m == kFactsMeasure)
            query.measures.push_back(m);
    }
    std::shuffle(query.measures.begin(), query.measures.end(), random);
    return query;
}

}  // namespace olap::randompivots
