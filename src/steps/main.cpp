#include <string>
#include <vector>

#include "console/console.h"
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
    std::vector<std::string> arguments(argv + 1, argv + argc);
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
