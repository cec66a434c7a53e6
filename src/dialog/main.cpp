#include "console/console.h"
#include "dialog/dialog.h"

int main() {
    openConsole();
    const int status = runDialog();
    closeConsole();
    return status;
}
