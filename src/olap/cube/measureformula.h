// The formula of a calculated measure: a small expression over other
// measures, evaluated on aggregated cells.
//
// Grammar (keywords and the measures dimension's name in any case):
//   formula    := comparison
//   comparison := sum [ ("=" | "<>" | "<" | "<=" | ">" | ">=") sum ]
//   sum        := product { ("+" | "-") product }
//   product    := unary { ("*" | "/") unary }
//   unary      := "-" unary | primary
//   primary    := number | reference | "(" formula ")"
//               | "IIF" "(" formula "," formula "," formula ")"
//   number     := digits [ "." digits ] [ ("e" | "E") [ "+" | "-" ] digits ]
//   reference  := "[" name "]" | "[Measures].[" name "]"
//
// Values are numbers or empty. A comparison gives 1 (true) or 0 (false).
// Arithmetic or a comparison on an empty value, a division by zero and a
// result that is not finite give empty, never an error or an infinity.
// IIF(c, a, b) is a when c is non-zero, b when c is zero, empty when c is
// empty; only the branch taken can make it empty.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace olap {

// Why a formula does not parse, and where: a byte offset into its text.
struct FormulaProblem {
    size_t offset = 0;
    std::string message;
};

// A measure named in a formula, and where it is written (byte offset of its "[").
struct FormulaReference {
    std::string name;
    size_t offset = 0;
};

class MeasureFormula {
public:
    // Parses `text`. Returns nothing and fills `problem` for a formula that
    // does not parse (nesting deeper than kMaxNesting included).
    static std::optional<MeasureFormula> parse(std::string_view text, FormulaProblem& problem);

    static constexpr int kMaxNesting = 64;

    // Every reference, in the order written (a measure named twice appears twice).
    const std::vector<FormulaReference>& references() const { return mReferences; }

    // The value for `values`, one per entry of references() in that order.
    std::optional<double> evaluate(std::span<const std::optional<double>> values) const;

    // One step of the evaluation: a reverse-Polish program over a stack.
    enum class Op : uint8_t { Number, Reference, Negate, Add, Subtract, Multiply, Divide,
                              Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual, Choose };
    struct Step {
        Op op = Op::Number;
        uint32_t reference = 0;  // Reference: index into references()
        double number = 0;       // Number
    };

private:
    friend class FormulaParser;
    std::vector<Step> mProgram;
    std::vector<FormulaReference> mReferences;
    size_t mStackDepth = 0;
};

}  // namespace olap
