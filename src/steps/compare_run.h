#pragma once
// The methods compared on one equation and interval: for each, the steps
// it took, the values of F, F' and phi it evaluated, the root, F there,
// the observed order and why it stopped. Included by run.h, whose class
// declares these members.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "solver/method_walk.h"
#include "steps/method_texts.h"

struct CompareRow {
    std::uint64_t steps = 0;
    std::array<std::uint64_t, 3> evaluations{};  // F, F', phi
    bool found = false;
    std::string root;
    std::string residual;
    std::optional<double> order;
    std::string stop;  // why the walk ended, or why the method could not run
};

// An equation that counts the values it is asked for, a value asked again
// at the same point (as the chords ask F(a) and F(b)) counted once.
template <typename Format, typename Inner>
struct CountedEquation {
    using Storage = typename Format::Storage;
    using Work = typename Format::Work;
    Inner& inner;
    std::array<std::uint64_t, 3> counts{};
    // The points asked last, the latest first: a point asked again moves to
    // the front, so that an end the chords keep stays known however long
    // the walk.
    std::array<Storage, 4> recent{};
    std::size_t held = 0;

    Work operator()(Storage x) {
        std::size_t at = 0;
        while (at < held && !Format::sameBits(recent[at], x)) {
            ++at;
        }
        if (at == held) {
            ++counts[0];
            held = std::min(held + 1, recent.size());
            at = held - 1;
        }
        std::copy_backward(recent.begin(), recent.begin() + static_cast<std::ptrdiff_t>(at),
                           recent.begin() + static_cast<std::ptrdiff_t>(at) + 1);
        recent[0] = x;
        return inner(x);
    }
    Work slope(Storage x) {
        ++counts[1];
        return inner.slope(x);
    }
    Work map(Storage x) {
        ++counts[2];
        return inner.map(x);
    }
    std::uint64_t rangeEvents() const {
        if constexpr (requires { inner.rangeEvents(); }) {
            return inner.rangeEvents();
        } else {
            return 0;
        }
    }
};

// Steps this small are rounding, not convergence.
template <typename Format>
double roundingLevel(typename Format::Storage x) {
    return 64 * Format::unit * std::fabs(Format::plotted(Format::widened(x)));
}

// The order p with s_(k+1) ~ C s_k^p, from steps above the format's
// rounding; none where too few steps are left, the walk found nothing, or
// the estimate falls below linear (the steps have not reached the
// asymptotic range).
inline std::optional<double> supportedOrder(std::vector<double> steps, bool found, double roundingLevel) {
    std::erase_if(steps, [roundingLevel](double step) { return step <= roundingLevel; });
    const std::optional<double> order = found ? observedOrder(steps) : std::nullopt;
    constexpr double Linear = 0.9;
    return order && *order >= Linear ? order : std::nullopt;
}

// What a walk ended with, as its row shows it.
template <typename Format, typename Outcome>
void takeOutcome(CompareRow& row, const Outcome& outcome, const std::vector<double>& steps,
                 const std::array<std::uint64_t, 3>& evaluations) {
    row.evaluations = evaluations;
    row.found = outcome.found;
    if (outcome.x) {
        row.root = Format::shown(*outcome.x);
        row.residual = Format::shown(outcome.fx);
        row.order = supportedOrder(steps, outcome.found, roundingLevel<Format>(*outcome.x));
    }
}

template <typename Format, typename Equation>
CompareRow StepsRun<Format, Equation>::compareChords(Method method) {
    CompareRow row;
    std::vector<double> steps;  // |x_n - x_(n-1)|, for the observed order
    EstimateTrail<Numbers> trail;
    CountedEquation<Format, Equation> counted{equation_};
    bool pole = false;
    const Outcome outcome = walkChords<Numbers>(a_, b_, rulesFor(method), counted,
                                                observeSteps(
                                                    [&](std::uint64_t, const Step& step, bool) {
                                                        ++row.steps;
                                                        pole = step.pole;
                                                        if (const auto moved = estimateChord(trail, step).step) {
                                                            steps.push_back(*moved);
                                                        }
                                                        return true;
                                                    },
                                                    [](std::uint64_t, std::uint64_t) {}));
    takeOutcome<Format>(row, outcome, steps, counted.counts);
    row.stop = outcome.found ? methodNoteWords({true, parsed_.stop, method})
               : pole        ? text(TextPoleNotRoot)
                             : text(TextCompareLimit);
    return row;
}

template <typename Format, typename Equation>
CompareRow StepsRun<Format, Equation>::compareMethod(Method method) {
    CompareRow row;
    method_ = method;
    const bool ownRule = method == Method::Bisection || method == Method::Combined;
    if (const std::optional<std::string> reason = ownRule ? std::optional<std::string>() : methodRefusal()) {
        row.stop = *reason;
        return row;
    }
    if (method == Method::Combined && !lesson_.fixedEnd) {
        row.stop = text(TextCombinedNoFourier);
        return row;
    }
    const StopRule rule = method == Method::Bisection ? StopRule::Step : parsed_.stop;
    CountedEquation<Format, MethodEquation<Format, Equation>> counted{methodEquation_};
    std::vector<double> steps;
    MethodNotes last;
    const Outcome outcome = walkMethod<Numbers>(
        startMethod<Numbers>(method, a_, b_, start_, lesson_.fixedEnd == ChordEnd::A, counted),
        MethodRules<Numbers>{epsilon_, parsed_.limit, rule, endsSize_},
        counted, observeSteps(
                     [&](std::uint64_t, const MethodStep<Numbers>& step, bool met) {
                         ++row.steps;
                         if (step.length) {
                             steps.push_back(Format::plotted(*step.length));
                         }
                         last = methodNotes(step, met);
                         last.rule = rule;
                         last.outside = false;
                         return true;
                     },
                     [](std::uint64_t, std::uint64_t) {}));
    takeOutcome<Format>(row, outcome, steps, counted.counts);
    const std::string words = methodNoteWords(last);
    row.stop = words.empty() ? text(TextCompareLimit) : words;
    return row;
}

template <typename Format, typename Equation>
int StepsRun<Format, Equation>::compare() {
    TableOutput table(console_);
    if constexpr (Equation::dialogF) {
        addBytes(table, shownText(table.console, text(TextCompareTitle) + text(TextEquation)));
    } else {
        addBytes(table, shownText(table.console, text(TextCompareTitle) + "F(x) = "));
        addBytes(table, equation_.text);
    }
    addLine(table, "");
    addLine(table, headLines().inputs);
    const auto counts = [](const std::string& f, const std::string& slope, const std::string& map) {
        return padded(f, 7) + padded(slope, 6) + padded(map, 6);
    };
    addLine(table, text(TextCompareHeader) + std::string(42 - text(TextCompareHeader).size(), ' ') +
                       padded(text(TextCompareSteps), 7) + counts("F", "F'", "phi") +
                       padded(text(TextCompareRoot), Format::width) + padded(text(TextCompareResidual), Format::width) +
                       padded(text(TextCompareOrder), 10) + "  " + text(TextCompareStop));
    const Method chosen = method_;
    for (const auto& [word, method] : MethodWords) {
        const CompareRow row = isChordMethod(method) ? compareChords(method) : compareMethod(method);
        const std::string name = text(methodName(method));
        std::string line = name + std::string(42 - std::min<std::size_t>(42, name.size()), ' ');
        const auto count = [&row](std::size_t i) { return std::to_string(row.evaluations[i]); };
        line += padded(std::to_string(row.steps), 7) + counts(count(0), count(1), count(2));
        line += padded(row.found ? row.root : text(TextCompareNotFound), Format::width);
        line += padded(row.found ? row.residual : "-", Format::width);
        line += padded(row.order ? formatEstimate(row.order) : text(TextCompareNone), 10);
        addLine(table, line + "  " + row.stop);
    }
    method_ = chosen;
    addLine(table, text(TextCompareEvaluations));
    addLine(table, text(TextCompareOrderNote));
    addLine(table, text(TextCompareOrderUnknown));
    flushTable(table);
    return outputStatus(console_);
}
