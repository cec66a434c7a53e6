#pragma once
// The names a user gives on the command line, and the files they name. On
// Windows the program reads its command line in UTF-16 and hands the
// arguments on in UTF-8, and every file call is the wide one, so that a
// name in any script reaches the file system as it was typed; elsewhere an
// argument is the bytes given, and the calls are the C library's.

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

// The arguments after the program's name.
std::vector<std::string> programArguments(int argc, char** argv);

// The path a name given on the command line stands for.
std::filesystem::path pathOfName(const std::string& name);

// A new file, opened for writing: a name already taken, by a link too, is
// refused (std::errc::file_exists).
std::FILE* createFile(const std::filesystem::path& path, std::error_code& error);
// A file that is there (a device, a FIFO) opened for writing, from its start
// or at its end.
std::FILE* openForWriting(const std::filesystem::path& path, bool append, std::error_code& error);
// Renames a file over another, which is replaced in one step.
bool replaceFile(const std::filesystem::path& from, const std::filesystem::path& to, std::error_code& error);
bool removeFile(const std::filesystem::path& path);
// Whether both names lead to one existing file.
bool sameFile(const std::filesystem::path& first, const std::filesystem::path& second);
// The running program's own file, to find what is installed beside it;
// empty where the system does not say.
std::filesystem::path programPath();
