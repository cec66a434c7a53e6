// The typed equation's way into the run: the expression read, its faults
// pointed at, the format chosen, then the same run as the dialog's F.
#include "steps/typed_steps.h"

#include <string>

#include "expression/analysis.h"
#include "expression/parse.h"
#include "steps/formats.h"
#include "steps/messages.h"
#include "steps/run.h"
#include "steps/separation_run.h"
#include "steps/texts.h"
#include "steps/typed_equation.h"

namespace {

// The expression repeated with a caret under the fault, and what was
// expected there; `subject` names an argument that is not the equation.
void showExpressionFault(Console& console, const std::string& typed, const ParseResult& result,
                         const std::string& subject = "") {
    writeErrorText(console, (std::string(ProgramName) + ": " + subject + text(TextExpressionFault) +
                             parseFaultText(result.fault).data() + "\n")
                                .c_str());
    writeErrorBytes(console, "  " + typed + "\n");
    writeErrorBytes(console, std::string(2 + displayColumn(typed, result.column), ' ') + "^\n");
}

// A number argument that may be a constant expression (XIB, XIE): a
// number, or an expression that reads and holds no x. Its fault shown after
// the argument's name; false then.
bool constantArgumentAccepted(Console& console, const char* name, const std::string& typed) {
    float number = 0.0f;
    if (parseRealArgument(typed, number)) {
        return true;
    }
    const ParseResult read = parseExpression(typed);
    if (read.fault != ParseFault::None) {
        showExpressionFault(console, typed, read, std::string(name) + ": ");
        return false;
    }
    if (dependsOnX(read.expression)) {
        showError(console, name + text(TextArgumentWithX));
        return false;
    }
    return true;
}

template <typename Format>
int runIn(Console& console, const StepsArguments& parsed, const Expression& expression, const std::string& typed,
          const Expression* phi) {
    TypedEquation<Format> equation(expression, typed);
    if (parsed.separate) {
        return SeparationRun<Format, TypedEquation<Format>>(console, parsed, equation).run();
    }
    StepsRun<Format, TypedEquation<Format>> run(console, parsed, equation);
    std::optional<Evaluator> phiEvaluator;
    if (phi != nullptr) {
        phiEvaluator.emplace(*phi, Format::precision);
        run.usePhi([&phiEvaluator](typename Format::Storage x) { return evaluatedIn<Format>(*phiEvaluator, x); },
                   *parsed.phi, [phi](double low, double high) { return largestSlopeBound(*phi, low, high); });
    }
    return run.run();
}

// An expression typed for an option, or its fault shown after the
// option's name where it is not the equation's.
std::optional<Expression> readExpression(Console& console, const std::string& typed, const std::string& subject = "") {
    ParseResult read = parseExpression(typed);
    if (read.fault != ParseFault::None) {
        showExpressionFault(console, typed, read, subject);
        return std::nullopt;
    }
    return std::move(read.expression);
}

}  // namespace

int runTypedSteps(Console& console, const StepsArguments& parsed) {
    if (parsed.compare && (parsed.files[0] || parsed.files[1] || parsed.files[2])) {
        showError(console, text(TextCompareTableOnly));
        return ExitUsage;
    }
    const std::string typed = parsed.equation.value_or(text(TextFixedEquationText));
    const std::optional<Expression> read = readExpression(console, typed);
    std::optional<Expression> phi;
    if (!read || (parsed.phi && !(phi = readExpression(console, *parsed.phi, "--phi: ")))) {
        return ExitUsage;
    }
    for (const std::size_t end : {0u, 1u}) {
        const char* const name = numberArgumentName(parsed.separate ? SeparateNumbers + end : end);
        if (!constantArgumentAccepted(console, name, parsed.numberTexts[end])) {
            return ExitUsage;
        }
    }
    if (parsed.start && !constantArgumentAccepted(console, "--x0", *parsed.start)) {
        return ExitUsage;
    }
    const Expression* const phiRead = phi ? &*phi : nullptr;
    switch (parsed.precision.value_or(parsed.equation ? Precision::Double : Precision::Single)) {
    case Precision::Single:
        return runIn<SingleFormat>(console, parsed, *read, typed, phiRead);
    case Precision::Double:
        return runIn<DoubleFormat>(console, parsed, *read, typed, phiRead);
    case Precision::Wide:
        return runIn<ExtendedFormat>(console, parsed, *read, typed, phiRead);
    }
    return ExitUsage;
}
