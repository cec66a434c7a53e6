// The chords-steps room: every chord of the dialog's own iteration as a
// table on standard output and, on request, as an SVG picture. The solver
// draws the chords; this room only tells about them, with the dialog's
// report at the end.
#include "steps/steps.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string_view>
#include <system_error>

#include "text/number_format.h"
#include "text/text_codec.h"
#include "dialog/report.h"
#include "solver/analysis.h"
#include "solver/chord.h"
#include "solver/equation.h"
#include "steps/arguments.h"
#include "steps/csv.h"
#include "steps/estimates.h"
#include "steps/lesson_page.h"
#include "steps/picture.h"
#include "steps/picture_file.h"
#include "steps/table.h"
#include "steps/table_output.h"
#include "steps/messages.h"
#include "steps/output_files.h"
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
                 text(parsed.position == 3 ? TextNotOneCount : TextNotOneNumber),
             "", parsed.typed.find(',') != std::string::npos ? text(TextDecimalPoint) : "");
        break;
    case ArgumentFault::Extra:
        line(text(TextExtraArgument), parsed.typed, text(TextClosingQuote));
        break;
    case ArgumentFault::UnknownOption:
        line(text(TextUnknownOption), parsed.typed, text(TextClosingQuote));
        break;
    case ArgumentFault::FileMissing:
        line(parsed.typed + text(TextFileMissing), "", "");
        break;
    case ArgumentFault::OptionTwice:
        line(parsed.typed + text(TextOptionTwice), "", "");
        break;
    case ArgumentFault::OutputTwice:
        line(parsed.typed + text(TextOutputTwice), "", "");
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

std::string signOf(Extended value) {
    const Extended zero = toExtended(0.0);
    return value > zero ? " > 0" : value < zero ? " < 0" : " = 0";
}

// The sign test's own finding, told in one line: an end out of range, F at
// the start out of range, or F of one sign at both ends.
std::string rejection(float xib, float xie, const IntervalTest& test) {
    switch (test.fault) {
    case IntervalFault::InfiniteEnd:
        return (!std::isfinite(xib) ? "Xib = " + formatDigits9(xib) : "Xie = " + formatDigits9(xie)) +
               text(TextInfiniteEnd);
    case IntervalFault::StartValueTooLarge:
        return "F(" + formatShortest(xib) + ") = " + formatDigits9(test.fa) +
               text(TextStartValueTooLarge);
    case IntervalFault::SameSign:
    case IntervalFault::None:
        break;
    }
    return "F(" + formatShortest(xib) + ") = " + formatDigits9(toFloat(test.fa)) + signOf(test.fa) +
           text(TextAnd) + "F(" + formatShortest(xie) + ") = " + formatDigits9(test.fb) +
           signOf(test.fb) + text(TextSameSign);
}

// What the whole walk shares: the end the method keeps and m1, found once
// from the interval typed.
struct Lesson {
    std::optional<ChordEnd> fixedEnd;
    std::optional<double> smallestSlope;
};

Lesson lessonFor(const ChordParameters& parameters, const IntervalTest& test) {
    return {fixedEnd(test.fa, test.fb), smallestSlope(parameters.a, parameters.b)};
}

// Everything the walk writes besides the table.
struct Outputs {
    OutputFiles files;
    PictureDrawing drawing;
    CsvFormat csv;
    LessonPage page;
};

void startOutputs(Outputs& outputs, TableOutput& table, const ChordParameters& parameters,
                  const Lesson& lesson, bool animate) {
    if (OutputFile& picture = fileOf(outputs.files, OutputKind::Picture); picture.active) {
        writeOutput(picture, table,
                    startPicture(outputs.drawing, fixedPictureEquation(parameters), {false, animate, lesson.fixedEnd}));
    }
    if (OutputFile& csv = fileOf(outputs.files, OutputKind::Csv); csv.active) {
        writeOutput(csv, table, csvHeader());
    }
}

void showChordElsewhere(Outputs& outputs, TableOutput& table, const PageChord& chord) {
    if (OutputFile& picture = fileOf(outputs.files, OutputKind::Picture); picture.active) {
        writeOutput(picture, table, pictureChordOf(outputs.drawing, chord.number, drawnChordOf(chord.step)));
    }
    if (OutputFile& csv = fileOf(outputs.files, OutputKind::Csv); csv.active) {
        writeOutput(csv, table,
                    csvRow(outputs.csv, chord.number, chord.step, chord.estimates,
                           {chord.accuracyMet, chord.fixedEndReplaced}));
    }
    if (fileOf(outputs.files, OutputKind::Page).active) {
        keepChord(outputs.page, chord);
    }
}

// Closes every file with the outcome and puts it in place; the first that
// cannot be written is named.
bool finishOutputs(Outputs& outputs, TableOutput& table, const ChordParameters& parameters,
                   const Lesson& lesson, const ChordOutcome& outcome) {
    if (OutputFile& picture = fileOf(outputs.files, OutputKind::Picture); picture.active) {
        writeOutput(picture, table, finishPicture(outputs.drawing, fixedPictureResult(outcome)));
    }
    if (OutputFile& page = fileOf(outputs.files, OutputKind::Page); page.active) {
        writeOutput(page, table,
                    lessonPageText(outputs.page, {parameters, lesson.fixedEnd, lesson.smallestSlope, outcome}));
    }
    return commitOutputs(outputs.files, table);
}

void showTableHead(TableOutput& table, const ChordParameters& parameters, const Lesson& lesson) {
    addProse(table, titleLine());
    addProse(table, inputsLine(parameters));
    addProse(table, fixedEndLine(parameters, lesson.fixedEnd));
    addProse(table, slopeLine(parameters, lesson.smallestSlope));
    addProse(table, legendLine());
    addProse(table, countsLine());
    const std::string header = columnHeader(parameters.limit);
    addLine(table, table.columns ? foldRow(header, table.chordWidth, *table.columns) : header);
}

// The walk, one row per chord drawn and the idle stretch in one row, the
// other files written alongside. Once standard output has failed the table
// stops: the walk with it when no file is wanted, else the walk goes on for
// the files. An interrupt stops the walk after the chord being drawn.
ChordOutcome showChords(TableOutput& table, const ChordParameters& parameters,
                        const Lesson& lesson, Outputs& outputs, bool tableWanted) {
    RowFormat format = rowFormatFor(parameters.limit, lesson.fixedEnd);
    table.chordWidth = format.chordWidth;
    EstimateTrail trail{lesson.smallestSlope, std::nullopt, std::nullopt};
    bool lastReplacedFixedEnd = false;
    const bool filesWanted = anyActive(outputs.files);
    const bool filesToOutput = anyToOutput(outputs.files);
    return walkChords(
        parameters,
        [&](std::uint64_t number, const ChordStep& step, bool accuracyMet) {
            const ChordEstimates estimates = estimateChord(trail, step);
            lastReplacedFixedEnd = replacesFixedEnd(format, step);
            if (tableWanted && !tableRefused(table)) {
                addChordRow(table, format, number, step, estimates, accuracyMet);
            }
            if (filesWanted) {
                showChordElsewhere(outputs, table,
                                   {number, step, estimates, accuracyMet, lastReplacedFixedEnd});
            }
            if (interruptRequested()) {
                return false;
            }
            return filesWanted ? !(filesToOutput && tableRefused(table)) : !tableRefused(table);
        },
        [&](std::uint64_t first, std::uint64_t last) {
            if (tableWanted) {
                addLine(table, idleRow(first, last, lastReplacedFixedEnd));
            }
            LessonPage& page = outputs.page;
            page.idleFirst = first;
            page.idleLast = last;
            page.idleFlagged = lastReplacedFixedEnd;
        });
}

// An interrupted run keeps the table up to its last whole row and leaves no
// temporary file behind, then ends as the interrupt would have ended it.
[[noreturn]] void endInterrupted(TableOutput& table, Outputs& outputs) {
    flushTable(table);
    discardOutputs(outputs.files);
    endByInterrupt();
}

int runTable(Console& console, const StepsArguments& parsed) {
    const ChordParameters parameters{parsed.xib, parsed.xie, parsed.epsilon, parsed.limit};
    const IntervalTest test = testInterval(parameters.a, parameters.b);
    if (test.fault != IntervalFault::None) {
        const std::string reason = text(TextBadIntervalPrefix) + rejection(parameters.a, parameters.b, test);
        showError(console, reason);
        if (test.fault != IntervalFault::InfiniteEnd) {
            // The reason as SVG and HTML text: it may hold "<" (F < 0).
            const std::string reasonUtf8 = cp1251ToUtf8(reason);
            writeRefusedFiles(
                console, parsed,
                [&] {
                    return pictureOfRejection(fixedPictureEquation(parameters), escapedPageText(reasonUtf8),
                                              {false, false, std::nullopt});
                },
                [&] { return rejectionPageText(parameters, reasonUtf8); });
        }
        return ExitRefused;
    }
    const Lesson lesson = lessonFor(parameters, test);
    TableOutput table{console};
    Outputs outputs;
    if (!openOutputs(outputs.files, parsed)) {
        showOutputFailure(console, outputs.files);
        return ExitRefused;
    }
    watchInterrupts();
    startOutputs(outputs, table, parameters, lesson, parsed.animate);
    const bool tableWanted = !anyToOutput(outputs.files);
    table.columns = outputTerminalColumns();
    table.chordWidth = rowFormatFor(parameters.limit, std::nullopt).chordWidth;
    if (tableWanted) {
        showTableHead(table, parameters, lesson);
    }
    const ChordOutcome outcome = showChords(table, parameters, lesson, outputs, tableWanted);
    if (interruptRequested()) {
        endInterrupted(table, outputs);
    }
    if (tableWanted) {
        flushTable(table);
        writeReport(console, outcome);
    }
    const bool tableFailed = tableWanted && console.output.failed;
    if (tableFailed && !anyActive(outputs.files)) {
        showError(console, text(TextOutputFailed));
        return ExitRefused;
    }
    if (!finishOutputs(outputs, table, parameters, lesson, outcome)) {
        showOutputFailure(console, outputs.files);
        return ExitRefused;
    }
    if (tableFailed) {
        showError(console, text(TextTableCut));
        return ExitRefused;
    }
    return ExitDone;
}

}  // namespace

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
    if (typedWalkWanted(parsed)) {
#if CHORDS_TYPED_EQUATIONS
        return runTypedSteps(console, parsed);
#else
        showError(console, text(TextNoTypedEquations));
        return ExitUsage;
#endif
    }
    return runTable(console, parsed);
}

void showPressKey(Console& console) {
    showText(console, TextPressAnyKey.data());
    waitForKey(console);
    endLine(console);
}
