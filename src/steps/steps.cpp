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

#include "console/codec/number_format.h"
#include "dialog/report.h"
#include "solver/analysis.h"
#include "solver/chord.h"
#include "solver/equation.h"
#include "steps/arguments.h"
#include "steps/estimates.h"
#include "steps/picture.h"
#include "steps/picture_file.h"
#include "steps/table.h"
#include "steps/texts.h"

#ifndef CHORDS_VERSION
#error "CHORDS_VERSION must name the program's version"
#endif

namespace {

constexpr int ExitDone = 0;
constexpr int ExitRefused = 1;
constexpr int ExitUsage = 2;

// Standard output's lines, gathered into blocks of about 64 KiB: one write a
// block instead of one a row. Whole lines only, in the output device's bytes;
// handed on before anything goes to standard error and before the end.
constexpr std::size_t TableBlock = 64 * 1024;

struct TableOutput {
    Console& console;
    std::unique_ptr<char[]> buffer = std::make_unique<char[]>(TableBlock + MaxRowBytes + 1);
    std::size_t used = 0;
};

void flushTable(TableOutput& table) {
    writeRaw(table.console, {table.buffer.get(), table.used});
    table.used = 0;
}

void addBytes(TableOutput& table, std::string_view bytes) {
    while (!bytes.empty()) {
        const std::size_t piece = std::min(bytes.size(), TableBlock - std::min(TableBlock, table.used));
        std::memcpy(table.buffer.get() + table.used, bytes.data(), piece);
        table.used += piece;
        bytes.remove_prefix(piece);
        if (table.used >= TableBlock) {
            flushTable(table);
        }
    }
}

// Rows of numbers are ASCII and go in as they are; a line with letters goes
// in converted, in pieces the console's conversion accepts (one byte is one
// character in Windows-1251, so no piece splits a letter).
void addLine(TableOutput& table, std::string_view cp1251Line) {
    const bool ascii = std::all_of(cp1251Line.begin(), cp1251Line.end(), [](char byte) {
        return static_cast<unsigned char>(byte) < 0x80;
    });
    if (ascii) {
        addBytes(table, cp1251Line);
    } else {
        for (std::size_t at = 0; at < cp1251Line.size(); at += MaxTextBytes) {
            addBytes(table, shownText(table.console, cp1251Line.substr(at, MaxTextBytes)));
        }
    }
    addBytes(table, "\n");
}

void showError(Console& console, const std::string& cp1251Message) {
    showErrorText(console, (std::string(ProgramName) + ": " + cp1251Message).c_str());
}

std::string argumentFault(const StepsArguments& parsed) {
    const std::string position = std::to_string(parsed.position);
    switch (parsed.fault) {
    case ArgumentFault::Missing:
        return text(TextMissingArgument) + numberArgumentName(parsed.position);
    case ArgumentFault::NotANumber:
        return numberArgumentName(parsed.position) +
               text(parsed.position == 3 ? TextNotOneCount : TextNotOneNumber);
    case ArgumentFault::Extra:
        return text(TextExtraArgument) + position;
    case ArgumentFault::UnknownOption:
        return text(TextUnknownOption) + position;
    case ArgumentFault::SvgWithoutFile:
        return text(TextSvgWithoutFile);
    case ArgumentFault::SvgTwice:
        return text(TextSvgTwice);
    case ArgumentFault::None:
        break;
    }
    return {};
}

void showVersion(Console& console) {
    TableOutput version{console};
    addLine(version, std::string(ProgramName) + " (chords) " + CHORDS_VERSION);
    flushTable(version);
}

void showHelp(Console& console) {
    TableOutput help{console};
    addLine(help, text(TextUsage));
    addLine(help, text(TextHelpPurpose));
    addLine(help, "  " + text(TextEquation));
    for (const CatalogueText& line : TextHelpArguments) {
        addLine(help, text(line));
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

// A chord's row, made in place at the end of the buffer; a row with a note
// in words goes through the conversion.
void addChordRow(TableOutput& table, RowFormat& format, std::uint64_t number,
                 const ChordStep& step, const ChordEstimates& estimates, bool accuracyMet) {
    char* const start = table.buffer.get() + table.used;
    char* const end = writeChordRow(start, format, number, step, estimates, accuracyMet);
    if (rowHasNote(format, step, accuracyMet)) {
        const std::string row(start, end);
        addLine(table, row);
        return;
    }
    *end = '\n';
    table.used += static_cast<std::size_t>(end - start) + 1;
    if (table.used >= TableBlock) {
        flushTable(table);
    }
}

// The picture as it is drawn beside the table: where it goes, its frame and
// the marks carried from chord to chord. Inactive without --svg; with
// "--svg -" it goes to standard output instead of the table.
struct Drawing {
    bool active = false;
    bool toOutput = false;
    PictureFile file;
    PictureFrame frame;
    PictureMarks marks;
    std::uint64_t chordsDrawn = 0;
};

void drawPicture(Drawing& drawing, TableOutput& table, std::string_view svg) {
    if (drawing.toOutput) {
        addBytes(table, svg);
    } else {
        writePicture(drawing.file, svg);
    }
}

// Opens the picture's file before anything is written, so that a path that
// cannot be written leaves standard output empty.
bool startDrawing(Drawing& drawing, TableOutput& table, const StepsArguments& parsed,
                  const ChordParameters& parameters) {
    if (!parsed.svgFile) {
        return true;
    }
    drawing.toOutput = *parsed.svgFile == "-";
    if (!drawing.toOutput && !openPictureFile(drawing.file, *parsed.svgFile)) {
        return false;
    }
    drawing.active = true;
    drawing.frame = frameFor(parameters);
    drawPicture(drawing, table, pictureOpening(drawing.frame, parameters));
    return true;
}

void drawChordPicture(Drawing& drawing, TableOutput& table, std::uint64_t number,
                      const ChordStep& step) {
    drawing.chordsDrawn += step.x ? 1 : 0;
    if (drawing.active) {
        drawPicture(drawing, table, pictureChord(drawing.frame, drawing.marks, number, step));
    }
}

// Closes the picture with the outcome and puts it in place.
bool finishDrawing(Drawing& drawing, TableOutput& table, const ChordParameters& parameters,
                   const ChordOutcome& outcome) {
    if (!drawing.active) {
        return true;
    }
    drawPicture(drawing, table,
                pictureClosing(drawing.frame, parameters, outcome, drawing.chordsDrawn,
                               drawing.chordsDrawn - drawing.marks.chordsMerged));
    if (drawing.toOutput) {
        flushTable(table);
        return !table.console.output.failed;
    }
    return commitPictureFile(drawing.file);
}

std::string reasonOf(const std::error_code& error) {
    const std::error_condition condition = error.default_error_condition();
    if (condition == std::errc::no_such_file_or_directory) {
        return text(TextNoSuchFile);
    }
    if (condition == std::errc::permission_denied || condition == std::errc::operation_not_permitted) {
        return text(TextAccessDenied);
    }
    if (condition == std::errc::is_a_directory) {
        return text(TextIsAFolder);
    }
    if (condition == std::errc::no_space_on_device) {
        return text(TextNoSpace);
    }
    if (condition == std::errc::read_only_file_system) {
        return text(TextReadOnly);
    }
    return text(TextErrorNumber) + std::to_string(error.value());
}

// "chords-steps: не удалось записать рисунок в файл FILE: REASON", the file
// name as it was given.
void showPictureFailure(Console& console, const Drawing& drawing) {
    writeErrorText(console, (std::string(ProgramName) + ": " + text(TextPictureNotWritten)).c_str());
    if (drawing.toOutput) {
        writeErrorText(console, (text(TextPictureToOutput) + ": " + text(TextOutputRefused)).c_str());
    } else {
        writeErrorBytes(console, drawing.file.target);
        writeErrorText(console, (": " + reasonOf(drawing.file.error)).c_str());
    }
    writeErrorBytes(console, "\n");
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

void showTableHead(TableOutput& table, const ChordParameters& parameters, const Lesson& lesson) {
    addLine(table, titleLine());
    addLine(table, inputsLine(parameters));
    addLine(table, fixedEndLine(parameters, lesson.fixedEnd));
    addLine(table, slopeLine(parameters, lesson.smallestSlope));
    addLine(table, legendLine());
    addLine(table, countsLine());
    addLine(table, columnHeader(parameters.limit));
}

// The walk, one row per chord drawn and the idle stretch in one row, the
// picture drawn alongside. Once standard output has failed the table stops:
// the walk with it when no picture is wanted, else the walk goes on for the
// picture. An interrupt stops the walk after the chord being drawn.
ChordOutcome showChords(TableOutput& table, const ChordParameters& parameters,
                        const Lesson& lesson, Drawing& drawing, bool tableWanted) {
    RowFormat format = rowFormatFor(parameters.limit, lesson.fixedEnd);
    EstimateTrail trail{lesson.smallestSlope, std::nullopt, std::nullopt};
    bool lastReplacedFixedEnd = false;
    return walkChords(
        parameters,
        [&](std::uint64_t number, const ChordStep& step, bool accuracyMet) {
            const ChordEstimates estimates = estimateChord(trail, step);
            lastReplacedFixedEnd = replacesFixedEnd(format, step);
            if (tableWanted && !table.console.output.failed) {
                addChordRow(table, format, number, step, estimates, accuracyMet);
            }
            drawChordPicture(drawing, table, number, step);
            if (interruptRequested()) {
                return false;
            }
            return drawing.active ? !(drawing.toOutput && table.console.output.failed)
                                  : !table.console.output.failed;
        },
        [&](std::uint64_t first, std::uint64_t last) {
            if (tableWanted) {
                addLine(table, idleRow(first, last, lastReplacedFixedEnd));
            }
        });
}

// An interrupted run keeps the table up to its last whole row and leaves no
// temporary picture behind, then ends as the interrupt would have ended it.
[[noreturn]] void endInterrupted(TableOutput& table, Drawing& drawing) {
    flushTable(table);
    if (drawing.active && !drawing.toOutput) {
        discardPictureFile(drawing.file);
    }
    endByInterrupt();
}

int runTable(Console& console, const StepsArguments& parsed) {
    const ChordParameters parameters{parsed.xib, parsed.xie, parsed.epsilon, parsed.limit};
    const IntervalTest test = testInterval(parameters.a, parameters.b);
    if (test.fault != IntervalFault::None) {
        showError(console, text(TextBadIntervalPrefix) + rejection(parameters.a, parameters.b, test));
        return ExitRefused;
    }
    const Lesson lesson = lessonFor(parameters, test);
    TableOutput table{console};
    Drawing drawing;
    if (!startDrawing(drawing, table, parsed, parameters)) {
        showPictureFailure(console, drawing);
        return ExitRefused;
    }
    watchInterrupts();
    const bool tableWanted = !drawing.toOutput;
    if (tableWanted) {
        showTableHead(table, parameters, lesson);
    }
    const ChordOutcome outcome = showChords(table, parameters, lesson, drawing, tableWanted);
    if (interruptRequested()) {
        endInterrupted(table, drawing);
    }
    if (tableWanted) {
        flushTable(table);
        writeReport(console, outcome);
    }
    const bool tableFailed = tableWanted && console.output.failed;
    if (tableFailed && !drawing.active) {
        showError(console, text(TextOutputFailed));
        return ExitRefused;
    }
    if (!finishDrawing(drawing, table, parameters, outcome)) {
        showPictureFailure(console, drawing);
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
        return ExitDone;
    case StepsAction::Version:
        showVersion(console);
        return ExitDone;
    case StepsAction::Invalid:
        showError(console, argumentFault(parsed));
        showErrorText(console, text(TextUsage).c_str());
        return ExitUsage;
    case StepsAction::Run:
        break;
    }
    return runTable(console, parsed);
}
