#include <span>

#include "console/console.h"
#include "dialog/command_line.h"
#include "dialog/dialog.h"
#include "numeric/precision.h"

#ifndef CHORDS_VERSION
#error "CHORDS_VERSION must name the program's version"
#endif

int main(int argc, char** argv) {
    useExtendedPrecision();
    Console console = openConsole();
    int status = 0;
    switch (requestOf(std::span<const char* const>(argv + 1, static_cast<std::size_t>(argc - 1)))) {
    case DialogRequest::Help:
        showDialogHelp(console);
        break;
    case DialogRequest::Version:
        showDialogVersion(console, CHORDS_VERSION);
        break;
    case DialogRequest::Dialog:
        connectRangeSink(console);
        status = runDialog(console);
        break;
    }
    closeConsole(console);
    return status;
}
