#pragma once
// An equation a teacher types: F as an expression in x, held as a tree of
// nodes in one vector (children before their parents, the root last). Pure:
// no numbers are computed here, a decimal constant keeps its text, so that
// each precision rounds it to its own format.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class NodeKind : std::uint8_t {
    Number,    // a decimal constant; `text` holds it as typed
    Variable,  // x
    Pi,
    E,
    Negate,    // unary minus: left
    Add,       // left + right
    Subtract,
    Multiply,
    Divide,
    Power,     // left ^ right, right-associative
    Function,  // function(left)
};

enum class FunctionName : std::uint8_t {
    Exp, Ln, Log10, Sqrt, Abs, Sin, Cos, Tan, Cot, Asin, Acos, Atan, Sinh, Cosh, Tanh,
};
// The tables of names (expression.cpp) and of MPFR functions (mpfr_values.h)
// follow this order.
inline constexpr std::size_t FunctionNames = 15;

struct Node {
    NodeKind kind = NodeKind::Number;
    FunctionName function = FunctionName::Exp;  // for Function
    std::string text{};      // for Number: the digits as typed ("0.2", "1e-3")
    std::int32_t left = -1;  // index of the operand (unary) or left operand
    std::int32_t right = -1; // index of the right operand (binary)
    std::size_t column = 0;  // where the node's token starts in the text, from 0
};

struct Expression {
    std::string text;         // as typed
    std::vector<Node> nodes;  // children before parents
    std::int32_t root = -1;   // the last node
};

// Each function's own name: "exp", "ln", ..., "tan", "cot", "asin".
const char* functionName(FunctionName function);

// The function a word names: its own name, or the name Russian textbooks
// give it ("tg", "ctg", "arcsin", "arccos", "arctg", "lg"); none for any
// other word. A second name is the same function, not a node of its own.
std::optional<FunctionName> functionNamed(std::string_view word);

// A decimal constant's text as its digits and the power of ten that scales
// them: "0.25e1" is 025 times 10^-1. None for a text that is not one (no
// digit, a second point, an exponent without digits). A typed exponent is
// cut to `limit`, and one that reaches it is said.
struct DecimalParts {
    std::string digits;
    long long scale = 0;
    bool negativeExponent = false;
    bool exponentAtLimit = false;
};
std::optional<DecimalParts> decimalParts(const std::string& text, long long limit);

// Whether x occurs anywhere in the expression: an end of the interval may
// be typed as an expression, but only as a constant one.
bool dependsOnX(const Expression& expression);
