#pragma once
// The picture's file: written under a temporary name beside the target and
// renamed over it only when complete, so that a failure never leaves a
// half-written picture behind.

#include <cstdio>
#include <string>
#include <string_view>

struct PictureFile {
    std::FILE* stream = nullptr;
    std::string target;
    std::string temporary;
    bool failed = false;
};

// Creates the temporary file; false when it cannot be created or the
// target is a directory.
bool openPictureFile(PictureFile& file, const std::string& target);
void writePicture(PictureFile& file, std::string_view text);
// Closes the temporary file and renames it to the target; on any failure
// removes it and returns false.
bool commitPictureFile(PictureFile& file);
// Closes and removes the temporary file: the picture is not wanted after all.
void discardPictureFile(PictureFile& file);
