#include "dialog/report.h"

#include "console/console.h"
#include "dialog/catalogue.h"
#include "solver/equation.h"
#include "text/number_format.h"

std::vector<std::string> reportLines(bool found, const std::string& root, const std::string& valueAtRoot,
                                     std::uint32_t counter) {
    if (!found) {
        return {TextNotFound.data()};
    }
    return {TextRoot.data() + root + TextValueOpen + root + TextValueClose + valueAtRoot,
            TextIterations.data() + formatCount(counter)};
}

void writeReport(Console& console, const ChordOutcome& outcome) {
    // F at a root is finite, so evaluating it here reports no range event.
    const std::string root = outcome.found ? formatReal(*outcome.x) : std::string();
    const std::string valueAtRoot = outcome.found ? formatReal(toFloat(equationF(*outcome.x))) : std::string();
    for (const std::string& line : reportLines(outcome.found, root, valueAtRoot, outcome.counter)) {
        showText(console, line.c_str());
        endLine(console);
    }
}
