#pragma once
// chords-steps --separate A B [N]: F tabulated at the points of a uniform
// grid over [A, B] (the solver's separateRoots), written as a table on
// standard output, then every interval between neighbouring points where F
// changes sign, with the command that walks it by chords, and every root on
// the grid; on request the same as CSV, a picture and a page. For the
// dialog's F and a typed one, in every format: the Format record answers
// what differs.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "solver/separation.h"
#include "steps/run.h"
#include "steps/separation_picture.h"

template <typename Format, typename Equation>
class SeparationRun {
public:
    using Numbers = typename Format::Numbers;
    using Storage = typename Format::Storage;
    using Work = typename Format::Work;
    using Point = GridPoint<Numbers>;

    SeparationRun(Console& console, const StepsArguments& parsed, Equation& equation)
        : console_(console), parsed_(parsed), equation_(equation) {}

    int run();

private:
    // What the lines after the table tell: an interval where F changes
    // sign, or a root on the grid. The first MostFindings are kept.
    struct Finding {
        bool root = false;
        Storage left{};
        Storage right{};
    };
    static constexpr std::size_t MostFindings = 1000;

    // A point as an argument to another run, reading back as the same value:
    // the dialog's F as its head names numbers, a typed one as the format
    // holds them.
    static std::string argumentText(Storage value) {
        if constexpr (Equation::dialogF) {
            return formatShortest(value);
        } else {
            return Format::shown(value);
        }
    }
    std::string equationText() const {
        if constexpr (Equation::dialogF) {
            return text(TextFixedEquationText);
        } else {
            return equation_.text;
        }
    }
    std::size_t indexWidth() const { return std::to_string(parsed_.gridSteps).size() + 2; }
    std::optional<std::string> rejection() const;
    // The head's first line after the equation, Windows-1251.
    std::string titleRest() const {
        return text(TextSeparateOn) + argumentText(a_) + ", " + argumentText(b_) + text(TextSeparateSteps) +
               formatCount(parsed_.gridSteps);
    }
    std::vector<std::string> headProse() const;
    static std::string signText(const Point& point) {
        const int sign = signOf(point);
        return !point.defined ? text(TextSignUndefined) : sign > 0 ? "+" : sign < 0 ? "-" : "0";
    }
    std::string row(const Point& point) const;
    // "Смена знака на [L, R]: " (Windows-1251) and the command, in the
    // terminal's characters as the equation was typed; a root in one line.
    std::pair<std::string, std::string> findingLine(const Finding& finding) const;
    std::vector<std::string> closingLines(const SeparationCounts& counts) const;
    void keepPoint(TableOutput& table, const Point& point, const Point* previous, bool change);
    PictureEquation pictureEquation();
    bool finishFiles(TableOutput& table, const SeparationCounts& counts);

    Console& console_;
    const StepsArguments& parsed_;
    Equation& equation_;
    Storage a_{};
    Storage b_{};
    bool tableWanted_ = true;
    std::vector<Finding> findings_;
    std::uint64_t findingsLeftOut_ = 0;
    OutputFiles files_;
    bool drawn_ = false;
    SeparationDrawing drawing_;
    KeptChords<SeparationRow> kept_;
};

template <typename Format, typename Equation>
std::optional<std::string> SeparationRun<Format, Equation>::rejection() const {
    const std::string prefix = text(TextBadIntervalPrefix);
    if (!Format::finite(a_) || !Format::finite(b_)) {
        return prefix + (!Format::finite(a_) ? "A = " + Format::shown(a_) : "B = " + Format::shown(b_)) +
               text(Format::beyond);
    }
    const Work width = Format::widened(b_) - Format::widened(a_);
    if (!Format::finiteWork(width)) {
        return prefix + "B - A = " + Format::shownWork(width) + text(Format::beyond);
    }
    if (Format::sameBits(a_, b_) || width == Format::work(0.0)) {
        return prefix + "A = B = " + argumentText(a_) + text(TextSeparateEmpty);
    }
    return std::nullopt;
}

template <typename Format, typename Equation>
std::vector<std::string> SeparationRun<Format, Equation>::headProse() const {
    std::vector<std::string> lines;
    if (!Equation::dialogF) {
        lines.push_back(text(TextComputedIn) + Format::name.data());
    }
    const Work step = (Format::widened(b_) - Format::widened(a_)) / Format::work(static_cast<double>(parsed_.gridSteps));
    lines.push_back(text(TextSeparateGrid) + Format::shownWork(step));
    lines.push_back(text(TextSeparateLegend) + text(TextSeparateLegendChange));
    return lines;
}

template <typename Format, typename Equation>
std::string SeparationRun<Format, Equation>::row(const Point& point) const {
    std::string line = padded(std::to_string(point.index), indexWidth()) + padded(Format::shown(point.x), Format::width) +
                       padded(point.defined ? Format::shown(point.fx) : "-", Format::width) + "  " + signText(point);
    if (point.rangeReported) {
        line += "  " + text(TextOverflowMark);
    }
    return line;
}

template <typename Format, typename Equation>
std::pair<std::string, std::string> SeparationRun<Format, Equation>::findingLine(const Finding& finding) const {
    if (finding.root) {
        return {text(TextGridRoot) + argumentText(finding.left) + ", F(x) = 0", ""};
    }
    std::string command = ProgramName;
    if (parsed_.equation) {
        // In double quotes, which every shell and cmd take alike: an
        // expression holds no quote, dollar or backslash.
        command += " --equation \"" + *parsed_.equation + "\"";
    }
    if (parsed_.precision) {
        command.append(" --precision ").append(wordOf(PrecisionWords, *parsed_.precision));
    }
    command += " " + argumentText(finding.left) + " " + argumentText(finding.right) + " EPS LIMIT";
    return {text(TextSignChange) + argumentText(finding.left) + ", " + argumentText(finding.right) + "]: ", command};
}

template <typename Format, typename Equation>
std::vector<std::string> SeparationRun<Format, Equation>::closingLines(const SeparationCounts& counts) const {
    std::vector<std::string> lines;
    if (findingsLeftOut_ > 0) {
        lines.push_back(text(TextSeparateMore) + std::to_string(findingsLeftOut_) + text(TextSeparateMoreWhat));
    }
    if (counts.undefined > 0) {
        lines.push_back(text(TextSeparateUndefined) + std::to_string(counts.undefined) +
                        text(TextSeparateUndefinedNote));
    }
    if (counts.changes == 0 && counts.roots == 0) {
        lines.push_back(text(TextSeparateNone) + text(TextSeparateNoneHint));
    } else {
        lines.push_back(text(TextSeparateFound) + std::to_string(counts.changes) +
                        (counts.roots > 0 ? text(TextSeparateRoots) + std::to_string(counts.roots) : ""));
    }
    return lines;
}

template <typename Format, typename Equation>
void SeparationRun<Format, Equation>::keepPoint(TableOutput& table, const Point& point, const Point* previous,
                                                bool change) {
    // A change ends at a point with a sign, so that a point is never both.
    if (change || gridRoot(point)) {
        if (findings_.size() < MostFindings) {
            findings_.push_back({!change, change ? previous->x : point.x, point.x});
        } else {
            ++findingsLeftOut_;
        }
    }
    if (OutputFile& csv = fileOf(files_, OutputKind::Csv); csv.active) {
        writeOutput(csv, table,
                    Format::exact(point.x) + "," + (point.defined ? Format::exact(point.fx) + "," + signText(point) : ",") +
                        "\r\n");
    }
    if (!drawn_) {
        return;
    }
    const std::string interval =
        change ? "[" + argumentText(previous->x) + ", " + argumentText(point.x) + "]" : std::string();
    const SeparationMark mark{placeOf<Format>(point.x),
                              point.defined ? Format::plotted(Format::widened(point.fx)) : 0.0, signOf(point),
                              point.defined};
    drawGridPoint(drawing_, mark, change ? std::optional<double>(placeOf<Format>(previous->x)) : std::nullopt,
                  escapedPageText(interval));
    if (fileOf(files_, OutputKind::Page).active) {
        SeparationRow row{point.index, Format::shown(point.x), point.defined ? Format::shown(point.fx) : "&#8211;",
                          pageText(signText(point)), "", change};
        if (change) {
            row.note = pageText(text(TextSeparateBand)) + " " + escapedPageText(interval);
        } else if (gridRoot(point)) {
            row.note = pageText(text(TextSeparateRootMark));
        }
        if (point.rangeReported) {
            row.note += (row.note.empty() ? "" : "; ") + pageText(text(TextOverflowMark));
        }
        keepChord(kept_, row);
    }
}

template <typename Format, typename Equation>
PictureEquation SeparationRun<Format, Equation>::pictureEquation() {
    PictureEquation equation;
    if constexpr (Equation::dialogF) {
        equation = fixedPictureEquation({a_, b_, 0.0f, 0});
    } else {
        equation = typedPictureEquation<Format>(equation_, a_, b_, SIZE_MAX);
    }
    equation.heading = pageText(text(TextSeparateCaption));
    equation.aName = "A";
    equation.bName = "B";
    return equation;
}

template <typename Format, typename Equation>
bool SeparationRun<Format, Equation>::finishFiles(TableOutput& table, const SeparationCounts& counts) {
    const std::vector<std::string> closing = closingLines(counts);
    const std::string inputs = "A = " + drawing_.equation.aText + ", B = " + drawing_.equation.bText + ", N = " +
                               formatCount(parsed_.gridSteps);
    // The caption says what the closing lines say, without the advice.
    std::vector<std::string> caption{drawing_.equation.heading + drawing_.equation.caption, inputs};
    if (counts.undefined > 0) {
        caption.push_back(pageText(text(TextSeparateUndefined)) + std::to_string(counts.undefined));
    }
    caption.push_back(counts.changes + counts.roots > 0 ? pageText(closing.back()) : pageText(text(TextSeparateNone)));
    PictureStyle style;
    if (OutputFile& picture = fileOf(files_, OutputKind::Picture); picture.active) {
        writeOutput(picture, table, separationPicture(drawing_, style, caption));
    }
    if (OutputFile& page = fileOf(files_, OutputKind::Page); page.active) {
        PageFacts facts;
        const std::string heading = pageText(text(TextSeparateTitle)) + escapedPageText(equationText());
        facts.title = heading + ", " + inputs;
        facts.heading = heading + pageText(titleRest());
        for (const std::string& line : headProse()) {
            facts.inputs.push_back(pageText(line));
        }
        SeparationSummary summary;
        summary.found = pageText(closing.back());
        for (const Finding& finding : findings_) {
            const auto [words, command] = findingLine(finding);
            summary.findings.push_back(pageText(words) + (command.empty() ? "" : "<code>" + escapedPageText(command) + "</code>"));
        }
        for (std::size_t i = 0; i + 1 < closing.size(); ++i) {
            summary.findings.push_back(pageText(closing[i]));
        }
        style.inPage = true;
        writeOutput(page, table,
                    separationPageText(facts, keptInOrder(kept_), summary, separationPicture(drawing_, style, caption)));
    }
    return commitOutputs(console_, files_, table);
}

template <typename Format, typename Equation>
int SeparationRun<Format, Equation>::run() {
    a_ = endOf<Format, Equation>(parsed_, 0);
    b_ = endOf<Format, Equation>(parsed_, 1);
    if (const std::optional<std::string> reason = rejection()) {
        showError(console_, *reason);
        return ExitRefused;
    }
    // The grid runs from the smaller end up, whichever was typed first.
    if (Format::widened(b_) < Format::widened(a_)) {
        std::swap(a_, b_);
    }
    if (!startWalkOutputs(console_, files_, parsed_)) {
        return ExitRefused;
    }
    TableOutput table(console_);
    table.columns = outputTerminalColumns();
    tableWanted_ = !anyToOutput(files_);
    drawn_ = fileOf(files_, OutputKind::Picture).active || fileOf(files_, OutputKind::Page).active;
    if (drawn_) {
        startSeparationDrawing(drawing_, pictureEquation());
    }
    if (OutputFile& csv = fileOf(files_, OutputKind::Csv); csv.active) {
        writeOutput(csv, table, "x,F(x),sign\r\n");
    }
    if (tableWanted_) {
        addBytes(table, shownText(console_, text(TextSeparateTitle)));
        addBytes(table, equationText());  // as typed, in the terminal's own characters
        addLine(table, titleRest());
        for (const std::string& line : headProse()) {
            addProse(table, line);
        }
        addLine(table, padded("i", indexWidth()) + padded("x", Format::width) + padded("F(x)", Format::width) + "  " +
                           text(TextColumnSign));
    }
    const SeparationCounts counts = separateRoots<Numbers>(
        a_, b_, parsed_.gridSteps, equation_, [&](const Point& point, const Point* previous, bool change) {
            if (tableWanted_ && !tableRefused(table)) {
                addLine(table, row(point));
            }
            keepPoint(table, point, previous, change);
            return walkOutputsWantMore(files_, table);
        });
    endIfInterrupted(files_, table);
    if (tableWanted_) {
        for (const Finding& finding : findings_) {
            const auto [words, command] = findingLine(finding);
            addBytes(table, shownText(console_, words));
            addBytes(table, command);
            addLine(table, "");
        }
        for (const std::string& line : closingLines(counts)) {
            addProse(table, line);
        }
    }
    return endRun(console_, table, files_, [&] { return finishFiles(table, counts); });
}
