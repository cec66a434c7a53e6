#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "numeric/number_formats.h"
#include "solver/chord_walk.h"

enum class StepsAction { Run, Help, Version, Invalid };

// Why the command line was refused.
enum class ArgumentFault {
    None,
    Missing,      // fewer than four numbers (two after --separate); `position` names the first missing one
    NotANumber,   // a number argument is not one whole number and nothing else
                  // (XIB and XIE with --equation: only on a line with a fifth number)
    Extra,        // a fifth number; `position` is its place on the command line
    UnknownOption,
    FileMissing,   // an output option without its file; `typed` names the option
    OptionTwice,   // an output option given twice; `typed` names it
    OutputTwice,   // more than one output to standard output ("-")
    ValueMissing,  // --equation, --precision, --method or --stop without its value
    UnknownValue,  // a value those do not know; `typed` is the value, `option` the option
};


// The words --method, --precision and --stop take, in the order --help,
// the page's form and --compare list them.
template <typename Value>
using OptionWord = std::pair<std::string_view, Value>;
inline constexpr OptionWord<Method> MethodWords[] = {
    {"chords", Method::Chords},       {"illinois", Method::Illinois},   {"pegasus", Method::Pegasus},
    {"anderson-bjorck", Method::AndersonBjorck}, {"bisection", Method::Bisection},
    {"newton", Method::Newton},       {"secant", Method::Secant},       {"combined", Method::Combined},
    {"iteration", Method::Iteration}};
inline constexpr OptionWord<Precision> PrecisionWords[] = {
    {"single", Precision::Single}, {"double", Precision::Double}, {"extended", Precision::Wide}};
inline constexpr OptionWord<StopRule> StopRuleWords[] = {
    {"residual", StopRule::Residual}, {"step", StopRule::Step}, {"relative", StopRule::Relative}};

template <typename Value, std::size_t Count>
std::string_view wordOf(const OptionWord<Value> (&words)[Count], Value value) {
    for (const auto& [word, named] : words) {
        if (named == value) {
            return word;
        }
    }
    return {};
}

// The files chords-steps can write beside the table.
enum class OutputKind { Picture, Page, Csv };
inline constexpr std::size_t OutputKinds = 3;

struct StepsArguments {
    StepsAction action = StepsAction::Invalid;
    float xib = 0.0f;
    float xie = 0.0f;
    float epsilon = 0.0f;
    std::uint32_t limit = 0;
    // --svg, --html and --csv, by OutputKind; "-" is standard output.
    std::optional<std::string> files[OutputKinds];
    // --html-app: the page must compute in the browser; without the four
    // numbers it is the lesson's example, 0 1 0.0001 100.
    bool app = false;
    // The arguments that make the run, as typed, the output files left out:
    // what the page's form starts from.
    std::vector<std::string> runArguments;
    bool animate = false;  // --animate: the picture's chords appear one by one
    // A typed equation and the choices that go with it. Without --equation
    // and with all three at their defaults, the fixed equation's own walk.
    std::optional<std::string> equation;
    std::optional<Precision> precision;  // default: single without --equation, else double
    Method method = Method::Chords;
    StopRule stop = StopRule::Residual;
    bool stopGiven = false;  // --stop named (the combined method has its own rule)
    std::optional<std::string> start;  // --x0: Newton's and simple iteration's x_0, as typed
    std::optional<std::string> phi;    // --phi: simple iteration's phi(x), as typed
    bool compare = false;  // --compare: one row per method instead of the table
    // --separate A B [N]: F tabulated on a grid instead of the chords. A and
    // B stand in xib, xie and the first two number texts, read as XIB and
    // XIE are.
    bool separate = false;
    std::uint32_t gridSteps = 20;  // N
    // The first of --method, --stop, --x0, --phi, --compare and --animate
    // typed, which the separation refuses; empty when none was.
    std::string walkOption;
    // The four numbers as typed, for the wider formats; with --equation XIB
    // and XIE may be other texts, constant expressions to the typed run.
    std::string numberTexts[4];
    std::string option;  // for ValueMissing and UnknownValue: the option
    ArgumentFault fault = ArgumentFault::None;
    // For Missing and NotANumber: the number, 0 to 3 (XIB, XIE, EPS, LIMIT)
    // or 4 to 6 (A, B, N of --separate); for the others: the argument's
    // place, counted from 1.
    std::size_t position = 0;
    std::string typed;  // the argument refused, as typed
};

// Whether the run goes through the typed walk: an equation typed, or a
// precision, chord method, stopping rule or comparison other than the fixed
// equation's own. The methods beside the chords take the dialog's F in its
// own model unless an equation, phi or a wider precision is typed.
bool typedWalkWanted(const StepsArguments& parsed);

// "--svg", "--html", "--csv".
const char* outputOptionName(OutputKind kind);

// The names of the numbers, as the usage gives them: XIB, XIE, EPS, LIMIT,
// then --separate's A, B, N.
inline constexpr std::size_t SeparateNumbers = 4;
const char* numberArgumentName(std::size_t index);

// Reads one argument as the dialog reads a typed number: the same scanner and
// rules, but the argument must hold exactly one number, nothing before or
// after it.
bool parseRealArgument(const std::string& text, float& target);
bool parseCountArgument(const std::string& text, std::uint32_t& target);

// The command line without the program's name. --help and --version win over
// everything else; options may stand anywhere.
StepsArguments parseStepsArguments(std::span<const std::string> arguments);
