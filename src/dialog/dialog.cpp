#include "dialog/dialog.h"

#include <cstdint>

#include "console/console.h"
#include "dialog/catalogue.h"
#include "dialog/report.h"
#include "solver/chord.h"
#include "solver/equation.h"

namespace {

constexpr int ExitReported = 0;
constexpr int ExitReadFailed = 1;

void showText(const CatalogueText& text) {
    ::showText(text.data());
}

// Closing prompt and one key; the key itself does not matter.
int closeDialog(int status) {
    showText(TextPressKey);
    waitForKey();
    return status;
}

int abandonAfterFailedRead() {
    showText(TextReadFailed);
    endLine();
    return closeDialog(ExitReadFailed);
}

// Asks for ends until F changes sign between them. The sign test runs twice
// per attempt: once to warn, once to decide.
bool readInterval(float& xib, float& xie) {
    for (;;) {
        showText(TextPromptXib);
        if (!readReal(xib)) {
            return false;
        }
        showText(TextPromptXie);
        if (!readReal(xie)) {
            return false;
        }
        if (intervalRejected(xib, xie)) {
            showText(TextBadInterval);
            endLine();
        }
        if (!intervalRejected(xib, xie)) {
            return true;
        }
    }
}

}  // namespace

int runDialog() {
    showText(TextBanner);
    endLine();

    float xib = 0.0f;
    float xie = 0.0f;
    if (!readInterval(xib, xie)) {
        return abandonAfterFailedRead();
    }
    float epsilon = 0.0f;
    showText(TextPromptEpsilon);
    if (!readReal(epsilon)) {
        return abandonAfterFailedRead();
    }
    std::uint32_t limit = 0;
    showText(TextPromptLimit);
    if (!readCount(limit)) {
        return abandonAfterFailedRead();
    }

    writeReport(chordIterate({xib, xie, epsilon, limit}));
    return closeDialog(ExitReported);
}
