// The expression reader over arbitrary bytes: a tree it returns is well
// formed, every node sits on its own token, and the tree printed back with
// every parenthesis reads as the same tree.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "check.h"
#include "text/number_scan.h"
#include "expression/parse.h"

namespace {

bool isBinary(NodeKind kind) {
    return kind == NodeKind::Add || kind == NodeKind::Subtract || kind == NodeKind::Multiply ||
           kind == NodeKind::Divide || kind == NodeKind::Power;
}

bool isUnary(NodeKind kind) {
    return kind == NodeKind::Negate || kind == NodeKind::Function;
}

// The name a token starts with: its letters and digits ("tg", "log10").
std::string_view nameAt(std::string_view at) {
    constexpr std::string_view NameCharacters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    return at.substr(0, at.find_first_not_of(NameCharacters));
}

// Where the node's token is, the token must say what the node is.
void checkToken(std::string_view text, const Node& node) {
    const std::string_view at = text.substr(node.column);
    switch (node.kind) {
    case NodeKind::Number: {
        CHECK(!node.text.empty() && at.starts_with(node.text));
        const ScannedReal scanned = scanRealText(node.text);
        CHECK(scanSucceeded(scanned.stop) && scanned.consumed == node.text.size());
        break;
    }
    case NodeKind::Variable: CHECK(at.starts_with("x")); break;
    case NodeKind::Pi: CHECK(at.starts_with("pi")); break;
    case NodeKind::E: CHECK(at.starts_with("e")); break;
    case NodeKind::Negate: CHECK(at.starts_with("-")); break;
    case NodeKind::Add: CHECK(at.starts_with("+")); break;
    case NodeKind::Subtract: CHECK(at.starts_with("-")); break;
    case NodeKind::Multiply: CHECK(at.starts_with("*")); break;
    case NodeKind::Divide: CHECK(at.starts_with("/")); break;
    case NodeKind::Power: CHECK(at.starts_with("^")); break;
    case NodeKind::Function: CHECK(functionNamed(nameAt(at)) == node.function); break;
    }
}

// Children before parents, the root last, each node the operand of one
// parent only.
void checkShape(const Expression& expression) {
    const std::vector<Node>& nodes = expression.nodes;
    CHECK(!nodes.empty() && expression.root == static_cast<std::int32_t>(nodes.size() - 1));
    std::vector<int> parents(nodes.size(), 0);
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const Node& node = nodes[i];
        const auto index = static_cast<std::int32_t>(i);
        CHECK(node.column < expression.text.size());
        const bool hasLeft = isUnary(node.kind) || isBinary(node.kind);
        CHECK(hasLeft ? node.left >= 0 && node.left < index : node.left == -1);
        CHECK(isBinary(node.kind) ? node.right >= 0 && node.right < index : node.right == -1);
        if (node.left >= 0) ++parents[static_cast<std::size_t>(node.left)];
        if (node.right >= 0) ++parents[static_cast<std::size_t>(node.right)];
        CHECK(node.kind == NodeKind::Number || node.text.empty());
        checkToken(expression.text, node);
    }
    for (std::size_t i = 0; i + 1 < nodes.size(); ++i) CHECK(parents[i] == 1);
    CHECK(parents.back() == 0);
}

std::string print(const Expression& expression, std::int32_t index) {
    const Node& node = expression.nodes[static_cast<std::size_t>(index)];
    switch (node.kind) {
    case NodeKind::Number: return node.text;
    case NodeKind::Variable: return "x";
    case NodeKind::Pi: return "pi";
    case NodeKind::E: return "e";
    case NodeKind::Negate: return "(-" + print(expression, node.left) + ")";
    case NodeKind::Function: return functionName(node.function) + ("(" + print(expression, node.left)) + ")";
    case NodeKind::Add: return "(" + print(expression, node.left) + "+" + print(expression, node.right) + ")";
    case NodeKind::Subtract: return "(" + print(expression, node.left) + "-" + print(expression, node.right) + ")";
    case NodeKind::Multiply: return "(" + print(expression, node.left) + "*" + print(expression, node.right) + ")";
    case NodeKind::Divide: return "(" + print(expression, node.left) + "/" + print(expression, node.right) + ")";
    case NodeKind::Power: return "(" + print(expression, node.left) + "^" + print(expression, node.right) + ")";
    }
    return "?";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ParseResult result = parseExpression(text);
    CHECK(displayColumn(text, result.column) <= result.column);
    if (result.fault != ParseFault::None) {
        CHECK(result.expression.nodes.empty() && result.expression.root == -1);
        CHECK(result.column <= std::min(text.size(), MaxExpressionBytes));
        CHECK((result.fault == ParseFault::TooLong) ==
              (text.size() > MaxExpressionBytes && result.column == MaxExpressionBytes));
        CHECK(parseFaultText(result.fault)[0] != '\0');
        return 0;
    }
    CHECK(text.size() <= MaxExpressionBytes && result.expression.text == text);
    checkShape(result.expression);

    // Printed with all its parentheses it may pass a limit; within them it
    // reads back as the same tree.
    const std::string printed = print(result.expression, result.expression.root);
    const ParseResult again = parseExpression(printed);
    if (again.fault == ParseFault::TooLong || again.fault == ParseFault::TooDeep) return 0;
    CHECK(again.fault == ParseFault::None);
    CHECK(print(again.expression, again.expression.root) == printed);
    return 0;
}
