#include "dialog/report.h"

#include "console/console.h"
#include "dialog/catalogue.h"
#include "solver/equation.h"

namespace {

// F is computed after the root has been written once.
void reportRoot(Console& console, float x, std::uint32_t counter) {
    showCatalogueText(console, TextRoot);
    writeReal(console, x);
    const float fx = toFloat(equationF(x));
    writeRaw(console, TextValueOpen);
    writeReal(console, x);
    writeRaw(console, TextValueClose);
    writeReal(console, fx);
    endLine(console);
    showCatalogueText(console, TextIterations);
    writeCount(console, counter);
}

}  // namespace

void writeReport(Console& console, const ChordOutcome& outcome) {
    if (outcome.found) {
        reportRoot(console, *outcome.x, outcome.counter);
    } else {
        showCatalogueText(console, TextNotFound);
    }
    endLine(console);
}
