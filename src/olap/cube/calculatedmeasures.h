// The calculated measures of a cube, checked and resolved: which measures
// each formula reads, and an order in which every one can be computed after
// the calculated measures it uses.
#pragma once

#include "olap/cube/measureformula.h"
#include "olap/cube/schema.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace olap {

// What is wrong with the calculated measure `measure` (an index into the
// measures), and where in its formula (byte offset).
struct CalculatedProblem {
    size_t measure = 0;
    size_t offset = 0;
    std::string message;
};

// The first problem of the calculated measures among `measures`: a formula
// that does not parse, names a measure that is not in the list, or refers to
// its own measure directly or through other calculated measures; or a stored
// measure after a calculated one. Nothing when all is well.
std::optional<CalculatedProblem> findCalculatedProblem(std::span<const MeasureInfo> measures);

struct CalculatedMeasure {
    uint32_t measure = 0;          // index into CubeInfo::measures
    MeasureFormula formula;
    std::vector<uint32_t> inputs;  // per reference of the formula, the measure it names
};

// Every calculated measure of `cube`, each after those it reads. Throws
// Failure (source "olap") with the problem findCalculatedProblem reports.
std::vector<CalculatedMeasure> resolveCalculatedMeasures(const CubeInfo& cube);

}  // namespace olap
