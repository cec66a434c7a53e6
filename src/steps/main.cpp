#include <string>
#include <vector>

#include "console/console.h"
#include "solver/precision.h"
#include "steps/steps.h"

int main(int argc, char** argv) {
    useExtendedPrecision();
    openConsole();
    // The exponential's range lines are marked in the table instead: they
    // are counted and dropped, and standard error keeps only real errors.
    errorLine().write = nullptr;
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const int status = runSteps(arguments);
    closeConsole();
    return status;
}
