#include "expression/expression.h"

#include <algorithm>
#include <utility>

const char* functionName(FunctionName function) {
    switch (function) {
    case FunctionName::Exp: return "exp";
    case FunctionName::Ln: return "ln";
    case FunctionName::Log10: return "log10";
    case FunctionName::Sqrt: return "sqrt";
    case FunctionName::Abs: return "abs";
    case FunctionName::Sin: return "sin";
    case FunctionName::Cos: return "cos";
    case FunctionName::Tan: return "tan";
    case FunctionName::Cot: return "cot";
    case FunctionName::Asin: return "asin";
    case FunctionName::Acos: return "acos";
    case FunctionName::Atan: return "atan";
    case FunctionName::Sinh: return "sinh";
    case FunctionName::Cosh: return "cosh";
    case FunctionName::Tanh: return "tanh";
    }
    return "?";
}

std::optional<FunctionName> functionNamed(std::string_view word) {
    static constexpr std::pair<std::string_view, FunctionName> SecondNames[] = {
        {"lg", FunctionName::Log10},    {"tg", FunctionName::Tan},      {"ctg", FunctionName::Cot},
        {"arcsin", FunctionName::Asin}, {"arccos", FunctionName::Acos}, {"arctg", FunctionName::Atan},
    };
    for (int i = 0; i <= static_cast<int>(FunctionName::Tanh); ++i) {
        const auto function = static_cast<FunctionName>(i);
        if (word == functionName(function)) {
            return function;
        }
    }
    for (const auto& [name, function] : SecondNames) {
        if (word == name) {
            return function;
        }
    }
    return std::nullopt;
}

bool dependsOnX(const Expression& expression) {
    return std::any_of(expression.nodes.begin(), expression.nodes.end(),
                       [](const Node& node) { return node.kind == NodeKind::Variable; });
}
