#include "dialog/report.h"

#include "console/console.h"
#include "dialog/catalogue.h"
#include "solver/equation.h"

namespace {

void showText(const CatalogueText& text) {
    ::showText(text.data());
}

// F is computed after the root has been written once.
void reportRoot(float x, std::uint32_t counter) {
    showText(TextRoot);
    writeReal(x);
    const float fx = toFloat(equationF(x));
    writeRaw(TextValueOpen);
    writeReal(x);
    writeRaw(TextValueClose);
    writeReal(fx);
    endLine();
    showText(TextIterations);
    writeCount(counter);
}

}  // namespace

void writeReport(const ChordOutcome& outcome) {
    if (outcome.found) {
        reportRoot(*outcome.x, outcome.counter);
    } else {
        showText(TextNotFound);
    }
    endLine();
}
