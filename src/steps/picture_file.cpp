#include "steps/picture_file.h"

#include <cerrno>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

std::error_code lastError() {
    return {errno != 0 ? errno : EIO, std::generic_category()};
}

// A name beside the target that nothing has: "x" refuses an existing name,
// a link planted under it included (C runtimes that do not know "x" get the
// check before). A name left by an interrupted run, or taken by a run beside
// this one, moves on to the next.
bool openTemporary(PictureFile& file, const std::string& beside) {
    constexpr int Attempts = 100;
    std::error_code ignored;
    for (int attempt = 1; attempt <= Attempts; ++attempt) {
        file.written = beside + ".part" + (attempt > 1 ? std::to_string(attempt) : "");
        if (fs::exists(fs::symlink_status(file.written, ignored))) {
            continue;
        }
        errno = 0;
        file.stream = std::fopen(file.written.c_str(), "wbx");
        if (file.stream != nullptr || errno != EEXIST) {
            break;
        }
    }
    if (file.stream == nullptr) {
        file.error = lastError();
        return false;
    }
    file.replaced = beside;
    return true;
}

bool openInPlace(PictureFile& file, const std::string& path, const char* mode) {
    errno = 0;
    file.stream = std::fopen(path.c_str(), mode);
    if (file.stream == nullptr) {
        file.error = lastError();
        return false;
    }
    file.written = path;
    return true;
}

// Reached through /proc (as /dev/stdout and /dev/fd/N are on Linux): an
// open stream of some process, not a file of its own to replace.
bool isStreamAlias(const fs::path& resolved) {
    const std::string text = resolved.generic_string();
    return text.starts_with("/proc/") || text.starts_with("/dev/");
}

}  // namespace

bool openPictureFile(PictureFile& file, const std::string& target) {
    file.target = target;
    std::error_code error;
    const fs::file_status status = fs::status(target, error);  // follows links
    if (fs::is_directory(status)) {
        file.error = std::make_error_code(std::errc::is_a_directory);
        return false;
    }
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        return openInPlace(file, target, "wb");  // a device or FIFO: nothing to truncate
    }
    if (!fs::exists(status)) {
        return openTemporary(file, target);
    }
    const fs::path resolved = fs::canonical(target, error);
    if (error) {
        file.error = error;
        return false;
    }
    if (isStreamAlias(resolved)) {
        return openInPlace(file, target, "ab");  // never cut what is already there
    }
    if (!openTemporary(file, resolved.string())) {
        return false;
    }
    fs::permissions(file.written, status.permissions(), error);
    return true;
}

void writePicture(PictureFile& file, std::string_view text) {
    if (!file.error && std::fwrite(text.data(), 1, text.size(), file.stream) != text.size()) {
        file.error = lastError();
    }
}

void discardPictureFile(PictureFile& file) {
    if (file.stream != nullptr) {
        std::fclose(file.stream);
        file.stream = nullptr;
    }
    if (!file.replaced.empty()) {
        std::error_code ignored;
        fs::remove(file.written, ignored);
    }
}

bool commitPictureFile(PictureFile& file) {
    errno = 0;
    const bool closed = std::fclose(file.stream) == 0;
    file.stream = nullptr;
    if (!closed && !file.error) {
        file.error = lastError();
    }
    if (!file.error && !file.replaced.empty()) {
        fs::rename(file.written, file.replaced, file.error);
    }
    if (file.error) {
        discardPictureFile(file);
        return false;
    }
    return true;
}
