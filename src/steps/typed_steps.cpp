// The typed walk's room: the expression read, the numbers read into the
// chosen format, the sign test, the fixed end and m1 found soundly, then the
// table (or the comparison of the methods) and the CSV.
#include "steps/typed_steps.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "text/number_format.h"
#include "text/text_codec.h"
#include "dialog/catalogue.h"
#include "dialog/report.h"
#include "expression/analysis.h"
#include "expression/evaluate.h"
#include "expression/parse.h"
#include "numeric/extended_digits.h"
#include "solver/typed_chord.h"
#include "steps/csv.h"
#include "steps/estimates.h"
#include "steps/lesson_page.h"
#include "steps/output_files.h"
#include "steps/picture.h"
#include "steps/picture_file.h"
#include "steps/table.h"
#include "steps/table_output.h"
#include "steps/messages.h"
#include "steps/texts.h"

namespace {

// The expression repeated with a caret under the fault, and what was
// expected there.
void showExpressionFault(Console& console, const std::string& typed, const ParseResult& result) {
    writeErrorText(console, (std::string(ProgramName) + ": " + text(TextExpressionFault) +
                             parseFaultText(result.fault).data() + "\n")
                                .c_str());
    writeErrorBytes(console, "  " + typed + "\n");
    writeErrorBytes(console, std::string(2 + displayColumn(typed, result.column), ' ') + "^\n");
}

// ---------------------------------------------------------------------------
// The three formats: how a value is read, widened and written.

std::string dialogForm(bool infinite, bool negative) {
    return nonFiniteText(infinite, negative);
}

std::string shownDouble(double value) {
    if (!std::isfinite(value)) {
        return dialogForm(std::isinf(value), std::signbit(value) && !std::isnan(value));
    }
    std::array<char, 40> digits{};
    return {digits.data(), std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr};
}

std::string shownExtended(Extended value) {
    if (!isFinite(value)) {
        return dialogForm(isInfinite(value), signBit(value) && !isNan(value));
    }
    return shortestExtendedText(value);
}

// Each precision's storage and work types, and its own way of writing them:
// nine digits in single (as the fixed table), the shortest form that reads
// back in double and extended.
struct SingleFormat {
    using Storage = float;
    using Work = Extended;
    static constexpr StepsPrecision precision = StepsPrecision::Single;
    static constexpr std::size_t width = 16;
    static std::string shown(float value) { return formatDigits9(value); }
    static std::string shownWork(Extended value) { return formatDigits9(value); }
    static std::string exact(float value) {
        std::array<char, 40> digits{};
        return {digits.data(), std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr};
    }
    static std::string exactWork(Extended value) { return shownExtended(value); }
    static Extended evaluate(Evaluator& evaluator, float x) { return evaluateExtended(evaluator, toExtended(x)); }
    static double plotted(Extended value) { return toDouble(value); }
};

struct DoubleFormat {
    using Storage = double;
    using Work = double;
    static constexpr StepsPrecision precision = StepsPrecision::Double;
    static constexpr std::size_t width = 26;
    static std::string shown(double value) { return shownDouble(value); }
    static std::string shownWork(double value) { return shownDouble(value); }
    static std::string exact(double value) { return shownDouble(value); }
    static std::string exactWork(double value) { return shownDouble(value); }
    static double evaluate(Evaluator& evaluator, double x) { return evaluateDouble(evaluator, x); }
    static double plotted(double value) { return value; }
};

struct ExtendedFormat {
    using Storage = Extended;
    using Work = Extended;
    static constexpr StepsPrecision precision = StepsPrecision::Wide;
    static constexpr std::size_t width = 30;
    static std::string shown(Extended value) { return shownExtended(value); }
    static std::string shownWork(Extended value) { return shownExtended(value); }
    static std::string exact(Extended value) { return shownExtended(value); }
    static std::string exactWork(Extended value) { return shownExtended(value); }
    static Extended evaluate(Evaluator& evaluator, Extended x) { return evaluateExtended(evaluator, x); }
    static double plotted(Extended value) { return toDouble(value); }
};

// A number argument, already checked by the dialog's rules, rounded to the
// format: the dialog's own value in single, the nearest one otherwise.
template <typename Format>
typename Format::Storage readNumber(const std::string& typed, float dialogValue) {
    if constexpr (std::is_same_v<Format, SingleFormat>) {
        (void)typed;
        return dialogValue;
    } else if constexpr (std::is_same_v<Format, DoubleFormat>) {
        return nearestDouble(typed);
    } else {
        return nearestExtended(typed);
    }
}

Precision evaluationOf(StepsPrecision precision) {
    return precision == StepsPrecision::Single   ? Precision::Single
           : precision == StepsPrecision::Double ? Precision::Double
                                                 : Precision::Wide;
}

ChordMethod methodOf(StepsMethod method) {
    switch (method) {
    case StepsMethod::Illinois:
        return ChordMethod::Illinois;
    case StepsMethod::Pegasus:
        return ChordMethod::Pegasus;
    case StepsMethod::AndersonBjorck:
        return ChordMethod::AndersonBjorck;
    case StepsMethod::Chords:
        break;
    }
    return ChordMethod::Plain;
}

const CatalogueText& methodName(ChordMethod method) {
    switch (method) {
    case ChordMethod::Illinois:
        return TextMethodIllinois;
    case ChordMethod::Pegasus:
        return TextMethodPegasus;
    case ChordMethod::AndersonBjorck:
        return TextMethodAndersonBjorck;
    case ChordMethod::Plain:
        break;
    }
    return TextMethodPlain;
}

// "Метод Пегас": the method's name with its first letter a capital
// (Windows-1251 keeps the Russian capitals 0x20 below the small letters).
std::string capitalName(ChordMethod method) {
    std::string name = text(methodName(method));
    name[0] = static_cast<char>(name[0] - 0x20);
    return name;
}

std::string padded(const std::string& field, std::size_t width) {
    std::string line(width - std::min(width, field.size()), ' ');
    return line.append(field);
}

// F with the last few points remembered: in a one-sided walk each chord's
// F(a) is the previous chord's F(x), and F at the fixed end never changes.
template <typename Format>
struct CachedF {
    Evaluator& evaluator;
    std::array<typename Format::Storage, 4> points{};
    std::array<typename Format::Work, 4> values{};
    std::size_t kept = 0;
    typename Format::Work operator()(typename Format::Storage x) {
        for (std::size_t i = 0; i < std::min<std::size_t>(kept, points.size()); ++i) {
            if (sameBitsOf(points[i], x)) {
                return values[i];
            }
        }
        const auto value = Format::evaluate(evaluator, x);
        points[kept % points.size()] = x;
        values[kept % points.size()] = value;
        ++kept;
        return value;
    }
};

std::string estimateText(std::optional<double> value) {
    return value ? formatEstimate(value) : "";
}

struct Walked {
    std::vector<double> steps;  // |x_n - x_(n-1)|, for the observed order
    std::uint64_t chords = 0;
};

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

// A single-precision chord of the plain method as the fixed walk's record.
ChordStep chordStepOf(const TypedStep<float, Extended>& step) {
    ChordStep chord;
    chord.a = step.a;
    chord.b = step.b;
    chord.fa = toFloat(step.fa);
    chord.fb = step.fb;
    chord.x = step.undefined ? std::nullopt : step.x;
    chord.fx = step.fx;
    chord.replaced = step.replaced;
    return chord;
}

// A chord as the page keeps it, with F's own values where the chord starts
// from scaled ones.
template <typename Storage, typename Work>
struct TypedPageChord {
    std::uint64_t number = 0;
    TypedStep<Storage, Work> step;
    ChordEstimates estimates;
    bool accuracyMet = false;
    std::optional<double> curveA;
    std::optional<double> curveB;
};

// The lines above the table, in Windows-1251; the title's equation as typed.
struct HeadLines {
    std::string titleStart;  // before the equation
    std::string inputs;
    std::string computedIn;
    std::string fixedEnd;
    std::string slope;
    std::vector<std::string> legend;
    std::string header;
};

// The files beside the table and what their drawing carries from chord to
// chord.
template <typename Storage, typename Work>
struct TypedFilesOf {
    OutputFiles outputs;
    bool drawn = false;  // a picture or a page is wanted
    PictureDrawing drawing;
    KeptChords<TypedPageChord<Storage, Work>> kept;
};

// The whole typed run in one format.
template <typename Format>
class TypedRun {
public:
    using Storage = typename Format::Storage;
    using Work = typename Format::Work;
    using Step = TypedStep<Storage, Work>;
    using PageChordKept = TypedPageChord<Storage, Work>;
    using TypedFiles = TypedFilesOf<Storage, Work>;

    TypedRun(Console& console, const StepsArguments& parsed, const Expression& expression, std::string equationText)
        : console_(console),
          parsed_(parsed),
          expression_(expression),
          equationText_(std::move(equationText)),
          evaluator_(expression, evaluationOf(Format::precision)),
          method_(methodOf(parsed.method)) {}

    int run();

private:
    TypedParameters<Storage, Work> parametersFor(ChordMethod method) const {
        TypedParameters<Storage, Work> parameters;
        parameters.a = a_;
        parameters.b = b_;
        parameters.epsilon = epsilon_;
        parameters.limit = parsed_.limit;
        parameters.method = method;
        parameters.stop = parsed_.stop == StepsStop::Step ? StopRule::Step : StopRule::Residual;
        return parameters;
    }
    bool modified() const { return method_ != ChordMethod::Plain; }
    std::optional<std::string> rejection();
    void findLesson();
    HeadLines headLines() const;
    void showHead(TableOutput& table);
    std::string noteText(const Step& step, bool accuracyMet) const;
    std::string row(std::uint64_t number, const Step& step, const ChordEstimates& estimates, bool accuracyMet);
    std::string csvLine(std::uint64_t number, const Step& step, const ChordEstimates& estimates, bool accuracyMet);
    std::string sixDigits(Storage value) const;
    std::vector<std::string> reportLines(const TypedOutcome<Storage, Work>& outcome) const;
    int compare();
    // The picture and the page.
    double plottedF(double x);
    PictureEquation pictureEquation();
    PictureStyle pictureStyle(bool inPage) const;
    DrawnChord drawnChordOf(const Step& step, std::optional<double> curveA, std::optional<double> curveB) const;
    PictureResult pictureResult(const TypedOutcome<Storage, Work>& outcome) const;
    PageFacts pageFacts(const std::vector<PageChordKept>& chords, const KeptChords<PageChordKept>& kept,
                        const TypedOutcome<Storage, Work>& outcome);
    PageRow pageRowOf(const PageChordKept& chord) const;
    PageFacts pageFactsStart(const HeadLines& head);
    // The walk with its table and files.
    int refuse(const std::string& reason);
    ChordEstimates estimatesOf(const Step& step);
    void showRow(TableOutput& table, std::uint64_t number, const Step& step, const ChordEstimates& estimates,
                 bool accuracyMet);
    void startFiles(TypedFiles& files, TableOutput& table);
    void showChordElsewhere(TypedFiles& files, TableOutput& table, CachedF<Format>& f, std::uint64_t number,
                            const Step& step, const ChordEstimates& estimates, bool accuracyMet);
    bool finishFiles(TypedFiles& files, TableOutput& table, const TypedOutcome<Storage, Work>& outcome);

    Console& console_;
    const StepsArguments& parsed_;
    const Expression& expression_;
    std::string equationText_;
    Evaluator evaluator_;
    std::optional<Evaluator> plotter_;  // F in double for the curve, made when drawn
    ChordMethod method_;
    Storage a_{};
    Storage b_{};
    Storage epsilon_{};
    std::optional<ChordEnd> fixedEnd_;
    std::optional<double> smallestSlope_;
    // What the rows carry from one to the next.
    std::optional<Storage> previousX_;
    std::optional<double> previousStep_;
    RowFormat rowFormat_;
    EstimateTrail trail_;
};

// Today's sign test in the format: an end beyond it, F undefined or beyond
// it at the start, or F(a), stored, times F(b) positive. The reason, or
// none for an interval the walk may start on.
template <typename Format>
std::optional<std::string> TypedRun<Format>::rejection() {
    const Work fa = Format::evaluate(evaluator_, a_);
    const Work fb = Format::evaluate(evaluator_, b_);
    const Storage storedFa = storedAs(Storage{}, fa);
    const std::string prefix = text(TextBadIntervalPrefix);
    // Beyond the format: single's own words in single, the format's name otherwise.
    const std::string beyond = Format::precision == StepsPrecision::Single   ? text(TextInfiniteEnd)
                               : Format::precision == StepsPrecision::Double ? text(TextBeyondDouble)
                                                                             : text(TextBeyondExtended);
    if (!isFiniteValue(a_) || !isFiniteValue(b_)) {
        return prefix + (!isFiniteValue(a_) ? "Xib = " + Format::shown(a_) : "Xie = " + Format::shown(b_)) + beyond;
    }
    if (isNanValue(fa) || isNanValue(fb)) {
        return prefix + "F(" + Format::shown(isNanValue(fa) ? a_ : b_) + ")" + text(TextUndefinedAtEnd);
    }
    if (!isFiniteValue(storedFa)) {
        return prefix + "F(" + Format::shown(a_) + ") = " + Format::shownWork(fa) +
               (Format::precision == StepsPrecision::Single ? text(TextStartValueTooLarge)
                                                             : beyond + text(TextNoChordThen));
    }
    const Work zero = workOf<Work>(0.0);
    if (widened(storedFa) * fb > zero) {
        const auto sign = [&zero](Work value) { return value > zero ? " > 0" : value < zero ? " < 0" : " = 0"; };
        return prefix + "F(" + Format::shown(a_) + ") = " + Format::shown(storedFa) + sign(fa) + text(TextAnd) +
               "F(" + Format::shown(b_) + ") = " + Format::shownWork(fb) + sign(fb) + text(TextSameSign);
    }
    return std::nullopt;
}

// The end the method keeps, where F*F'' > 0 with F'' of one sign over the
// whole interval, found by interval evaluation of F''; and m1.
template <typename Format>
void TypedRun<Format>::findLesson() {
    const Work fa = widened(storedAs(Storage{}, Format::evaluate(evaluator_, a_)));
    const Work fb = Format::evaluate(evaluator_, b_);
    const Work zero = workOf<Work>(0.0);
    const double low = std::min(Format::plotted(widened(a_)), Format::plotted(widened(b_)));
    const double high = std::max(Format::plotted(widened(a_)), Format::plotted(widened(b_)));
    if (const std::optional<int> curvature = curvatureSign(expression_, low, high)) {
        if (fa * workOf<Work>(*curvature) > zero) {
            fixedEnd_ = ChordEnd::A;
        } else if (fb * workOf<Work>(*curvature) > zero) {
            fixedEnd_ = ChordEnd::B;
        }
    }
    smallestSlope_ = smallestSlopeBound(expression_, low, high);
}

template <typename Format>
HeadLines TypedRun<Format>::headLines() const {
    HeadLines head;
    head.titleStart = text(TextTitle);
    if (modified()) {
        // "Метод Пегас для уравнения ": the name, and the title's words after
        // "Метод хорд".
        head.titleStart = capitalName(method_) + text(TextTitle).substr(text(TextMethodPlain).size());
    }
    head.titleStart += "F(x) = ";
    head.inputs = text(TextInterval) + "Xib = " + Format::shown(a_) + ", Xie = " + Format::shown(b_) +
                  text(TextAccuracy) + Format::shown(epsilon_) + text(TextLimit) + std::to_string(parsed_.limit);
    const CatalogueText& precision = Format::precision == StepsPrecision::Single   ? TextPrecisionSingle
                                     : Format::precision == StepsPrecision::Double ? TextPrecisionDouble
                                                                                   : TextPrecisionExtended;
    head.computedIn = text(TextComputedIn) + precision.data() +
                      (parsed_.stop == StepsStop::Step ? TextStopStep : TextStopResidual).data();
    if (fixedEnd_) {
        const bool atA = *fixedEnd_ == ChordEnd::A;
        const std::string end = (atA ? "a = " : "b = ") + Format::shown(atA ? a_ : b_);
        // A modified method moves that end too: the rule is the plain method's.
        head.fixedEnd = modified() ? text(TextFixedEndOfPlain) + end + text(TextFixedEndModified)
                                   : text(TextFixedEnd) + end + text(TextFixedEndTypedRule) + (atA ? "b" : "a") +
                                         text(TextMovingEnd);
    } else {
        head.fixedEnd = text(TextNoFixedEndTyped);
    }
    const bool ascending = widened(a_) < widened(b_);
    const std::string interval = Format::shown(ascending ? a_ : b_) + ", " + Format::shown(ascending ? b_ : a_);
    head.slope = text(TextSlopeOn) + interval +
                 (smallestSlope_ ? "] = " + formatEstimate(smallestSlope_) + text(TextSlopeBound) : text(TextNoSlope));
    head.legend = {legendLine()};
    if (modified()) {
        head.legend.push_back(text(TextScaledLegend));
    }
    head.legend.push_back(countsLine());
    head.header = padded(text(TextColumnChord), std::max<std::size_t>(5, std::to_string(parsed_.limit).size()));
    for (const char* name : {"a", "b", "F(a)", "F(b)", "x", "F(x)"}) {
        head.header += padded(name, Format::width);
    }
    head.header += "  " + text(TextColumnReplaced);
    if (modified()) {
        head.header += padded(text(TextColumnScale), Format::width);
    }
    for (const CatalogueText* name : {&TextColumnStep, &TextColumnRatio, &TextColumnBound}) {
        head.header += padded(text(*name), 11);
    }
    head.header += "  " + text(TextColumnNote);
    return head;
}

template <typename Format>
void TypedRun<Format>::showHead(TableOutput& table) {
    const HeadLines head = headLines();
    addBytes(table, shownText(table.console, head.titleStart));
    addBytes(table, equationText_);  // as typed, in the terminal's own characters
    addLine(table, " = 0");
    for (const std::string* line : {&head.inputs, &head.computedIn, &head.fixedEnd, &head.slope}) {
        addLine(table, *line);
    }
    for (const std::string& line : head.legend) {
        addLine(table, line);
    }
    addLine(table, head.header);
}

template <typename Format>
std::string TypedRun<Format>::noteText(const Step& step, bool accuracyMet) const {
    std::string note;
    const auto add = [&note](const CatalogueText& words) { note += (note.empty() ? "" : ", ") + text(words); };
    if (step.undefined) {
        add(TextUndefinedAtX);
    } else if (!step.x) {
        add(TextNoChord);
    } else if (accuracyMet) {
        add(TextAccuracyMet);
    }
    if (fixedEnd_ && step.replaced == *fixedEnd_ && !modified()) {
        add(TextFixedEndReplaced);
    }
    return note;
}

template <typename Format>
std::string TypedRun<Format>::row(std::uint64_t number, const Step& step, const ChordEstimates& estimates,
                                  bool accuracyMet) {
    std::string line = padded(std::to_string(number), std::max<std::size_t>(5, std::to_string(parsed_.limit).size()));
    line += padded(Format::shown(step.a), Format::width) + padded(Format::shown(step.b), Format::width);
    line += padded(Format::shownWork(step.fa) + (step.faScaled ? "*" : ""), Format::width);
    line += padded(Format::shownWork(step.fb) + (step.fbScaled ? "*" : ""), Format::width);
    line += padded(step.x ? Format::shown(*step.x) : "-", Format::width);
    line += padded(step.x ? Format::shown(step.fx) : "-", Format::width);
    line += std::string("  ") + (step.replaced == ChordEnd::A ? 'a' : step.replaced == ChordEnd::B ? 'b' : '-') + "     ";
    if (modified()) {
        line += padded(step.scale ? Format::shownWork(*step.scale) : "", Format::width);
    }
    for (const auto& value : {estimates.step, estimates.ratio, estimates.bound}) {
        line += padded(estimateText(value), 11);
    }
    const std::string note = noteText(step, accuracyMet);
    if (!note.empty()) {
        line += "  " + note;
    }
    while (!line.empty() && line.back() == ' ') {
        line.pop_back();
    }
    return line;
}

// Built field by field with append: GCC 12 at -O3 warns wrongly
// (-Wrestrict) about the same line put together with operator+.
template <typename Format>
std::string TypedRun<Format>::csvLine(std::uint64_t number, const Step& step, const ChordEstimates& estimates,
                                      bool accuracyMet) {
    std::string line = std::to_string(number);
    const auto field = [&line](const std::string& value) { line.append(",").append(value); };
    field(Format::exact(step.a));
    field(Format::exact(step.b));
    field(Format::exactWork(step.fa));
    field(Format::exactWork(step.fb));
    field(step.x ? Format::exact(*step.x) : std::string());
    field(step.x ? Format::exact(step.fx) : std::string());
    field(step.replaced == ChordEnd::A ? "a" : step.replaced == ChordEnd::B ? "b" : "");
    if (modified()) {
        field(step.scale ? Format::exactWork(*step.scale) : std::string());
    }
    for (const std::optional<double>& value : {estimates.step, estimates.ratio, estimates.bound}) {
        field(value ? shownDouble(*value) : std::string());
    }
    std::string note = step.undefined ? "undefined" : !step.x ? "no chord" : accuracyMet ? "accuracy met" : "";
    if (fixedEnd_ && step.replaced == *fixedEnd_ && !modified()) {
        note.append(note.empty() ? "" : ", ").append("fixed end replaced");
    }
    field(csvField(note));
    return line.append("\r\n");
}

// Six significant digits, as the dialog writes them: of the float in
// single, of the value itself otherwise.
template <typename Format>
std::string TypedRun<Format>::sixDigits(Storage value) const {
    if constexpr (std::is_same_v<Format, SingleFormat>) {
        return formatReal(value);
    } else if constexpr (std::is_same_v<Format, ExtendedFormat>) {
        if (!isFinite(value)) {
            return dialogForm(isInfinite(value), signBit(value) && !isNan(value));
        }
        return sixSignificantDigits(value);
    } else {
        const double wide = Format::plotted(widened(value));
        if (!std::isfinite(wide)) {
            return dialogForm(std::isinf(wide), std::signbit(wide));
        }
        std::array<char, 40> digits{};
        return std::string(digits.data(), std::to_chars(digits.data(), digits.data() + digits.size(), wide,
                                                        std::chars_format::general, 6)
                                              .ptr);
    }
}

// The dialog's report, for the typed F: F at the root is the walk's own
// F(x), not the fixed equation's.
template <typename Format>
std::vector<std::string> TypedRun<Format>::reportLines(const TypedOutcome<Storage, Work>& outcome) const {
    if (!outcome.found) {
        return {text(TextNotFound)};
    }
    const std::string x = sixDigits(*outcome.x);
    return {text(TextRoot) + x + " F(" + x + ")=" + sixDigits(outcome.fx),
            text(TextIterations) + std::to_string(outcome.counter)};
}

template <typename Format>
int TypedRun<Format>::compare() {
    TableOutput table(console_);
    addBytes(table, shownText(table.console, text(TextCompareTitle)));
    addBytes(table, equationText_);
    addLine(table, "");
    addLine(table, text(TextInterval) + "Xib = " + Format::shown(a_) + ", Xie = " + Format::shown(b_) +
                       text(TextAccuracy) + Format::shown(epsilon_) + text(TextLimit) + std::to_string(parsed_.limit));
    addLine(table, text(TextCompareHeader) +
                       std::string(26 - text(TextCompareHeader).size(), ' ') + padded(text(TextCompareChords), 8) +
                       padded(text(TextCompareRoot), Format::width) + padded(text(TextCompareResidual), Format::width) +
                       padded(text(TextCompareOrder), 10));
    for (const ChordMethod method :
         {ChordMethod::Plain, ChordMethod::Illinois, ChordMethod::Pegasus, ChordMethod::AndersonBjorck}) {
        CachedF<Format> f{evaluator_};
        Walked walked;
        std::optional<Storage> previous;
        const auto outcome = walkTypedChords(
            parametersFor(method), [&f](Storage x) { return f(x); },
            [&](std::uint64_t, const Step& step, bool) {
                ++walked.chords;
                if (step.x) {
                    if (previous) {
                        walked.steps.push_back(std::fabs(Format::plotted(widened(*step.x) - widened(*previous))));
                    }
                    previous = step.x;
                }
                return true;
            },
            [](std::uint64_t, std::uint64_t) {});
        const std::string name = text(methodName(method));
        std::string line = name + std::string(26 - std::min<std::size_t>(26, name.size()), ' ') +
                           padded(std::to_string(walked.chords), 8);
        if (outcome.found) {
            line += padded(Format::shown(*outcome.x), Format::width) + padded(Format::shown(outcome.fx), Format::width);
        } else {
            line += padded(text(TextCompareNotFound), Format::width) + padded("-", Format::width);
        }
        const std::optional<double> order = observedOrder(walked.steps);
        line += padded(order ? formatEstimate(order) : "-", 10);
        addLine(table, line);
    }
    addLine(table, text(TextCompareOrderNote));
    flushTable(table);
    return outputStatus(console_);
}

// ---------------------------------------------------------------------------
// The picture and the page: values in double, as the picture draws them;
// the curve evaluated in double, since it is drawn to the pixel only.

template <typename Format>
double TypedRun<Format>::plottedF(double x) {
    if (!plotter_) {
        plotter_.emplace(expression_, Precision::Double);
    }
    return evaluateDouble(*plotter_, x);
}

// A place on the x axis in double: an extended value beyond the range of
// doubles at the farthest place a picture can take.
template <typename Storage>
double placeOf(Storage value) {
    constexpr double Farthest = 1e300;
    if constexpr (std::is_same_v<Storage, float>) {
        return value;
    } else if constexpr (std::is_same_v<Storage, double>) {
        return std::clamp(value, -Farthest, Farthest);
    } else {
        return std::clamp(toDouble(value), -Farthest, Farthest);
    }
}

template <typename Format>
PictureEquation TypedRun<Format>::pictureEquation() {
    PictureEquation equation;
    equation.f = [this](double x) { return plottedF(x); };
    equation.a = placeOf(a_);
    equation.b = placeOf(b_);
    if (modified()) {
        equation.heading = cp1251ToUtf8(capitalName(method_) + ": ");
    } else {
        equation.heading = cp1251ToUtf8(text(TextCaptionTitle));
    }
    equation.title = "F(x) = " + escapedPageText(equationText_) + " = 0";
    // The caption's line holds about 80 characters: a longer equation is
    // cut there, the title keeps all of it.
    constexpr std::size_t CaptionEquationBytes = 64;
    equation.caption = equationText_.size() <= CaptionEquationBytes
                           ? equation.title
                           : "F(x) = " + escapedPageText(equationText_.substr(0, CaptionEquationBytes - 1)) + "&#8230; = 0";
    equation.aText = Format::shown(a_);
    equation.bText = Format::shown(b_);
    equation.aLabel = equation.aText;
    equation.bLabel = equation.bText;
    equation.inputs = "Xib = " + equation.aText + ", Xie = " + equation.bText + cp1251ToUtf8(text(TextCaptionAccuracy)) +
                      Format::shown(epsilon_) + cp1251ToUtf8(text(TextCaptionLimit)) + formatCount(parsed_.limit);
    return equation;
}

template <typename Format>
PictureStyle TypedRun<Format>::pictureStyle(bool inPage) const {
    PictureStyle style;
    style.inPage = inPage;
    style.animate = !inPage && parsed_.animate;
    style.fixedEnd = modified() ? std::nullopt : fixedEnd_;
    style.scaledEnds = modified();
    style.insetClearOfCurve = true;
    return style;
}

template <typename Format>
DrawnChord TypedRun<Format>::drawnChordOf(const Step& step, std::optional<double> curveA,
                                          std::optional<double> curveB) const {
    DrawnChord chord;
    chord.a = placeOf(step.a);
    chord.b = placeOf(step.b);
    chord.fa = Format::plotted(step.fa);
    chord.fb = Format::plotted(step.fb);
    if (step.x) {
        chord.x = placeOf(*step.x);
        // Where F is not defined the vertical has nowhere to go.
        chord.fx = step.undefined ? 0.0 : Format::plotted(widened(step.fx));
    }
    chord.curveA = curveA;
    chord.curveB = curveB;
    return chord;
}

template <typename Format>
PictureResult TypedRun<Format>::pictureResult(const TypedOutcome<Storage, Work>& outcome) const {
    PictureResult result;
    if (outcome.found) {
        result.root = Format::plotted(widened(*outcome.x));
        result.rootText = sixDigits(*outcome.x);
    }
    for (const std::string& line : reportLines(outcome)) {
        result.report.append(result.report.empty() ? "" : "; ").append(cp1251ToUtf8(line));
    }
    return result;
}

template <typename Format>
PageRow TypedRun<Format>::pageRowOf(const PageChordKept& chord) const {
    const Step& step = chord.step;
    PageRow row;
    row.number = chord.number;
    row.chord = drawnChordOf(step, chord.curveA, chord.curveB);
    const char* const dash = "&#8211;";
    row.values = {Format::shown(step.a), Format::shown(step.b),
                  Format::shownWork(step.fa) + (step.faScaled ? "*" : ""),
                  Format::shownWork(step.fb) + (step.fbScaled ? "*" : ""),
                  step.x ? Format::shown(*step.x) : dash, step.x ? Format::shown(step.fx) : dash};
    row.replaced = step.replaced == ChordEnd::A ? "a" : step.replaced == ChordEnd::B ? "b" : dash;
    if (modified()) {
        row.scale = step.scale ? Format::shownWork(*step.scale) : "";
    }
    row.estimates = chord.estimates;
    row.note = pageText(noteText(step, chord.accuracyMet));
    row.flagged = fixedEnd_ && step.replaced == *fixedEnd_ && !modified();
    return row;
}

// What every page of the run says first: the equation, the heading and the
// inputs.
template <typename Format>
PageFacts TypedRun<Format>::pageFactsStart(const HeadLines& head) {
    PageFacts facts;
    facts.equation = pictureEquation();
    facts.style = pictureStyle(true);
    facts.heading = pageText(head.titleStart + equationText_ + " = 0");
    facts.inputs = {pageText(head.inputs), pageText(head.computedIn)};
    return facts;
}

template <typename Format>
PageFacts TypedRun<Format>::pageFacts(const std::vector<PageChordKept>& chords, const KeptChords<PageChordKept>& kept,
                                      const TypedOutcome<Storage, Work>& outcome) {
    const HeadLines head = headLines();
    PageFacts facts = pageFactsStart(head);
    facts.result = pictureResult(outcome);
    facts.title = facts.equation.heading + "Xib = " + facts.equation.aText + ", Xie = " + facts.equation.bText +
                  cp1251ToUtf8(text(TextCaptionAccuracy)) + Format::shown(epsilon_);
    for (const std::string& line : reportLines(outcome)) {
        facts.report.append(facts.report.empty() ? "" : " ").append(pageText(line));
    }
    if (outcome.x) {
        facts.lastX = Format::shown(*outcome.x) + ", F = " + Format::shown(outcome.fx);
    }
    facts.chords = kept.chords;
    if (outcome.found) {
        facts.stop = pageText(text(parsed_.stop == StepsStop::Step ? TextPageStopStep : TextPageStopAccuracy) +
                              std::to_string(kept.chords));
    } else if (kept.idleLast > 0) {
        facts.stop = pageText(idleRow(kept.idleFirst, kept.idleLast, false));
    } else if (!chords.empty() && chords.back().step.undefined) {
        facts.stop = pageText(text(TextUndefinedAtX));
    } else if (!chords.empty() && !chords.back().step.x) {
        facts.stop = pageText(text(TextNoChord));
    } else {
        facts.stop = pageText(text(TextPageStopLimit) + std::to_string(parsed_.limit));
    }
    facts.fixedEnd = pageText(head.fixedEnd);
    facts.bound = pageText(head.slope);
    for (const std::string& line : head.legend) {
        facts.legend.push_back(pageText(line));
    }
    if (kept.idleLast > 0) {
        facts.idleRow = pageText(idleRow(kept.idleFirst, kept.idleLast, kept.idleFlagged));
    }
    return facts;
}

// A refused interval: the reason, and the picture and page of F over the
// interval when they are asked for (an end beyond the format has none).
template <typename Format>
int TypedRun<Format>::refuse(const std::string& reason) {
    showError(console_, reason);
    if (!isFiniteValue(a_) || !isFiniteValue(b_)) {
        return ExitRefused;
    }
    const std::string reasonUtf8 = cp1251ToUtf8(reason);
    writeRefusedFiles(
        console_, parsed_,
        [&] { return pictureOfRejection(pictureEquation(), escapedPageText(reasonUtf8), pictureStyle(false)); },
        [&] {
            PageFacts facts = pageFactsStart(headLines());
            facts.title = facts.equation.heading + "Xib = " + facts.equation.aText + ", Xie = " + facts.equation.bText;
            return rejectionPageText(facts, reasonUtf8);
        });
    return ExitRefused;
}

// The estimates of a chord that landed, in double; none for one that did
// not.
template <typename Format>
ChordEstimates TypedRun<Format>::estimatesOf(const Step& step) {
    ChordEstimates estimates;
    if (!step.x || step.undefined) {
        return estimates;
    }
    if (previousX_) {
        estimates.step = std::fabs(Format::plotted(widened(*step.x) - widened(*previousX_)));
        if (previousStep_ && *previousStep_ != 0.0) {
            estimates.ratio = *estimates.step / *previousStep_;
        }
    }
    if (smallestSlope_) {
        estimates.bound = std::fabs(Format::plotted(widened(step.fx))) / *smallestSlope_;
    }
    previousX_ = step.x;
    previousStep_ = estimates.step;
    return estimates;
}

template <typename Format>
void TypedRun<Format>::showRow(TableOutput& table, std::uint64_t number, const Step& step,
                               const ChordEstimates& estimates, bool accuracyMet) {
    if constexpr (std::is_same_v<Format, SingleFormat>) {
        if (!modified()) {
            // The dialog's model and method: the fixed table's own rows,
            // their fields kept from row to row.
            addChordRow(table, rowFormat_, number, chordStepOf(step), estimateChord(trail_, chordStepOf(step)),
                        accuracyMet);
            return;
        }
    }
    addLine(table, row(number, step, estimates, accuracyMet));
}

template <typename Format>
void TypedRun<Format>::startFiles(TypedFiles& files, TableOutput& table) {
    if (OutputFile& csv = fileOf(files.outputs, OutputKind::Csv); csv.active) {
        std::string head = "chord,a,b,F(a),F(b),x,F(x),replaced";
        writeOutput(csv, table, head.append(modified() ? ",scale" : "").append(",step,ratio,bound,note\r\n"));
    }
    files.drawn = fileOf(files.outputs, OutputKind::Picture).active || fileOf(files.outputs, OutputKind::Page).active;
    if (OutputFile& picture = fileOf(files.outputs, OutputKind::Picture); picture.active) {
        writeOutput(picture, table, startPicture(files.drawing, pictureEquation(), pictureStyle(false)));
    }
}

template <typename Format>
void TypedRun<Format>::showChordElsewhere(TypedFiles& files, TableOutput& table, CachedF<Format>& f,
                                          std::uint64_t number, const Step& step, const ChordEstimates& estimates,
                                          bool accuracyMet) {
    if (OutputFile& csv = fileOf(files.outputs, OutputKind::Csv); csv.active) {
        writeOutput(csv, table, csvLine(number, step, estimates, accuracyMet));
    }
    if (!files.drawn) {
        return;
    }
    // F's own values where the chord starts from scaled ones.
    const std::optional<double> curveA = step.faScaled ? std::optional<double>(Format::plotted(f(step.a))) : std::nullopt;
    const std::optional<double> curveB = step.fbScaled ? std::optional<double>(Format::plotted(f(step.b))) : std::nullopt;
    if (OutputFile& picture = fileOf(files.outputs, OutputKind::Picture); picture.active) {
        writeOutput(picture, table, pictureChordOf(files.drawing, number, drawnChordOf(step, curveA, curveB)));
    }
    if (fileOf(files.outputs, OutputKind::Page).active) {
        keepChord(files.kept, PageChordKept{number, step, estimates, accuracyMet, curveA, curveB});
    }
}

// Closes the picture and writes the page with the outcome, and puts every
// file in place; false, with the failure said, when one cannot be written.
template <typename Format>
bool TypedRun<Format>::finishFiles(TypedFiles& files, TableOutput& table, const TypedOutcome<Storage, Work>& outcome) {
    if (OutputFile& picture = fileOf(files.outputs, OutputKind::Picture); picture.active) {
        writeOutput(picture, table, finishPicture(files.drawing, pictureResult(outcome)));
    }
    if (OutputFile& page = fileOf(files.outputs, OutputKind::Page); page.active) {
        std::vector<PageRow> rows;
        const std::vector<PageChordKept> chords = keptInOrder(files.kept);
        for (const PageChordKept& chord : chords) {
            rows.push_back(pageRowOf(chord));
        }
        writeOutput(page, table, lessonPageText(rows, pageFacts(chords, files.kept, outcome)));
    }
    if (!commitOutputs(files.outputs, table)) {
        showOutputFailure(console_, files.outputs);
        return false;
    }
    return true;
}

template <typename Format>
int TypedRun<Format>::run() {
    a_ = readNumber<Format>(parsed_.numberTexts[0], parsed_.xib);
    b_ = readNumber<Format>(parsed_.numberTexts[1], parsed_.xie);
    epsilon_ = readNumber<Format>(parsed_.numberTexts[2], parsed_.epsilon);
    if (const std::optional<std::string> reason = rejection()) {
        return refuse(*reason);
    }
    findLesson();
    if (parsed_.compare) {
        return compare();
    }
    TypedFiles files;
    if (!openOutputs(files.outputs, parsed_)) {
        showOutputFailure(console_, files.outputs);
        return ExitRefused;
    }
    watchInterrupts();
    TableOutput table(console_);
    const bool tableWanted = !anyToOutput(files.outputs);
    const bool filesWanted = anyActive(files.outputs);
    if (tableWanted) {
        showHead(table);
    }
    startFiles(files, table);
    rowFormat_ = rowFormatFor(parsed_.limit, fixedEnd_);
    rowFormat_.chordWidth = std::max<std::size_t>(5, std::to_string(parsed_.limit).size());
    trail_ = {smallestSlope_, std::nullopt, std::nullopt};
    CachedF<Format> f{evaluator_};
    const auto outcome = walkTypedChords(
        parametersFor(method_), [&f](Storage x) { return f(x); },
        [&](std::uint64_t number, const Step& step, bool accuracyMet) {
            const ChordEstimates estimates = estimatesOf(step);
            if (tableWanted && !tableRefused(table)) {
                showRow(table, number, step, estimates, accuracyMet);
            }
            showChordElsewhere(files, table, f, number, step, estimates, accuracyMet);
            if (interruptRequested()) {
                return false;
            }
            // Once standard output has failed, the files, if any, still want the rest.
            return filesWanted ? !(!tableWanted && tableRefused(table)) : !tableRefused(table);
        },
        [&](std::uint64_t first, std::uint64_t last) {
            if (tableWanted) {
                addLine(table, idleRow(first, last, false));
            }
            files.kept.idleFirst = first;
            files.kept.idleLast = last;
        });
    if (interruptRequested()) {
        // The table up to its last whole row, and no temporary file left.
        flushTable(table);
        discardOutputs(files.outputs);
        endByInterrupt();
    }
    if (tableWanted) {
        for (const std::string& line : reportLines(outcome)) {
            addLine(table, line);
        }
    }
    flushTable(table);
    const bool tableFailed = tableWanted && console_.output.failed;
    if (tableFailed && !filesWanted) {
        showError(console_, text(TextOutputFailed));
        return ExitRefused;
    }
    if (!finishFiles(files, table, outcome)) {
        return ExitRefused;
    }
    if (tableFailed) {
        showError(console_, text(TextTableCut));
        return ExitRefused;
    }
    return ExitDone;
}

}  // namespace

int runTypedSteps(Console& console, const StepsArguments& parsed) {
    if (parsed.compare && (parsed.files[0] || parsed.files[1] || parsed.files[2])) {
        showError(console, text(TextCompareTableOnly));
        return ExitUsage;
    }
    const std::string typed = parsed.equation.value_or(text(TextFixedEquationText));
    const ParseResult read = parseExpression(typed);
    if (read.fault != ParseFault::None) {
        showExpressionFault(console, typed, read);
        return ExitUsage;
    }
    const StepsPrecision precision =
        parsed.precision.value_or(parsed.equation ? StepsPrecision::Double : StepsPrecision::Single);
    switch (precision) {
    case StepsPrecision::Single:
        return TypedRun<SingleFormat>(console, parsed, read.expression, typed).run();
    case StepsPrecision::Double:
        return TypedRun<DoubleFormat>(console, parsed, read.expression, typed).run();
    case StepsPrecision::Wide:
        return TypedRun<ExtendedFormat>(console, parsed, read.expression, typed).run();
    }
    return ExitUsage;
}
