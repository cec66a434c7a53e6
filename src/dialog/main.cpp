#include "console/console.h"
#include "dialog/dialog.h"
#include "solver/precision.h"

int main() {
    useExtendedPrecision();
    openConsole();
    const int status = runDialog();
    closeConsole();
    return status;
}
