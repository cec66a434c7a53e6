// The typed walk's room: the expression read, the numbers read into the
// chosen format, the sign test, the fixed end and m1 found soundly, then the
// table (or the comparison of the methods) and the CSV.
#include "steps/typed_steps.h"

#include <mpfr.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "console/codec/number_format.h"
#include "dialog/catalogue.h"
#include "dialog/report.h"
#include "expression/analysis.h"
#include "expression/evaluate.h"
#include "expression/parse.h"
#include "numeric/extended_digits.h"
#include "solver/typed_chord.h"
#include "steps/csv.h"
#include "steps/estimates.h"
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
    if constexpr (LongDoubleIsExtended) {
        return shortestExtendedText(value);
    } else {
        return shortestExtendedText(value);
    }
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
    } else {
        mpfr_t value;
        mpfr_init2(value, std::is_same_v<Format, DoubleFormat> ? 53 : 64);
        mpfr_set_str(value, typed.c_str(), 10, MPFR_RNDN);
        typename Format::Storage result{};
        if constexpr (std::is_same_v<Format, DoubleFormat>) {
            result = mpfr_get_d(value, MPFR_RNDN);
        } else {
            // Through the evaluator's conversion: a constant node holding the text.
            Expression constant;
            constant.text = typed;
            constant.nodes.push_back(Node{NodeKind::Number, FunctionName::Exp, typed, -1, -1, 0});
            constant.root = 0;
            Evaluator evaluator(constant, Precision::Wide);
            result = evaluateExtended(evaluator, toExtended(0.0));
        }
        mpfr_clear(value);
        return result;
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

// The estimates of the lesson's columns, in double.
struct TypedEstimates {
    std::optional<double> step;
    std::optional<double> ratio;
    std::optional<double> bound;
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

// The whole typed run in one format.
template <typename Format>
class TypedRun {
public:
    using Storage = typename Format::Storage;
    using Work = typename Format::Work;

    TypedRun(Console& console, const StepsArguments& parsed, const Expression& expression, std::string equationText)
        : console_(console),
          parsed_(parsed),
          expression_(expression),
          equationText_(std::move(equationText)),
          evaluator_(expression, evaluationOf(Format::precision)) {}

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
    bool intervalAccepted();
    void showHead(TableOutput& table);
    std::string row(std::uint64_t number, const TypedStep<Storage, Work>& step, const TypedEstimates& estimates,
                    bool accuracyMet);
    std::string csvLine(std::uint64_t number, const TypedStep<Storage, Work>& step, const TypedEstimates& estimates,
                        bool accuracyMet);
    void showReport(TableOutput& table, const TypedOutcome<Storage, Work>& outcome);
    int compare();

    Console& console_;
    const StepsArguments& parsed_;
    const Expression& expression_;
    std::string equationText_;
    Evaluator evaluator_;
    Storage a_{};
    Storage b_{};
    Storage epsilon_{};
    std::optional<ChordEnd> fixedEnd_;
    std::optional<double> smallestSlope_;
};

// Today's sign test in the format: an end beyond it, F undefined or beyond
// it at the start, or F(a), stored, times F(b) positive.
template <typename Format>
bool TypedRun<Format>::intervalAccepted() {
    const Work fa = Format::evaluate(evaluator_, a_);
    const Work fb = Format::evaluate(evaluator_, b_);
    const Storage storedFa = storedAs(Storage{}, fa);
    const std::string prefix = text(TextBadIntervalPrefix);
    if (!isFiniteValue(a_) || !isFiniteValue(b_)) {
        showError(console_, prefix + (!isFiniteValue(a_) ? "Xib = " + Format::shown(a_) : "Xie = " + Format::shown(b_)) +
                                text(TextInfiniteEnd));
        return false;
    }
    if (isNanValue(fa) || isNanValue(fb)) {
        showError(console_, prefix + "F(" + Format::shown(isNanValue(fa) ? a_ : b_) + ")" + text(TextUndefinedAtEnd));
        return false;
    }
    if (!isFiniteValue(storedFa)) {
        showError(console_, prefix + "F(" + Format::shown(a_) + ") = " + Format::shownWork(fa) +
                                text(TextStartValueTooLarge));
        return false;
    }
    const Work zero = workOf<Work>(0.0);
    if (widened(storedFa) * fb > zero) {
        const auto sign = [&zero](Work value) { return value > zero ? " > 0" : value < zero ? " < 0" : " = 0"; };
        showError(console_, prefix + "F(" + Format::shown(a_) + ") = " + Format::shown(storedFa) + sign(fa) +
                                text(TextAnd) + "F(" + Format::shown(b_) + ") = " + Format::shownWork(fb) + sign(fb) +
                                text(TextSameSign));
        return false;
    }
    // The end the method keeps: where F*F'' > 0, F'' of one sign over the
    // whole interval, found by interval evaluation of F''.
    const double low = std::min(Format::plotted(widened(a_)), Format::plotted(widened(b_)));
    const double high = std::max(Format::plotted(widened(a_)), Format::plotted(widened(b_)));
    if (const std::optional<int> curvature = curvatureSign(expression_, low, high)) {
        if (widened(storedFa) * workOf<Work>(*curvature) > zero) {
            fixedEnd_ = ChordEnd::A;
        } else if (fb * workOf<Work>(*curvature) > zero) {
            fixedEnd_ = ChordEnd::B;
        }
    }
    smallestSlope_ = smallestSlopeBound(expression_, low, high);
    return true;
}

template <typename Format>
void TypedRun<Format>::showHead(TableOutput& table) {
    const ChordMethod method = methodOf(parsed_.method);
    std::string title = text(TextTitle);
    if (method != ChordMethod::Plain) {
        // "Метод Пегас для уравнения ": the name, its first letter a capital
        // (Windows-1251 keeps them 0x20 apart), and the title's end.
        title = text(methodName(method)) + text(TextTitle).substr(text(TextTitle).find(' ', 6));
        title[0] = static_cast<char>(title[0] - 0x20);
    }
    addBytes(table, shownText(table.console, title + "F(x) = "));
    addBytes(table, equationText_);  // as typed, in the terminal's own characters
    addLine(table, " = 0");
    addLine(table, text(TextInterval) + "Xib = " + Format::shown(a_) + ", Xie = " + Format::shown(b_) +
                       text(TextAccuracy) + Format::shown(epsilon_) + text(TextLimit) + std::to_string(parsed_.limit));
    const CatalogueText& precision = Format::precision == StepsPrecision::Single   ? TextPrecisionSingle
                                     : Format::precision == StepsPrecision::Double ? TextPrecisionDouble
                                                                                   : TextPrecisionExtended;
    addLine(table, text(TextComputedIn) + precision.data() +
                       (parsed_.stop == StepsStop::Step ? TextStopStep : TextStopResidual).data());
    if (fixedEnd_) {
        const bool atA = *fixedEnd_ == ChordEnd::A;
        addLine(table, text(TextFixedEnd) + (atA ? "a = " : "b = ") + Format::shown(atA ? a_ : b_) +
                           text(TextFixedEndTypedRule) + (atA ? "b" : "a") + text(TextMovingEnd));
    } else {
        addLine(table, text(TextNoFixedEndTyped));
    }
    const bool ascending = widened(a_) < widened(b_);
    const std::string interval =
        Format::shown(ascending ? a_ : b_) + ", " + Format::shown(ascending ? b_ : a_);
    addLine(table, text(TextSlopeOn) + interval +
                       (smallestSlope_ ? "] = " + formatEstimate(smallestSlope_) + text(TextSlopeBound)
                                       : text(TextNoSlope)));
    addLine(table, legendLine());
    if (method != ChordMethod::Plain) {
        addLine(table, text(TextScaledLegend));
    }
    addLine(table, countsLine());
    std::string header = padded(text(TextColumnChord), std::max<std::size_t>(5, std::to_string(parsed_.limit).size()));
    for (const char* name : {"a", "b", "F(a)", "F(b)", "x", "F(x)"}) {
        header += padded(name, Format::width);
    }
    header += "  " + text(TextColumnReplaced);
    if (method != ChordMethod::Plain) {
        header += padded(text(TextColumnScale), Format::width);
    }
    for (const CatalogueText* name : {&TextColumnStep, &TextColumnRatio, &TextColumnBound}) {
        header += padded(text(*name), 11);
    }
    addLine(table, header + "  " + text(TextColumnNote));
}

template <typename Format>
std::string TypedRun<Format>::row(std::uint64_t number, const TypedStep<Storage, Work>& step,
                                  const TypedEstimates& estimates, bool accuracyMet) {
    std::string line = padded(std::to_string(number), std::max<std::size_t>(5, std::to_string(parsed_.limit).size()));
    line += padded(Format::shown(step.a), Format::width) + padded(Format::shown(step.b), Format::width);
    line += padded(Format::shownWork(step.fa) + (step.faScaled ? "*" : ""), Format::width);
    line += padded(Format::shownWork(step.fb) + (step.fbScaled ? "*" : ""), Format::width);
    line += padded(step.x ? Format::shown(*step.x) : "-", Format::width);
    line += padded(step.x ? Format::shown(step.fx) : "-", Format::width);
    line += std::string("  ") + (step.replaced == ChordEnd::A ? 'a' : step.replaced == ChordEnd::B ? 'b' : '-') + "     ";
    if (methodOf(parsed_.method) != ChordMethod::Plain) {
        line += padded(step.scale ? Format::shownWork(*step.scale) : "", Format::width);
    }
    for (const auto& value : {estimates.step, estimates.ratio, estimates.bound}) {
        line += padded(estimateText(value), 11);
    }
    std::string note;
    const auto add = [&note](const CatalogueText& words) { note += (note.empty() ? "" : ", ") + text(words); };
    if (step.undefined) {
        add(TextUndefinedAtX);
    } else if (!step.x) {
        add(TextNoChord);
    } else if (accuracyMet) {
        add(TextAccuracyMet);
    }
    if (fixedEnd_ && step.replaced == *fixedEnd_ && methodOf(parsed_.method) == ChordMethod::Plain) {
        add(TextFixedEndReplaced);
    }
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
std::string TypedRun<Format>::csvLine(std::uint64_t number, const TypedStep<Storage, Work>& step,
                                      const TypedEstimates& estimates, bool accuracyMet) {
    std::string line = std::to_string(number);
    const auto field = [&line](const std::string& value) { line.append(",").append(value); };
    field(Format::exact(step.a));
    field(Format::exact(step.b));
    field(Format::exactWork(step.fa));
    field(Format::exactWork(step.fb));
    field(step.x ? Format::exact(*step.x) : std::string());
    field(step.x ? Format::exact(step.fx) : std::string());
    field(step.replaced == ChordEnd::A ? "a" : step.replaced == ChordEnd::B ? "b" : "");
    if (methodOf(parsed_.method) != ChordMethod::Plain) {
        field(step.scale ? Format::exactWork(*step.scale) : std::string());
    }
    for (const std::optional<double>& value : {estimates.step, estimates.ratio, estimates.bound}) {
        field(value ? shownDouble(*value) : std::string());
    }
    std::string note = step.undefined ? "undefined" : !step.x ? "no chord" : accuracyMet ? "accuracy met" : "";
    if (fixedEnd_ && step.replaced == *fixedEnd_ && methodOf(parsed_.method) == ChordMethod::Plain) {
        note.append(note.empty() ? "" : ", ").append("fixed end replaced");
    }
    field(csvField(note));
    return line.append("\r\n");
}

// The dialog's report, for the typed F: F at the root is the walk's own
// F(x), not the fixed equation's. Six significant digits, as the dialog
// writes them: of the float in single, of the value itself otherwise.
template <typename Format>
void TypedRun<Format>::showReport(TableOutput& table, const TypedOutcome<Storage, Work>& outcome) {
    const auto six = [](Storage value) {
        if constexpr (std::is_same_v<Format, SingleFormat>) {
            return formatReal(value);
        } else {
            const double wide = Format::plotted(widened(value));
            if (!std::isfinite(wide)) {
                return dialogForm(std::isinf(wide), std::signbit(wide));
            }
            std::array<char, 40> digits{};
            return std::string(digits.data(),
                               std::to_chars(digits.data(), digits.data() + digits.size(), wide,
                                             std::chars_format::general, 6).ptr);
        }
    };
    if (outcome.found) {
        const std::string x = six(*outcome.x);
        addLine(table, text(TextRoot) + x + " F(" + x + ")=" + six(outcome.fx));
        addLine(table, text(TextIterations) + std::to_string(outcome.counter));
    } else {
        addLine(table, text(TextNotFound));
    }
    flushTable(table);
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
            [&](std::uint64_t, const TypedStep<Storage, Work>& step, bool) {
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
    return console_.output.failed ? ExitRefused : ExitDone;
}

template <typename Format>
int TypedRun<Format>::run() {
    a_ = readNumber<Format>(parsed_.numberTexts[0], parsed_.xib);
    b_ = readNumber<Format>(parsed_.numberTexts[1], parsed_.xie);
    epsilon_ = readNumber<Format>(parsed_.numberTexts[2], parsed_.epsilon);
    if (!intervalAccepted()) {
        return ExitRefused;
    }
    if (parsed_.compare) {
        return compare();
    }
    PictureFile csvFile;
    const std::optional<std::string>& csvName = parsed_.files[static_cast<std::size_t>(OutputKind::Csv)];
    if (csvName && *csvName != "-" && !openPictureFile(csvFile, *csvName)) {
        writeErrorText(console_, (std::string(ProgramName) + ": " + text(TextCsvNotWritten)).c_str());
        writeErrorBytes(console_, csvFile.target + "\n");
        return ExitRefused;
    }
    TableOutput table(console_);
    const bool csvToOutput = csvName && *csvName == "-";
    const auto csvWrite = [&](const std::string& bytes) {
        if (csvToOutput) {
            addBytes(table, bytes);
        } else if (csvName) {
            writePicture(csvFile, bytes);
        }
    };
    const ChordMethod method = methodOf(parsed_.method);
    if (!csvToOutput) {
        showHead(table);
    }
    std::string csvHead = "chord,a,b,F(a),F(b),x,F(x),replaced";
    csvWrite(csvHead + (method != ChordMethod::Plain ? ",scale" : "") + ",step,ratio,bound,note\r\n");
    CachedF<Format> f{evaluator_};
    std::optional<Storage> previousX;
    std::optional<double> previousStep;
    RowFormat rowFormat = rowFormatFor(parsed_.limit, fixedEnd_);
    rowFormat.chordWidth = std::max<std::size_t>(5, std::to_string(parsed_.limit).size());
    EstimateTrail trail{smallestSlope_, std::nullopt, std::nullopt};
    const auto outcome = walkTypedChords(
        parametersFor(method), [&f](Storage x) { return f(x); },
        [&](std::uint64_t number, const TypedStep<Storage, Work>& step, bool accuracyMet) {
            TypedEstimates estimates;
            if (step.x && !step.undefined) {
                if (previousX) {
                    estimates.step = std::fabs(Format::plotted(widened(*step.x) - widened(*previousX)));
                    if (previousStep && *previousStep != 0.0) {
                        estimates.ratio = *estimates.step / *previousStep;
                    }
                }
                if (smallestSlope_) {
                    estimates.bound = std::fabs(Format::plotted(widened(step.fx))) / *smallestSlope_;
                }
                previousX = step.x;
                previousStep = estimates.step;
            }
            if (csvToOutput) {
            } else if constexpr (std::is_same_v<Format, SingleFormat>) {
                if (method == ChordMethod::Plain) {
                    // The dialog's model and method: the fixed table's own rows,
                    // their fields kept from row to row.
                    addChordRow(table, rowFormat, number, chordStepOf(step),
                                estimateChord(trail, chordStepOf(step)), accuracyMet);
                } else {
                    addLine(table, row(number, step, estimates, accuracyMet));
                }
            } else {
                addLine(table, row(number, step, estimates, accuracyMet));
            }
            if (csvName) {
                csvWrite(csvLine(number, step, estimates, accuracyMet));
            }
            return !tableRefused(table);
        },
        [&](std::uint64_t first, std::uint64_t last) {
            if (!csvToOutput) {
                addLine(table, idleRow(first, last, false));
            }
        });
    if (!csvToOutput) {
        showReport(table, outcome);
    }
    flushTable(table);
    if (csvName && !csvToOutput && !commitPictureFile(csvFile)) {
        writeErrorText(console_, (std::string(ProgramName) + ": " + text(TextCsvNotWritten)).c_str());
        writeErrorBytes(console_, csvFile.target + "\n");
        return ExitRefused;
    }
    if (console_.output.failed) {
        showError(console_, text(TextOutputFailed));
        return ExitRefused;
    }
    return ExitDone;
}

}  // namespace

int runTypedSteps(Console& console, const StepsArguments& parsed) {
    if (parsed.files[static_cast<std::size_t>(OutputKind::Picture)] ||
        parsed.files[static_cast<std::size_t>(OutputKind::Page)]) {
        showError(console, text(TextTypedFilesLater));
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
