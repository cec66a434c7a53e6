#pragma once
// The files chords-steps writes beside the table (picture, page, CSV), for
// either walk: all opened before anything is written, so that a path that
// cannot be written leaves standard output empty and no other file; "-"
// puts one of them on standard output instead of the table; at the end all
// are put in place, or none after the first that fails.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "console/console.h"
#include "steps/arguments.h"
#include "steps/picture_file.h"
#include "steps/table_output.h"

struct OutputFile {
    bool active = false;
    bool toOutput = false;
    PictureFile file;
};

struct OutputFiles {
    std::array<OutputFile, OutputKinds> files;
    std::optional<OutputKind> failed;  // the file that could not be written
};

inline OutputFile& fileOf(OutputFiles& outputs, OutputKind kind) {
    return outputs.files[static_cast<std::size_t>(kind)];
}
bool anyActive(const OutputFiles& outputs);
bool anyToOutput(const OutputFiles& outputs);

// False, with the failure said and every file opened removed, when one of
// the files asked for cannot be opened. A failure is said as
// "chords-steps: не удалось записать рисунок в файл FILE: REASON", the file
// name as it was given.
bool openOutputs(Console& console, OutputFiles& outputs, const StepsArguments& parsed);
void writeOutput(OutputFile& output, TableOutput& table, std::string_view bytes);
void discardOutputs(OutputFiles& outputs);
// Puts every file in place; after the first that fails (said) the rest are
// removed.
bool commitOutputs(Console& console, OutputFiles& outputs, TableOutput& table);

// A walk's outputs. Interrupts are watched before any temporary file
// exists, so that none is left behind by one that comes while the files
// are being opened; then the files are opened, as openOutputs.
bool startWalkOutputs(Console& console, OutputFiles& outputs, const StepsArguments& parsed);
// Whether the walk goes on after a row: not after an interrupt, and not
// once standard output has failed, unless files beside it still want the
// rest.
bool walkOutputsWantMore(const OutputFiles& outputs, const TableOutput& table);
// After an interrupt during the walk: the table up to its last whole row,
// no temporary file left, and the program's end.
void endIfInterrupted(OutputFiles& outputs, TableOutput& table);

// One file named for two outputs ("--html x --csv x", or two names of one
// existing file): said in one line, true, before anything is written. "-"
// is not a file; the command line takes it only once.
bool showFileNamedTwice(Console& console, const StepsArguments& parsed);

// A refused interval still gets its picture and page, when asked for: F
// over the interval and the reason; no CSV, since there are no chords. Each
// text is made only when its file is wanted.
void writeRefusedFiles(Console& console, const StepsArguments& parsed, const std::function<std::string()>& picture,
                       const std::function<std::string()>& page);
