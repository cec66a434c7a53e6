#include "console/console.h"

#include "console/codec/number_format.h"
#include "console/codec/number_scan.h"
#include "console/codec/text_codec.h"

Console& console() {
    static Console instance;
    return instance;
}

std::string convertToUtf8(void*, std::string_view cp1251Text) {
    return cp1251ToUtf8(cp1251Text);
}

void showText(const char* cp1251Text) {
    Console& state = console();
    writeBytes(state.output, state.convertText(state.converter, cp1251Text));
}

void writeRaw(const char* text) {
    writeBytes(console().output, text);
}

void writeReal(float value) {
    writeBytes(console().output, formatReal(value));
}

void writeCount(std::uint32_t value) {
    writeBytes(console().output, formatCount(value));
}

void endLine() {
    writeBytes(console().output, "\n");
}

bool readReal(float& target) {
    return scanReal(console().input, target);
}

bool readCount(std::uint32_t& target) {
    return scanCount(console().input, target);
}

int waitForKey() {
    Console& state = console();
    if (state.pendingKeyCode) {
        const unsigned char pending = *state.pendingKeyCode;
        state.pendingKeyCode.reset();
        return pending;
    }
    const KeyCode key = state.readKey(state.keyboard);
    if (key.extended) {
        state.pendingKeyCode = static_cast<unsigned char>(key.value);
        return 0;
    }
    return key.value;
}

void showErrorText(const char* cp1251Text) {
    Console& state = console();
    if (state.messages.write == nullptr || state.convertMessage == nullptr) {
        return;
    }
    writeBytes(state.messages, state.convertMessage(state.converter, cp1251Text) + "\n");
}
