// The chords-steps room: every chord of the dialog's own iteration as a
// table on standard output and, on request, as an SVG picture. The solver
// draws the chords; this room only tells about them, with the dialog's
// report at the end.
#include "steps/steps.h"

#include <algorithm>
#include <cmath>

#include "console/codec/number_format.h"
#include "dialog/report.h"
#include "solver/chord.h"
#include "solver/equation.h"
#include "steps/arguments.h"
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

bool isAscii(const std::string& line) {
    return std::all_of(line.begin(), line.end(),
                       [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}

// A line of any length. Rows of numbers are ASCII and go out unconverted in
// one write, line break included; a line with letters goes in pieces the
// console's text conversion accepts (one byte is one character in
// Windows-1251, so no piece splits a letter).
void showLine(Console& console, const std::string& cp1251Line) {
    if (isAscii(cp1251Line)) {
        writeRaw(console, cp1251Line + "\n");
        return;
    }
    constexpr std::size_t Piece = MaxTextBytes;
    for (std::size_t at = 0; at < cp1251Line.size(); at += Piece) {
        showText(console, cp1251Line.substr(at, Piece).c_str());
    }
    endLine(console);
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

void showHelp(Console& console) {
    showLine(console, text(TextUsage));
    showLine(console, text(TextHelpPurpose));
    showLine(console, "  " + text(TextEquation));
    for (const CatalogueText& line : TextHelpArguments) {
        showLine(console, text(line));
    }
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

// The picture as it is drawn beside the table: its file, its frame and the
// marks carried from chord to chord. Inactive without --svg.
struct Drawing {
    bool active = false;
    PictureFile file;
    PictureFrame frame;
    PictureMarks marks;
    std::uint64_t chordsDrawn = 0;
};

// Creates the picture's file before anything is written, so that a path that
// cannot be written leaves standard output empty.
bool startDrawing(Drawing& drawing, const StepsArguments& parsed,
                  const ChordParameters& parameters) {
    if (!parsed.svgFile) {
        return true;
    }
    if (!openPictureFile(drawing.file, *parsed.svgFile)) {
        return false;
    }
    drawing.active = true;
    drawing.frame = frameFor(parameters);
    writePicture(drawing.file, pictureOpening(drawing.frame, parameters));
    return true;
}

void drawChordPicture(Drawing& drawing, std::uint64_t number, const ChordStep& step) {
    drawing.chordsDrawn += step.x ? 1 : 0;
    if (drawing.active) {
        writePicture(drawing.file, pictureChord(drawing.frame, drawing.marks, number, step));
    }
}

// Closes the picture with the outcome and puts it in place.
bool finishDrawing(Drawing& drawing, const ChordParameters& parameters,
                   const ChordOutcome& outcome) {
    if (!drawing.active) {
        return true;
    }
    writePicture(drawing.file,
                 pictureClosing(drawing.frame, parameters, outcome, drawing.chordsDrawn));
    return commitPictureFile(drawing.file);
}

void showTableHead(Console& console, const ChordParameters& parameters) {
    showLine(console, titleLine());
    showLine(console, inputsLine(parameters));
    showLine(console, columnHeader(parameters.limit));
}

// One row per chord drawn as the solver walks them, the idle stretch in one
// row, the picture drawn alongside; the walk stops once standard output has
// failed.
ChordOutcome showChords(Console& console, const ChordParameters& parameters, Drawing& drawing) {
    return walkChords(
        parameters,
        [&](std::uint64_t number, const ChordStep& step, bool accuracyMet) {
            showLine(console, chordRow(parameters.limit, number, step, accuracyMet));
            drawChordPicture(drawing, number, step);
            return !console.output.failed;
        },
        [&](std::uint64_t first, std::uint64_t last) { showLine(console, idleRow(first, last)); });
}

int runTable(Console& console, const StepsArguments& parsed) {
    const ChordParameters parameters{parsed.xib, parsed.xie, parsed.epsilon, parsed.limit};
    const IntervalTest test = testInterval(parameters.a, parameters.b);
    if (test.fault != IntervalFault::None) {
        showError(console, text(TextBadIntervalPrefix) + rejection(parameters.a, parameters.b, test));
        return ExitRefused;
    }
    Drawing drawing;
    if (!startDrawing(drawing, parsed, parameters)) {
        showError(console, text(TextPictureNotWritten));
        return ExitRefused;
    }
    showTableHead(console, parameters);
    const ChordOutcome outcome = showChords(console, parameters, drawing);
    writeReport(console, outcome);
    if (console.output.failed) {
        // No picture either: it would belong to a table nobody got.
        if (drawing.active) {
            discardPictureFile(drawing.file);
        }
        showError(console, text(TextOutputFailed));
        return ExitRefused;
    }
    if (!finishDrawing(drawing, parameters, outcome)) {
        showError(console, text(TextPictureNotWritten));
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
        showLine(console, std::string(ProgramName) + " (chords) " + CHORDS_VERSION);
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
