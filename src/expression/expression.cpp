#include "expression/expression.h"

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
    case FunctionName::Atan: return "atan";
    case FunctionName::Sinh: return "sinh";
    case FunctionName::Cosh: return "cosh";
    case FunctionName::Tanh: return "tanh";
    }
    return "?";
}
