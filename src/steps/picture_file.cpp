#include "steps/picture_file.h"

#include <cerrno>

#include "console/files.h"

namespace fs = std::filesystem;

namespace {

std::error_code lastError() {
    return {errno != 0 ? errno : EIO, std::generic_category()};
}

// A name beside the target that nothing has: a name that is there, a link
// planted under it included, is refused by the creation itself. A name left
// by an interrupted run, or taken by a run beside this one, moves on to the
// next.
bool openTemporary(PictureFile& file, const fs::path& beside) {
    constexpr int Attempts = 100;
    for (int attempt = 1; attempt <= Attempts; ++attempt) {
        file.written = beside;
        file.written += ".part" + (attempt > 1 ? std::to_string(attempt) : "");
        file.error.clear();
        file.stream = createFile(file.written, file.error);
        if (file.stream != nullptr || file.error != std::errc::file_exists) {
            break;
        }
    }
    if (file.stream == nullptr) {
        return false;
    }
    file.replaced = beside;
    return true;
}

bool openInPlace(PictureFile& file, const fs::path& path, bool append) {
    file.stream = openForWriting(path, append, file.error);
    if (file.stream == nullptr) {
        return false;
    }
    file.written = path;
    return true;
}

// Reached through /proc (as /dev/stdout and /dev/fd/N are on Linux): an
// open stream of some process, not a file of its own to replace.
bool isStreamAlias(const fs::path& resolved) {
    const std::u8string text = resolved.generic_u8string();
    return text.starts_with(u8"/proc/") || text.starts_with(u8"/dev/");
}

}  // namespace

bool openPictureFile(PictureFile& file, const std::string& target) {
    file.target = target;
    const fs::path path = pathOfName(target);
    std::error_code error;
    const fs::file_status status = fs::status(path, error);  // follows links
    if (fs::is_directory(status)) {
        file.error = std::make_error_code(std::errc::is_a_directory);
        return false;
    }
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        return openInPlace(file, path, false);  // a device or FIFO: nothing to truncate
    }
    if (!fs::exists(status)) {
        return openTemporary(file, path);
    }
    const fs::path resolved = fs::canonical(path, error);
    if (error) {
        file.error = error;
        return false;
    }
    if (isStreamAlias(resolved)) {
        return openInPlace(file, path, true);  // never cut what is already there
    }
    if (!openTemporary(file, resolved)) {
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
        removeFile(file.written);
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
        replaceFile(file.written, file.replaced, file.error);
    }
    if (file.error) {
        discardPictureFile(file);
        return false;
    }
    return true;
}
