// The expression reader: each text read back as a fully parenthesised tree,
// or as the first fault and the byte it is at.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "expression/parse.h"

namespace {

const char* const FaultNames[] = {
    "None", "Empty", "UnexpectedCharacter", "ExpectedOperand", "ExpectedOperator",
    "ExpectedClosingParenthesis", "ExpectedOpeningParenthesis", "UnknownName", "MalformedNumber",
    "TooLong", "TooDeep",
};

const char* symbolOf(NodeKind kind) {
    switch (kind) {
    case NodeKind::Add: return "+";
    case NodeKind::Subtract: return "-";
    case NodeKind::Multiply: return "*";
    case NodeKind::Divide: return "/";
    default: return "^";
    }
}

// The tree under `index`; every operand must come before its parent.
std::string print(const Expression& expression, std::int32_t index) {
    const Node& node = expression.nodes.at(static_cast<std::size_t>(index));
    const auto operand = [&](std::int32_t child) {
        EXPECT_TRUE(child >= 0 && child < index) << "operand " << child << " of node " << index;
        return child >= 0 && child < index ? print(expression, child) : std::string("?");
    };
    switch (node.kind) {
    case NodeKind::Number: return node.text;
    case NodeKind::Variable: return "x";
    case NodeKind::Pi: return "pi";
    case NodeKind::E: return "e";
    case NodeKind::Negate: return "(-" + operand(node.left) + ")";
    case NodeKind::Function: return functionName(node.function) + ("(" + operand(node.left)) + ")";
    default: return "(" + operand(node.left) + symbolOf(node.kind) + operand(node.right) + ")";
    }
}

// "(1+(2*3))", or "ExpectedOperand@2".
std::string read(std::string_view text) {
    const ParseResult result = parseExpression(text);
    const Expression& expression = result.expression;
    if (result.fault != ParseFault::None) {
        EXPECT_TRUE(expression.nodes.empty() && expression.root == -1);
        return FaultNames[static_cast<int>(result.fault)] + ("@" + std::to_string(result.column));
    }
    EXPECT_EQ(expression.text, text);
    EXPECT_EQ(static_cast<std::size_t>(expression.root) + 1, expression.nodes.size()) << "root not last";
    return print(expression, expression.root);
}

using Cases = std::vector<std::pair<std::string, std::string>>;

void expectReads(const Cases& cases) {
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(read(text), expected) << '"' << text << '"';
    }
}

std::string repeat(std::string_view piece, std::size_t times) {
    std::string text;
    for (std::size_t i = 0; i < times; ++i) text += piece;
    return text;
}

TEST(ExpressionReadTest, PrecedenceAndAssociativity) {
    expectReads({
        {"1+2*3", "(1+(2*3))"},
        {"1*2+3", "((1*2)+3)"},
        {"1-2-3", "((1-2)-3)"},
        {"8/4/2", "((8/4)/2)"},
        {"8/4*2-1+x", "((((8/4)*2)-1)+x)"},
        {"(1+2)*3", "((1+2)*3)"},
        {"1-(2-3)", "(1-(2-3))"},
        {"2^3^2", "(2^(3^2))"},
        {"(2^3)^2", "((2^3)^2)"},
        {"2*x^2", "(2*(x^2))"},
        {"x^2/2", "((x^2)/2)"},
        {"((x))", "x"},
        {"2*exp(-x) + 0.2*x^2 - 1.5", "(((2*exp((-x)))+(0.2*(x^2)))-1.5)"},
    });
}

TEST(ExpressionReadTest, UnarySigns) {
    expectReads({
        {"-x", "(-x)"},
        {"-x^2", "(-(x^2))"},
        {"-2^2", "(-(2^2))"},
        {"(-x)^2", "((-x)^2)"},
        {"2^-x", "(2^(-x))"},
        {"2^-x^2", "(2^(-(x^2)))"},
        {"-x*2", "((-x)*2)"},
        {"2*-x", "(2*(-x))"},
        {"x--1", "(x-(-1))"},
        {"--x", "(-(-x))"},
        {"+x", "x"},
        {"-+x", "(-x)"},
        {"x-+1", "(x-1)"},
        {"-sin(x)", "(-sin(x))"},
    });
}

TEST(ExpressionReadTest, FunctionsAndConstants) {
    expectReads({
        {"exp(ln(log10(sqrt(abs(x)))))", "exp(ln(log10(sqrt(abs(x)))))"},
        {"sin(cos(tan(atan(sinh(cosh(tanh(x)))))))", "sin(cos(tan(atan(sinh(cosh(tanh(x)))))))"},
        // The names of Russian textbooks are the same functions as the others.
        {"tg(ctg(arctg(lg(x))))", "tan(cot(atan(log10(x))))"},
        {"arcsin(asin(arccos(acos(cot(x)))))", "asin(asin(acos(acos(cot(x)))))"},
        {"sin(x+1)", "sin((x+1))"},
        {"sin(x)^2", "(sin(x)^2)"},
        {"2*pi*e", "((2*pi)*e)"},
        {"e^x", "(e^x)"},
    });
}

TEST(ExpressionReadTest, NumbersKeepTheirText) {
    expectReads({
        {"0", "0"},
        {"007", "007"},
        {"2.50", "2.50"},
        {".5", ".5"},
        {"5.", "5."},
        {"1.e5", "1.e5"},
        {"1e5", "1e5"},
        {"1e+5", "1e+5"},
        {"1.5E-3", "1.5E-3"},
        {"1e5-2", "(1e5-2)"},
        {"1e-5^2", "(1e-5^2)"},
    });
}

TEST(ExpressionReadTest, BlanksBetweenTokens) {
    expectReads({
        {" \t x \t+\t1 ", "(x+1)"},
        {"sin (x)", "sin(x)"},
        {"- x ^ 2", "(-(x^2))"},
        {"( x )", "x"},
    });
}

TEST(ExpressionReadTest, FaultsWhereTheyAre) {
    expectReads({
        {"", "Empty@0"},
        {" \t ", "Empty@0"},
        {"x # 1", "UnexpectedCharacter@2"},
        {"2,5", "UnexpectedCharacter@1"},
        {"2*\xD1\x85", "UnexpectedCharacter@2"},  // a Cyrillic letter that looks like x
        {"x\n", "UnexpectedCharacter@1"},
        {"x_1", "UnexpectedCharacter@1"},
        {"+", "ExpectedOperand@1"},
        {"2 + ", "ExpectedOperand@4"},
        {"*x", "ExpectedOperand@0"},
        {"x**2", "ExpectedOperand@2"},
        {"x^", "ExpectedOperand@2"},
        {"()", "ExpectedOperand@1"},
        {")", "ExpectedOperand@0"},
        {"sin()", "ExpectedOperand@4"},
        {"2x", "ExpectedOperator@1"},
        {"2 x", "ExpectedOperator@2"},
        {"2pi", "ExpectedOperator@1"},
        {"2sin(x)", "ExpectedOperator@1"},
        {"1e5x", "ExpectedOperator@3"},
        {"1.5.2", "ExpectedOperator@3"},
        {"x(1)", "ExpectedOperator@1"},
        {"(1)(2)", "ExpectedOperator@3"},
        {"(2 3)", "ExpectedOperator@3"},
        {"sin(x)x", "ExpectedOperator@6"},
        {"2)", "ExpectedOperator@1"},
        {"(x", "ExpectedClosingParenthesis@2"},
        {"((x)", "ExpectedClosingParenthesis@4"},
        {"sin(x + 1  ", "ExpectedClosingParenthesis@11"},
        {"sin x", "ExpectedOpeningParenthesis@4"},
        {"sin", "ExpectedOpeningParenthesis@3"},
        {"exp+1", "ExpectedOpeningParenthesis@3"},
        {"sinx", "UnknownName@0"},
        {"2*arctan(x)", "UnknownName@2"},
        {"x2", "UnknownName@0"},
        {"e2", "UnknownName@0"},
        {"2*log(x)", "UnknownName@2"},
        {"Sin(x)", "UnknownName@0"},
        {"X", "UnknownName@0"},
        {"PI", "UnknownName@0"},
        {".", "MalformedNumber@0"},
        {"1+.e5", "MalformedNumber@2"},
        {"1e", "MalformedNumber@2"},
        {"2e*x", "MalformedNumber@2"},
        {"2ex", "MalformedNumber@2"},
        {"1e+", "MalformedNumber@3"},
        {"1E-x", "MalformedNumber@3"},
        {"1e 5", "MalformedNumber@2"},
        {"2x#", "ExpectedOperator@1"},  // the first fault in the text
        {"(1 #", "UnexpectedCharacter@3"},
    });
}

TEST(ExpressionReadTest, TextUpToTheLengthLimit) {
    const std::string digits(MaxExpressionBytes, '1');
    EXPECT_EQ(read(digits), digits);
    EXPECT_EQ(read("x" + std::string(MaxExpressionBytes - 1, ' ')), "x");
    expectReads({
        {digits + "1", "TooLong@1000"},
        {"x" + std::string(MaxExpressionBytes, ' '), "TooLong@1000"},
        {std::string(998, ' ') + "x+y", "TooLong@1000"},
        {std::string(999, ' ') + "sin(x)", "TooLong@1000"},  // not the unknown name "s"
        {std::string(998, ' ') + "1e5", "TooLong@1000"},     // not the malformed "1e"
        {std::string(997, ' ') + "1e 5", "MalformedNumber@999"},
        {"#" + std::string(5000, 'x'), "UnexpectedCharacter@0"},
    });
}

TEST(ExpressionReadTest, NestingUpToTheDepthLimit) {
    const auto nest = [](std::string_view open, std::string_view middle, std::string_view close,
                         std::size_t levels) {
        return read(repeat(open, levels) + std::string(middle) + repeat(close, levels));
    };
    EXPECT_EQ(nest("(", "x", ")", 100), "x");
    EXPECT_EQ(nest("(", "x", ")", 101), "TooDeep@100");
    EXPECT_EQ(nest("abs(", "x", ")", 100), repeat("abs(", 100) + "x" + repeat(")", 100));
    EXPECT_EQ(nest("abs(", "x", ")", 101), "TooDeep@400");
    EXPECT_EQ(nest("-", "x", "", 100), repeat("(-", 100) + "x" + repeat(")", 100));
    EXPECT_EQ(nest("-", "x", "", 101), "TooDeep@100");
    EXPECT_EQ(nest("", "x", "^x", 100), repeat("(x^", 100) + "x" + repeat(")", 100));
    EXPECT_EQ(nest("", "x", "^x", 101), "TooDeep@201");
    EXPECT_EQ(nest("2^-(", "x", ")", 34), "TooDeep@134");  // three levels each, the 101st at "-"
    EXPECT_EQ(read(std::string(100000, '(')), "TooDeep@100");
}

TEST(ExpressionReadTest, NodesKeepTheirTokensColumns) {
    const ParseResult result = parseExpression(" -x ^ 2.5*sin( x )");
    ASSERT_EQ(result.fault, ParseFault::None);
    std::string columns;
    for (const Node& node : result.expression.nodes) {
        columns += std::to_string(node.column) + " ";
    }
    // x, 2.5, ^, -, x, sin, *
    EXPECT_EQ(columns, "2 6 4 1 15 10 9 ");
}

TEST(DisplayColumnTest, CountsCharactersNotBytes) {
    const std::tuple<std::string_view, std::size_t, std::size_t> cases[] = {
        {"x+1", 2, 2},
        {"\xD1\x85+1", 2, 1},             // two-byte Cyrillic letter
        {"\xE2\x82\xAC+1", 3, 1},         // three-byte euro sign
        {"\xF0\x9F\x98\x80+1", 4, 1},     // four-byte emoji
        {"\xD1\x85\xD1\x85", 3, 2},       // inside a character: it counts
        {"\tx", 1, 1},
        {"\xFF\xFEx", 2, 2},              // broken bytes, one each
        {"\xD0x", 2, 2},                  // a lead byte without its continuation
        {"ab", 10, 2},
    };
    for (const auto& [text, offset, expected] : cases) {
        EXPECT_EQ(displayColumn(text, offset), expected) << text << " at " << offset;
    }
}

TEST(ParseFaultTextTest, EachFaultHasATextOfItsOwn) {
    EXPECT_EQ(parseFaultText(ParseFault::None)[0], '\0');
    std::set<std::string> texts;
    for (int fault = 1; fault <= static_cast<int>(ParseFault::TooDeep); ++fault) {
        const std::string text = parseFaultText(static_cast<ParseFault>(fault)).data();
        EXPECT_FALSE(text.empty()) << FaultNames[fault];
        texts.insert(text);
    }
    EXPECT_EQ(texts.size(), static_cast<std::size_t>(ParseFault::TooDeep));
}

}  // namespace
