#include "steps/arguments.h"

#include <algorithm>

#include "console/codec/number_scan.h"

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

}  // namespace

const char* numberArgumentName(std::size_t index) {
    static constexpr const char* Names[] = {"XIB", "XIE", "EPS", "LIMIT"};
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
    const auto refuse = [&parsed](ArgumentFault fault, std::size_t position) {
        parsed.fault = fault;
        parsed.position = position;
        return parsed;
    };
    float* const reals[] = {&parsed.xib, &parsed.xie, &parsed.epsilon};
    std::size_t numbers = 0;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool attached = !optionsEnded && argument.starts_with("--svg=");
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (attached || (!optionsEnded && argument == "--svg")) {
            if (parsed.svgFile) {
                return refuse(ArgumentFault::SvgTwice, i + 1);
            }
            const bool fileFollows = i + 1 < arguments.size() && !arguments[i + 1].empty();
            if (attached ? argument.size() == 6 : !fileFollows) {
                return refuse(ArgumentFault::SvgWithoutFile, i + 1);
            }
            parsed.svgFile = attached ? argument.substr(6) : arguments[++i];
        } else if (!optionsEnded && isOption(argument)) {
            return refuse(ArgumentFault::UnknownOption, i + 1);
        } else if (numbers == 4) {
            return refuse(ArgumentFault::Extra, i + 1);
        } else {
            const bool read = numbers < 3 ? parseRealArgument(argument, *reals[numbers])
                                          : parseCountArgument(argument, parsed.limit);
            if (!read) {
                return refuse(ArgumentFault::NotANumber, numbers);
            }
            ++numbers;
        }
    }
    if (numbers < 4) {
        return refuse(ArgumentFault::Missing, numbers);
    }
    parsed.action = StepsAction::Run;
    return parsed;
}
