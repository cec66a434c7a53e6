// F' and F'' as trees, the interval enclosures, and what the lesson takes
// from them: derivatives printed exactly, enclosures checked against F at
// random points evaluated by MPFR at 200 bits, m1 against |F'| by central
// differences at 200 bits on a dense grid, M1 and M2 against F' and F''
// written out in long double on a dense grid.
#include <gtest/gtest.h>

#include <mpfr.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "expression/analysis.h"
#include "expression/derivative.h"
#include "expression/evaluate.h"
#include "expression/interval.h"
#include "expression/parse.h"
#include "numeric/extended_digits.h"

namespace {

constexpr double Infinity = std::numeric_limits<double>::infinity();

Expression parsed(std::string_view text) {
    ParseResult result = parseExpression(text);
    EXPECT_EQ(result.fault, ParseFault::None) << text;
    return std::move(result.expression);
}

int precedence(const Node& node) {
    switch (node.kind) {
    case NodeKind::Add:
    case NodeKind::Subtract: return 1;
    case NodeKind::Multiply:
    case NodeKind::Divide: return 2;
    case NodeKind::Negate: return 3;
    case NodeKind::Power: return 4;
    default: return 5;
    }
}

// As it would be typed back: parentheses only where the tree needs them,
// so "a - (b - c)" and "(x^2)^3" keep theirs.
std::string print(const Expression& e, std::int32_t at) {
    const Node& node = e.nodes.at(static_cast<std::size_t>(at));
    const auto operand = [&](std::int32_t child, bool parenthesised) {
        const std::string text = print(e, child);
        return parenthesised ? "(" + text + ")" : text;
    };
    const auto child = [&](std::int32_t index) -> const Node& { return e.nodes.at(static_cast<std::size_t>(index)); };
    const int own = precedence(node);
    switch (node.kind) {
    case NodeKind::Number: return node.text;
    case NodeKind::Variable: return "x";
    case NodeKind::Pi: return "pi";
    case NodeKind::E: return "e";
    case NodeKind::Function: return std::string(functionName(node.function)) + "(" + print(e, node.left) + ")";
    case NodeKind::Negate: return "-" + operand(node.left, precedence(child(node.left)) <= own);
    case NodeKind::Power:
        return operand(node.left, precedence(child(node.left)) <= own) + "^" +
               operand(node.right, precedence(child(node.right)) < 3);
    default: {
        const char* symbol = node.kind == NodeKind::Add        ? " + "
                             : node.kind == NodeKind::Subtract ? " - "
                             : node.kind == NodeKind::Multiply ? "*"
                                                               : "/";
        return operand(node.left, precedence(child(node.left)) < own) + symbol +
               operand(node.right, precedence(child(node.right)) <= own);
    }
    }
}

// A tree as the evaluators walk it: operands before their parents, each
// node the operand of exactly one parent, the root last.
bool isTree(const Expression& e) {
    std::vector<int> uses(e.nodes.size());
    for (std::size_t i = 0; i < e.nodes.size(); ++i) {
        for (const std::int32_t child : {e.nodes[i].left, e.nodes[i].right}) {
            if (child >= static_cast<std::int32_t>(i)) {
                return false;
            }
            if (child >= 0) {
                ++uses[static_cast<std::size_t>(child)];
            }
        }
    }
    const std::size_t root = e.nodes.size() - 1;
    return e.root == static_cast<std::int32_t>(root) &&
           std::all_of(uses.begin(), uses.end() - 1, [](int n) { return n == 1; }) && uses[root] == 0;
}

std::string derivativeText(std::string_view f, int times = 1) {
    Expression tree = parsed(f);
    for (int i = 0; i < times; ++i) {
        tree = derivativeOf(tree);
        if (tree.root < 0) {
            return "(empty)";
        }
        EXPECT_TRUE(isTree(tree)) << f;
    }
    return print(tree, tree.root);
}

TEST(DerivativeTest, EachRuleWrittenOut) {
    const struct {
        const char* f;
        const char* derivative;
    } cases[] = {
        {"7", "0"},
        {"pi*e", "0"},
        {"x", "1"},
        {"-x", "-1"},
        {"x - 5", "1"},
        {"5 - x", "-1"},
        {"pi*x", "pi"},
        {"x/2", "1/2"},
        {"1/x", "-(1/x^2)"},
        {"x/(x + 1)", "(x + 1 - x)/(x + 1)^2"},
        {"sin(x)*x", "cos(x)*x + sin(x)"},
        {"x^2", "2*x"},
        {"3*x^3", "9*x^2"},
        {"x^1", "1"},
        {"x^0", "0"},
        {"x^-2", "-(2*x^-3)"},
        {"x^2.0", "2.0*x"},
        {"x^1e1", "1e1*x^9"},
        {"x^20e-1", "20e-1*x"},
        {"x + cos(x)", "1 - sin(x)"},
        // Whole coefficients are multiplied out only up to 18 digits.
        {"1e10*x*1e10", "1e10*1e10"},
        {"1e10*(1e10*x^2)", "1e10*(20000000000*x)"},
        {"x^0.5", "0.5*x^(0.5 - 1)"},
        {"x^pi", "pi*x^(pi - 1)"},
        {"(2*x)^3", "3*(2*x)^2*2"},
        {"2^x", "2^x*ln(2)"},
        {"e^x", "e^x"},
        {"x^x", "x^x*(ln(x) + x/x)"},
        {"exp(-x)", "-exp(-x)"},
        {"ln(x)", "1/x"},
        {"ln(2*x)", "2/(2*x)"},
        {"log10(x)", "1/(x*ln(10))"},
        {"sqrt(x)", "1/(2*sqrt(x))"},
        {"abs(x)", "x/abs(x)"},
        {"sin(x)", "cos(x)"},
        {"cos(x)", "-sin(x)"},
        {"cos(x^2)", "-(sin(x^2)*(2*x))"},
        {"tan(x)", "1 + tan(x)^2"},
        {"atan(x)", "1/(1 + x^2)"},
        {"cot(x)", "-(1 + cot(x)^2)"},
        {"asin(x)", "1/sqrt(1 - x^2)"},
        {"acos(2*x)", "-(2/sqrt(1 - (2*x)^2))"},
        {"sinh(x)", "cosh(x)"},
        {"cosh(x)", "sinh(x)"},
        {"tanh(x)", "1 - tanh(x)^2"},
        {"2*exp(-x) + 0.2*x^2 - 1.5", "-(2*exp(-x)) + 0.2*(2*x)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(derivativeText(c.f), c.derivative) << c.f;
    }
}

TEST(DerivativeTest, SecondDerivatives) {
    EXPECT_EQ(derivativeText("x^3", 2), "6*x");
    EXPECT_EQ(derivativeText("2*exp(-x) + 0.2*x^2 - 1.5", 2), "2*exp(-x) + 0.2*2");
    EXPECT_EQ(derivativeText("ln(x)", 2), "-(1/x^2)");
    EXPECT_EQ(derivativeText("tan(x)", 2), "2*tan(x)*(1 + tan(x)^2)");
}

TEST(DerivativeTest, ColumnsAndTextStayThoseTyped) {
    const Expression f = parsed("2 + ln(x)");
    const Expression slope = derivativeOf(f);
    EXPECT_EQ(slope.text, f.text);
    EXPECT_EQ(slope.nodes.back().column, 4u);  // 1/x, the rule of ln
}

TEST(DerivativeTest, RepeatedPowersStopAtTheLimit) {
    std::string tower = "x";
    for (int i = 0; i < 60; ++i) {
        tower += "^x";
    }
    const Expression f = parsed(tower);
    const Expression once = derivativeOf(f);
    ASSERT_GE(once.root, 0);
    EXPECT_EQ(derivativeOf(once).root, -1);
    EXPECT_EQ(derivativeOf(Expression{}).root, -1);
}

// F at x by MPFR at 200 bits, NaN where it has no value (ln of a negative
// number, 1/0 as an infinity).
class Reference {
public:
    explicit Reference(const Expression& f) : tree(f), values(f.nodes.size()) {}

    // The value into `result` (200 bits).
    void at(const mpfr_t x, mpfr_t result) {
        for (std::size_t i = 0; i < tree.nodes.size(); ++i) {
            const Node& node = tree.nodes[i];
            mpfr_ptr r = values[i].value;
            const auto a = [&]() -> mpfr_srcptr { return values[static_cast<std::size_t>(node.left)].value; };
            const auto b = [&]() -> mpfr_srcptr { return values[static_cast<std::size_t>(node.right)].value; };
            switch (node.kind) {
            case NodeKind::Number: mpfr_set_str(r, node.text.c_str(), 10, MPFR_RNDN); break;
            case NodeKind::Variable: mpfr_set(r, x, MPFR_RNDN); break;
            case NodeKind::Pi: mpfr_const_pi(r, MPFR_RNDN); break;
            case NodeKind::E: mpfr_set_ui(r, 1, MPFR_RNDN); mpfr_exp(r, r, MPFR_RNDN); break;
            case NodeKind::Negate: mpfr_neg(r, a(), MPFR_RNDN); break;
            case NodeKind::Add: mpfr_add(r, a(), b(), MPFR_RNDN); break;
            case NodeKind::Subtract: mpfr_sub(r, a(), b(), MPFR_RNDN); break;
            case NodeKind::Multiply: mpfr_mul(r, a(), b(), MPFR_RNDN); break;
            case NodeKind::Divide: mpfr_div(r, a(), b(), MPFR_RNDN); break;
            case NodeKind::Power: mpfr_pow(r, a(), b(), MPFR_RNDN); break;
            case NodeKind::Function: function(node.function, r, a()); break;
            }
        }
        mpfr_set(result, values[static_cast<std::size_t>(tree.root)].value, MPFR_RNDN);
    }

    double at(double x) {
        Value point;
        Value result;
        mpfr_set_d(point.value, x, MPFR_RNDN);
        at(point.value, result.value);
        return mpfr_get_d(result.value, MPFR_RNDN);
    }

    // (F(x + h) - F(x - h))/(2h) with h = 2^-70: within 1e-30 of F'(x)
    // for these F, far from their poles.
    double slopeAt(double x) {
        Value step, point, ahead, behind;
        mpfr_set_ui_2exp(step.value, 1, -70, MPFR_RNDN);
        mpfr_set_d(point.value, x, MPFR_RNDN);
        mpfr_add(point.value, point.value, step.value, MPFR_RNDN);
        at(point.value, ahead.value);
        mpfr_set_d(point.value, x, MPFR_RNDN);
        mpfr_sub(point.value, point.value, step.value, MPFR_RNDN);
        at(point.value, behind.value);
        mpfr_sub(ahead.value, ahead.value, behind.value, MPFR_RNDN);
        mpfr_div_2ui(ahead.value, ahead.value, 1, MPFR_RNDN);
        mpfr_div(ahead.value, ahead.value, step.value, MPFR_RNDN);
        return mpfr_get_d(ahead.value, MPFR_RNDN);
    }

private:
    struct Value {
        mpfr_t value;
        Value() { mpfr_init2(value, 200); }
        ~Value() { mpfr_clear(value); }
        Value(const Value&) = delete;
        Value& operator=(const Value&) = delete;
    };

    static void function(FunctionName name, mpfr_ptr r, mpfr_srcptr a) {
        switch (name) {
        case FunctionName::Exp: mpfr_exp(r, a, MPFR_RNDN); return;
        case FunctionName::Ln: mpfr_log(r, a, MPFR_RNDN); return;
        case FunctionName::Log10: mpfr_log10(r, a, MPFR_RNDN); return;
        case FunctionName::Sqrt: mpfr_sqrt(r, a, MPFR_RNDN); return;
        case FunctionName::Abs: mpfr_abs(r, a, MPFR_RNDN); return;
        case FunctionName::Sin: mpfr_sin(r, a, MPFR_RNDN); return;
        case FunctionName::Cos: mpfr_cos(r, a, MPFR_RNDN); return;
        case FunctionName::Tan: mpfr_tan(r, a, MPFR_RNDN); return;
        case FunctionName::Cot: mpfr_cot(r, a, MPFR_RNDN); return;
        case FunctionName::Asin: mpfr_asin(r, a, MPFR_RNDN); return;
        case FunctionName::Acos: mpfr_acos(r, a, MPFR_RNDN); return;
        case FunctionName::Atan: mpfr_atan(r, a, MPFR_RNDN); return;
        case FunctionName::Sinh: mpfr_sinh(r, a, MPFR_RNDN); return;
        case FunctionName::Cosh: mpfr_cosh(r, a, MPFR_RNDN); return;
        case FunctionName::Tanh: mpfr_tanh(r, a, MPFR_RNDN); return;
        }
    }

    const Expression& tree;
    std::vector<Value> values;
};

const char* const FixedF = "2*exp(-x) + 0.2*x^2 - 1.5";

struct Box {
    const char* f;
    double low;
    double high;
};

// Each F, its F' and its F'': the enclosure over the box holds the 200-bit
// value at its ends and at 200 random points, always defined where F is.
TEST(IntervalTest, EnclosesTheValuesAtRandomPoints) {
    const Box boxes[] = {
        {FixedF, 0, 1},
        {FixedF, -3, 4},
        {"0.1*x - 0.3", -1e-3, 1e-3},
        {"x^3 - 2*x - 5", -2, 3},
        {"(x - 1)^2*(x + 2)^-3", -1, 4},
        {"x^2.5 + x^-0.7", 0.01, 3},
        {"x^x", 0.05, 2},
        {"2^-x + pi^x", -2, 3},
        {"sqrt(x + 1) - abs(x - 0.5)", -0.9, 0.4},
        {"ln(x) + log10(3*x)", 0.2, 50},
        {"sin(x) + cos(2*x)", -7, 1},
        {"sin(x)*cos(x)", 1.4, 1.8},
        {"cos(x)", 3.1, 3.2},
        {"tan(x) - atan(10*x)", -1.5, 1.5},
        {"asin(x) + acos(x/2) - cot(x)", 0.1, 0.9},
        {"ctg(x) + arcsin(x/4)", -3, -0.2},
        {"sinh(x) - cosh(x) + tanh(3*x)", -2, 2},
        {"exp(x^2)/(1 + x^2)", -3, 3},
        {"1/(x - 0.3)", 0.31, 0.5},
        {".5e1 + 5. - 1E-3*x", 0, 1},
        // Each end of a decimal constant's enclosure, magnified: 0.1 and
        // 0.7 typed lie between binary fractions, and the nearest are
        // above one and below the other.
        {"(x - 0.1)*1e20", 0.1, 0.1},
        {"(0.1 - x)*1e20", 0.1, 0.1},
        {"(x - 0.7)*1e20", 0.7, 0.7},
        {"(0.7 - x)*1e20", 0.7, 0.7},
        {"(x - pi)*1e20", 3.141592653589793, 3.141592653589793},
        {"(pi - x)*1e20", 3.141592653589793, 3.141592653589793},
        {"(x - e)*1e20", 2.718281828459045, 2.718281828459045},
        {"(e - x)*1e20", 2.718281828459045, 2.718281828459045},
    };
    std::mt19937_64 random(20240611);
    for (const Box& box : boxes) {
        Expression tree = parsed(box.f);
        for (int order = 0; order < 3; ++order) {
            const Interval enclosure = evaluateInterval(tree, box.low, box.high);
            EXPECT_TRUE(enclosure.defined) << box.f << " derivative " << order;
            Reference reference(tree);
            std::uniform_real_distribution<double> within(box.low, box.high);
            for (int i = -2; i < 200; ++i) {
                const double x = i == -2 ? box.low : i == -1 ? box.high : within(random);
                const double value = reference.at(x);
                EXPECT_TRUE(enclosure.low <= value && value <= enclosure.high)
                    << box.f << " derivative " << order << " at " << x << ": " << value << " outside ["
                    << enclosure.low << ", " << enclosure.high << "]";
            }
            tree = derivativeOf(tree);
        }
    }
}

// Where the range is known, the enclosure is the range rounded outwards:
// no extremum missed, none added, each even power and cosh down to its
// least value only when 0 is in the box.
TEST(IntervalTest, TightWhereTheRangeIsKnown) {
    const struct {
        const char* f;
        double low, high;
        double least, greatest;
    } cases[] = {
        {"x", -1.25, 3, -1.25, 3},
        {"x^2", -1, 2, 0, 4},
        {"x^2", -3, -2, 4, 9},
        {"x^3", -2, 1, -8, 1},
        {"x^-2", -2, -1, 0.25, 1},
        {"x^-1", 2, 4, 0.25, 0.5},
        {"abs(x)", -3, 2, 0, 3},
        {"cosh(x)", -1, 2, 1, std::cosh(2.0)},
        {"cosh(x)", 1, 2, std::cosh(1.0), std::cosh(2.0)},
        {"sin(x)", 0, 1, 0, std::sin(1.0)},
        {"sin(x)", 1, 2, std::sin(1.0), 1},
        {"sin(x)", 4, 5, -1, std::sin(4.0)},
        {"sin(x)", -100, -90, -1, 1},
        {"cos(x)", -1, 2, std::cos(2.0), 1},
        {"cos(x)", 3, 4, -1, std::cos(4.0)},
        {"tan(x)", -1.5, 1.5, std::tan(-1.5), std::tan(1.5)},
        {"tan(x)", 2, 4, std::tan(2.0), std::tan(4.0)},
        {"cot(x)", 1, 2, 1 / std::tan(2.0), 1 / std::tan(1.0)},
        {"asin(x)", -1, 0.5, -std::numbers::pi / 2, std::numbers::pi / 6},
        {"acos(x)", -0.5, 1, 0, 2 * std::numbers::pi / 3},
        {"exp(x)", -1, 1000, std::exp(-1.0), Infinity},
        {"sqrt(x)", 0, 4, 0, 2},
        {"0^x", 1, 2, 0, 0},
        {"x^0", -1, 1, 1, 1},
        {"0.2", 0, 1, 0.2, 0.2},
        {"pi", 0, 1, std::numbers::pi, std::numbers::pi},
    };
    for (const auto& c : cases) {
        const Interval enclosure = evaluateInterval(parsed(c.f), c.low, c.high);
        EXPECT_TRUE(enclosure.defined) << c.f;
        EXPECT_LE(enclosure.low, c.least) << c.f << " over [" << c.low << ", " << c.high << "]";
        EXPECT_GE(enclosure.high, c.greatest) << c.f << " over [" << c.low << ", " << c.high << "]";
        EXPECT_GE(enclosure.low, c.least - 4e-16 * std::fabs(c.least)) << c.f;
        EXPECT_LE(enclosure.high, c.greatest + 4e-16 * std::fabs(c.greatest)) << c.f;
    }
    // A decimal constant not a double: strictly between two.
    const Interval tenth = evaluateInterval(parsed("0.1"), 0, 0);
    EXPECT_EQ(std::nextafter(tenth.low, 1.0), tenth.high);
    const Interval reversed = evaluateInterval(parsed("x^2"), 2, -1);
    EXPECT_EQ(reversed.low, 0);
    EXPECT_EQ(reversed.high, 4);
}

TEST(IntervalTest, UndefinedWhereFMayBe) {
    const struct {
        const char* f;
        double low, high;
        bool defined;
    } cases[] = {
        {"ln(x)", -1, 1, false},
        {"ln(x)", 0, 1, false},
        {"ln(x)", 1e-300, 1, true},
        {"log10(x - 1)", 0.5, 2, false},
        {"sqrt(x)", -1e-300, 1, false},
        {"sqrt(x)", 0, 1, true},
        {"1/x", -1, 1, false},
        {"1/x", 0, 1, false},
        {"1/x", -1, 0, false},
        {"1/(x - 0.1)", 0.1, 0.2, true},  // 0.1 typed is not the double 0.1
        {"x^-1", 0, 1, false},
        {"x^-2", -1, 1, false},
        {"x^0.5", -1, 1, false},
        {"x^0.5", 0, 1, true},
        {"x^3", -2, -1, true},
        {"(-8)^x", 1, 2, false},
        {"0^x", -1, 1, false},
        {"tan(x)", 1, 2, false},
        {"tan(x)", -2, -1.5, false},
        {"tan(x)", 1.5707963267948966, 1.5707963267948966, true},  // the double below pi/2
        {"tan(x)", -1.5, 1.5, true},
        {"tan(x)", 10, 1e300, false},
        {"cot(x)", 0, 0, false},
        {"cot(x)", 3, 3.2, false},
        {"cot(x)", 0.1, 3.1, true},
        {"asin(x)", 0.5, 1.0000000000000002, false},
        {"acos(x)", -1, 1, true},
        {"0*ln(x)", -2, -1, false},
        {"exp(exp(exp(x)))", 0, 100, true},
    };
    for (const auto& c : cases) {
        const Interval enclosure = evaluateInterval(parsed(c.f), c.low, c.high);
        EXPECT_EQ(enclosure.defined, c.defined) << c.f << " over [" << c.low << ", " << c.high << "]";
    }
    EXPECT_FALSE(evaluateInterval(Expression{}, 0, 1).defined);
    EXPECT_FALSE(evaluateInterval(parsed("x"), std::nan(""), 1).defined);
}

// Past MPFR's own range an end can only go to infinity, or to 0: an exponent
// too long is cut short, and inf - inf has no value. Enclosures still hold.
TEST(IntervalTest, EndsPastMpfrsRange) {
    // 10^(1e11 - 99999999), beyond every double, and its inverse, below all.
    EXPECT_EQ(evaluateInterval(parsed("1e100000000000*1e-99999999"), 0, 0).high, Infinity);
    EXPECT_EQ(evaluateInterval(parsed("1e-100000000000*1e99999999"), 0, 0).low, 0);
    EXPECT_EQ(evaluateInterval(parsed("0e100000000000"), 0, 0).high, 0);
    const Interval unknown = evaluateInterval(parsed("x - x"), Infinity, Infinity);
    EXPECT_TRUE(unknown.defined);
    EXPECT_EQ(unknown.low, -Infinity);
    EXPECT_EQ(unknown.high, Infinity);
}

// Below the normal range a value is rounded once, from the exact value, and
// read at its own weight.
TEST(EvaluateTest, SubnormalValues) {
    // exp just above -708.5 is a subnormal with 52 bits, and its rounding to
    // 53 bits lies on a midpoint of two: rounded again, it would go up to
    // the even one.
    const Expression exponential = parsed("exp(x)");
    Evaluator inDouble(exponential, Precision::Double);
    EXPECT_EQ(evaluateDouble(inDouble, -0x1.623ffffffffffp+9), 0x0.e6cf6d0889979p-1022);
    const Expression absolute = parsed("abs(x)");
    Evaluator inExtended(absolute, Precision::Wide);
    const Extended tiny = nearestExtended("1e-4940");
    EXPECT_TRUE(evaluateExtended(inExtended, tiny) == tiny) << sixSignificantDigits(evaluateExtended(inExtended, tiny));
    // A decimal just past the halfway point 2.5 * 2^-1074 reads as three
    // units, not two: its first rounding (to 53 bits) must be remembered.
    EXPECT_EQ(nearestDouble("1.235164114603116360441422e-323"), 3 * 0x1p-1074);
    EXPECT_EQ(nearestDouble("1.235164114603116e-323"), 2 * 0x1p-1074);  // just below it
}

// The new functions correctly rounded in each precision, the expected
// values computed apart (at 300 bits, rounded once). cot is MPFR's own: at
// 0.2 in double and at 0.5 in extended, 1/tan rounded twice is one unit
// below. Outside [-1, 1] acos has no value; cot at +-0 is +-inf, as 1/+-0 is.
TEST(EvaluateTest, InverseSinesAndCotangentRoundedOnce) {
    const auto inDouble = [](const char* f, double x) {
        const Expression tree = parsed(f);
        Evaluator evaluator(tree, Precision::Double);
        return evaluateDouble(evaluator, x);
    };
    EXPECT_EQ(inDouble("asin(x)", 0.3), 0x1.380159e14f6ffp-2);
    EXPECT_EQ(inDouble("arccos(x)", -0.7), 0x1.2c501446cd5f1p+1);
    EXPECT_EQ(inDouble("cot(x)", 0.2), 0x1.3bb8cf3a2fea0p+2);
    EXPECT_TRUE(std::isnan(inDouble("acos(x)", -0x1.0000000000001p+0)));
    EXPECT_EQ(inDouble("ctg(x)", 0.0), Infinity);
    EXPECT_EQ(inDouble("ctg(x)", -0.0), -Infinity);
    const auto inExtended = [](const char* f, Precision precision, double x) {
        const Expression tree = parsed(f);
        Evaluator evaluator(tree, precision);
        return shortestExtendedText(evaluateExtended(evaluator, toExtended(x)));
    };
    EXPECT_EQ(inExtended("arcsin(x)", Precision::Wide, 0.5), "0.52359877559829887307");
    EXPECT_EQ(inExtended("acos(x)", Precision::Wide, -0.75), "2.4188584057763776274");
    EXPECT_EQ(inExtended("cot(x)", Precision::Wide, 0.5), "1.8304877217124519193");
    // single: 0.1 is the nearest double, the sum rounded to extended.
    EXPECT_EQ(inExtended("cot(x) + 0.1", Precision::Single, 0.5), "1.9304877217124519249");
}

// min |F'| over a dense grid, by central differences at 200 bits: no
// smaller than the true minimum, and within 1e-6 of it on these grids.
double sampledSmallestSlope(const Box& box) {
    const Expression f = parsed(box.f);
    Reference reference(f);
    double least = Infinity;
    constexpr int Points = 4000;
    for (int i = 0; i <= Points; ++i) {
        const double x = box.low + (box.high - box.low) * i / Points;
        least = std::min(least, std::fabs(reference.slopeAt(x)));
    }
    return least;
}

TEST(SmallestSlopeTest, TheFixedEquation) {
    const double m1 = 2 / std::exp(1.0) - 0.4;  // |F'(1)|: |F'| falls over [0, 1]
    const std::optional<double> first = smallestSlopeBound(parsed(FixedF), 0, 1);
    ASSERT_TRUE(first);
    EXPECT_LE(*first, m1);
    EXPECT_GE(*first, m1 * 0.99);
    const double m1Right = 0.8 - 2 / std::exp(2.0);  // F'(2): F' rises over [2, 3]
    const std::optional<double> second = smallestSlopeBound(parsed(FixedF), 2, 3);
    ASSERT_TRUE(second);
    EXPECT_LE(*second, m1Right);
    EXPECT_GE(*second, m1Right * 0.99);
    EXPECT_EQ(smallestSlopeBound(parsed(FixedF), 1, 0), first);
    EXPECT_EQ(smallestSlopeBound(parsed(FixedF), 0, 3), std::nullopt);  // F' vanishes near 1.4
}

// Below the sampled minimum, and within 1 % of it, also where evaluating F'
// over the whole interval overestimates widely (x in several places).
TEST(SmallestSlopeTest, SoundAndCloseToTheSampledMinimum) {
    const Box boxes[] = {
        {"x^3 - 2*x - 5", 2, 3},
        {"x^3 + x", -1, 1},
        {"sin(x) + 2*x", 0, 6},
        {"sin(x)", -1, 1},
        {"cos(x) - x", 0, 1},
        {"x*exp(-x)", 2, 4},
        {"x*exp(x)", -3, -1.5},
        {"ln(x^2 + 1) - 3", 2, 5},
        {"atan(x) + x^2/10", 1, 3},
        {"ln(x) - 1/x", 0.5, 2},
        {"tan(x) - 2*x", 1, 1.4},
        {"cot(x) - x", 0.5, 2},
        {"acos(x) - x", -0.5, 0.5},
        {"sqrt(x + 1) - 2", 0, 3},
        {"x^x - 2", 1, 2},
        {"cosh(x) - 3", 1, 2},
        {"tanh(x) - 0.5", -1, 1},
        {"log10(x) - 0.5", 1, 10},
        {"abs(x - 5) - 1", 0, 3},
        {"x^2 - 2", -2, -1},
        {"exp(x) - 10*x^2", 5, 6},
    };
    for (const Box& box : boxes) {
        const std::optional<double> bound = smallestSlopeBound(parsed(box.f), box.low, box.high);
        ASSERT_TRUE(bound) << box.f;
        const double sampled = sampledSmallestSlope(box);
        EXPECT_LE(*bound, sampled * (1 + 1e-12)) << box.f;
        EXPECT_GE(*bound, sampled * 0.99) << box.f;
    }
}

TEST(SmallestSlopeTest, NoneWhereTheSlopeMayVanishOrFMayBeUndefined) {
    const Box boxes[] = {
        {"ln(x)", -1, 1},
        {"ln(x)", -2, -1},  // F' = 1/x has values there, F none
        {"sqrt(x)", 0, 1},
        {"x^3", -1, 1},
        {"x^2", 0, 1},
        {"abs(x)", -1, 1},
        {"sin(x)", 0, 4},
        {"1/x", -1, 1},
        {"5", 0, 1},
        {"asin(x)", 0, 1},  // F' = 1/sqrt(1 - x^2) has no value at 1
        {"x", 0, Infinity},
    };
    for (const Box& box : boxes) {
        EXPECT_EQ(smallestSlopeBound(parsed(box.f), box.low, box.high), std::nullopt)
            << box.f << " over [" << box.low << ", " << box.high << "]";
    }
}

using Bound = std::optional<double> (*)(const Expression&, double, double);
using Real = long double (*)(long double);

// max |g| over a dense grid, in long double: no larger than the true
// maximum but for rounding, and within 1e-7 of it for these g.
long double sampledLargest(Real g, double low, double high) {
    long double largest = 0;
    constexpr int Points = 4000;
    for (int i = 0; i <= Points; ++i) {
        largest = std::max(largest, std::fabs(g(low + (static_cast<long double>(high) - low) * i / Points)));
    }
    return largest;
}

// M1 and M2: above the sampled maximum, and within the search's tolerance
// (1/1024) of it, also where the largest |g| lies inside and where g over
// the whole interval is far wider (x in several places).
TEST(LargestBoundTest, SoundAndCloseToTheSampledMaximum) {
    const struct {
        Bound bound;
        const char* f;
        double low, high;
        Real g;  // f' or f'', written out here
    } cases[] = {
        {largestSlopeBound, "x^3 + 4*x^2 - 10", 1, 2, [](long double x) { return 3 * x * x + 8 * x; }},
        {largestSlopeBound, FixedF, 0, 3, [](long double x) { return -2 * std::exp(-x) + 0.4L * x; }},
        {largestSlopeBound, "sin(x)", 1, 4, [](long double x) { return std::cos(x); }},
        {largestSlopeBound, "tan(x) - 2*x", 1.4, 1, [](long double x) { return std::tan(x) * std::tan(x) - 1; }},
        {largestSlopeBound, "cos(x)", 0, 1, [](long double x) { return -std::sin(x); }},  // phi of x = cos(x)
        {largestSlopeBound, "x*exp(-x)", 0, 4, [](long double x) { return (1 - x) * std::exp(-x); }},
        {largestSlopeBound, "5", 0, 1, [](long double) { return 0.0L; }},
        {largestCurvatureBound, "cos(x) - x", 0, 1, [](long double x) { return -std::cos(x); }},
        {largestCurvatureBound, FixedF, 0, 3, [](long double x) { return 2 * std::exp(-x) + 0.4L; }},
        {largestCurvatureBound, "x^3 - 2*x - 5", -1, 2, [](long double x) { return 6 * x; }},
        {largestCurvatureBound, "x*exp(-x)", 2.5, 4, [](long double x) { return (x - 2) * std::exp(-x); }},
        {largestCurvatureBound, "ln(x)", 0.5, 2, [](long double x) { return -1 / (x * x); }},
    };
    for (const auto& c : cases) {
        const std::optional<double> bound = c.bound(parsed(c.f), c.low, c.high);
        ASSERT_TRUE(bound) << c.f;
        const long double sampled = sampledLargest(c.g, c.low, c.high);
        EXPECT_GE(*bound, sampled * (1 - 1e-17L)) << c.f;
        EXPECT_LE(*bound, sampled * (1 + 1.0L / 1024 + 1e-7L)) << c.f;
    }
    // F' = 2x - 2x is 0, but its enclosure over a piece is as wide as the
    // piece: when the pieces run out, still a bound.
    const std::optional<double> loose = largestSlopeBound(parsed("x^2 - x^2"), 0, 1);
    ASSERT_TRUE(loose);
    EXPECT_LT(*loose, 0.01);
}

TEST(LargestBoundTest, NoneWhereNoPieceAroundAPointShowsAFiniteBound) {
    const Box boxes[] = {
        {"tan(x)", 1, 2},
        {"1/x", -1, 1},
        {"sqrt(x)", 0, 1},   // F' = 1/(2*sqrt(x)) has no bound at 0
        {"abs(x)", -1, 1},   // F' = x/abs(x) has no value at 0
        {"ln(x)", -2, -1},   // F' = 1/x has values there, F none
        {"exp(x^2)", 0, 30}, // beyond double
    };
    for (const Box& box : boxes) {
        const Expression f = parsed(box.f);
        EXPECT_EQ(largestSlopeBound(f, box.low, box.high), std::nullopt) << box.f;
        EXPECT_EQ(largestCurvatureBound(f, box.low, box.high), std::nullopt) << box.f;
    }
}

TEST(CurvatureSignTest, SignOfTheSecondDerivative) {
    const struct {
        const char* f;
        double low, high;
        std::optional<int> sign;
    } cases[] = {
        {FixedF, 0, 1, 1},
        {FixedF, 0, 3, 1},
        {FixedF, -20, 20, 1},
        {FixedF, 3, 0, 1},
        {"-x^2", -1, 1, -1},
        {"exp(x)", -5, 5, 1},
        {"ln(x)", 1, 2, -1},
        {"1/x", 1, 2, 1},
        {"1/x", -2, -1, -1},
        {"sin(x)", 0.1, 3, -1},
        {"x*exp(-x)", 0, 1.9, -1},
        {"x^4 - x", 0.01, 1, 1},
        {"asin(x)", 0.1, 0.9, 1},
        {"acos(x)", 0.1, 0.9, -1},
        {"cot(x)", -1.5, -0.1, -1},
        {"ln(x)", -1, 1, std::nullopt},
        {"ln(x)", -2, -1, std::nullopt},  // F'' = -1/x^2 has values there, F none
        {"1/x", -1, 1, std::nullopt},
        {"sin(x)", -1, 1, std::nullopt},
        {"x^3", -1, 1, std::nullopt},
        {"x^4", -1, 1, std::nullopt},  // F'' = 12x^2 >= 0, but 0 at 0
        {"x*exp(-x)", 1, 3, std::nullopt},
        {"x - 1", 0, 1, std::nullopt},
        {"abs(x)", -1, 1, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(curvatureSign(parsed(c.f), c.low, c.high), c.sign)
            << c.f << " over [" << c.low << ", " << c.high << "]";
    }
}

TEST(SlopeSignTest, SignOfTheFirstDerivative) {
    const struct {
        Box box;
        std::optional<int> sign;
    } cases[] = {
        {{"exp(-x) - x", 0, 1}, -1},
        {{"x^3 - 2*x - 5", 3, 2}, 1},
        {{"x*exp(-x)", 2, 4}, -1},  // F' = (1 - x)e^-x: wider than its range over the whole
        {{"tan(x) - x", 1, 1.5}, 1},
        {{"x^2 - 2", -1, 2}, std::nullopt},
        {{"x^3", -1, 1}, std::nullopt},  // F' = 3x^2 >= 0, but 0 at 0
        {{"tan(x) - x", 1, 2}, std::nullopt},
        {{"ln(x)", -2, -1}, std::nullopt},  // F' = 1/x has values there, F none
    };
    for (const auto& [box, sign] : cases) {
        EXPECT_EQ(slopeSign(parsed(box.f), box.low, box.high), sign)
            << box.f << " over [" << box.low << ", " << box.high << "]";
    }
}

TEST(MayBeUnboundedTest, PolesAndPointsWithoutAValue) {
    const struct {
        Box box;
        bool unbounded;
    } cases[] = {
        {{"tan(x) - x", 4.6, 4.8}, true},  // 3pi/2 inside, not a double
        {{"1/x", -1, 1}, true},
        {{"1/(x - 2)", 0, 3}, true},
        {{"1/x", 1, 0}, true},
        {{"ln(x)", 0, 1}, true},
        {{"x*ln(x)", 0, 1}, true},  // bounded, but no value at 0
        {{"exp(x)", 0, 1000}, true},
        {{"x^3 - 2*x - 5", 2, 3}, false},
        {{"cos(x) - x", 0, 1}, false},
        {{FixedF, 0, 3}, false},
        {{"sqrt(x)", 0, 1}, false},
        {{"tan(x) - x", 4, 4.7}, false},
        {{"1/(x^2 - x + 1)", -1, 2}, false},  // over the whole, x^2 - x + 1 may be 0
    };
    for (const auto& [box, unbounded] : cases) {
        EXPECT_EQ(mayBeUnbounded(parsed(box.f), box.low, box.high), unbounded)
            << box.f << " over [" << box.low << ", " << box.high << "]";
    }
}

}  // namespace
