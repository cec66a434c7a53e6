#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "console/codec/key_code.h"
#include "text/streams.h"

// Waits for one key press on the keyboard device.
using ReadKey = KeyCode (*)(void* keyboard);
// Turns a Windows-1251 text into the bytes the output device shows as the
// same letters, by what the converter holds (a code page, a converter).
using ConvertText = std::string (*)(void* converter, std::string_view cp1251Text);

// Everything the dialog's console operations work on, and the one owner of
// the devices behind them: each device with the plain function that works
// it. The platform makes it before the dialog starts, all at once (so the
// streams start good and empty and no key is pending), and the program hands
// it to the code that talks to the user; tests make it of in-memory devices.
struct Console {
    OutputStream output;
    InputStream input;
    ReadKey readKey = nullptr;
    void* keyboard = nullptr;
    ConvertText convertText = nullptr;
    void* converter = nullptr;
    // Standard error, for a program's own messages. It has its own writer
    // and conversion: on Windows it may be a console while standard output
    // is a file, or the other way round.
    OutputStream messages;
    ConvertText convertMessage = nullptr;
    // What the user gave (a file's name, an argument as typed) on its way to
    // standard error: from the program's own characters, UTF-8 on Windows,
    // into the device's; none where the bytes go out as they are.
    ConvertText convertGiven = nullptr;
    // Standard error once more, as raw bytes, for the range messages' error
    // line: no conversion, no failed state, the answer ignored.
    WriteBytes writeError = nullptr;
    void* errorDevice = nullptr;
    // The platform's own record of what it opened for the console; the
    // hooks' devices may point into it, and closeConsole releases it.
    void* platform = nullptr;
    std::optional<unsigned char> pendingKeyCode{};
};

// The text conversion for an output device that shows UTF-8; it needs no
// converter.
std::string convertToUtf8(void* converter, std::string_view cp1251Text);

// Sets the process's console up from its standard devices, and releases it.
Console openConsole();
void closeConsole(Console& console);

// The dialog's operations. Every write reaches the device before it returns;
// a read reports whether it stored a value.
void showText(Console& console, const char* cp1251Text);
void writeRaw(Console& console, std::string_view text);
void writeReal(Console& console, float value);
void writeCount(Console& console, std::uint32_t value);
void endLine(Console& console);
bool readReal(Console& console, float& target);
bool readCount(Console& console, std::uint32_t& target);
int waitForKey(Console& console);

// Writes the text between two CR LF pairs on standard error, in one piece,
// straight to the device: a range message must never disturb the dialog.
// Nothing is written when the console has no error device.
void writeErrorLine(Console& console, const char* text);

// The bytes showText would hand to standard output for the text: for a
// caller that gathers many lines into one write.
std::string shownText(Console& console, std::string_view cp1251Text);

// Writes a text and a line break to standard error, in the characters its
// device shows: messages of a program whose standard output carries only
// results. Nothing is written when the console has no message stream.
void showErrorText(Console& console, const char* cp1251Text);
// The same in parts: a text without the line break, and what the user gave
// (a file name, an argument as typed) in the characters standard error shows.
void writeErrorText(Console& console, const char* cp1251Text);
void writeErrorBytes(Console& console, std::string_view bytes);

// How many processes share the program's console window: 1 when it was
// started from Explorer and the window will close with it, more when a
// command interpreter started it; 0 where there is no such window (not on
// Windows, or no console).
std::size_t consoleProcessCount();
// Whether a program should wait for a key before it ends, so that its window
// does not close before its output is read: only as its console's one
// process.
inline bool waitsBeforeClosing(std::size_t consoleProcesses) {
    return consoleProcesses == 1;
}

// How many columns the terminal standard output shows, or none when
// standard output is not a terminal (a file, a pipe): for output that
// arranges its lines to the width.
std::optional<std::size_t> outputTerminalColumns();

// Interrupts during a long run (Ctrl+C, a request to terminate): from
// watchInterrupts on they only raise a flag, which the run asks for between
// steps; once it has tidied up, endByInterrupt lets the interrupt take its
// usual effect, ending the process as it would have.
void watchInterrupts();
bool interruptRequested();
[[noreturn]] void endByInterrupt();
