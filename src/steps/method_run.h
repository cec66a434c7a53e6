#pragma once
// The run of a method beside the chords (bisection, tangents, secants, the
// combined method, simple iteration): the same arguments, sign test and
// report as the chords, a head with the method's conditions and bounds,
// the walk told to the table and the CSV. Included by run.h, whose class
// declares these members.

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "solver/method_walk.h"
#include "steps/method_table.h"
#include "steps/method_texts.h"

// The estimates of one step, in double: the step's length and the bound
// the method's textbook gives for the error of x.
struct MethodEstimates {
    std::optional<double> step;
    std::optional<double> bound;
};

template <typename Format, typename Equation>
const CatalogueText& StepsRun<Format, Equation>::stopText() const {
    if (method_ == Method::Combined) {
        return TextStopCombined;
    }
    const bool half = method_ == Method::Bisection;
    switch (parsed_.stop) {
    case StopRule::Residual:
        return TextStopResidual;
    case StopRule::Step:
        return half ? TextStopHalfWidth : TextStopStepOfMethod;
    case StopRule::Relative:
        return half ? TextStopHalfWidthRelative : TextStopRelative;
    }
    return TextStopResidual;
}

// Why the method cannot run as asked; none when it can. Also fixes x_0
// and phi.
template <typename Format, typename Equation>
std::optional<std::string> StepsRun<Format, Equation>::methodRefusal() {
    if (method_ == Method::Combined && parsed_.stopGiven) {
        return text(TextCombinedOwnStop);
    }
    const std::optional<ChordEnd> fourier = lesson_.fixedEnd;
    if (method_ == Method::Combined && !fourier) {
        return text(TextCombinedNoFourier);
    }
    if (method_ == Method::Newton || method_ == Method::Iteration) {
        if (parsed_.start) {
            // The dialog's F reads numbers only; a typed run has checked the
            // text already, which may be a constant expression.
            if constexpr (Equation::dialogF) {
                float dialogValue = 0.0f;
                if (!parseRealArgument(*parsed_.start, dialogValue)) {
                    return text(TextStartNotNumber);
                }
                start_ = Format::read(*parsed_.start, dialogValue);
            } else {
                start_ = readArgument<Format>(*parsed_.start);
            }
        } else if (method_ == Method::Iteration) {
            start_ = a_;
        } else if (fourier) {
            start_ = *fourier == ChordEnd::A ? a_ : b_;
        } else {
            return text(TextStartNeeded);
        }
    }
    if (method_ == Method::Iteration && phi_) {
        contraction_ = phiContraction_(placeOf<Format>(a_), placeOf<Format>(b_));
    } else if (method_ == Method::Iteration) {
        if (!lesson_.slopeSign || !lesson_.largestSlope) {
            return text(TextPhiNeeded);
        }
        divisor_ = Format::work(*lesson_.largestSlope * *lesson_.slopeSign);
        if (lesson_.smallestSlope) {
            contraction_ = 1.0 - *lesson_.smallestSlope / *lesson_.largestSlope;
        }
    }
    return std::nullopt;
}

template <typename Format, typename Equation>
std::vector<std::string> StepsRun<Format, Equation>::methodHead() const {
    std::string title = capitalName(method_) + text(TextForEquation);
    if constexpr (Equation::dialogF) {
        title += text(TextEquation) + " = 0";
    } else {
        title += "F(x) = " + equation_.text + " = 0";
    }
    std::vector<std::string> lines{title, headLines().inputs,
                                   text(TextComputedIn) + Format::name.data() + stopText().data()};
    std::string conditions = lesson_.slopeSign ? text(TextSlopeKeeps) + (*lesson_.slopeSign > 0 ? "> 0" : "< 0")
                                               : text(TextSlopeMayChange);
    conditions += lesson_.curvatureSign ? text(TextCurvatureKeeps) + (*lesson_.curvatureSign > 0 ? "> 0" : "< 0")
                                        : text(TextCurvatureMayChange);
    lines.push_back(conditions);
    if (lesson_.mayBeUnbounded) {
        lines.push_back(text(TextMayBeUnbounded));
    }
    const auto shownBound = [](const std::optional<double>& value) {
        return value ? formatEstimate(value) : text(TextNoBound);
    };
    switch (method_) {
    case Method::Bisection: {
        const auto count = bisectionCount<Numbers>(a_, b_, epsilon_);
        lines.push_back(count ? text(TextBisectionCount) + std::to_string(*count) + text(TextBisectionCountRule)
                              : text(TextBisectionNoCount));
        break;
    }
    case Method::Newton:
        lines.push_back("x0 = " + endText(start_) +
                        (parsed_.start ? text(TextStartGiven) : text(TextStartFourier)));
        lines.push_back(text(TextNewtonBound) + shownBound(lesson_.largestCurvature) + ", m1 = " +
                        shownBound(lesson_.smallestSlope));
        break;
    case Method::Secant:
        lines.push_back(text(TextSecantBound) + shownBound(lesson_.smallestSlope));
        break;
    case Method::Combined: {
        const bool atA = *lesson_.fixedEnd == ChordEnd::A;
        lines.push_back(text(TextCombinedTangent) + (atA ? "a = " : "b = ") + endText(atA ? a_ : b_) +
                        text(TextCombinedChords));
        break;
    }
    default: {
        lines.push_back("x0 = " + endText(start_) + (parsed_.start ? text(TextStartGiven) : ""));
        lines.push_back(phi_ ? text(TextPhiTyped) + phiText_
                             : text(TextPhiDefault) + formatEstimate(Format::plotted(*divisor_)));
        lines.push_back(contractionLine());
        break;
    }
    }
    return lines;
}

// q, what it promises, and the a-priori count once the first step is known
// is left to the table: the head states q and the bound's formula.
template <typename Format, typename Equation>
std::string StepsRun<Format, Equation>::contractionLine() const {
    if (!contraction_) {
        return text(TextQUnknown);
    }
    const std::string q = text(phi_ ? TextContraction : TextContractionDefault) + formatEstimate(contraction_);
    return *contraction_ < 1.0 ? q + text(TextIterationBound) : q + text(TextQNotBelowOne);
}

// Simple iteration's a-priori count, told once the first step is known.
template <typename Format, typename Equation>
std::optional<std::string> StepsRun<Format, Equation>::iterationCountLine(const MethodEstimates& first) const {
    if (method_ != Method::Iteration || !contraction_ || !first.step) {
        return std::nullopt;
    }
    const std::optional<std::uint32_t> count =
        iterationCount(*contraction_, *first.step, Format::plotted(Format::widened(epsilon_)));
    if (!count) {
        return std::nullopt;
    }
    return text(TextBisectionCount) + std::to_string(*count) + text(TextIterationCountRule);
}

template <typename Format, typename Equation>
MethodEstimates StepsRun<Format, Equation>::methodEstimates(const MethodStep<Numbers>& step) const {
    MethodEstimates estimates;
    if (!step.x || !step.length) {
        return estimates;
    }
    const double length = Format::plotted(*step.length);
    estimates.step = length;
    const std::optional<double> m1 = lesson_.smallestSlope;
    switch (method_) {
    case Method::Bisection:
        estimates.bound = length;
        break;
    case Method::Newton:
        if (m1 && lesson_.largestCurvature) {
            estimates.bound = *lesson_.largestCurvature / (2 * *m1) * length * length;
        }
        break;
    case Method::Secant:
        if (m1 && !step.undefined) {
            estimates.bound = std::fabs(Format::plotted(Format::widened(step.fx))) / *m1;
        }
        break;
    case Method::Iteration:
        if (contraction_ && *contraction_ < 1.0) {
            estimates.bound = *contraction_ / (1 - *contraction_) * length;
        }
        break;
    default:
        break;
    }
    return estimates;
}

template <typename Format, typename Equation>
MethodNotes StepsRun<Format, Equation>::methodNotes(const MethodStep<Numbers>& step, bool met) const {
    MethodNotes notes;
    notes.met = met;
    notes.rule = parsed_.stop;
    notes.method = method_;
    notes.exactZero = met && Format::widened(step.fx) == Format::work(0.0) && method_ == Method::Bisection;
    notes.undefined = step.x && step.undefined;
    notes.flat = step.flat;
    notes.noPoint = !step.x && !step.flat;
    notes.outside = step.x && step.outside;
    notes.pole = step.pole;
    return notes;
}

// A row's fields, the table's and the CSV's, column by column.
template <typename Format, typename Equation>
std::vector<std::string> StepsRun<Format, Equation>::methodFields(const MethodStep<Numbers>& step,
                                                                  const MethodEstimates& estimates, bool exact) const {
    const auto point = [exact](const std::optional<Storage>& value) {
        return value ? (exact ? Format::exact(*value) : Format::shown(*value)) : std::string(exact ? "" : "-");
    };
    const auto work = [exact](Work value) { return exact ? Format::exactWork(value) : Format::shownWork(value); };
    const auto estimate = [exact](const std::optional<double>& value) {
        return exact ? (value ? formats::toChars(*value) : std::string()) : (value ? formatEstimate(value) : "");
    };
    std::vector<std::string> fields;
    for (const MethodColumn& column : methodColumns(method_)) {
        switch (column.cell) {
        case MethodCell::A:
            fields.push_back(point(step.a));
            break;
        case MethodCell::B:
            fields.push_back(point(step.b));
            break;
        case MethodCell::FA:
            fields.push_back(work(step.fa));
            break;
        case MethodCell::Slope:
            fields.push_back(step.x || step.flat ? work(step.slope) : point(std::nullopt));
            break;
        case MethodCell::ChordX:
            fields.push_back(point(step.chordX));
            break;
        case MethodCell::TangentX:
            fields.push_back(point(step.tangentX));
            break;
        case MethodCell::X:
            fields.push_back(point(step.x));
            break;
        case MethodCell::FX:
            fields.push_back(point(step.x && !step.undefined ? std::optional(step.fx) : std::nullopt));
            break;
        case MethodCell::Step:
            fields.push_back(estimate(estimates.step));
            break;
        case MethodCell::Bound:
            fields.push_back(estimate(estimates.bound));
            break;
        }
    }
    return fields;
}

template <typename Format, typename Equation>
std::string StepsRun<Format, Equation>::methodRow(std::uint64_t number, const std::vector<std::string>& fields,
                                                  const MethodNotes& notes) const {
    std::string line = padded(std::to_string(number), chordColumnWidth(parsed_.limit));
    const std::vector<MethodColumn> columns = methodColumns(method_);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        line += padded(fields[i], columnWidth(columns[i]));
    }
    const std::string words = methodNoteWords(notes);
    if (!words.empty()) {
        line += "  " + words;
    }
    while (!line.empty() && line.back() == ' ') {
        line.pop_back();
    }
    return line;
}

// A row wider than the terminal, cut at its columns' edges as the chords'
// rows are.
template <typename Format, typename Equation>
std::string StepsRun<Format, Equation>::foldedMethodRow(const std::string& row,
                                                        std::optional<std::size_t> columns) const {
    if (!columns || row.size() <= *columns) {
        return row;
    }
    const std::size_t numberWidth = chordColumnWidth(parsed_.limit);
    std::vector<std::size_t> edges{numberWidth};
    for (const MethodColumn& column : methodColumns(method_)) {
        edges.push_back(edges.back() + columnWidth(column));
    }
    return foldAtEdges(row, edges, numberWidth, *columns);
}

template <typename Format, typename Equation>
std::string StepsRun<Format, Equation>::methodHeader() const {
    std::string header = padded("n", chordColumnWidth(parsed_.limit));
    for (const MethodColumn& column : methodColumns(method_)) {
        header += padded(column.shown, columnWidth(column));
    }
    return header + "  " + text(TextColumnNote);
}

template <typename Format, typename Equation>
MethodWalk<typename Format::Numbers> StepsRun<Format, Equation>::methodStart(Method method) {
    const bool tangentAtA = lesson_.fixedEnd == ChordEnd::A;
    return startMethod<Numbers>(method, a_, b_, start_, tangentAtA, methodEquation_);
}

template <typename Format, typename Equation>
int StepsRun<Format, Equation>::runMethod() {
    if (const std::optional<std::string> reason = methodRefusal()) {
        showError(console_, reason->c_str());
        return ExitUsage;
    }
    if (!startWalkOutputs(console_, files_, parsed_)) {
        return ExitRefused;
    }
    TableOutput table(console_);
    OutputFile& csv = fileOf(files_, OutputKind::Csv);
    if (csv.active) {
        writeOutput(csv, table, methodCsvHeader(method_));
    }
    OutputFile& picture = fileOf(files_, OutputKind::Picture);
    if (picture.active) {
        writeOutput(picture, table, startMethodPicture(drawing_, methodPictureEquation(), pictureStyle(false)));
    }
    const bool paged = fileOf(files_, OutputKind::Page).active;
    tableWanted_ = !anyToOutput(files_);
    table.columns = outputTerminalColumns();
    if (tableWanted_) {
        for (const std::string& line : methodHead()) {
            addProse(table, line);
        }
        addLine(table, foldedMethodRow(methodHeader(), table.columns));
    }
    const MethodRules<Numbers> rules{epsilon_, parsed_.limit, parsed_.stop, endsSize_};
    const Outcome outcome = walkMethod<Numbers>(
        methodStart(method_), rules, methodEquation_,
        observeSteps(
            [&](std::uint64_t number, const MethodStep<Numbers>& step, bool met) {
                const MethodEstimates estimates = methodEstimates(step);
                const MethodNotes notes = methodNotes(step, met);
                if (number == 1) {
                    countLine_ = iterationCountLine(estimates);
                }
                if (tableWanted_ && !tableRefused(table)) {
                    addLine(table, foldedMethodRow(methodRow(number, methodFields(step, estimates, false), notes),
                                                   table.columns));
                    if (number == 1 && countLine_) {
                        addProse(table, *countLine_);
                    }
                }
                if (csv.active) {
                    std::string line = std::to_string(number);
                    for (const std::string& field : methodFields(step, estimates, true)) {
                        line.append(",").append(field);
                    }
                    writeOutput(csv, table, line.append(",").append(csvField(methodNoteCsv(notes))).append("\r\n"));
                }
                if (picture.active) {
                    writeOutput(picture, table, pictureStepOf(drawing_, method_, number, drawnStepOf(step)));
                }
                if (paged) {
                    StepRow row{number, {}, pageText(methodNoteWords(notes))};
                    for (const std::string& field : methodFields(step, estimates, false)) {
                        row.cells.push_back(pageText(field));
                    }
                    keepChord(keptSteps_, KeptStep{drawnStepOf(step), std::move(row)});
                }
                if (met || stepEnds(step) || step.pole) {
                    stopNote_ = methodNoteWords(notes);
                }
                return walkOutputsWantMore(files_, table);
            },
            [&](std::uint64_t first, std::uint64_t last) {
                idleNote_ = methodIdleRow(first, last);
                if (tableWanted_) {
                    addLine(table, idleNote_);
                }
            }));
    return finishRun(table, outcome);
}

// ---------------------------------------------------------------------------
// The picture and the page of a method beside the chords.

// F over the interval; for simple iteration phi, evaluated as the walk
// evaluates it, the staircase's curve.
template <typename Format, typename Equation>
PictureEquation StepsRun<Format, Equation>::methodPictureEquation() {
    PictureEquation equation = pictureEquation();
    equation.heading = cp1251ToUtf8(capitalName(method_) + ": ");
    if (method_ == Method::Iteration) {
        equation.f = [this](double x) {
            return Format::plotted(methodEquation_.map(Format::stored(Format::work(x))));
        };
        equation.convex = false;
    }
    return equation;
}

template <typename Format, typename Equation>
DrawnStep StepsRun<Format, Equation>::drawnStepOf(const MethodStep<Numbers>& step) const {
    DrawnStep drawn = placedStep<Format, DrawnStep>(step);
    drawn.slope = Format::plotted(step.slope);
    if (step.chordX && step.tangentX) {
        drawn.chordX = placeOf<Format>(*step.chordX);
        drawn.tangentX = placeOf<Format>(*step.tangentX);
    }
    drawn.tangentAtA = lesson_.fixedEnd == ChordEnd::A;
    return drawn;
}

// The head's lines over the summary, the picture of the kept steps and
// their table.
template <typename Format, typename Equation>
std::string StepsRun<Format, Equation>::methodPage(const Outcome& outcome) {
    StepsPage page;
    std::vector<std::string> head = methodHead();
    if (countLine_) {
        head.push_back(*countLine_);
    }
    page.facts = pageFactsStart(methodPictureEquation(), head);
    PageFacts& facts = page.facts;
    addOutcome(facts, outcome, Format::undefined(Format::widened(outcome.fx)));
    facts.chords = keptSteps_.chords;
    if (!idleNote_.empty()) {
        facts.idleRow = pageText(idleNote_);
    }
    facts.stop = !idleNote_.empty()  ? *facts.idleRow
                 : stopNote_.empty() ? pageText(text(TextPageStopLimit) + std::to_string(parsed_.limit))
                                     : pageText(stopNote_);
    page.columns.push_back("n");
    for (const MethodColumn& column : methodColumns(method_)) {
        page.columns.push_back(pageText(column.shown));
    }
    page.columns.push_back(pageText(text(TextColumnNote)));
    std::vector<StepRow> rows;
    PictureDrawing drawing;
    page.picture = startMethodPicture(drawing, facts.equation, facts.style);
    for (const KeptStep& kept : keptInOrder(keptSteps_)) {
        page.picture += pictureStepOf(drawing, method_, kept.row.number, kept.drawn);
        rows.push_back(kept.row);
    }
    page.picture += finishPicture(drawing, facts.result);
    return stepsPageText(rows, page);
}
