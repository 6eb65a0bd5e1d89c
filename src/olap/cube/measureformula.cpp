#include "olap/cube/measureformula.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace olap {

namespace {

// Thrown inside the parser only, once the problem is recorded.
struct ParseStop {};

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    }
    return true;
}

}  // namespace

// Recursive descent over the grammar in the header, emitting the program as
// it goes (operands before their operator).
class FormulaParser {
public:
    FormulaParser(std::string_view text, FormulaProblem& problem) : mText(text), mProblem(problem) {}

    std::optional<MeasureFormula> run()
    {
        try {
            comparison(0);
            skipSpace();
            if (mPos < mText.size())
                fail(mPos, "unexpected " + quoted(mText.substr(mPos, 1)) + " after the end of the formula");
        } catch (const ParseStop&) {
            return std::nullopt;
        }
        mFormula.mStackDepth = mMaxDepth;
        return std::move(mFormula);
    }

private:
    using Op = MeasureFormula::Op;

    [[noreturn]] void fail(size_t offset, std::string message)
    {
        mProblem = {offset, std::move(message)};
        throw ParseStop{};
    }

    static std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

    void skipSpace()
    {
        while (mPos < mText.size() && std::isspace(static_cast<unsigned char>(mText[mPos])))
            ++mPos;
    }

    bool take(std::string_view token)
    {
        skipSpace();
        if (mText.substr(mPos, token.size()) != token)
            return false;
        mPos += token.size();
        return true;
    }

    void expect(std::string_view token, std::string_view where)
    {
        if (!take(token))
            fail(mPos, "expected \"" + std::string(token) + "\" " + std::string(where) + found());
    }

    std::string found() const
    {
        return mPos < mText.size() ? ", found " + quoted(mText.substr(mPos, 1)) : ", found the end of the formula";
    }

    // Tracks the evaluation stack so that evaluate() knows its depth.
    void emit(MeasureFormula::Step step, int pops, int pushes = 1)
    {
        mFormula.mProgram.push_back(step);
        mDepth = mDepth - size_t(pops) + size_t(pushes);
        mMaxDepth = std::max(mMaxDepth, mDepth);
    }

    void comparison(int nesting)
    {
        if (nesting > MeasureFormula::kMaxNesting)
            fail(mPos, "the formula nests deeper than " + std::to_string(MeasureFormula::kMaxNesting) + " levels");
        sum(nesting);
        static constexpr std::pair<std::string_view, Op> kComparisons[] = {
            {"<=", Op::LessEqual}, {">=", Op::GreaterEqual}, {"<>", Op::NotEqual},
            {"<", Op::Less},       {">", Op::Greater},       {"=", Op::Equal}};
        for (const auto& [token, op] : kComparisons) {
            if (take(token)) {
                sum(nesting);
                emit({op}, 2);
                return;
            }
        }
    }

    void sum(int nesting)
    {
        product(nesting);
        for (;;) {
            if (take("+"))
                product(nesting), emit({Op::Add}, 2);
            else if (take("-"))
                product(nesting), emit({Op::Subtract}, 2);
            else
                return;
        }
    }

    void product(int nesting)
    {
        unary(nesting);
        for (;;) {
            if (take("*"))
                unary(nesting), emit({Op::Multiply}, 2);
            else if (take("/"))
                unary(nesting), emit({Op::Divide}, 2);
            else
                return;
        }
    }

    void unary(int nesting)
    {
        if (nesting > MeasureFormula::kMaxNesting)
            fail(mPos, "the formula nests deeper than " + std::to_string(MeasureFormula::kMaxNesting) + " levels");
        if (take("-")) {
            unary(nesting + 1);
            emit({Op::Negate}, 1);
            return;
        }
        primary(nesting);
    }

    void primary(int nesting)
    {
        skipSpace();
        if (mPos >= mText.size())
            fail(mPos, "expected a number, a [measure], \"(\" or IIF, found the end of the formula");
        const char c = mText[mPos];
        if (c == '(') {
            ++mPos;
            comparison(nesting + 1);
            expect(")", "to close the \"(\"");
        } else if (c == '[') {
            reference();
        } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') {
            number();
        } else if (startsWithIgnoringCase(mText.substr(mPos), "IIF")) {
            conditional(nesting);
        } else {
            fail(mPos, "expected a number, a [measure], \"(\" or IIF" + found());
        }
    }

    void conditional(int nesting)
    {
        mPos += 3;
        expect("(", "after IIF");
        comparison(nesting + 1);
        expect(",", "after the condition of IIF");
        comparison(nesting + 1);
        expect(",", "after the second argument of IIF");
        comparison(nesting + 1);
        expect(")", "to close IIF(");
        emit({Op::Choose}, 3);
    }

    void number()
    {
        size_t end = mPos;
        while (end < mText.size() && (std::isdigit(static_cast<unsigned char>(mText[end])) || mText[end] == '.'))
            ++end;
        if (end < mText.size() && (mText[end] == 'e' || mText[end] == 'E')) {
            size_t exponent = end + 1;
            if (exponent < mText.size() && (mText[exponent] == '+' || mText[exponent] == '-'))
                ++exponent;
            if (exponent < mText.size() && std::isdigit(static_cast<unsigned char>(mText[exponent]))) {
                end = exponent;
                while (end < mText.size() && std::isdigit(static_cast<unsigned char>(mText[end])))
                    ++end;
            }
        }
        double value = 0;
        const auto [stop, error] = std::from_chars(mText.data() + mPos, mText.data() + end, value);
        if (error != std::errc() || stop != mText.data() + end || !std::isfinite(value))
            fail(mPos, "malformed number " + quoted(mText.substr(mPos, end - mPos)));
        mPos = end;
        emit({Op::Number, 0, value}, 0);
    }

    void reference()
    {
        const size_t start = mPos;
        std::string name = bracketedName();
        if (startsWithIgnoringCase(name, "Measures") && name.size() == 8 && mPos < mText.size() && mText[mPos] == '.') {
            ++mPos;
            if (mPos >= mText.size() || mText[mPos] != '[')
                fail(mPos, "expected \"[\" after \"[Measures].\"");
            name = bracketedName();
        }
        if (name.empty())
            fail(start, "a measure reference \"[]\" names no measure");
        mFormula.mReferences.push_back({std::move(name), start});
        emit({Op::Reference, uint32_t(mFormula.mReferences.size() - 1)}, 0);
    }

    // The text between "[" at mPos and the next "]".
    std::string bracketedName()
    {
        const size_t close = mText.find(']', mPos);
        if (close == std::string_view::npos)
            fail(mPos, "\"[\" without the \"]\" that ends the measure name");
        std::string name(mText.substr(mPos + 1, close - mPos - 1));
        mPos = close + 1;
        return name;
    }

    std::string_view mText;
    FormulaProblem& mProblem;
    size_t mPos = 0;
    size_t mDepth = 0;
    size_t mMaxDepth = 0;
    MeasureFormula mFormula;
};

std::optional<MeasureFormula> MeasureFormula::parse(std::string_view text, FormulaProblem& problem)
{
    return FormulaParser(text, problem).run();
}

namespace {

std::optional<double> finite(double value)
{
    return std::isfinite(value) ? std::optional(value) : std::nullopt;
}

std::optional<double> apply(MeasureFormula::Op op, std::optional<double> a, std::optional<double> b)
{
    using Op = MeasureFormula::Op;
    if (!a || !b)
        return std::nullopt;
    switch (op) {
    case Op::Add: return finite(*a + *b);
    case Op::Subtract: return finite(*a - *b);
    case Op::Multiply: return finite(*a * *b);
    case Op::Divide: return *b == 0 ? std::nullopt : finite(*a / *b);
    case Op::Equal: return double(*a == *b);
    case Op::NotEqual: return double(*a != *b);
    case Op::Less: return double(*a < *b);
    case Op::LessEqual: return double(*a <= *b);
    case Op::Greater: return double(*a > *b);
    case Op::GreaterEqual: return double(*a >= *b);
    default: return std::nullopt;
    }
}

}  // namespace

std::optional<double> MeasureFormula::evaluate(std::span<const std::optional<double>> values) const
{
    std::vector<std::optional<double>> stack;
    stack.reserve(mStackDepth);
    for (const Step& step : mProgram) {
        switch (step.op) {
        case Op::Number:
            stack.push_back(step.number);
            break;
        case Op::Reference:
            stack.push_back(step.reference < values.size() ? values[step.reference] : std::nullopt);
            break;
        case Op::Negate:
            if (stack.back())
                stack.back() = -*stack.back();
            break;
        case Op::Choose: {
            const std::optional<double> otherwise = stack.back();
            stack.pop_back();
            const std::optional<double> then = stack.back();
            stack.pop_back();
            stack.back() = !stack.back() ? std::nullopt : *stack.back() != 0 ? then : otherwise;
            break;
        }
        default: {
            const std::optional<double> right = stack.back();
            stack.pop_back();
            stack.back() = apply(step.op, stack.back(), right);
        }
        }
    }
    return stack.empty() ? std::nullopt : stack.back();
}

}  // namespace olap
