// Names and files on Windows: the command line read in UTF-16 and handed on
// in UTF-8, and every file opened, renamed or removed by its UTF-16 name.
// The narrow calls would go through the ANSI code page, where a name in
// another script turns into question marks or into look-alike letters.
#include <windows.h>
#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <string_view>

#include "console/files.h"

namespace {

std::wstring wideOf(std::string_view utf8) {
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    return wide;
}

std::string utf8Of(std::wstring_view wide) {
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

// The system's error as the portable condition the messages know.
std::error_code errorOf(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
        return std::make_error_code(std::errc::no_such_file_or_directory);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return std::make_error_code(std::errc::permission_denied);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return std::make_error_code(std::errc::file_exists);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return std::make_error_code(std::errc::no_space_on_device);
    case ERROR_WRITE_PROTECT:
        return std::make_error_code(std::errc::read_only_file_system);
    default:
        return {static_cast<int>(code), std::system_category()};
    }
}

std::error_code lastErrno() {
    return {errno != 0 ? errno : EIO, std::generic_category()};
}

// A file's volume and index: the same pair is the same file.
bool identityOf(const std::filesystem::path& path, BY_HANDLE_FILE_INFORMATION& information) {
    const HANDLE handle = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool known = GetFileInformationByHandle(handle, &information) != FALSE;
    CloseHandle(handle);
    return known;
}

}  // namespace

std::vector<std::string> programArguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* const wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return {argv + 1, argv + argc};  // as the C runtime read them
    }
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) {
        arguments.push_back(utf8Of(wide[i]));
    }
    LocalFree(wide);
    return arguments;
}

std::filesystem::path pathOfName(const std::string& name) {
    return wideOf(name);
}

// CREATE_NEW fails on any name that is there: the check and the creation
// are one step, as "x" is to the C library elsewhere.
std::FILE* createFile(const std::filesystem::path& path, std::error_code& error) {
    const HANDLE handle =
        CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = errorOf(GetLastError());
        return nullptr;
    }
    errno = 0;
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    if (descriptor == -1) {
        error = lastErrno();
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* const stream = _fdopen(descriptor, "wb");
    if (stream == nullptr) {
        error = lastErrno();
        _close(descriptor);
    }
    return stream;
}

std::FILE* openForWriting(const std::filesystem::path& path, bool append, std::error_code& error) {
    errno = 0;
    std::FILE* const stream = _wfopen(path.c_str(), append ? L"ab" : L"wb");
    if (stream == nullptr) {
        error = lastErrno();
    }
    return stream;
}

bool replaceFile(const std::filesystem::path& from, const std::filesystem::path& to, std::error_code& error) {
    if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        error = errorOf(GetLastError());
        return false;
    }
    return true;
}

bool removeFile(const std::filesystem::path& path) {
    return DeleteFileW(path.c_str()) != FALSE;
}

bool sameFile(const std::filesystem::path& first, const std::filesystem::path& second) {
    BY_HANDLE_FILE_INFORMATION one{};
    BY_HANDLE_FILE_INFORMATION other{};
    return identityOf(first, one) && identityOf(second, other) &&
           one.dwVolumeSerialNumber == other.dwVolumeSerialNumber && one.nFileIndexHigh == other.nFileIndexHigh &&
           one.nFileIndexLow == other.nFileIndexLow;
}

std::filesystem::path programPath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);  // cut short: a longer buffer
    }
}
