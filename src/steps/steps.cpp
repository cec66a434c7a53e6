#include "steps/steps.h"

#include <algorithm>
#include <cmath>

#include "console/console.h"
#include "dialog/report.h"
#include "solver/equation.h"
#include "steps/arguments.h"
#include "steps/picture.h"
#include "steps/picture_file.h"
#include "steps/table.h"
#include "steps/texts.h"
#include "steps/walk.h"

#ifndef CHORDS_VERSION
#error "CHORDS_VERSION must name the program's version"
#endif

namespace {

constexpr int ExitDone = 0;
constexpr int ExitRefused = 1;
constexpr int ExitUsage = 2;

std::string text(const CatalogueText& catalogueText) {
    return catalogueText.data();
}

bool isAscii(const std::string& line) {
    return std::all_of(line.begin(), line.end(),
                       [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}

// A line of any length. Rows of numbers are ASCII and go out unconverted in
// one write, line break included; a line with letters goes in pieces the
// console's text conversion accepts (one byte is one character in
// Windows-1251, so no piece splits a letter).
void showLine(const std::string& cp1251Line) {
    if (isAscii(cp1251Line)) {
        writeRaw((cp1251Line + "\n").c_str());
        return;
    }
    constexpr std::size_t Piece = MaxTextBytes;
    for (std::size_t at = 0; at < cp1251Line.size(); at += Piece) {
        showText(cp1251Line.substr(at, Piece).c_str());
    }
    endLine();
}

void showError(const std::string& cp1251Message) {
    showErrorText((std::string(ProgramName) + ": " + cp1251Message).c_str());
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

void showHelp() {
    showLine(text(TextUsage));
    showLine(text(TextHelpPurpose));
    showLine("  " + text(TextEquation));
    for (const CatalogueText& line : TextHelpArguments) {
        showLine(text(line));
    }
}

std::string signOf(Extended value) {
    const Extended zero = toExtended(0.0);
    return value > zero ? " > 0" : value < zero ? " < 0" : " = 0";
}

// The dialog's own decision, told in one line: an end out of range, F at the
// start out of range, or F of one sign at both ends.
std::string rejection(float xib, float xie) {
    if (!std::isfinite(xib) || !std::isfinite(xie)) {
        const bool startInfinite = !std::isfinite(xib);
        return (startInfinite ? "Xib = " + formatDigits9(xib) : "Xie = " + formatDigits9(xie)) +
               text(TextInfiniteEnd);
    }
    const Extended fa = equationF(xib);
    const Extended fb = equationF(xie);
    if (!std::isfinite(toFloat(fa))) {
        return "F(" + formatShortest(xib) + ") = " + formatDigits9(fa) +
               text(TextStartValueTooLarge);
    }
    return "F(" + formatShortest(xib) + ") = " + formatDigits9(toFloat(fa)) +
           signOf(fa) + text(TextAnd) + "F(" + formatShortest(xie) + ") = " + formatDigits9(fb) +
           signOf(fb) + text(TextSameSign);
}

int runTable(const StepsArguments& parsed) {
    const ChordParameters parameters{parsed.xib, parsed.xie, parsed.epsilon, parsed.limit};
    if (intervalRejected(parameters.a, parameters.b)) {
        showError(text(TextBadIntervalPrefix) + rejection(parameters.a, parameters.b));
        return ExitRefused;
    }
    // The file is created before anything is written, so that a path that
    // cannot be written leaves standard output empty.
    PictureFile file;
    const bool drawing = parsed.svgFile.has_value();
    if (drawing && !openPictureFile(file, *parsed.svgFile)) {
        showError(text(TextPictureNotWritten));
        return ExitRefused;
    }
    PictureFrame frame;
    PictureMarks marks;
    if (drawing) {
        frame = frameFor(parameters);
        writePicture(file, pictureOpening(frame, parameters));
    }

    showLine(titleLine());
    showLine(inputsLine(parameters));
    showLine(columnHeader(parameters.limit));
    std::uint64_t chordsDrawn = 0;
    const ChordOutcome outcome = walkChords(
        parameters,
        [&](std::uint64_t number, const ChordStep& step, bool accuracyMet) {
            showLine(chordRow(parameters.limit, number, step, accuracyMet));
            chordsDrawn += step.x ? 1 : 0;
            if (drawing) {
                writePicture(file, pictureChord(frame, marks, number, step));
            }
            return !console().output.failed;
        },
        [](std::uint64_t first, std::uint64_t last) { showLine(idleRow(first, last)); });
    writeReport(outcome);
    if (console().output.failed) {
        // No picture either: it would belong to a table nobody got.
        if (drawing) {
            discardPictureFile(file);
        }
        showError(text(TextOutputFailed));
        return ExitRefused;
    }
    if (drawing) {
        const float rootF = outcome.found ? toFloat(equationF(*outcome.x)) : 0.0f;
        writePicture(file, pictureClosing(frame, parameters, outcome, rootF, chordsDrawn));
        if (!commitPictureFile(file)) {
            showError(text(TextPictureNotWritten));
            return ExitRefused;
        }
    }
    return ExitDone;
}

}  // namespace

int runSteps(std::span<const std::string> arguments) {
    const StepsArguments parsed = parseStepsArguments(arguments);
    switch (parsed.action) {
    case StepsAction::Help:
        showHelp();
        return ExitDone;
    case StepsAction::Version:
        showLine(std::string(ProgramName) + " (chords) " + CHORDS_VERSION);
        return ExitDone;
    case StepsAction::Invalid:
        showError(argumentFault(parsed));
        showErrorText(text(TextUsage).c_str());
        return ExitUsage;
    case StepsAction::Run:
        break;
    }
    return runTable(parsed);
}
