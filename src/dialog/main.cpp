#include "console/console.h"
#include "dialog/dialog.h"
#include "numeric/precision.h"

int main() {
    useExtendedPrecision();
    Console console = openConsole();
    connectRangeSink(console);
    const int status = runDialog(console);
    closeConsole(console);
    return status;
}
