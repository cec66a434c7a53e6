#pragma once
// The picture's file, written the way users expect of a program that writes
// an output file. A new or a regular file is written under a temporary name
// beside it and renamed over it only when complete, so that a failure never
// leaves a half-written picture behind; an existing file keeps its
// permissions, and a symbolic link is followed, so the file it names is
// replaced and the link stays. A target that is there and is not a regular
// file (a device, a FIFO, a terminal, /dev/stdout) is written in place and
// never replaced.

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

struct PictureFile {
    std::FILE* stream = nullptr;
    std::string target;              // as given
    std::filesystem::path written;   // the file the bytes go to (temporary or in place)
    std::filesystem::path replaced;  // the file the temporary one is renamed to; empty in place
    std::error_code error;           // the first failure
};

// Opens the file the picture is written to; false, with the reason in
// `error`, when that cannot be done.
bool openPictureFile(PictureFile& file, const std::string& target);
void writePicture(PictureFile& file, std::string_view text);
// Closes the file and, for a temporary one, renames it to the target; on
// any failure removes a temporary file and returns false.
bool commitPictureFile(PictureFile& file);
// Closes the file and removes a temporary one: the picture is not wanted
// after all.
void discardPictureFile(PictureFile& file);
