#include "expression/derivative.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr std::uint64_t LargestWhole = 999999999999999999u;  // 18 digits

// The value of a decimal constant that is a whole number of at most 18
// digits ("2", "2.0", "3e2", "0.0"); none otherwise. Only these are ever
// folded, so no decimal fraction is rounded here.
std::optional<std::uint64_t> wholeValue(const std::string& text) {
    std::optional<DecimalParts> parts = decimalParts(text, 100000);
    if (!parts) {
        return std::nullopt;
    }
    std::string& digits = parts->digits;
    digits.erase(0, digits.find_first_not_of('0'));
    if (digits.empty()) {
        return 0;
    }
    long long scale = parts->scale;  // value = digits * 10^scale
    for (; scale < 0; ++scale) {
        if (digits.back() != '0') {
            return std::nullopt;
        }
        digits.pop_back();
    }
    if (digits.size() + static_cast<std::size_t>(scale) > 18) {
        return std::nullopt;
    }
    digits.append(static_cast<std::size_t>(scale), '0');
    return std::stoull(digits);
}

// A whole number with its sign, as an exponent is typed: "2" or "-2".
struct SignedWhole {
    bool negative;
    std::uint64_t magnitude;
};

class Derivation {
public:
    explicit Derivation(const Expression& f)
        : source(f), copies(f.nodes.size(), -1), derivatives(f.nodes.size(), -1), variable(f.nodes.size()) {
        for (std::size_t i = 0; i < f.nodes.size(); ++i) {
            const Node& node = f.nodes[i];
            variable[i] = node.kind == NodeKind::Variable || (node.left >= 0 && variable[index(node.left)]) ||
                          (node.right >= 0 && variable[index(node.right)]);
        }
    }

    std::int32_t derive(std::int32_t at);
    Expression finish(std::int32_t root);

private:
    static std::size_t index(std::int32_t at) { return static_cast<std::size_t>(at); }
    const Node& built(std::int32_t at) const { return nodes[index(at)]; }

    std::int32_t copy(std::int32_t at);
    std::int32_t derivePower(const Node& power, std::int32_t du);
    std::int32_t deriveFunction(const Node& function, std::int32_t du);
    std::int32_t squareRootOfOneMinusSquare(std::int32_t u);

    std::int32_t push(Node node) {
        node.column = column;
        nodes.push_back(std::move(node));
        return static_cast<std::int32_t>(nodes.size() - 1);
    }
    std::int32_t number(std::string text) {
        Node node;
        node.text = std::move(text);
        return push(std::move(node));
    }
    std::int32_t binary(NodeKind kind, std::int32_t a, std::int32_t b) {
        Node node;
        node.kind = kind;
        node.left = a;
        node.right = b;
        return push(std::move(node));
    }
    std::int32_t function(FunctionName name, std::int32_t a);

    std::optional<std::uint64_t> whole(std::int32_t at) const {
        return built(at).kind == NodeKind::Number ? wholeValue(built(at).text) : std::nullopt;
    }
    bool isWhole(std::int32_t at, std::uint64_t value) const { return whole(at) == value; }
    bool isNegate(std::int32_t at) const { return built(at).kind == NodeKind::Negate; }

    std::int32_t negate(std::int32_t a);
    std::int32_t add(std::int32_t a, std::int32_t b);
    std::int32_t subtract(std::int32_t a, std::int32_t b);
    std::int32_t multiply(std::int32_t a, std::int32_t b);
    std::int32_t divide(std::int32_t a, std::int32_t b);
    std::int32_t power(std::int32_t a, std::int32_t b);

    bool emit(std::int32_t at, Expression& tree) const;

    const Expression& source;
    std::vector<Node> nodes;  // shared subtrees: finish() unfolds them into a tree
    std::vector<std::int32_t> copies;       // by node of f: its copy among nodes, or -1
    std::vector<std::int32_t> derivatives;  // by node of f
    std::vector<bool> variable;             // by node of f: it depends on x
    std::size_t column = 0;                 // of the node of f being derived
};

std::int32_t Derivation::copy(std::int32_t at) {
    std::int32_t& made = copies[index(at)];
    if (made < 0) {
        Node node = source.nodes[index(at)];
        node.left = node.left >= 0 ? copy(node.left) : -1;
        node.right = node.right >= 0 ? copy(node.right) : -1;
        nodes.push_back(std::move(node));
        made = static_cast<std::int32_t>(nodes.size() - 1);
    }
    return made;
}

std::int32_t Derivation::function(FunctionName name, std::int32_t a) {
    if (name == FunctionName::Ln && built(a).kind == NodeKind::E) {
        return number("1");
    }
    Node node;
    node.kind = NodeKind::Function;
    node.function = name;
    node.left = a;
    return push(std::move(node));
}

std::int32_t Derivation::negate(std::int32_t a) {
    if (isWhole(a, 0)) {
        return a;
    }
    if (isNegate(a)) {
        return built(a).left;
    }
    return binary(NodeKind::Negate, a, -1);
}

std::int32_t Derivation::add(std::int32_t a, std::int32_t b) {
    if (isWhole(a, 0)) {
        return b;
    }
    if (isWhole(b, 0)) {
        return a;
    }
    if (isNegate(b)) {
        return binary(NodeKind::Subtract, a, built(b).left);
    }
    return binary(NodeKind::Add, a, b);
}

std::int32_t Derivation::subtract(std::int32_t a, std::int32_t b) {
    if (isWhole(b, 0)) {
        return a;
    }
    if (isWhole(a, 0)) {
        return negate(b);
    }
    if (isNegate(b)) {
        return binary(NodeKind::Add, a, built(b).left);
    }
    return binary(NodeKind::Subtract, a, b);
}

std::int32_t Derivation::multiply(std::int32_t a, std::int32_t b) {
    if (isWhole(a, 0) || isWhole(b, 0)) {
        return number("0");
    }
    if (isWhole(a, 1)) {
        return b;
    }
    if (isWhole(b, 1)) {
        return a;
    }
    if (isNegate(a)) {
        return negate(multiply(built(a).left, b));
    }
    if (isNegate(b)) {
        return negate(multiply(a, built(b).left));
    }
    // Whole coefficients gather in front: 3*(2*x) is 6*x.
    const std::optional<std::uint64_t> left = whole(a);
    if (left && built(b).kind == NodeKind::Multiply && whole(built(b).left)) {
        const std::uint64_t right = *whole(built(b).left);
        if (right <= LargestWhole / *left) {
            return multiply(number(std::to_string(*left * right)), built(b).right);
        }
    }
    if (left && whole(b) && *whole(b) <= LargestWhole / *left) {
        return number(std::to_string(*left * *whole(b)));
    }
    return binary(NodeKind::Multiply, a, b);
}

std::int32_t Derivation::divide(std::int32_t a, std::int32_t b) {
    if (isWhole(a, 0)) {
        return a;
    }
    if (isWhole(b, 1)) {
        return a;
    }
    if (isNegate(a)) {
        return negate(divide(built(a).left, b));
    }
    return binary(NodeKind::Divide, a, b);
}

std::int32_t Derivation::power(std::int32_t a, std::int32_t b) {
    if (isWhole(b, 0)) {
        return number("1");
    }
    if (isWhole(b, 1)) {
        return a;
    }
    return binary(NodeKind::Power, a, b);
}

std::int32_t Derivation::derive(std::int32_t at) {
    if (derivatives[index(at)] >= 0) {
        return derivatives[index(at)];
    }
    const Node& node = source.nodes[index(at)];
    std::int32_t made = -1;
    if (!variable[index(at)]) {
        column = node.column;
        made = number("0");
    } else {
        const std::int32_t du = node.left >= 0 ? derive(node.left) : -1;
        const std::int32_t dv = node.right >= 0 ? derive(node.right) : -1;
        column = node.column;
        switch (node.kind) {
        case NodeKind::Number:
        case NodeKind::Pi:
        case NodeKind::E:
            made = number("0");
            break;
        case NodeKind::Variable:
            made = number("1");
            break;
        case NodeKind::Negate:
            made = negate(du);
            break;
        case NodeKind::Add:
            made = add(du, dv);
            break;
        case NodeKind::Subtract:
            made = subtract(du, dv);
            break;
        case NodeKind::Multiply:
            made = add(multiply(du, copy(node.right)), multiply(copy(node.left), dv));
            break;
        case NodeKind::Divide:
            if (!variable[index(node.right)]) {
                made = divide(du, copy(node.right));
            } else {
                const std::int32_t numerator =
                    subtract(multiply(du, copy(node.right)), multiply(copy(node.left), dv));
                made = divide(numerator, power(copy(node.right), number("2")));
            }
            break;
        case NodeKind::Power:
            made = derivePower(node, du);
            break;
        case NodeKind::Function:
            made = deriveFunction(node, du);
            break;
        }
    }
    derivatives[index(at)] = made;
    return made;
}

// n*u^(n-1)*u' for an exponent free of x, u^v*(v'*ln(u) + v*u'/u) otherwise.
std::int32_t Derivation::derivePower(const Node& node, std::int32_t du) {
    const std::int32_t u = node.left;
    const std::int32_t v = node.right;
    if (variable[index(v)]) {
        const std::int32_t dv = derive(v);
        column = node.column;
        const std::int32_t logarithmic = multiply(dv, function(FunctionName::Ln, copy(u)));
        const std::int32_t algebraic = divide(multiply(copy(v), du), copy(u));
        return multiply(power(copy(u), copy(v)), add(logarithmic, algebraic));
    }
    // A whole exponent, typed with or without its minus, lowers by one as
    // a whole number; any other as (n - 1).
    const Node& exponent = source.nodes[index(v)];
    const Node& magnitude = exponent.kind == NodeKind::Negate ? source.nodes[index(exponent.left)] : exponent;
    std::optional<SignedWhole> n;
    if (magnitude.kind == NodeKind::Number) {
        if (const std::optional<std::uint64_t> value = wholeValue(magnitude.text); value && *value < LargestWhole) {
            n = SignedWhole{exponent.kind == NodeKind::Negate && *value != 0, *value};
        }
    }
    std::int32_t lowered = -1;
    if (!n) {
        lowered = subtract(copy(v), number("1"));
    } else if (n->magnitude == 0) {
        return number("0");
    } else if (!n->negative) {
        lowered = number(std::to_string(n->magnitude - 1));
    } else {
        lowered = negate(number(std::to_string(n->magnitude + 1)));
    }
    return multiply(multiply(copy(v), power(copy(u), lowered)), du);
}

// sqrt(1 - u^2), the denominator of asin' and acos': 0 at u = +-1, where
// neither has a derivative, so that F' is undefined there too.
std::int32_t Derivation::squareRootOfOneMinusSquare(std::int32_t u) {
    return function(FunctionName::Sqrt, subtract(number("1"), power(copy(u), number("2"))));
}

std::int32_t Derivation::deriveFunction(const Node& node, std::int32_t du) {
    const std::int32_t u = node.left;
    const auto of = [this, u](FunctionName name) { return function(name, copy(u)); };
    switch (node.function) {
    case FunctionName::Exp:
        return multiply(of(FunctionName::Exp), du);
    case FunctionName::Ln:
        return divide(du, copy(u));
    case FunctionName::Log10:
        return divide(du, multiply(copy(u), function(FunctionName::Ln, number("10"))));
    case FunctionName::Sqrt:
        return divide(du, multiply(number("2"), of(FunctionName::Sqrt)));
    case FunctionName::Abs:
        // The sign of u, as u/|u|: undefined where |u| has no derivative.
        return multiply(divide(copy(u), of(FunctionName::Abs)), du);
    case FunctionName::Sin:
        return multiply(of(FunctionName::Cos), du);
    case FunctionName::Cos:
        return negate(multiply(of(FunctionName::Sin), du));
    case FunctionName::Tan:
        // 1 + tan^2 rather than 1/cos^2: defined exactly where tan is.
        return multiply(add(number("1"), power(of(FunctionName::Tan), number("2"))), du);
    case FunctionName::Cot:
        // -(1 + cot^2), as tan's: defined exactly where cot is.
        return negate(multiply(add(number("1"), power(of(FunctionName::Cot), number("2"))), du));
    case FunctionName::Asin:
        return divide(du, squareRootOfOneMinusSquare(u));
    case FunctionName::Acos:
        return negate(divide(du, squareRootOfOneMinusSquare(u)));
    case FunctionName::Atan:
        return divide(du, add(number("1"), power(copy(u), number("2"))));
    case FunctionName::Sinh:
        return multiply(of(FunctionName::Cosh), du);
    case FunctionName::Cosh:
        return multiply(of(FunctionName::Sinh), du);
    case FunctionName::Tanh:
        return multiply(subtract(number("1"), power(of(FunctionName::Tanh), number("2"))), du);
    }
    return number("0");
}

// Shared subtrees written out once for each use, children first.
bool Derivation::emit(std::int32_t at, Expression& tree) const {
    Node node = built(at);
    if (node.left >= 0) {
        if (!emit(node.left, tree)) {
            return false;
        }
        node.left = static_cast<std::int32_t>(tree.nodes.size() - 1);
    }
    if (node.right >= 0) {
        if (!emit(node.right, tree)) {
            return false;
        }
        node.right = static_cast<std::int32_t>(tree.nodes.size() - 1);
    }
    if (tree.nodes.size() >= MaxDerivativeNodes) {
        return false;
    }
    tree.nodes.push_back(std::move(node));
    return true;
}

Expression Derivation::finish(std::int32_t root) {
    Expression tree{source.text, {}, -1};
    if (!emit(root, tree)) {
        return {source.text, {}, -1};
    }
    tree.root = static_cast<std::int32_t>(tree.nodes.size() - 1);
    return tree;
}

}  // namespace

Expression derivativeOf(const Expression& f) {
    if (f.root < 0 || f.nodes.empty()) {
        return {f.text, {}, -1};
    }
    Derivation derivation(f);
    return derivation.finish(derivation.derive(f.root));
}
