#include "expression/parse.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "text/number_scan.h"
#include "text/utf8.h"

namespace {

enum class TokenKind : std::uint8_t { End, Number, Name, Plus, Minus, Times, Over, Caret, Open, Close };

struct Token {
    TokenKind kind = TokenKind::End;
    std::size_t start = 0;
    std::size_t end = 0;
};

// Where reading stands. Tokens are read one ahead, as the descent asks for
// them, so the first fault in the text is the one found; it stops the
// reading, and every function below then returns Failed.
struct Parser {
    std::string_view text;  // the first MaxExpressionBytes bytes at most
    bool cut = false;       // the text typed goes on past them
    Token next;
    int depth = 0;
    std::vector<Node> nodes;
    ParseFault fault = ParseFault::None;
    std::size_t faultColumn = 0;
};

constexpr std::int32_t Failed = -1;

// Keeps the fault; the token readers answer false with it.
bool fail(Parser& parser, ParseFault fault, std::size_t column) {
    parser.fault = fault;
    parser.faultColumn = column;
    return false;
}

std::int32_t failAt(Parser& parser, ParseFault fault, std::size_t column) {
    fail(parser, fault, column);
    return Failed;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::optional<TokenKind> symbolKind(char c) {
    switch (c) {
    case '+': return TokenKind::Plus;
    case '-': return TokenKind::Minus;
    case '*': return TokenKind::Times;
    case '/': return TokenKind::Over;
    case '^': return TokenKind::Caret;
    case '(': return TokenKind::Open;
    case ')': return TokenKind::Close;
    default: return std::nullopt;
    }
}

// A token that runs up to the limit of a longer text might go on past it:
// the limit is the fault there, not whatever the token would be cut short.
bool readNumber(Parser& parser, std::size_t start) {
    // The dialog's own scanner, so that a number here is exactly one the
    // dialog reads. It takes no sign: the token starts with a digit or ".".
    NumberScanner scanner{.kind = NumberKind::Real};
    const ScanProgress progress = scanBytes(scanner, parser.text.substr(start), !parser.cut);
    if (progress.stop == ScanStop::NeedMore) {
        return fail(parser, ParseFault::TooLong, MaxExpressionBytes);
    }
    const std::size_t end = start + progress.consumed;
    if (!scanSucceeded(progress.stop)) {
        const std::size_t column = scanner.mantissaDigits == 0 ? start : end;
        return fail(parser, ParseFault::MalformedNumber, column);
    }
    parser.next = {TokenKind::Number, start, end};
    return true;
}

bool readName(Parser& parser, std::size_t start) {
    std::size_t end = start;
    while (end < parser.text.size() && (isLetter(parser.text[end]) || isDigit(parser.text[end]))) {
        ++end;
    }
    if (end == parser.text.size() && parser.cut) {
        return fail(parser, ParseFault::TooLong, MaxExpressionBytes);
    }
    parser.next = {TokenKind::Name, start, end};
    return true;
}

// Reads the token after `next`, skipping blanks.
bool advance(Parser& parser) {
    std::size_t at = parser.next.end;
    while (at < parser.text.size() && (parser.text[at] == ' ' || parser.text[at] == '\t')) {
        ++at;
    }
    if (at == parser.text.size()) {
        if (parser.cut) {
            return fail(parser, ParseFault::TooLong, MaxExpressionBytes);
        }
        parser.next = {TokenKind::End, at, at};
        return true;
    }
    const char c = parser.text[at];
    if (isDigit(c) || c == '.') {
        return readNumber(parser, at);
    }
    if (isLetter(c)) {
        return readName(parser, at);
    }
    const std::optional<TokenKind> symbol = symbolKind(c);
    if (!symbol) {
        return fail(parser, ParseFault::UnexpectedCharacter, at);
    }
    parser.next = {*symbol, at, at + 1};
    return true;
}

// One level deeper for the token at `column`; leave() undoes it. A fault
// needs no leave(): the reading is over.
bool enter(Parser& parser, std::size_t column) {
    if (parser.depth == MaxExpressionDepth) {
        return fail(parser, ParseFault::TooDeep, column);
    }
    ++parser.depth;
    return true;
}

void leave(Parser& parser) {
    --parser.depth;
}

std::int32_t addNode(Parser& parser, NodeKind kind, std::size_t column, std::int32_t left = -1,
                     std::int32_t right = -1) {
    Node& node = parser.nodes.emplace_back();
    node.kind = kind;
    node.left = left;
    node.right = right;
    node.column = column;
    return static_cast<std::int32_t>(parser.nodes.size() - 1);
}

NodeKind binaryKind(TokenKind kind) {
    switch (kind) {
    case TokenKind::Plus: return NodeKind::Add;
    case TokenKind::Minus: return NodeKind::Subtract;
    case TokenKind::Times: return NodeKind::Multiply;
    case TokenKind::Over: return NodeKind::Divide;
    default: return NodeKind::Power;
    }
}

std::int32_t addBinary(Parser& parser, const Token& op, std::int32_t left, std::int32_t right) {
    if (right == Failed) {
        return Failed;
    }
    return addNode(parser, binaryKind(op.kind), op.start, left, right);
}

std::int32_t sum(Parser& parser);
std::int32_t unary(Parser& parser);

// After a parenthesised sum: its ")", or the operator missing before an
// operand (nothing else stops a sum).
std::int32_t closeParenthesis(Parser& parser, std::int32_t inner) {
    if (inner == Failed) {
        return Failed;
    }
    switch (parser.next.kind) {
    case TokenKind::Close: return advance(parser) ? inner : Failed;
    case TokenKind::End: return failAt(parser, ParseFault::ExpectedClosingParenthesis, parser.next.start);
    default: return failAt(parser, ParseFault::ExpectedOperator, parser.next.start);
    }
}

// "(" sum ")", from the "(".
std::int32_t group(Parser& parser) {
    if (!advance(parser)) {
        return Failed;
    }
    return closeParenthesis(parser, sum(parser));
}

std::int32_t parenthesised(Parser& parser) {
    if (!enter(parser, parser.next.start)) {
        return Failed;
    }
    const std::int32_t inner = group(parser);
    leave(parser);
    return inner;
}

// A function applied, from its name: one level, the name's.
std::int32_t call(Parser& parser, FunctionName function) {
    const std::size_t column = parser.next.start;
    if (!enter(parser, column) || !advance(parser)) {
        return Failed;
    }
    if (parser.next.kind != TokenKind::Open) {
        return failAt(parser, ParseFault::ExpectedOpeningParenthesis, parser.next.start);
    }
    const std::int32_t argument = group(parser);
    leave(parser);
    if (argument == Failed) {
        return Failed;
    }
    const std::int32_t index = addNode(parser, NodeKind::Function, column, argument);
    parser.nodes.back().function = function;
    return index;
}

std::int32_t named(Parser& parser) {
    const Token name = parser.next;
    const std::string_view word = parser.text.substr(name.start, name.end - name.start);
    NodeKind kind = NodeKind::Variable;
    if (word == "pi") {
        kind = NodeKind::Pi;
    } else if (word == "e") {
        kind = NodeKind::E;
    } else if (word != "x") {
        const std::optional<FunctionName> function = functionNamed(word);
        return function ? call(parser, *function) : failAt(parser, ParseFault::UnknownName, name.start);
    }
    if (!advance(parser)) {
        return Failed;
    }
    return addNode(parser, kind, name.start);
}

std::int32_t number(Parser& parser) {
    const Token token = parser.next;
    if (!advance(parser)) {
        return Failed;
    }
    const std::int32_t index = addNode(parser, NodeKind::Number, token.start);
    parser.nodes.back().text = parser.text.substr(token.start, token.end - token.start);
    return index;
}

std::int32_t primary(Parser& parser) {
    switch (parser.next.kind) {
    case TokenKind::Number: return number(parser);
    case TokenKind::Name: return named(parser);
    case TokenKind::Open: return parenthesised(parser);
    default: return failAt(parser, ParseFault::ExpectedOperand, parser.next.start);
    }
}

// primary [ "^" unary ]: the exponent is a unary, so a sign may start it and
// a "^" inside it nests to the right.
std::int32_t power(Parser& parser) {
    const std::int32_t base = primary(parser);
    const Token caret = parser.next;
    if (base == Failed || caret.kind != TokenKind::Caret) {
        return base;
    }
    if (!enter(parser, caret.start) || !advance(parser)) {
        return Failed;
    }
    const std::int32_t exponent = unary(parser);
    leave(parser);
    return addBinary(parser, caret, base, exponent);
}

std::int32_t unary(Parser& parser) {
    const Token sign = parser.next;
    if (sign.kind != TokenKind::Minus && sign.kind != TokenKind::Plus) {
        return power(parser);
    }
    if (!enter(parser, sign.start) || !advance(parser)) {
        return Failed;
    }
    const std::int32_t operand = unary(parser);
    leave(parser);
    if (operand == Failed || sign.kind == TokenKind::Plus) {
        return operand;
    }
    return addNode(parser, NodeKind::Negate, sign.start, operand);
}

// Left-associative operators of one precedence between operands.
using Operand = std::int32_t (*)(Parser&);
std::int32_t chain(Parser& parser, Operand operand, TokenKind first, TokenKind second) {
    std::int32_t left = operand(parser);
    while (left != Failed && (parser.next.kind == first || parser.next.kind == second)) {
        const Token op = parser.next;
        if (!advance(parser)) {
            return Failed;
        }
        left = addBinary(parser, op, left, operand(parser));
    }
    return left;
}

std::int32_t product(Parser& parser) {
    return chain(parser, unary, TokenKind::Times, TokenKind::Over);
}

std::int32_t sum(Parser& parser) {
    return chain(parser, product, TokenKind::Plus, TokenKind::Minus);
}

// The root, or Failed. Each node is added after its operands, and each
// function returns the node it added last, so the root is the last node.
std::int32_t whole(Parser& parser) {
    if (!advance(parser)) {
        return Failed;
    }
    if (parser.next.kind == TokenKind::End) {
        return failAt(parser, ParseFault::Empty, 0);
    }
    const std::int32_t root = sum(parser);
    if (root != Failed && parser.next.kind != TokenKind::End) {
        return failAt(parser, ParseFault::ExpectedOperator, parser.next.start);
    }
    return root;
}

constexpr CatalogueText TextNoFault{};
constexpr CatalogueText TextEmpty =
    cp1251Text("пустое выражение: ожидалась функция от x, например 2*exp(-x) + 0.2*x^2 - 1.5");
constexpr CatalogueText TextUnexpectedCharacter =
    cp1251Text("недопустимый знак (x пишется латинской буквой, дробная часть — через точку: 0.5)");
constexpr CatalogueText TextExpectedOperand = cp1251Text("ожидалось число, x, pi, e, функция или «(»");
constexpr CatalogueText TextExpectedOperator =
    cp1251Text("ожидался знак операции или конец выражения (умножение пишется явно: 2*x)");
constexpr CatalogueText TextExpectedClosingParenthesis = cp1251Text("ожидалась «)»");
constexpr CatalogueText TextExpectedOpeningParenthesis = cp1251Text("после имени функции ожидалась «(»");
// The functions are too many for one line: --help lists them.
constexpr CatalogueText TextUnknownName =
    cp1251Text("неизвестное имя: допустимы x, pi, e и функции из chords-steps --help (sin, tg, arctg, lg...)");
constexpr CatalogueText TextMalformedNumber =
    cp1251Text("в числе ожидались цифры (числа пишутся так: 2, 0.5, 1e-3; а 2*e — со знаком умножения)");
constexpr CatalogueText TextTooLong = cp1251Text("выражение длиннее 1000 знаков");
constexpr CatalogueText TextTooDeep = cp1251Text("слишком глубокая вложенность (больше 100 уровней)");

static_assert(MaxExpressionBytes == 1000 && MaxExpressionDepth == 100, "the texts name the limits");

}  // namespace

ParseResult parseExpression(std::string_view text) {
    Parser parser;
    parser.cut = text.size() > MaxExpressionBytes;
    parser.text = text.substr(0, MaxExpressionBytes);
    const std::int32_t root = whole(parser);
    if (root == Failed) {
        return {Expression{}, parser.fault, parser.faultColumn};
    }
    return {Expression{std::string(parser.text), std::move(parser.nodes), root}, ParseFault::None, 0};
}

std::size_t displayColumn(std::string_view text, std::size_t byteOffset) {
    const std::string_view before = text.substr(0, std::min(byteOffset, text.size()));
    std::size_t characters = 0;
    for (std::size_t at = 0; at < before.size(); at += decodeUtf8(before.substr(at)).length) {
        ++characters;
    }
    return characters;
}

const CatalogueText& parseFaultText(ParseFault fault) {
    switch (fault) {
    case ParseFault::None: return TextNoFault;
    case ParseFault::Empty: return TextEmpty;
    case ParseFault::UnexpectedCharacter: return TextUnexpectedCharacter;
    case ParseFault::ExpectedOperand: return TextExpectedOperand;
    case ParseFault::ExpectedOperator: return TextExpectedOperator;
    case ParseFault::ExpectedClosingParenthesis: return TextExpectedClosingParenthesis;
    case ParseFault::ExpectedOpeningParenthesis: return TextExpectedOpeningParenthesis;
    case ParseFault::UnknownName: return TextUnknownName;
    case ParseFault::MalformedNumber: return TextMalformedNumber;
    case ParseFault::TooLong: return TextTooLong;
    case ParseFault::TooDeep: return TextTooDeep;
    }
    return TextNoFault;
}
