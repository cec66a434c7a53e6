// The console on Windows: the standard handles for the streams, the console
// input device "CONIN$" for the key wait, and explicit code-page conversion
// of the Windows-1251 texts.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "console/console.h"
#include "console/codec/key_event.h"

namespace {

constexpr UINT TextCodePage = 1251;

HANDLE handleOf(void* device) {
    return static_cast<HANDLE>(device);
}

bool writeAllToHandle(HANDLE handle, const char* bytes, std::size_t size) {
    while (size > 0) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        if (!WriteFile(handle, bytes, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes += written;
        size -= written;
    }
    return true;
}

// Every line break on standard output reaches the device as CR LF.
std::string withCrLf(std::string_view bytes) {
    std::string translated;
    translated.reserve(bytes.size() + 8);
    for (const char c : bytes) {
        if (c == '\n') {
            translated += '\r';
        }
        translated += c;
    }
    return translated;
}

bool writeToFile(void* device, const char* bytes, std::size_t size) {
    const std::string translated = withCrLf({bytes, size});
    return writeAllToHandle(handleOf(device), translated.data(), translated.size());
}

// Standard output is a console: the bytes are UTF-8 and go out as UTF-16,
// so the letters are right whatever code page the console is set to.
bool writeToConsole(void* device, const char* bytes, std::size_t size) {
    const std::string translated = withCrLf({bytes, size});
    const int length = MultiByteToWideChar(CP_UTF8, 0, translated.data(),
                                           static_cast<int>(translated.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, translated.data(), static_cast<int>(translated.size()),
                        wide.data(), length);
    std::wstring_view rest = wide;
    while (!rest.empty()) {
        DWORD written = 0;
        if (!WriteConsoleW(handleOf(device), rest.data(), static_cast<DWORD>(rest.size()), &written,
                           nullptr) ||
            written == 0) {
            return false;
        }
        rest.remove_prefix(written);
    }
    return true;
}

bool writeRawToHandle(void* device, const char* bytes, std::size_t size) {
    return writeAllToHandle(handleOf(device), bytes, size);
}

std::size_t readFromHandle(void* device, char* buffer, std::size_t capacity) {
    DWORD got = 0;
    if (!ReadFile(handleOf(device), buffer, static_cast<DWORD>(capacity), &got, nullptr)) {
        return 0;  // a broken pipe or any other error ends the input
    }
    return got;
}

// The code page texts are converted to when standard output is not a
// console (the console's, or the OEM code page when there is no console),
// kept in the hook's converter pointer.
void* converterOf(UINT codePage) {
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(codePage));
}

// A text from one code page into another, through UTF-16.
std::string recoded(UINT from, UINT to, std::string_view text) {
    const int size = static_cast<int>(text.size());
    const int wideLength = MultiByteToWideChar(from, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(from, 0, text.data(), size, wide.data(), wideLength);
    const int length = WideCharToMultiByte(to, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string converted(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(to, 0, wide.data(), wideLength, converted.data(), length, nullptr, nullptr);
    return converted;
}

UINT codePageOf(void* converter) {
    return static_cast<UINT>(reinterpret_cast<std::uintptr_t>(converter));
}

std::string toRedirectedCodePage(void* converter, std::string_view cp1251Text) {
    return recoded(TextCodePage, codePageOf(converter), cp1251Text);
}

// A name the user gave, read from the UTF-16 command line as UTF-8.
std::string givenToRedirectedCodePage(void* converter, std::string_view utf8Text) {
    return recoded(CP_UTF8, codePageOf(converter), utf8Text);
}

// The console's own keyboard input, also when standard input is redirected;
// INVALID_HANDLE_VALUE without a console.
HANDLE openConsoleInput() {
    return CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, 0, nullptr);
}

// The console input and its mode from before the key wait, for a control
// event that ends the program during the wait (Ctrl+Break, the window
// closed, a Ctrl+C sent from outside): without them the shell gets its
// console back in mode 0, without echo or line input.
std::atomic<HANDLE> waitingInput{INVALID_HANDLE_VALUE};
std::atomic<DWORD> modeBeforeWait{0};

// Runs on a thread of its own: puts the mode back, and FALSE lets the next
// handler, in the end the default one that ends the process, go on.
BOOL WINAPI restoreModeOnControlEvent(DWORD) {
    const HANDLE input = waitingInput.exchange(INVALID_HANDLE_VALUE);
    if (input != INVALID_HANDLE_VALUE) {
        SetConsoleMode(input, modeBeforeWait.load());
    }
    return FALSE;
}

// The first key press among the console's input events.
KeyCode readKeyEvents(HANDLE input) {
    for (;;) {
        INPUT_RECORD record{};
        DWORD count = 0;
        if (!ReadConsoleInputA(input, &record, 1, &count) || count != 1) {
            return {};
        }
        if (record.EventType != KEY_EVENT) {
            continue;
        }
        const KEY_EVENT_RECORD& key = record.Event.KeyEvent;
        const std::optional<KeyCode> code =
            keyOfConsoleEvent({key.bKeyDown != FALSE, key.wVirtualKeyCode,
                               static_cast<unsigned char>(key.uChar.AsciiChar),
                               key.dwControlKeyState});
        if (code) {
            return *code;
        }
    }
}

// One key press from the console's own input, with its mode at 0 for the
// wait: no line input, no echo, Ctrl+C as an ordinary key. The saved mode
// comes back when the wait ends, and also when a control event ends the
// program meanwhile.
KeyCode readConsoleKey(void* keyboard) {
    const HANDLE input = handleOf(keyboard);
    DWORD saved = 0;
    if (!GetConsoleMode(input, &saved)) {
        return {};
    }
    modeBeforeWait.store(saved);
    waitingInput.store(input);
    SetConsoleCtrlHandler(restoreModeOnControlEvent, TRUE);
    KeyCode result;
    if (SetConsoleMode(input, 0)) {
        result = readKeyEvents(input);
    }
    waitingInput.store(INVALID_HANDLE_VALUE);
    const bool restored = SetConsoleMode(input, saved) != FALSE;
    SetConsoleCtrlHandler(restoreModeOnControlEvent, FALSE);
    return restored ? result : KeyCode{};
}

bool isConsole(HANDLE handle) {
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != FALSE;
}

// Ctrl+C and Ctrl+Break during a long run: noted, and handled (TRUE) so
// that the process is not ended before the run has tidied up.
std::atomic<bool> interrupted{false};

BOOL WINAPI noteInterrupt(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        interrupted.store(true);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

void watchInterrupts() {
    SetConsoleCtrlHandler(noteInterrupt, TRUE);
}

bool interruptRequested() {
    return interrupted.load(std::memory_order_relaxed);
}

void endByInterrupt() {
    // The status Windows gives a program ended by Ctrl+C.
    ExitProcess(STATUS_CONTROL_C_EXIT);
}

std::size_t consoleProcessCount() {
    DWORD processes[4];
    return GetConsoleProcessList(processes, 4);  // 0 without a console
}

std::optional<std::size_t> outputTerminalColumns() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info)) {
        return std::nullopt;  // a file or a pipe
    }
    return static_cast<std::size_t>(info.srWindow.Right - info.srWindow.Left + 1);
}

Console openConsole() {
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    const HANDLE errors = GetStdHandle(STD_ERROR_HANDLE);
    const bool outputIsConsole = isConsole(output);
    const bool errorsAreConsole = isConsole(errors);
    const UINT consoleCodePage = GetConsoleOutputCP();
    const UINT redirectedCodePage = consoleCodePage != 0 ? consoleCodePage : GetOEMCP();
    return Console{
        .output = {outputIsConsole ? writeToConsole : writeToFile, output},
        .input = {.read = readFromHandle, .device = GetStdHandle(STD_INPUT_HANDLE)},
        .readKey = readConsoleKey,
        .keyboard = openConsoleInput(),
        .convertText = outputIsConsole ? convertToUtf8 : toRedirectedCodePage,
        .converter = converterOf(redirectedCodePage),
        .messages = {errorsAreConsole ? writeToConsole : writeToFile, errors},
        .convertMessage = errorsAreConsole ? convertToUtf8 : toRedirectedCodePage,
        .convertGiven = errorsAreConsole ? nullptr : givenToRedirectedCodePage,
        .writeError = writeRawToHandle,
        .errorDevice = errors,
    };
}

void closeConsole(Console& console) {
    if (handleOf(console.keyboard) != INVALID_HANDLE_VALUE) {
        CloseHandle(handleOf(console.keyboard));
        console.keyboard = INVALID_HANDLE_VALUE;
    }
}
