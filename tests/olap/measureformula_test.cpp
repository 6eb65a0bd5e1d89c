// Formulas of calculated measures: what they compute, empty cells included.
// Formulas that do not parse are refused through cube definitions, at their
// file, line and column (cubemodelling_test.cpp).
#include "olap/cube/measureformula.h"

#include <gtest/gtest.h>

#include <cmath>

namespace olap {
namespace {

constexpr std::optional<double> kEmptyCell = std::nullopt;

// [A] = 10, [B] = 4, [Zero] = 0, [None] empty, as the references come.
std::optional<double> valueOf(const std::string& name)
{
    if (name == "A")
        return 10;
    if (name == "B")
        return 4;
    if (name == "Zero")
        return 0;
    return std::nullopt;
}

std::optional<double> evaluate(const std::string& text)
{
    FormulaProblem problem;
    const auto formula = MeasureFormula::parse(text, problem);
    EXPECT_TRUE(formula) << text << ": " << problem.message;
    if (!formula)
        return std::nullopt;
    std::vector<std::optional<double>> values;
    for (const FormulaReference& reference : formula->references())
        values.push_back(valueOf(reference.name));
    return formula->evaluate(values);
}

TEST(MeasureFormula, EvaluatesArithmeticComparisonsAndConditionsWithEmptyCells)
{
    const struct { const char* formula; std::optional<double> expected; } cases[] = {
        {"[A] - [B]", 6},
        {"([A] - [B]) / [A]", 0.6},
        {"[A] + [B] * 2", 18},
        {"[A] - [B] - 1", 5},              // left to right
        {"[A] / [B] / 2", 1.25},
        {"-[A] + 3", -7},
        {"2 * -[B]", -8},
        {"1.5e1 + .5", 15.5},
        {"[Measures].[A] * 2", 20},
        {"[A] / [Zero]", kEmptyCell},      // division by zero
        {"[None] + 1", kEmptyCell},        // arithmetic on an empty cell
        {"[None] * 0", kEmptyCell},
        {"[A] > [B]", 1},
        {"[A] < [B]", 0},
        {"[A] <= 9.5", 0},
        {"[A] = 10", 1},
        {"[A] <> 10", 0},
        {"[None] = 0", kEmptyCell},
        {"IIF([A] > [B], [A], [B])", 10},
        {"iif([A] < [B], [A], [B])", 4},
        {"IIF([B], 1, 2)", 1},             // a non-zero condition is true
        {"IIF([None] > 1, 1, 2)", kEmptyCell},
        {"IIF([Zero] = 0, 0, [A] / [Zero])", 0},   // the branch not taken cannot make it empty
        {"IIF([A] > 0, [None], 1)", kEmptyCell},
        {"1e308 * 10", kEmptyCell},        // no infinity
        {"  7  ", 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.formula);
        const std::optional<double> value = evaluate(c.formula);
        ASSERT_EQ(value.has_value(), c.expected.has_value());
        if (value) {
            EXPECT_NEAR(*value, *c.expected, 1e-12);
        }
    }
}

TEST(MeasureFormula, RefusesNestingBeyondItsLimitInsteadOfOverflowingTheStack)
{
    FormulaProblem problem;
    const std::string deep = std::string(100000, '(') + "1" + std::string(100000, ')');
    EXPECT_FALSE(MeasureFormula::parse(deep, problem));
    EXPECT_NE(problem.message.find("nests deeper"), std::string::npos);
    EXPECT_FALSE(MeasureFormula::parse(std::string(100000, '-') + "1", problem));
    const std::string allowed = std::string(MeasureFormula::kMaxNesting, '(') + "1"
                                + std::string(MeasureFormula::kMaxNesting, ')');
    EXPECT_TRUE(MeasureFormula::parse(allowed, problem));
}

}  // namespace
}  // namespace olap
