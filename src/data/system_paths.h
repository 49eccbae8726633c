#pragma once
// Quindle keeps every path and argument as UTF-8 bytes. Linux takes those bytes as
// they are; Windows is reached through its UTF-16 calls, so a data folder with
// letters outside the user's code page opens, and no letter is silently replaced.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace quindle {

// fopen for a UTF-8 path.
std::FILE* openFile(const std::string& path, const char* mode);

// remove for a UTF-8 path.
int removeFile(const std::string& path);

// A filesystem path for a UTF-8 path (std::filesystem would read a plain string
// in the ANSI code page on Windows), and back.
std::filesystem::path fsPath(const std::string& path);
std::string utf8Path(const std::filesystem::path& path);

// The value of an environment variable as UTF-8 (on Windows read as UTF-16, so a
// user name outside the code page survives); empty when it is not set.
std::string environmentValue(const char* name);

// What stands at `path` when it is not a folder, for a message ("is a file, not
// a folder"); empty for a folder, or for nothing there at all.
std::string notAFolder(const std::string& path);

// The program's arguments after its name, as UTF-8. On Windows they are read from
// the UTF-16 command line; argv there holds them in the ANSI code page.
std::vector<std::string> programArguments(int argc, char** argv);

// Makes standard output and standard error binary, so CSV, JSON and messages leave
// with the same bytes on every system (Windows would turn each LF into CR LF), and
// has a Windows console show those UTF-8 bytes as the letters they are.
void setBinaryOutput();

} // namespace quindle
