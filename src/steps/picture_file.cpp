#include "steps/picture_file.h"

#include <filesystem>
#include <system_error>

void discardPictureFile(PictureFile& file) {
    if (file.stream != nullptr) {
        std::fclose(file.stream);
        file.stream = nullptr;
    }
    std::error_code ignored;
    std::filesystem::remove(file.temporary, ignored);
}

bool openPictureFile(PictureFile& file, const std::string& target) {
    std::error_code error;
    if (std::filesystem::is_directory(target, error)) {
        return false;
    }
    file.target = target;
    // A new file of its own, never one that is there already: "x" refuses an
    // existing name, a link planted under it included (C runtimes that do not
    // know "x" get the check before). A name left by an interrupted run, or
    // taken by a run beside this one, moves on to the next.
    constexpr int Attempts = 100;
    for (int attempt = 1; attempt <= Attempts && file.stream == nullptr; ++attempt) {
        file.temporary = target + ".part" + (attempt > 1 ? std::to_string(attempt) : "");
        if (!std::filesystem::exists(std::filesystem::symlink_status(file.temporary, error))) {
            file.stream = std::fopen(file.temporary.c_str(), "wbx");
        }
    }
    file.failed = file.stream == nullptr;
    return !file.failed;
}

void writePicture(PictureFile& file, std::string_view text) {
    if (!file.failed && std::fwrite(text.data(), 1, text.size(), file.stream) != text.size()) {
        file.failed = true;
    }
}

bool commitPictureFile(PictureFile& file) {
    const bool closed = std::fclose(file.stream) == 0;
    file.stream = nullptr;
    std::error_code error;
    if (file.failed || !closed) {
        discardPictureFile(file);
        return false;
    }
    std::filesystem::rename(file.temporary, file.target, error);
    if (error) {
        discardPictureFile(file);
        return false;
    }
    return true;
}
