#include "expression/expression.h"

#include <algorithm>
#include <iterator>
#include <utility>

const char* functionName(FunctionName function) {
    static constexpr const char* InNameOrder[] = {"exp", "ln",   "log10", "sqrt", "abs",  "sin",  "cos", "tan",
                                                  "cot", "asin", "acos",  "atan", "sinh", "cosh", "tanh"};
    static_assert(std::size(InNameOrder) == FunctionNames);
    return InNameOrder[static_cast<std::size_t>(function)];
}

std::optional<FunctionName> functionNamed(std::string_view word) {
    static constexpr std::pair<std::string_view, FunctionName> SecondNames[] = {
        {"lg", FunctionName::Log10},    {"tg", FunctionName::Tan},      {"ctg", FunctionName::Cot},
        {"arcsin", FunctionName::Asin}, {"arccos", FunctionName::Acos}, {"arctg", FunctionName::Atan},
    };
    for (std::size_t i = 0; i < FunctionNames; ++i) {
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

std::optional<DecimalParts> decimalParts(const std::string& text, long long limit) {
    DecimalParts parts;
    std::size_t at = 0;
    bool point = false;
    for (; at < text.size() && text[at] != 'e' && text[at] != 'E'; ++at) {
        if (text[at] == '.' && !point) {
            point = true;
        } else if (text[at] >= '0' && text[at] <= '9') {
            parts.digits += text[at];
            parts.scale -= point ? 1 : 0;
        } else {
            return std::nullopt;
        }
    }
    if (parts.digits.empty()) {
        return std::nullopt;
    }
    long long typed = 0;
    if (at < text.size()) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
            parts.negativeExponent = text[at] == '-';
            ++at;
        }
        if (at == text.size()) {
            return std::nullopt;
        }
        for (; at < text.size(); ++at) {
            if (text[at] < '0' || text[at] > '9') {
                return std::nullopt;
            }
            typed = std::min(typed * 10 + (text[at] - '0'), limit);
        }
    }
    parts.scale += parts.negativeExponent ? -typed : typed;
    parts.exponentAtLimit = typed == limit;
    return parts;
}
