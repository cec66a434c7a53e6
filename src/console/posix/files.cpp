// Names and files on POSIX systems: an argument is the bytes given, and a
// file name is those bytes too.
#include "console/files.h"

#include <cerrno>

namespace {

std::error_code lastError() {
    return {errno != 0 ? errno : EIO, std::generic_category()};
}

std::FILE* opened(const std::filesystem::path& path, const char* mode, std::error_code& error) {
    errno = 0;
    std::FILE* const stream = std::fopen(path.c_str(), mode);
    if (stream == nullptr) {
        error = lastError();
    }
    return stream;
}

}  // namespace

std::vector<std::string> programArguments(int argc, char** argv) {
    return {argv + 1, argv + argc};
}

std::filesystem::path pathOfName(const std::string& name) {
    return name;
}

std::FILE* createFile(const std::filesystem::path& path, std::error_code& error) {
    return opened(path, "wbx", error);  // "x": O_EXCL, which a link under the name also fails
}

std::FILE* openForWriting(const std::filesystem::path& path, bool append, std::error_code& error) {
    return opened(path, append ? "ab" : "wb", error);
}

bool replaceFile(const std::filesystem::path& from, const std::filesystem::path& to, std::error_code& error) {
    errno = 0;
    if (std::rename(from.c_str(), to.c_str()) != 0) {
        error = lastError();
        return false;
    }
    return true;
}

bool removeFile(const std::filesystem::path& path) {
    return std::remove(path.c_str()) == 0;
}

bool sameFile(const std::filesystem::path& first, const std::filesystem::path& second) {
    std::error_code error;
    return std::filesystem::equivalent(first, second, error) && !error;
}

std::filesystem::path programPath() {
    std::error_code error;
    std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : path;
}
