// The console room: the dialog's operations over the Console record, in the
// same words on every platform; the record's devices come from the backend
// (posix/ or win32/), its pure pieces from codec/.
#include "console/console.h"

#include "text/number_format.h"
#include "text/number_scan.h"
#include "text/text_codec.h"

std::string convertToUtf8(void*, std::string_view cp1251Text) {
    return cp1251ToUtf8(cp1251Text);
}

void showText(Console& console, const char* cp1251Text) {
    writeBytes(console.output, console.convertText(console.converter, cp1251Text));
}

void writeRaw(Console& console, std::string_view text) {
    writeBytes(console.output, text);
}

void writeReal(Console& console, float value) {
    writeBytes(console.output, formatReal(value));
}

void writeCount(Console& console, std::uint32_t value) {
    writeBytes(console.output, formatCount(value));
}

void endLine(Console& console) {
    writeBytes(console.output, "\n");
}

bool readReal(Console& console, float& target) {
    return scanReal(console.input, target);
}

bool readCount(Console& console, std::uint32_t& target) {
    return scanCount(console.input, target);
}

int waitForKey(Console& console) {
    if (console.pendingKeyCode) {
        const unsigned char pending = *console.pendingKeyCode;
        console.pendingKeyCode.reset();
        return pending;
    }
    const KeyCode key = console.readKey(console.keyboard);
    if (key.extended) {
        console.pendingKeyCode = static_cast<unsigned char>(key.value);
        return 0;
    }
    return key.value;
}

void writeErrorLine(Console& console, const char* text) {
    if (console.writeError == nullptr) {
        return;
    }
    const std::string line = std::string("\r\n") + text + "\r\n";
    console.writeError(console.errorDevice, line.data(), line.size());
}

std::string shownText(Console& console, std::string_view cp1251Text) {
    return console.convertText(console.converter, cp1251Text);
}

void writeErrorText(Console& console, const char* cp1251Text) {
    if (console.messages.write == nullptr || console.convertMessage == nullptr) {
        return;
    }
    writeBytes(console.messages, console.convertMessage(console.converter, cp1251Text));
}

void writeErrorBytes(Console& console, std::string_view bytes) {
    if (console.messages.write == nullptr) {
        return;
    }
    writeBytes(console.messages,
               console.convertGiven != nullptr ? console.convertGiven(console.converter, bytes) : std::string(bytes));
}

void showErrorText(Console& console, const char* cp1251Text) {
    if (console.messages.write == nullptr || console.convertMessage == nullptr) {
        return;
    }
    writeBytes(console.messages, console.convertMessage(console.converter, cp1251Text) + "\n");
}
