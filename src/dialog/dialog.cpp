// The dialog room: the conversation from the banner to the key wait, in the
// order the program talks, over the console it is handed; the numbers come
// from the solver.
#include "dialog/dialog.h"

#include <cstdint>

#include "dialog/catalogue.h"
#include "dialog/report.h"
#include "solver/chord.h"
#include "solver/equation.h"

namespace {

constexpr int ExitReported = 0;
constexpr int ExitReadFailed = 1;

// Closing prompt and one key; the key itself does not matter.
int closeDialog(Console& console, int status) {
    showCatalogueText(console, TextPressKey);
    waitForKey(console);
    return status;
}

int abandonAfterFailedRead(Console& console) {
    showCatalogueText(console, TextReadFailed);
    endLine(console);
    return closeDialog(console, ExitReadFailed);
}

// Asks for ends until F changes sign between them. The sign test runs twice
// per attempt: once to warn, once to decide.
bool readInterval(Console& console, float& xib, float& xie) {
    for (;;) {
        showCatalogueText(console, TextPromptXib);
        if (!readReal(console, xib)) {
            return false;
        }
        showCatalogueText(console, TextPromptXie);
        if (!readReal(console, xie)) {
            return false;
        }
        if (intervalRejected(xib, xie)) {
            showCatalogueText(console, TextBadInterval);
            endLine(console);
        }
        if (!intervalRejected(xib, xie)) {
            return true;
        }
    }
}

void reportRangeOnErrorLine(void* console, const char* message) {
    writeErrorLine(*static_cast<Console*>(console), message);
}

}  // namespace

void connectRangeSink(Console& console) {
    rangeSink().report = reportRangeOnErrorLine;
    rangeSink().context = &console;
}

int runDialog(Console& console) {
    showCatalogueText(console, TextBanner);
    endLine(console);

    float xib = 0.0f;
    float xie = 0.0f;
    if (!readInterval(console, xib, xie)) {
        return abandonAfterFailedRead(console);
    }
    float epsilon = 0.0f;
    showCatalogueText(console, TextPromptEpsilon);
    if (!readReal(console, epsilon)) {
        return abandonAfterFailedRead(console);
    }
    std::uint32_t limit = 0;
    showCatalogueText(console, TextPromptLimit);
    if (!readCount(console, limit)) {
        return abandonAfterFailedRead(console);
    }

    writeReport(console, chordIterate({xib, xie, epsilon, limit}));
    return closeDialog(console, ExitReported);
}
