#pragma once
// One chords-steps run, for every equation and format: the arguments read
// into the format, the sign test, the lesson's facts (the end kept, m1), the
// head, the walk told to its observers (the table, the CSV, the picture,
// the page), the report, the files put in place. Or the methods compared.
//
// The equation is the dialog's F (FixedEquation, single format only) or one
// a teacher typed (TypedEquation). The heads say what is true of each: the
// dialog's F names its ends as typed and keeps its end by F'' > 0, a typed
// one names them as the format holds them and keeps its end by the sign of
// F''. Nothing here asks which format it is: the Format record answers.

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "console/console.h"
#include "dialog/catalogue.h"
#include "dialog/report.h"
#include "solver/chord_walk.h"
#include "solver/method_walk.h"
#include "steps/arguments.h"
#include "steps/csv.h"
#include "steps/estimates.h"
#include "steps/formats.h"
#include "steps/lesson_facts.h"
#include "steps/lesson_page.h"
#include "steps/page_app.h"
#include "steps/messages.h"
#include "steps/method_picture.h"
#include "steps/method_table.h"
#include "steps/method_texts.h"
#include "steps/output_files.h"
#include "steps/picture.h"
#include "steps/table.h"
#include "steps/table_output.h"
#include "steps/texts.h"
#include "text/text_codec.h"

// The run's words that do not depend on its format.
std::string padded(const std::string& field, std::size_t width);
const CatalogueText& methodName(Method method);
struct MethodEstimates;
struct CompareRow;
std::string capitalName(Method method);
// The order p with s_(k+1) ~ C s_k^p from the steps of a walk; none with
// fewer than three shrinking steps.
std::optional<double> observedOrder(const std::vector<double>& steps);

// A place on the x axis in double: an extended value beyond the range of
// doubles at the farthest place a picture can take.
template <typename Format>
double placeOf(typename Format::Storage value) {
    constexpr double Farthest = 1e300;
    return std::clamp(Format::plotted(Format::widened(value)), -Farthest, Farthest);
}

// A typed equation as a picture draws it: F over [a, b], named as typed
// (in the caption cut after `captionBytes`), its ends as the format holds
// them.
template <typename Format, typename Equation>
PictureEquation typedPictureEquation(Equation& typed, typename Format::Storage a, typename Format::Storage b,
                                     std::size_t captionBytes) {
    PictureEquation equation;
    equation.f = [&typed](double x) { return typed.plotted(x); };
    equation.a = placeOf<Format>(a);
    equation.b = placeOf<Format>(b);
    equation.title = "F(x) = " + escapedPageText(typed.text) + " = 0";
    equation.caption = typed.text.size() <= captionBytes
                           ? equation.title
                           : "F(x) = " + escapedPageText(typed.text.substr(0, captionBytes - 1)) + "&#8230; = 0";
    equation.aText = Format::shown(a);
    equation.bText = Format::shown(b);
    equation.aLabel = equation.aText;
    equation.bLabel = equation.bText;
    return equation;
}

// What a picture draws of any step (a chord, or a step of another method):
// its ends and their F, and the new point, in double. Where F is not
// defined at x the vertical has nowhere to go.
template <typename Format, typename Drawn, typename Step>
Drawn placedStep(const Step& step) {
    Drawn drawn;
    drawn.a = placeOf<Format>(step.a);
    drawn.b = placeOf<Format>(step.b);
    drawn.fa = Format::plotted(step.fa);
    drawn.fb = Format::plotted(step.fb);
    if (step.x) {
        drawn.x = placeOf<Format>(*step.x);
        drawn.fx = step.undefined ? 0.0 : Format::plotted(Format::widened(step.fx));
    }
    return drawn;
}

// XIB or XIE (the separation's A or B) as a run reads it: for the dialog's
// F as the dialog reads numbers, for a typed one possibly a constant
// expression.
template <typename Format, typename Equation>
typename Format::Storage endOf(const StepsArguments& parsed, std::size_t index) {
    if constexpr (Equation::dialogF) {
        return Format::read(parsed.numberTexts[index], index == 0 ? parsed.xib : parsed.xie);
    } else {
        return readArgument<Format>(parsed.numberTexts[index]);
    }
}

// The end of every run once its table's last lines are added: the table
// flushed, a failed standard output said (the files still written when
// there are any), the files put in place by `finishFiles`, which says its
// own failure.
template <typename FinishFiles>
int endRun(Console& console, TableOutput& table, const OutputFiles& files, FinishFiles&& finishFiles) {
    flushTable(table);
    const bool tableFailed = !anyToOutput(files) && console.output.failed;
    if (tableFailed && !anyActive(files)) {
        showError(console, text(TextOutputFailed));
        return ExitRefused;
    }
    if (!finishFiles()) {
        return ExitRefused;
    }
    if (tableFailed) {
        showError(console, text(TextTableCut));
        return ExitRefused;
    }
    return ExitDone;
}

// The equation as the methods beside the chords see it: F and F' as the
// equation gives them, phi typed or x - F(x)/k.
template <typename Format, typename Equation>
struct MethodEquation {
    using Storage = typename Format::Storage;
    using Work = typename Format::Work;
    Equation& f;
    const std::optional<Work>& divisor;
    const std::function<Work(Storage)>& phi;
    Work operator()(Storage x) { return f(x); }
    Work slope(Storage x) { return f.slope(x); }
    Work map(Storage x) { return phi ? phi(x) : Format::widened(x) - f(x) / *divisor; }
};

// A step of such a method as the page keeps it: its picture and its row.
struct KeptStep {
    DrawnStep drawn;
    StepRow row;
};

template <typename Format, typename Equation>
class StepsRun {
public:
    using Numbers = typename Format::Numbers;
    using Storage = typename Format::Storage;
    using Work = typename Format::Work;
    using Step = Chord<Numbers>;
    using Kept = PageChord<Numbers>;
    using Outcome = WalkOutcome<Numbers>;

    StepsRun(Console& console, const StepsArguments& parsed, Equation& equation)
        : console_(console), parsed_(parsed), equation_(equation), method_(parsed.method) {}

    int run();
    // Simple iteration's phi as typed, and how to bound q = max |phi'| over
    // an interval.
    void usePhi(std::function<Work(Storage)> phi, std::string typed,
                std::function<std::optional<double>(double, double)> contraction) {
        phi_ = std::move(phi);
        phiText_ = std::move(typed);
        phiContraction_ = std::move(contraction);
    }

private:
    // The lines above the table, in Windows-1251.
    struct HeadLines {
        std::string title;  // without the equation where it is typed
        std::string inputs;
        std::optional<std::string> computedIn;
        std::string fixedEnd;
        std::string slope;
        std::string secondBound;  // M1 and the chords' second bound
        std::vector<std::string> legend;
    };

    bool modified() const { return method_ != Method::Chords; }
    // The end whose replacement a row flags: the plain method's alone, for
    // a modified method moves that end by design.
    std::optional<ChordEnd> flaggedEnd() const { return modified() ? std::nullopt : lesson_.fixedEnd; }
    ChordRules<Numbers> rulesFor(Method method) const {
        return {epsilon_, parsed_.limit, method, parsed_.stop, endsSize_};
    }
    // An end or EPS in the head: the dialog's F as typed, a typed one as held.
    static std::string endText(Storage value) {
        if constexpr (Equation::dialogF) {
            return formatShortest(value);
        } else {
            return Format::shown(value);
        }
    }
    std::optional<std::string> rejection(Work fa, Work fb) const;
    HeadLines headLines() const;
    std::string secondBoundLine(const std::string& interval) const;
    std::string headTitle() const;
    void showHead(TableOutput& table) const;
    std::string row(std::uint64_t number, const Step& step, const ChordEstimates& estimates,
                    const ChordNotes& notes) const;
    std::vector<std::string> reportLines(const Outcome& outcome) const;
    int compare();
    CompareRow compareChords(Method method);
    CompareRow compareMethod(Method method);
    PictureEquation pictureEquation();
    PictureStyle pictureStyle(bool inPage) const;
    DrawnChord drawnChordOf(const Kept& chord) const;
    PictureResult pictureResult(const Outcome& outcome) const;
    PageFacts pageFactsStart(PictureEquation equation, const std::vector<std::string>& head);
    std::vector<std::string> pageHead(const HeadLines& head) const;
    void addOutcome(PageFacts& facts, const Outcome& outcome, bool undefinedAtLast) const;
    PageFacts pageFacts(const std::vector<Kept>& chords, const Outcome& outcome);
    PageRow pageRowOf(const Kept& chord) const;
    int refuse(const std::string& reason);
    void showChord(TableOutput& table, std::uint64_t number, const Step& step, const ChordEstimates& estimates,
                   const ChordNotes& notes);
    void startFiles(TableOutput& table);
    void showChordElsewhere(TableOutput& table, const Kept& chord);
    bool finishFiles(TableOutput& table, const Outcome& outcome);
    int finishRun(TableOutput& table, const Outcome& outcome);

    // The methods beside the chords (method_run.h).
    int runMethod();
    const CatalogueText& stopText() const;
    std::optional<std::string> methodRefusal();
    std::vector<std::string> methodHead() const;
    std::string contractionLine() const;
    MethodEstimates methodEstimates(const MethodStep<Numbers>& step) const;
    std::optional<std::string> iterationCountLine(const MethodEstimates& first) const;
    MethodNotes methodNotes(const MethodStep<Numbers>& step, bool met) const;
    std::vector<std::string> methodFields(const MethodStep<Numbers>& step, const MethodEstimates& estimates,
                                          bool exact) const;
    std::string methodRow(std::uint64_t number, const std::vector<std::string>& fields,
                          const MethodNotes& notes) const;
    std::string methodHeader() const;
    std::string foldedMethodRow(const std::string& row, std::optional<std::size_t> columns) const;
    // A method's column as wide as the format's values, or as an estimate.
    static std::size_t columnWidth(const MethodColumn& column) {
        const bool estimate = column.cell == MethodCell::Step || column.cell == MethodCell::Bound;
        return estimate ? EstimateColumnWidth : Format::width;
    }
    MethodWalk<Numbers> methodStart(Method method);
    PictureEquation methodPictureEquation();
    DrawnStep drawnStepOf(const MethodStep<Numbers>& step) const;
    std::string methodPage(const Outcome& outcome);
    std::string chordPage(const Outcome& outcome);

    Console& console_;
    const StepsArguments& parsed_;
    Equation& equation_;
    Method method_;
    Storage a_{};
    Storage b_{};
    Storage epsilon_{};
    LessonFacts lesson_;
    std::optional<Work> endsSize_;  // max |F| at the ends: a rule on the step met above it is a pole
    RowFormat rowFormat_;  // what the fast rows carry from one to the next
    bool tableWanted_ = true;
    // The files beside the table and what they carry from chord to chord.
    OutputFiles files_;
    bool drawn_ = false;  // a picture or a page is wanted
    PictureDrawing drawing_;
    KeptChords<Kept> kept_;
    CsvRows<Format> csvRows_;
    // The methods beside the chords: x_0, and simple iteration's phi.
    Storage start_{};
    std::optional<Work> divisor_;  // k of the default phi(x) = x - F(x)/k
    std::function<Work(Storage)> phi_;
    std::string phiText_;
    std::function<std::optional<double>(double, double)> phiContraction_;
    std::optional<double> contraction_;  // q
    MethodEquation<Format, Equation> methodEquation_{equation_, divisor_, phi_};
    KeptChords<KeptStep> keptSteps_;
    std::string stopNote_;  // the note of the step that ended the walk
    std::string idleNote_;  // the idle stretch that ended it, when there is one
    std::optional<std::string> countLine_;  // simple iteration's a-priori count, after its first row
};

// The sign test in the format: an end beyond it, F undefined or beyond it
// at the start, or F(a), stored, times F(b) positive. The reason, or none
// for an interval the walk may start on.
template <typename Format, typename Equation>
std::optional<std::string> StepsRun<Format, Equation>::rejection(Work fa, Work fb) const {
    const Storage storedFa = Format::stored(fa);
    const std::string prefix = text(TextBadIntervalPrefix);
    if (!Format::finite(a_) || !Format::finite(b_)) {
        return prefix + (!Format::finite(a_) ? "Xib = " + Format::shown(a_) : "Xie = " + Format::shown(b_)) +
               text(Format::beyond);
    }
    if (Format::undefined(fa) || Format::undefined(fb)) {
        return prefix + "F(" + endText(Format::undefined(fa) ? a_ : b_) + ")" + text(TextUndefinedAtEnd);
    }
    if (!Format::finite(storedFa)) {
        return prefix + "F(" + endText(a_) + ") = " + Format::shownWork(fa) + Format::startBeyond();
    }
    const Work zero = Format::work(0.0);
    if (Format::widened(storedFa) * fb > zero) {
        const auto sign = [&zero](Work value) { return value > zero ? " > 0" : value < zero ? " < 0" : " = 0"; };
        return prefix + "F(" + endText(a_) + ") = " + Format::shown(storedFa) + sign(fa) + text(TextAnd) + "F(" +
               endText(b_) + ") = " + Format::shownWork(fb) + sign(fb) + text(TextSameSign);
    }
    return std::nullopt;
}

// "Метод Пегас для уравнения ": a modified method's name, and the title's
// words after "Метод хорд"; then the dialog's F, or the start of a typed one.
template <typename Format, typename Equation>
std::string StepsRun<Format, Equation>::headTitle() const {
    const std::string start =
        modified() ? capitalName(method_) + text(TextTitle).substr(text(TextMethodPlain).size()) : text(TextTitle);
    return start + (Equation::dialogF ? text(TextEquation) + " = 0" : "F(x) = ");
}

template <typename Format, typename Equation>
typename StepsRun<Format, Equation>::HeadLines StepsRun<Format, Equation>::headLines() const {
    HeadLines head;
    head.title = headTitle();
    head.inputs = text(TextInterval) + "Xib = " + endText(a_) + ", Xie = " + endText(b_) + text(TextAccuracy) +
                  endText(epsilon_) + text(TextLimit) + std::to_string(parsed_.limit);
    // The dialog's F says how it computes only where the run is not the
    // dialog's own walk.
    if (!Equation::dialogF || modified() || parsed_.stop != StopRule::Residual) {
        const CatalogueText& stop = parsed_.stop == StopRule::Residual ? TextStopResidual
                                    : parsed_.stop == StopRule::Step   ? TextStopStep
                                                                       : TextStopRelative;
        head.computedIn = text(TextComputedIn) + Format::name.data() + stop.data();
    }
    if (const std::optional<ChordEnd> fixed = lesson_.fixedEnd) {
        const bool atA = *fixed == ChordEnd::A;
        const std::string end = (atA ? "a = " : "b = ") + endText(atA ? a_ : b_);
        // A modified method moves that end too: the rule is the plain method's.
        head.fixedEnd = modified() ? text(TextFixedEndOfPlain) + end + text(TextFixedEndModified)
                                   : text(TextFixedEnd) + end +
                                         text(Equation::dialogF ? TextFixedEndRule : TextFixedEndTypedRule) +
                                         (atA ? "b" : "a") + text(TextMovingEnd);
    } else {
        head.fixedEnd = text(Equation::dialogF ? TextNoFixedEnd : TextNoFixedEndTyped);
    }
    const bool ascending = Format::widened(a_) < Format::widened(b_);
    const std::string interval = endText(ascending ? a_ : b_) + ", " + endText(ascending ? b_ : a_);
    head.slope = text(TextSlopeOn) + interval +
                 (lesson_.smallestSlope ? "] = " + formatEstimate(lesson_.smallestSlope) + text(TextSlopeBound)
                                        : text(TextNoSlope));
    head.secondBound = secondBoundLine(interval);
    head.legend = {};
    if (lesson_.mayBeUnbounded) {
        head.legend.push_back(text(TextMayBeUnbounded));  // a pole: the chords may close in on it
    }
    head.legend.push_back(legendLine());
    if (modified()) {
        head.legend.push_back(text(TextScaledLegend));
    }
    head.legend.push_back(countsLine());
    return head;
}

// M1 and the chords' second bound, or why there is none: the bound wants
// m1 and a finite M1, as the rows do.
template <typename Format, typename Equation>
std::string StepsRun<Format, Equation>::secondBoundLine(const std::string& interval) const {
    const std::string start = text(TextLargestSlopeOn) + interval;
    const std::string formula = text(TextSecondBoundFormula);
    const std::optional<double> largest = lesson_.largestSlope;
    if (!largest || !std::isfinite(*largest)) {
        // A typed F's M1 is not found; the dialog's F's is beyond double.
        return start + text(largest ? TextLargestSlopeBeyond : TextNoLargestSlope) + formula +
               text(TextNoLargestSlopeWhy);
    }
    const std::string found = start + "] = " + formatEstimate(largest);
    if (!lesson_.smallestSlope || *lesson_.smallestSlope == 0.0) {
        return found + text(TextNoSecondBound) + formula + text(TextNoSecondBoundWhy);
    }
    return found + text(TextSecondBound) + formula;
}

template <typename Format, typename Equation>
void StepsRun<Format, Equation>::showHead(TableOutput& table) const {
    const HeadLines head = headLines();
    // On a terminal the prose folds at blanks.
    if constexpr (Equation::dialogF) {
        addProse(table, head.title);
    } else {
        addBytes(table, shownText(table.console, head.title));
        addBytes(table, equation_.text);  // as typed, in the terminal's own characters
        addLine(table, " = 0");
    }
    addProse(table, head.inputs);
    if (head.computedIn) {
        addProse(table, *head.computedIn);
    }
    for (const std::string* line : {&head.fixedEnd, &head.slope, &head.secondBound}) {
        addProse(table, *line);
    }
    for (const std::string& line : head.legend) {
        addProse(table, line);
    }
    addRow(table, columnHeader(table.layout));
}

template <typename Format, typename Equation>
std::string StepsRun<Format, Equation>::row(std::uint64_t number, const Step& step, const ChordEstimates& estimates,
                                            const ChordNotes& notes) const {
    std::string line = padded(std::to_string(number), chordColumnWidth(parsed_.limit));
    line += padded(Format::shown(step.a), Format::width) + padded(Format::shown(step.b), Format::width);
    line += padded(Format::shownWork(step.fa) + (step.faScaled ? "*" : ""), Format::width);
    line += padded(Format::shownWork(step.fb) + (step.fbScaled ? "*" : ""), Format::width);
    line += padded(step.x ? Format::shown(*step.x) : "-", Format::width);
    line += padded(step.x && !step.undefined ? Format::shown(step.fx) : "-", Format::width);
    line += std::string("  ") + (step.replaced == ChordEnd::A ? 'a' : step.replaced == ChordEnd::B ? 'b' : '-') + "     ";
    if (modified()) {
        line += padded(step.scale ? Format::shownWork(*step.scale) : "", Format::width);
    }
    for (const auto& value : {estimates.step, estimates.ratio, estimates.bound, estimates.boundM1}) {
        line += padded(value ? formatEstimate(value) : "", 11);
    }
    if (notes.any()) {
        line += "  " + noteWords(notes);
    }
    while (!line.empty() && line.back() == ' ') {
        line.pop_back();
    }
    return line;
}

// The dialog's report, in the format: F at the root is the walk's own F(x).
template <typename Format, typename Equation>
std::vector<std::string> StepsRun<Format, Equation>::reportLines(const Outcome& outcome) const {
    return ::reportLines(outcome.found, outcome.found ? Format::sixDigits(*outcome.x) : std::string(),
                         Format::sixDigits(outcome.fx), outcome.counter);
}

// ---------------------------------------------------------------------------
// The picture and the page: values in double, as the picture draws them.

template <typename Format, typename Equation>
PictureEquation StepsRun<Format, Equation>::pictureEquation() {
    if constexpr (Equation::dialogF) {
        PictureEquation equation = fixedPictureEquation({a_, b_, epsilon_, parsed_.limit});
        if (modified()) {
            equation.heading = cp1251ToUtf8(capitalName(method_) + ": ");
        }
        return equation;
    } else {
        // The caption's line holds about 80 characters: a longer equation is
        // cut there, the title keeps all of it.
        PictureEquation equation = typedPictureEquation<Format>(equation_, a_, b_, 64);
        equation.heading = cp1251ToUtf8(modified() ? capitalName(method_) + ": " : text(TextCaptionTitle));
        equation.inputs = "Xib = " + equation.aText + ", Xie = " + equation.bText +
                          cp1251ToUtf8(text(TextCaptionAccuracy)) + Format::shown(epsilon_) +
                          cp1251ToUtf8(text(TextCaptionLimit)) + formatCount(parsed_.limit);
        return equation;
    }
}

template <typename Format, typename Equation>
PictureStyle StepsRun<Format, Equation>::pictureStyle(bool inPage) const {
    PictureStyle style;
    style.inPage = inPage;
    style.animate = !inPage && parsed_.animate;
    // The chords' fixed end and scaled values; the other methods count
    // steps, and simple iteration draws its staircase.
    const bool chords = isChordMethod(method_);
    style.fixedEnd = chords ? flaggedEnd() : std::nullopt;
    style.scaledEnds = chords && modified();
    style.insetClearOfCurve = !Equation::dialogF || !chords;
    style.countsSteps = !chords;
    style.staircase = method_ == Method::Iteration;
    return style;
}

template <typename Format, typename Equation>
DrawnChord StepsRun<Format, Equation>::drawnChordOf(const Kept& kept) const {
    DrawnChord chord = placedStep<Format, DrawnChord>(kept.step);
    chord.curveA = kept.curveA;
    chord.curveB = kept.curveB;
    return chord;
}

template <typename Format, typename Equation>
PictureResult StepsRun<Format, Equation>::pictureResult(const Outcome& outcome) const {
    PictureResult result;
    if (outcome.found) {
        result.root = Format::plotted(Format::widened(*outcome.x));
        result.rootText = Format::sixDigits(*outcome.x);
    }
    for (const std::string& line : reportLines(outcome)) {
        result.report.append(result.report.empty() ? "" : "; ").append(cp1251ToUtf8(line));
    }
    return result;
}

template <typename Format, typename Equation>
PageRow StepsRun<Format, Equation>::pageRowOf(const Kept& chord) const {
    const Step& step = chord.step;
    PageRow row;
    row.number = chord.number;
    row.chord = drawnChordOf(chord);
    const char* const dash = "&#8211;";
    row.values = {Format::shown(step.a),
                  Format::shown(step.b),
                  Format::shownWork(step.fa) + (step.faScaled ? "*" : ""),
                  Format::shownWork(step.fb) + (step.fbScaled ? "*" : ""),
                  step.x ? Format::shown(*step.x) : dash,
                  step.x && !step.undefined ? Format::shown(step.fx) : dash};
    row.replaced = step.replaced == ChordEnd::A ? "a" : step.replaced == ChordEnd::B ? "b" : dash;
    if (modified()) {
        row.scale = step.scale ? Format::shownWork(*step.scale) : "";
    }
    row.estimates = chord.estimates;
    row.note = pageText(noteWords(chord.notes));
    row.flagged = chord.notes.fixedEndReplaced;
    return row;
}

// What every page of the run says first: the picture's equation, the form
// and the head's lines; the window's title names the interval.
template <typename Format, typename Equation>
PageFacts StepsRun<Format, Equation>::pageFactsStart(PictureEquation equation, const std::vector<std::string>& head) {
    PageFacts facts;
    facts.equation = std::move(equation);
    facts.style = pictureStyle(true);
    const PageApp app = pageApp(parsed_);
    facts.appForm = app.form;
    facts.appScripts = app.scripts;
    facts.heading = pageText(head.front());
    for (auto line = head.begin() + 1; line != head.end(); ++line) {
        facts.inputs.push_back(pageText(*line));
    }
    facts.title = facts.equation.heading + "Xib = " + facts.equation.aText + ", Xie = " + facts.equation.bText;
    return facts;
}

// The chords' heading (with a typed equation) and inputs.
template <typename Format, typename Equation>
std::vector<std::string> StepsRun<Format, Equation>::pageHead(const HeadLines& head) const {
    std::vector<std::string> lines{head.title, head.inputs};
    if constexpr (!Equation::dialogF) {
        lines.front() += equation_.text + " = 0";
    }
    if (head.computedIn) {
        lines.push_back(*head.computedIn);
    }
    return lines;
}

// What the walk ended with: the picture's result, EPS in the window's
// title, the report and the last approximation.
template <typename Format, typename Equation>
void StepsRun<Format, Equation>::addOutcome(PageFacts& facts, const Outcome& outcome, bool undefinedAtLast) const {
    facts.result = pictureResult(outcome);
    facts.title += cp1251ToUtf8(text(TextCaptionAccuracy)) + endText(epsilon_);
    for (const std::string& line : reportLines(outcome)) {
        facts.report.append(facts.report.empty() ? "" : " ").append(pageText(line));
    }
    if (outcome.x) {
        facts.lastX = Format::shown(*outcome.x) + ", F = " + (undefinedAtLast ? "&#8211;" : Format::shown(outcome.fx));
    }
}

template <typename Format, typename Equation>
PageFacts StepsRun<Format, Equation>::pageFacts(const std::vector<Kept>& chords, const Outcome& outcome) {
    const HeadLines head = headLines();
    PageFacts facts = pageFactsStart(pictureEquation(), pageHead(head));
    addOutcome(facts, outcome, !chords.empty() && chords.back().step.undefined);
    if (Equation::dialogF) {
        facts.report += ' ';  // the dialog's report ends its last line too
    }
    facts.dialogAnswer = Equation::dialogF && std::is_same_v<Numbers, SingleNumbers> && !modified() &&
                         parsed_.stop == StopRule::Residual;
    facts.rule = pageText(text(parsed_.stop == StopRule::Residual ? TextRuleResidual
                               : parsed_.stop == StopRule::Step   ? TextRuleStep
                                                                  : TextRuleRelative));
    facts.chords = kept_.chords;
    const WalkEnd end = walkEndOf(kept_, chords, outcome.found, parsed_.stop, parsed_.limit);
    facts.stop = pageText(stopReason(end, false));
    facts.fixedEnd = pageText(head.fixedEnd);
    facts.bound = pageText(head.slope);
    facts.boundM1 = pageText(head.secondBound);
    for (const std::string& line : head.legend) {
        facts.legend.push_back(pageText(line));
    }
    if (kept_.idleLast > 0) {
        facts.idleRow = pageText(stopReason(end, true));
    }
    return facts;
}

// A refused interval: the reason, and the picture and page of F over the
// interval when they are asked for (an end beyond the format has none).
template <typename Format, typename Equation>
int StepsRun<Format, Equation>::refuse(const std::string& reason) {
    showError(console_, reason);
    if (!Format::finite(a_) || !Format::finite(b_)) {
        return ExitRefused;
    }
    writeRefusedFiles(
        console_, parsed_,
        [&] { return pictureOfRejection(pictureEquation(), pageText(reason), pictureStyle(false)); },
        [&] { return rejectionPageText(pageFactsStart(pictureEquation(), pageHead(headLines())), cp1251ToUtf8(reason)); });
    return ExitRefused;
}

// A chord's row: the dialog's model and method in the fast rows, their
// fields kept from row to row; every other as a line.
template <typename Format, typename Equation>
void StepsRun<Format, Equation>::showChord(TableOutput& table, std::uint64_t number, const Step& step,
                                           const ChordEstimates& estimates, const ChordNotes& notes) {
    if constexpr (std::is_same_v<Numbers, SingleNumbers>) {
        if (!modified()) {
            addChordRow(table, rowFormat_, number, step, estimates, notes);
            return;
        }
    }
    addRow(table, row(number, step, estimates, notes));
}

template <typename Format, typename Equation>
void StepsRun<Format, Equation>::startFiles(TableOutput& table) {
    if (OutputFile& picture = fileOf(files_, OutputKind::Picture); picture.active) {
        writeOutput(picture, table, startPicture(drawing_, pictureEquation(), pictureStyle(false)));
    }
    if (OutputFile& csv = fileOf(files_, OutputKind::Csv); csv.active) {
        csvRows_.scale = modified();
        writeOutput(csv, table, csvHeader(modified()));
    }
    drawn_ = fileOf(files_, OutputKind::Picture).active || fileOf(files_, OutputKind::Page).active;
}

template <typename Format, typename Equation>
void StepsRun<Format, Equation>::showChordElsewhere(TableOutput& table, const Kept& chord) {
    if (OutputFile& picture = fileOf(files_, OutputKind::Picture); picture.active) {
        writeOutput(picture, table, pictureChordOf(drawing_, chord.number, drawnChordOf(chord)));
    }
    if (OutputFile& csv = fileOf(files_, OutputKind::Csv); csv.active) {
        writeOutput(csv, table, csvRow(csvRows_, chord.number, chord.step, chord.estimates, chord.notes));
    }
    if (fileOf(files_, OutputKind::Page).active) {
        keepChord(kept_, chord);
    }
}

template <typename Format, typename Equation>
std::string StepsRun<Format, Equation>::chordPage(const Outcome& outcome) {
    std::vector<PageRow> rows;
    const std::vector<Kept> chords = keptInOrder(kept_);
    for (const Kept& chord : chords) {
        rows.push_back(pageRowOf(chord));
    }
    return lessonPageText(rows, pageFacts(chords, outcome));
}

// Closes the picture and writes the page with the outcome, and puts every
// file in place; false, with the failure said, when one cannot be written.
template <typename Format, typename Equation>
bool StepsRun<Format, Equation>::finishFiles(TableOutput& table, const Outcome& outcome) {
    if (OutputFile& picture = fileOf(files_, OutputKind::Picture); picture.active) {
        writeOutput(picture, table, finishPicture(drawing_, pictureResult(outcome)));
    }
    if (OutputFile& page = fileOf(files_, OutputKind::Page); page.active) {
        writeOutput(page, table, isChordMethod(method_) ? chordPage(outcome) : methodPage(outcome));
    }
    return commitOutputs(console_, files_, table);
}

template <typename Format, typename Equation>
int StepsRun<Format, Equation>::run() {
    a_ = endOf<Format, Equation>(parsed_, 0);
    b_ = endOf<Format, Equation>(parsed_, 1);
    epsilon_ = Format::read(parsed_.numberTexts[2], parsed_.epsilon);
    const Work fa = equation_(a_);
    const Work fb = equation_(b_);
    if (const std::optional<std::string> reason = rejection(fa, fb)) {
        return refuse(*reason);
    }
    lesson_ = equation_.lesson(a_, b_, fa, fb);
    endsSize_ = std::max(Format::magnitudeOf(fa), Format::magnitudeOf(fb));
    if (parsed_.compare) {
        return compare();
    }
    if (!isChordMethod(method_)) {
        return runMethod();
    }
    if (!startWalkOutputs(console_, files_, parsed_)) {
        return ExitRefused;
    }
    TableOutput table(console_);
    startFiles(table);
    tableWanted_ = !anyToOutput(files_);
    const bool filesWanted = anyActive(files_);
    table.columns = outputTerminalColumns();
    table.layout = {chordColumnWidth(parsed_.limit), Format::width, modified()};
    if (tableWanted_) {
        showHead(table);
    }
    rowFormat_ = rowFormatFor(parsed_.limit);
    EstimateTrail<Numbers> trail{lesson_.smallestSlope, lesson_.largestSlope, std::nullopt, std::nullopt};
    bool lastFlagged = false;
    const Outcome outcome = walkChords<Numbers>(
        a_, b_, rulesFor(method_), equation_,
        observeSteps(
            [&](std::uint64_t number, const Step& step, bool met) {
                const ChordEstimates estimates = estimateChord(trail, step);
                const ChordNotes notes = notesOf(step, met, flaggedEnd(), parsed_.stop);
                lastFlagged = notes.fixedEndReplaced;
                if (tableWanted_ && !tableRefused(table)) {
                    showChord(table, number, step, estimates, notes);
                }
                if (filesWanted) {
                    Kept chord{number, step, estimates, notes, std::nullopt, std::nullopt};
                    if (drawn_) {  // F's own values where the chord starts from scaled ones
                        if (step.faScaled) {
                            chord.curveA = Format::plotted(equation_(step.a));
                        }
                        if (step.fbScaled) {
                            chord.curveB = Format::plotted(equation_(step.b));
                        }
                    }
                    showChordElsewhere(table, chord);
                }
                return walkOutputsWantMore(files_, table);
            },
            [&](std::uint64_t first, std::uint64_t last) {
                if (tableWanted_) {
                    addLine(table, idleRow(first, last, lastFlagged));
                }
                kept_.idleFirst = first;
                kept_.idleLast = last;
                kept_.idleFlagged = lastFlagged;
            }));
    return finishRun(table, outcome);
}

// After the walk: the report, and every file put in place; or the files
// dropped when an interrupt came.
template <typename Format, typename Equation>
int StepsRun<Format, Equation>::finishRun(TableOutput& table, const Outcome& outcome) {
    endIfInterrupted(files_, table);
    if (tableWanted_) {
        for (const std::string& line : reportLines(outcome)) {
            addLine(table, line);
        }
    }
    return endRun(console_, table, files_, [&] { return finishFiles(table, outcome); });
}

#include "steps/compare_run.h"
#include "steps/method_run.h"
