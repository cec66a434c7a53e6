#include "steps/picture_file.h"

#include <filesystem>
#include <system_error>

namespace {

void discard(PictureFile& file) {
    if (file.stream != nullptr) {
        std::fclose(file.stream);
        file.stream = nullptr;
    }
    std::error_code ignored;
    std::filesystem::remove(file.temporary, ignored);
}

}  // namespace

bool openPictureFile(PictureFile& file, const std::string& target) {
    std::error_code error;
    if (std::filesystem::is_directory(target, error)) {
        return false;
    }
    file.target = target;
    file.temporary = target + ".part";
    file.stream = std::fopen(file.temporary.c_str(), "wb");
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
        discard(file);
        return false;
    }
    std::filesystem::rename(file.temporary, file.target, error);
    if (error) {
        discard(file);
        return false;
    }
    return true;
}
