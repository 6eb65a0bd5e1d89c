#include "olap/cube/calculatedmeasures.h"

#include "platform/core/failure.h"

#include <functional>

namespace olap {

namespace {

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

std::optional<uint32_t> measureNamed(std::span<const MeasureInfo> measures, const std::string& name)
{
    for (size_t m = 0; m < measures.size(); ++m) {
        if (measures[m].name == name)
            return uint32_t(m);
    }
    return std::nullopt;
}

// The parsed formulas, with their references resolved; the first problem of
// parsing or naming is reported through `problem`.
struct Resolved {
    std::vector<std::optional<MeasureFormula>> formulas;  // per measure; nothing for a stored one
    std::vector<std::vector<uint32_t>> inputs;            // per measure
};

std::optional<CalculatedProblem> resolve(std::span<const MeasureInfo> measures, Resolved& resolved)
{
    resolved.formulas.resize(measures.size());
    resolved.inputs.resize(measures.size());
    for (size_t m = 0; m < measures.size(); ++m) {
        const MeasureInfo& measure = measures[m];
        if (!measure.calculated()) {
            if (m > 0 && measures[m - 1].calculated())
                return CalculatedProblem{m, 0, "the stored measure " + quoted(measure.name) + " follows a calculated one"};
            continue;
        }
        FormulaProblem problem;
        resolved.formulas[m] = MeasureFormula::parse(measure.formula, problem);
        if (!resolved.formulas[m])
            return CalculatedProblem{m, problem.offset,
                                     "the formula of " + quoted(measure.name) + " does not parse: " + problem.message};
        for (const FormulaReference& reference : resolved.formulas[m]->references()) {
            const auto input = measureNamed(measures, reference.name);
            if (!input)
                return CalculatedProblem{m, reference.offset, "the formula of " + quoted(measure.name)
                                                                  + " names the unknown measure " + quoted(reference.name)};
            resolved.inputs[m].push_back(*input);
        }
    }
    return std::nullopt;
}

// Whether calculated measure `from` reads `target`, directly or through others.
bool reaches(const Resolved& resolved, uint32_t from, uint32_t target, std::vector<uint8_t>& seen)
{
    if (seen[from])
        return false;
    seen[from] = 1;
    for (uint32_t input : resolved.inputs[from]) {
        if (input == target || reaches(resolved, input, target, seen))
            return true;
    }
    return false;
}

std::optional<CalculatedProblem> findCycle(std::span<const MeasureInfo> measures, const Resolved& resolved)
{
    for (size_t m = 0; m < measures.size(); ++m) {
        if (!resolved.formulas[m])
            continue;
        const std::vector<FormulaReference>& references = resolved.formulas[m]->references();
        for (size_t r = 0; r < references.size(); ++r) {
            const uint32_t input = resolved.inputs[m][r];
            if (input == m)
                return CalculatedProblem{m, references[r].offset, quoted(measures[m].name) + " refers to itself"};
            std::vector<uint8_t> seen(measures.size());
            if (reaches(resolved, input, uint32_t(m), seen))
                return CalculatedProblem{m, references[r].offset, quoted(measures[m].name) + " refers to itself through "
                                                                      + quoted(measures[input].name)};
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<CalculatedProblem> findCalculatedProblem(std::span<const MeasureInfo> measures)
{
    Resolved resolved;
    if (auto problem = resolve(measures, resolved))
        return problem;
    return findCycle(measures, resolved);
}

std::vector<CalculatedMeasure> resolveCalculatedMeasures(const CubeInfo& cube)
{
    Resolved resolved;
    auto problem = resolve(cube.measures, resolved);
    if (!problem)
        problem = findCycle(cube.measures, resolved);
    if (problem)
        throw platform::Failure(platform::err::kInvalidCall,
                                "Cube " + quoted(cube.name) + ": " + problem->message, "olap");
    std::vector<CalculatedMeasure> ordered;
    std::vector<uint8_t> placed(cube.measures.size());
    // Depth first, inputs before the measure; there are no cycles left.
    const std::function<void(uint32_t)> place = [&](uint32_t m) {
        if (placed[m] || !resolved.formulas[m])
            return;
        placed[m] = 1;
        for (uint32_t input : resolved.inputs[m])
            place(input);
        ordered.push_back({m, std::move(*resolved.formulas[m]), resolved.inputs[m]});
    };
    for (uint32_t m = 0; m < cube.measures.size(); ++m)
        place(m);
    return ordered;
}

}  // namespace olap
