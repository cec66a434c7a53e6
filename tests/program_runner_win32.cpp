#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "program_runner.h"

namespace {

// CMake names the program by a POSIX path when cross-building; under wine
// that path lives on drive Z:.
std::string windowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') {
        path = "Z:" + path;
    }
    for (char& c : path) {
        c = c == '/' ? '\\' : c;
    }
    return path;
}

std::string temporaryFile() {
    char directory[MAX_PATH];
    char name[MAX_PATH];
    GetTempPathA(MAX_PATH, directory);
    GetTempFileNameA(directory, "chr", 0, name);
    return name;
}

HANDLE inheritable(const std::string& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES security{sizeof security, nullptr, TRUE};
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &security,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string contentsOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

// The tests' texts are UTF-8; the program gets its command line in UTF-16,
// as from a shell, whatever the ANSI code page.
std::wstring wideOf(const std::string& utf8) {
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

// Detached: no console, as for a program whose output is redirected. Under
// an emulator a start can fail while it is busy; a few tries ride that out.
bool startDetached(const std::string& program, const std::string& commandLine, STARTUPINFOW& startup,
                   PROCESS_INFORMATION& process) {
    constexpr int Tries = 5;
    const std::wstring wideProgram = wideOf(program);
    std::wstring wideCommandLine = wideOf(commandLine);
    for (int attempt = 1; attempt <= Tries; ++attempt) {
        if (CreateProcessW(wideProgram.c_str(), wideCommandLine.data(), nullptr, nullptr, TRUE,
                           DETACHED_PROCESS, nullptr, nullptr, &startup, &process)) {
            return true;
        }
        std::fprintf(stderr, "CreateProcess failed (error %lu), try %d of %d\n", GetLastError(),
                     attempt, Tries);
        Sleep(200);
    }
    return false;
}

}  // namespace

ProgramRun runChords(std::string_view input, const RunOptions& options) {
    const std::string inputPath = temporaryFile();
    const std::string outputPath = temporaryFile();
    const std::string errorPath = temporaryFile();
    std::ofstream(inputPath, std::ios::binary) << input;

    const HANDLE in = inheritable(inputPath, GENERIC_READ, OPEN_EXISTING);
    HANDLE out = inheritable(outputPath, GENERIC_WRITE, CREATE_ALWAYS);
    const HANDLE err = inheritable(errorPath, GENERIC_WRITE, CREATE_ALWAYS);
    if (options.outputReaderGone) {
        CloseHandle(out);
        SECURITY_ATTRIBUTES security{sizeof security, nullptr, TRUE};
        HANDLE reader = nullptr;
        CreatePipe(&reader, &out, &security, 0);
        CloseHandle(reader);  // gone before the program starts
    }

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    std::string program = windowsPath(options.program ? options.program : CHORDS_PROGRAM);
    std::string commandLine = "\"" + program + "\"";
    for (const std::string& argument : options.arguments) {
        commandLine += " \"" + argument + "\"";  // the tests' arguments hold no quotes
    }
    ProgramRun run;
    if (startDetached(program, commandLine, startup, process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD status = 0;
        GetExitCodeProcess(process.hProcess, &status);
        run.exitStatus = static_cast<int>(status);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(in);
    CloseHandle(out);
    CloseHandle(err);
    run.output = contentsOf(outputPath);
    run.errors = contentsOf(errorPath);
    DeleteFileA(inputPath.c_str());
    DeleteFileA(outputPath.c_str());
    DeleteFileA(errorPath.c_str());
    return run;
}

std::string asShown(std::string_view transcript) {
    const int size = static_cast<int>(transcript.size());
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, transcript.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, transcript.data(), size, wide.data(), wideLength);
    const UINT codePage = GetOEMCP();  // a detached program has no console
    const int length =
        WideCharToMultiByte(codePage, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string converted(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, wide.data(), wideLength, converted.data(), length, nullptr,
                        nullptr);
    std::string shown;
    for (const char c : converted) {
        if (c == '\n') {
            shown += '\r';
        }
        shown += c;
    }
    return shown;
}

std::string nativePath(std::string_view path) {
    return windowsPath(std::string(path));
}
