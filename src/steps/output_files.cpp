#include "steps/output_files.h"

#include <system_error>

#include "console/files.h"
#include "steps/messages.h"
#include "steps/texts.h"

namespace {

constexpr OutputKind AllOutputs[] = {OutputKind::Picture, OutputKind::Page, OutputKind::Csv};

bool commitOutput(OutputFile& output, TableOutput& table) {
    if (output.toOutput) {
        flushTable(table);
        return !table.console.output.failed;
    }
    return commitPictureFile(output.file);
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

// "chords-steps: не удалось записать рисунок в файл FILE: REASON".
void showOutputFailure(Console& console, OutputFiles& outputs) {
    const OutputKind kind = outputs.failed.value_or(OutputKind::Picture);
    const OutputFile& output = fileOf(outputs, kind);
    const CatalogueText& what = kind == OutputKind::Picture ? TextPictureNotWritten
                                : kind == OutputKind::Page  ? TextPageNotWritten
                                                            : TextCsvNotWritten;
    writeErrorText(console, (std::string(ProgramName) + ": " + text(what)).c_str());
    if (output.toOutput) {
        writeErrorText(console, (text(TextPictureToOutput) + ": " + text(TextOutputRefused)).c_str());
    } else {
        writeErrorBytes(console, output.file.target);
        writeErrorText(console, (": " + reasonOf(output.file.error)).c_str());
    }
    writeErrorBytes(console, "\n");
}

}  // namespace

bool anyActive(const OutputFiles& outputs) {
    for (const OutputFile& output : outputs.files) {
        if (output.active) {
            return true;
        }
    }
    return false;
}

bool anyToOutput(const OutputFiles& outputs) {
    for (const OutputFile& output : outputs.files) {
        if (output.toOutput) {
            return true;
        }
    }
    return false;
}

void discardOutputs(OutputFiles& outputs) {
    for (OutputFile& output : outputs.files) {
        if (output.active && !output.toOutput) {
            discardPictureFile(output.file);
        }
    }
}

bool openOutputs(Console& console, OutputFiles& outputs, const StepsArguments& parsed) {
    for (const OutputKind kind : AllOutputs) {
        const std::optional<std::string>& name = parsed.files[static_cast<std::size_t>(kind)];
        OutputFile& output = fileOf(outputs, kind);
        if (!name) {
            continue;
        }
        output.toOutput = *name == "-";
        if (!output.toOutput && !openPictureFile(output.file, *name)) {
            outputs.failed = kind;
            discardOutputs(outputs);
            showOutputFailure(console, outputs);
            return false;
        }
        output.active = true;
    }
    return true;
}

void writeOutput(OutputFile& output, TableOutput& table, std::string_view bytes) {
    if (output.toOutput) {
        addBytes(table, bytes);
    } else {
        writePicture(output.file, bytes);
    }
}

bool commitOutputs(Console& console, OutputFiles& outputs, TableOutput& table) {
    bool committed = true;
    for (const OutputKind kind : AllOutputs) {
        OutputFile& output = fileOf(outputs, kind);
        if (!output.active) {
            continue;
        }
        if (!committed) {
            if (!output.toOutput) {
                discardPictureFile(output.file);
            }
        } else if (!commitOutput(output, table)) {
            committed = false;
            outputs.failed = kind;
            showOutputFailure(console, outputs);
        }
    }
    return committed;
}

bool startWalkOutputs(Console& console, OutputFiles& outputs, const StepsArguments& parsed) {
    watchInterrupts();
    return openOutputs(console, outputs, parsed);
}

bool walkOutputsWantMore(const OutputFiles& outputs, const TableOutput& table) {
    if (interruptRequested()) {
        return false;
    }
    if (!tableRefused(table)) {
        return true;
    }
    for (const OutputFile& output : outputs.files) {
        if (output.active && !output.toOutput) {
            return true;  // a file beside standard output still wants every step
        }
    }
    return false;
}

void endIfInterrupted(OutputFiles& outputs, TableOutput& table) {
    if (interruptRequested()) {
        flushTable(table);
        discardOutputs(outputs);
        endByInterrupt();
    }
}

bool showFileNamedTwice(Console& console, const StepsArguments& parsed) {
    const auto fileFor = [&parsed](OutputKind kind) -> const std::optional<std::string>& {
        return parsed.files[static_cast<std::size_t>(kind)];
    };
    for (std::size_t first = 0; first < OutputKinds; ++first) {
        for (std::size_t second = first + 1; second < OutputKinds; ++second) {
            const std::optional<std::string>& one = fileFor(AllOutputs[first]);
            const std::optional<std::string>& other = fileFor(AllOutputs[second]);
            if (!one || !other || *one == "-" || *other == "-" ||
                (*one != *other && !sameFile(pathOfName(*one), pathOfName(*other)))) {
                continue;
            }
            writeErrorText(console, (std::string(ProgramName) + ": " + text(TextFileNamedTwice)).c_str());
            writeErrorBytes(console, *one);
            writeErrorText(console, (text(TextNamedForTwoOutputs) + outputOptionName(AllOutputs[first]) +
                                     text(TextAnd) + outputOptionName(AllOutputs[second]) + "\n")
                                        .c_str());
            return true;
        }
    }
    return false;
}

void writeRefusedFiles(Console& console, const StepsArguments& parsed, const std::function<std::string()>& picture,
                       const std::function<std::string()>& page) {
    StepsArguments drawn = parsed;
    drawn.files[static_cast<std::size_t>(OutputKind::Csv)].reset();
    TableOutput table{console};
    OutputFiles outputs;
    if (!openOutputs(console, outputs, drawn)) {
        return;
    }
    if (OutputFile& file = fileOf(outputs, OutputKind::Picture); file.active) {
        writeOutput(file, table, picture());
    }
    if (OutputFile& file = fileOf(outputs, OutputKind::Page); file.active) {
        writeOutput(file, table, page());
    }
    commitOutputs(console, outputs, table);
}
