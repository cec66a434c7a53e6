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
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const int status = runSteps(console, arguments);
    closeConsole(console);
    return status;
}
