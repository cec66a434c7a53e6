#pragma once
// Reads F as a teacher types it: an expression in x. Pure, and safe on any
// bytes: the text is read no further than its first MaxExpressionBytes bytes,
// and the descent no deeper than MaxExpressionDepth levels.
//
//   sum      = product { ("+" | "-") product }
//   product  = unary { ("*" | "/") unary }
//   unary    = ("-" | "+") unary | power
//   power    = primary [ "^" unary ]          (so 2^3^2 = 2^9, 2^-x, -x^2 = -(x^2))
//   primary  = number | "x" | "pi" | "e" | function "(" sum ")" | "(" sum ")"
//
// A number has the form the dialog reads: digits with an optional point and
// fraction (".5" and "5." too) and an optional exponent "e" or "E" with an
// optional sign and at least one digit; its sign is a unary minus. A name is
// a run of ASCII letters and digits starting with a letter, lowercase as
// listed: "sinx", "x2" and "e2" are unknown names. Unary plus makes no node.
// Spaces and tabs between tokens are ignored; nothing multiplies without
// "*": "2x", "2 x", "2pi" and "x(1)" stop where the operator is missing. A
// number takes an "e" after its digits as its exponent, so "2e" and "1e+" are
// malformed numbers, not 2*e.

#include <cstddef>
#include <string_view>

#include "text/cp1251_text.h"
#include "expression/expression.h"

inline constexpr std::size_t MaxExpressionBytes = 1000;
// Parentheses, function calls, unary signs and exponents each open a level.
inline constexpr int MaxExpressionDepth = 100;

enum class ParseFault {
    None,
    Empty,                       // nothing but blanks
    UnexpectedCharacter,         // a byte no token starts with
    ExpectedOperand,
    ExpectedOperator,            // an operand right after an operand: "2x", "(1)(2)", "2)"
    ExpectedClosingParenthesis,
    ExpectedOpeningParenthesis,  // after a function name
    UnknownName,
    MalformedNumber,             // "." alone, or an exponent without digits
    TooLong,                     // the text goes on past MaxExpressionBytes
    TooDeep,                     // a level beyond MaxExpressionDepth
};

// On a fault, `expression` is empty (no nodes, root -1) and `column` is the
// byte offset the fault is at: the first one in the text. TooLong is at
// MaxExpressionBytes, reached only when the bytes before it hold no fault;
// Empty is at 0; a fault at the end of the text is at its length. A
// malformed number is at its point when it has no digit, else where the
// exponent's digits should be.
struct ParseResult {
    Expression expression;
    ParseFault fault = ParseFault::None;
    std::size_t column = 0;
};

ParseResult parseExpression(std::string_view text);

// The column a caret goes under, in characters from 0: each UTF-8 sequence
// (or a byte of broken UTF-8) before the offset counts once, a tab too. An
// offset past the end counts as the end.
std::size_t displayColumn(std::string_view text, std::size_t byteOffset);

// What was expected, in Russian, for the fault; empty for None.
const CatalogueText& parseFaultText(ParseFault fault);
