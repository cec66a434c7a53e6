#include <string>
#include <vector>

#include "console/console.h"
#include "console/files.h"
#include "numeric/precision.h"
#include "steps/steps.h"

int main(int argc, char** argv) {
    useExtendedPrecision();
    Console console = openConsole();
    // The exponential's range events are marked in the table instead: the
    // solver only counts them, and standard error keeps only real errors.
    // Started from Explorer (a shortcut, a double click), the window would
    // close with the program: its help (without arguments) or its table
    // stays until a key. From a command interpreter nothing changes.
    const bool alone = waitsBeforeClosing(consoleProcessCount());
    // On Windows in UTF-8 from the UTF-16 command line: file names in any
    // script, not only in the ANSI code page's.
    std::vector<std::string> arguments = programArguments(argc, argv);
    if (alone && arguments.empty()) {
        arguments.push_back("--help");
    }
    const int status = runSteps(console, arguments);
    if (alone) {
        showPressKey(console);
    }
    closeConsole(console);
    return status;
}
