#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "console/codec/key_code.h"
#include "console/codec/streams.h"
#include "console/error_line.h"

// Waits for one key press on the keyboard device.
using ReadKey = KeyCode (*)(void* keyboard);
// Turns a Windows-1251 text into the bytes the output device shows as the
// same letters, by what the converter holds (a code page, a converter).
using ConvertText = std::string (*)(void* converter, std::string_view cp1251Text);

// Everything the dialog's console operations work on, and the one owner of
// the devices behind them. The platform fills it in before the dialog
// starts, all at once (so the streams start good and empty and no key is
// pending); tests may fill it with in-memory devices.
struct Console {
    OutputStream output;
    InputStream input;
    ReadKey readKey = nullptr;
    void* keyboard = nullptr;
    ConvertText convertText = nullptr;
    void* converter = nullptr;
    // Standard error, for a program's own messages (range messages go
    // through the error line). It has its own writer and conversion: on
    // Windows it may be a console while standard output is a file, or the
    // other way round.
    OutputStream messages;
    ConvertText convertMessage = nullptr;
    // The platform's own record of what it opened for the console; the
    // hooks' devices may point into it, and closeConsole releases it.
    void* platform = nullptr;
    std::optional<unsigned char> pendingKeyCode{};
};

// The text conversion for an output device that shows UTF-8; it needs no
// converter.
std::string convertToUtf8(void* converter, std::string_view cp1251Text);

Console& console();

// Sets the process's console up from its standard devices and releases it.
void openConsole();
void closeConsole();

// The dialog's operations. Every write reaches the device before it returns;
// a read reports whether it stored a value.
void showText(const char* cp1251Text);
void writeRaw(const char* text);
void writeReal(float value);
void writeCount(std::uint32_t value);
void endLine();
bool readReal(float& target);
bool readCount(std::uint32_t& target);
int waitForKey();

// Writes a text and a line break to standard error, in the characters its
// device shows: messages of a program whose standard output carries only
// results. Nothing is written when the console has no message stream.
void showErrorText(const char* cp1251Text);
