#include "console/error_line.h"

#include <string>

ErrorLine& errorLine() {
    static ErrorLine instance;
    return instance;
}

void writeErrorLine(const char* text) {
    // Straight to the device, outcome ignored: a range message must never
    // disturb the dialog.
    ErrorLine& sink = errorLine();
    ++sink.linesWritten;
    if (sink.write == nullptr) {
        return;
    }
    const std::string line = std::string("\r\n") + text + "\r\n";
    sink.write(sink.device, line.data(), line.size());
}
