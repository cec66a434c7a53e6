#include "steps/arguments.h"

#include <algorithm>
#include <utility>

#include "text/number_scan.h"

namespace {

// An argument holds exactly one number, as the dialog's scanner reads it,
// and nothing before or after it (the scanner itself skips leading white
// space, which an argument must not have).
template <typename Scanned>
bool wholeArgument(const std::string& text, const Scanned& scanned) {
    return !text.empty() && !isScanWhiteSpace(static_cast<unsigned char>(text.front())) &&
           scanned.stop == ScanStop::EndOfInput && scanned.consumed == text.size();
}

bool isOption(const std::string& argument) {
    return argument.size() > 2 && argument.starts_with("--");
}

// The options that take a word or an expression: alone ("--method
// pegasus") or with "=" ("--method=pegasus").
struct ValueOption {
    std::string name;
};

std::optional<ValueOption> valueOption(const std::string& argument) {
    for (const char* name : {"--equation", "--precision", "--method", "--stop", "--x0", "--phi"}) {
        const std::string option = name;
        if (argument == option || argument.starts_with(option + "=")) {
            return ValueOption{option};
        }
    }
    return std::nullopt;
}

// The value of a word an option takes; false for a word it does not know.
template <typename Value, std::size_t Count, typename Into>
bool readWord(const OptionWord<Value> (&words)[Count], const std::string& typed, Into& into) {
    for (const auto& [word, value] : words) {
        if (typed == word) {
            into = value;
            return true;
        }
    }
    return false;
}

bool takeValue(StepsArguments& parsed, const std::string& option, const std::string& value) {
    if (option == "--equation") {
        parsed.equation = value;
        return true;
    }
    if (option == "--x0") {
        parsed.start = value;
        return true;
    }
    if (option == "--phi") {
        parsed.phi = value;
        return true;
    }
    if (option == "--precision") {
        return readWord(PrecisionWords, value, parsed.precision);
    }
    if (option == "--method") {
        return readWord(MethodWords, value, parsed.method);
    }
    parsed.stopGiven = readWord(StopRuleWords, value, parsed.stop);
    return parsed.stopGiven;
}

}  // namespace

// The dialog's F keeps its own model (single storage, its own exponential,
// its order of operations) with every method, stop rule and --compare; a
// parsed copy would differ from it in the last bits.
bool typedWalkWanted(const StepsArguments& parsed) {
    return parsed.equation || (parsed.precision && *parsed.precision != Precision::Single) || parsed.phi;
}

const char* outputOptionName(OutputKind kind) {
    static constexpr const char* Names[] = {"--svg", "--html", "--csv"};
    return Names[static_cast<std::size_t>(kind)];
}

const char* numberArgumentName(std::size_t index) {
    static constexpr const char* Names[] = {"XIB", "XIE", "EPS", "LIMIT", "A", "B", "N"};
    return Names[index];
}

bool parseRealArgument(const std::string& text, float& target) {
    const ScannedReal scanned = scanRealText(text);
    if (!wholeArgument(text, scanned)) {
        return false;
    }
    target = scanned.value;
    return true;
}

bool parseCountArgument(const std::string& text, std::uint32_t& target) {
    const ScannedCount scanned = scanCountText(text);
    if (!wholeArgument(text, scanned)) {
        return false;
    }
    target = scanned.value;
    return true;
}

StepsArguments parseStepsArguments(std::span<const std::string> arguments) {
    // As GNU programs do: "--" ends the options, "--svg=FILE" is "--svg FILE".
    const auto optionsEnd = std::find(arguments.begin(), arguments.end(), "--");
    for (const std::string& argument : std::span(arguments.begin(), optionsEnd)) {
        if (argument == "--help" || argument == "--version") {
            StepsArguments chosen;
            chosen.action = argument == "--help" ? StepsAction::Help : StepsAction::Version;
            return chosen;
        }
    }
    StepsArguments parsed;
    // With --equation, XIB and XIE may be constant expressions ("3*pi/2"),
    // read and checked with the equation; the first end that is no number
    // waits here. Without --equation it is refused as it always was: as the
    // first fault of the line, before any fault found after it. So it is
    // too before a fifth number, which says more likely that the shell split
    // an expression typed without quotes ("--equation x^2 - 2 0 1 ...").
    std::optional<std::size_t> endNotNumber;
    std::optional<std::size_t> gridEndNotNumber;
    const auto refuse = [&parsed, &endNotNumber](ArgumentFault fault, std::size_t position,
                                                 const std::string& typed) {
        if (endNotNumber && (!parsed.equation || fault == ArgumentFault::Extra)) {
            fault = ArgumentFault::NotANumber;
            position = *endNotNumber;
        }
        parsed.fault = fault;
        parsed.position = position;
        // The four numbers' texts are kept; the separation's are not.
        const bool kept = fault == ArgumentFault::NotANumber && position < std::size(parsed.numberTexts);
        parsed.typed = kept ? parsed.numberTexts[position] : typed;
        return parsed;
    };
    // The output option an argument names, alone or as "--svg=FILE".
    const auto outputOption = [](const std::string& argument, bool& attached) -> std::optional<OutputKind> {
        for (const OutputKind kind : {OutputKind::Picture, OutputKind::Page, OutputKind::Csv}) {
            const std::string name = outputOptionName(kind);
            attached = argument.starts_with(name + "=");
            if (argument == name || attached) {
                return kind;
            }
        }
        return std::nullopt;
    };
    float* const reals[] = {&parsed.xib, &parsed.xie, &parsed.epsilon};
    std::size_t numbers = 0;
    std::size_t firstNumberAt = 0;  // the first of the four numbers' place, counted from 1
    bool optionsEnded = false;
    bool toOutput = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const std::size_t from = i;
        bool attached = false;
        std::optional<OutputKind> output = optionsEnded ? std::nullopt : outputOption(argument, attached);
        if (!optionsEnded && (argument == "--html-app" || argument.starts_with("--html-app="))) {
            output = OutputKind::Page;
            attached = argument.size() > 10;
            parsed.app = true;
        }
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (output) {
            const std::string name = parsed.app && *output == OutputKind::Page ? "--html-app" : outputOptionName(*output);
            std::optional<std::string>& file = parsed.files[static_cast<std::size_t>(*output)];
            if (file) {
                return refuse(ArgumentFault::OptionTwice, i + 1, name);
            }
            const bool fileFollows = i + 1 < arguments.size() && !arguments[i + 1].empty();
            if (attached ? argument.size() == name.size() + 1 : !fileFollows) {
                return refuse(ArgumentFault::FileMissing, i + 1, name);
            }
            file = attached ? argument.substr(name.size() + 1) : arguments[++i];
            if (*file == "-" && std::exchange(toOutput, true)) {
                return refuse(ArgumentFault::OutputTwice, i + 1, name);
            }
            continue;  // the files are no part of the run the page's form repeats
        } else if (!optionsEnded && (argument == "--animate" || argument == "--compare")) {
            (argument == "--animate" ? parsed.animate : parsed.compare) = true;
            parsed.walkOption = parsed.walkOption.empty() ? argument : parsed.walkOption;
        } else if (!optionsEnded && argument == "--separate") {
            if (std::exchange(parsed.separate, true)) {
                return refuse(ArgumentFault::OptionTwice, i + 1, argument);
            }
            // A and B, then N where the next argument is no option.
            for (std::size_t k = 0; k < 3; ++k) {
                const bool given = i + 1 < arguments.size() && !isOption(arguments[i + 1]) && arguments[i + 1] != "--";
                if (!given) {
                    if (k < 2) {
                        return refuse(ArgumentFault::Missing, SeparateNumbers + k, "");
                    }
                    break;
                }
                const std::string& value = arguments[++i];
                const bool read = k < 2 ? parseRealArgument(value, *reals[k])
                                        : parseCountArgument(value, parsed.gridSteps) && parsed.gridSteps > 0;
                if (k < 2) {
                    parsed.numberTexts[k] = value;
                }
                // A or B may be a constant expression with --equation, which
                // may come later: as with the ends, decided at the end.
                if (!read && k < 2 && !gridEndNotNumber) {
                    gridEndNotNumber = SeparateNumbers + k;
                } else if (!read && k == 2) {
                    return refuse(ArgumentFault::NotANumber, SeparateNumbers + k, value);
                }
            }
        } else if (const std::optional<ValueOption> valued = optionsEnded ? std::nullopt : valueOption(argument)) {
            const bool valueAttached = argument.size() > valued->name.size();
            if (!valueAttached && (i + 1 >= arguments.size() || arguments[i + 1].empty())) {
                parsed.option = valued->name;
                return refuse(ArgumentFault::ValueMissing, i + 1, "");
            }
            const std::string value = valueAttached ? argument.substr(valued->name.size() + 1) : arguments[++i];
            if (valued->name != "--precision" && valued->name != "--equation" && parsed.walkOption.empty()) {
                parsed.walkOption = valued->name;
            }
            if (value.empty() || !takeValue(parsed, valued->name, value)) {
                parsed.option = valued->name;
                return refuse(value.empty() ? ArgumentFault::ValueMissing : ArgumentFault::UnknownValue, i + 1, value);
            }
        } else if (!optionsEnded && isOption(argument)) {
            return refuse(ArgumentFault::UnknownOption, i + 1, argument);
        } else if (numbers == 4) {
            return refuse(ArgumentFault::Extra, i + 1, argument);
        } else {
            firstNumberAt = numbers == 0 ? i + 1 : firstNumberAt;
            const bool read = numbers < 3 ? parseRealArgument(argument, *reals[numbers])
                                          : parseCountArgument(argument, parsed.limit);
            parsed.numberTexts[numbers] = argument;
            if (!read && numbers >= 2) {
                return refuse(ArgumentFault::NotANumber, numbers, argument);
            }
            if (!read && !endNotNumber) {
                endNotNumber = numbers;
            }
            ++numbers;
        }
        parsed.runArguments.insert(parsed.runArguments.end(), arguments.begin() + static_cast<std::ptrdiff_t>(from),
                                   arguments.begin() + static_cast<std::ptrdiff_t>(i + 1));
    }
    // The computing page alone starts from the lesson's example.
    if (parsed.app && numbers == 0 && !parsed.separate) {
        const char* const example[] = {"0", "1", "0.0001", "100"};
        for (; numbers < 4; ++numbers) {
            parsed.runArguments.push_back(example[numbers]);
            parsed.numberTexts[numbers] = example[numbers];
            if (numbers < 3) {
                parseRealArgument(example[numbers], *reals[numbers]);
            }
        }
        parseCountArgument(example[3], parsed.limit);
    }
    if (parsed.separate && numbers > 0) {
        // The grid's numbers stand in place of the four.
        return refuse(ArgumentFault::Extra, firstNumberAt, arguments[firstNumberAt - 1]);
    }
    if (numbers < 4 && !parsed.separate) {
        return refuse(ArgumentFault::Missing, numbers, "");
    }
    if (gridEndNotNumber && !parsed.equation) {
        return refuse(ArgumentFault::NotANumber, *gridEndNotNumber, parsed.numberTexts[*gridEndNotNumber - SeparateNumbers]);
    }
    if (endNotNumber && !parsed.equation) {
        return refuse(ArgumentFault::NotANumber, *endNotNumber, "");
    }
    parsed.action = StepsAction::Run;
    return parsed;
}
