// The chords-steps room: every chord of a walk as a table on standard
// output and, on request, as a picture, a lesson page and CSV, for the
// dialog's F or an equation a teacher typed. The solver draws the chords;
// this room only tells about them, with the dialog's report at the end.
#include "steps/steps.h"

#include <cmath>
#include <string>
#include <vector>

#include "steps/arguments.h"
#include "steps/formats.h"
#include "steps/lesson_facts.h"
#include "steps/messages.h"
#include "steps/method_texts.h"
#include "steps/page_app.h"
#include "steps/run.h"
#include "steps/separation_run.h"
#include "steps/table_output.h"
#include "steps/texts.h"
#include "steps/typed_steps.h"

#ifndef CHORDS_VERSION
#error "CHORDS_VERSION must name the program's version"
#endif

namespace {

// One line naming the fault; what was typed goes out as typed.
void showArgumentFault(Console& console, const StepsArguments& parsed) {
    const auto line = [&console](const std::string& before, const std::string& typed,
                                 const std::string& after) {
        writeErrorText(console, (std::string(ProgramName) + ": " + before).c_str());
        writeErrorBytes(console, typed);
        writeErrorText(console, (after + "\n").c_str());
    };
    switch (parsed.fault) {
    case ArgumentFault::Missing:
        line(text(TextMissingArgument) + numberArgumentName(parsed.position), "", "");
        break;
    case ArgumentFault::NotANumber:
        line(numberArgumentName(parsed.position) +
                 text(parsed.position == 3                     ? TextNotOneCount
                      : parsed.position == SeparateNumbers + 2 ? TextNotOneStepCount
                                                               : TextNotOneNumber),
             "", parsed.typed.find(',') != std::string::npos ? text(TextDecimalPoint) : "");
        break;
    case ArgumentFault::Extra:
    case ArgumentFault::UnknownOption:
        // The argument itself in quotes.
        line(text(parsed.fault == ArgumentFault::Extra ? TextExtraArgument : TextUnknownOption), parsed.typed,
             text(TextClosingQuote));
        break;
    case ArgumentFault::FileMissing:
    case ArgumentFault::OptionTwice:
    case ArgumentFault::OutputTwice:
        // The option, then what is wrong with it.
        line(parsed.typed + text(parsed.fault == ArgumentFault::FileMissing   ? TextFileMissing
                                 : parsed.fault == ArgumentFault::OptionTwice ? TextOptionTwice
                                                                               : TextOutputTwice),
             "", "");
        break;
    case ArgumentFault::ValueMissing:
        line(parsed.option + text(TextValueMissing), "", "");
        break;
    case ArgumentFault::UnknownValue: {
        const CatalogueText& allowed = parsed.option == "--precision" ? TextPrecisionValues
                                       : parsed.option == "--method"  ? TextMethodValues
                                                                      : TextStopValues;
        line(text(TextUnknownValue), parsed.typed, text(TextOfOption) + parsed.option + allowed.data());
        break;
    }
    case ArgumentFault::None:
        break;
    }
}

void showVersion(Console& console) {
    TableOutput version{console};
    addLine(version, std::string(ProgramName) + " (chords) " + CHORDS_VERSION);
    flushTable(version);
}

// On a terminal each line is folded at blanks to its width, a line that
// starts with blanks (an option, an example) going on under the
// descriptions' column, as the usage does.
void showHelp(Console& console) {
    TableOutput help{console};
    help.columns = outputTerminalColumns();
    for (const CatalogueText& usage : TextUsage) {
        addProse(help, usage.data(), HelpColumn);
    }
    addProse(help, text(TextHelpPurpose));
    addProse(help, "  " + text(TextEquation), HelpColumn);
    for (const CatalogueText& line : TextHelpArguments) {
        addProse(help, line.data(), line[0] == ' ' ? HelpColumn : 0);
    }
    flushTable(help);
}

}  // namespace

std::string padded(const std::string& field, std::size_t width) {
    std::string line(width - std::min(width, field.size()), ' ');
    return line.append(field);
}

const CatalogueText& methodName(Method method) {
    switch (method) {
    case Method::Illinois:
        return TextMethodIllinois;
    case Method::Pegasus:
        return TextMethodPegasus;
    case Method::AndersonBjorck:
        return TextMethodAndersonBjorck;
    case Method::Bisection:
        return TextMethodBisection;
    case Method::Newton:
        return TextMethodNewton;
    case Method::Secant:
        return TextMethodSecant;
    case Method::Combined:
        return TextMethodCombined;
    case Method::Iteration:
        return TextMethodIteration;
    case Method::Chords:
        break;
    }
    return TextMethodPlain;
}

// "Метод Пегас": the method's name with its first letter a capital
// (Windows-1251 keeps the Russian capitals 0x20 below the small letters).
std::string capitalName(Method method) {
    std::string name = text(methodName(method));
    name[0] = static_cast<char>(name[0] - 0x20);
    return name;
}

// The order p with s_(k+1) ~ C s_k^p, from the last steps that shrink: the
// log of the last reduction over that of the one three steps before, its
// cube root, so that a modified method's cycle of three (one large
// reduction, two small) counts as a whole; with fewer steps, the last two
// reductions. None with fewer than three shrinking steps.
std::optional<double> observedOrder(const std::vector<double>& steps) {
    std::vector<double> usable;
    for (const double step : steps) {
        if (step > 0.0 && (usable.empty() || step < usable.back())) {
            usable.push_back(step);
        }
    }
    const std::size_t n = usable.size();
    const auto reduction = [&usable](std::size_t at) { return std::log(usable[at] / usable[at - 1]); };
    if (n >= 5) {
        return std::cbrt(reduction(n - 1) / reduction(n - 4));
    }
    if (n >= 3) {
        return reduction(n - 1) / reduction(n - 2);
    }
    return std::nullopt;
}

int runSteps(Console& console, std::span<const std::string> arguments) {
    const StepsArguments parsed = parseStepsArguments(arguments);
    switch (parsed.action) {
    case StepsAction::Help:
        showHelp(console);
        return outputStatus(console);
    case StepsAction::Version:
        showVersion(console);
        return outputStatus(console);
    case StepsAction::Invalid:
        showArgumentFault(console, parsed);
        for (const CatalogueText& usage : TextUsage) {
            showErrorText(console, usage.data());
        }
        return ExitUsage;
    case StepsAction::Run:
        break;
    }
    if (showFileNamedTwice(console, parsed)) {
        return ExitUsage;
    }
    if (parsed.app) {
        if (const PageModule module = findPageModule(); !module.text) {
            writeErrorText(console, (std::string(ProgramName) + ": " + text(TextAppNoModule)).c_str());
            writeErrorBytes(console, module.place + "\n");
            return ExitRefused;
        }
    }
    if (parsed.separate && !parsed.walkOption.empty()) {
        showError(console, text(TextSeparateWith) + parsed.walkOption);
        return ExitUsage;
    }
    // An option the method would pass by is refused, not ignored: the
    // student meant it. --compare runs every method, those that use it too.
    if (!parsed.separate && !parsed.compare) {
        const bool startUsed = parsed.method == Method::Newton || parsed.method == Method::Iteration;
        if ((parsed.start && !startUsed) || (parsed.phi && parsed.method != Method::Iteration)) {
            showError(console, text(parsed.start && !startUsed ? TextStartUnused : TextPhiUnused));
            return ExitUsage;
        }
    }
    if (typedWalkWanted(parsed)) {
#if CHORDS_TYPED_EQUATIONS
        return runTypedSteps(console, parsed);
#else
        showError(console, text(TextNoTypedEquations));
        return ExitUsage;
#endif
    }
    FixedEquation equation;
    if (parsed.separate) {
        return SeparationRun<SingleFormat, FixedEquation>(console, parsed, equation).run();
    }
    return StepsRun<SingleFormat, FixedEquation>(console, parsed, equation).run();
}

void showPressKey(Console& console) {
    showText(console, TextPressAnyKey.data());
    waitForKey(console);
    endLine(console);
}
