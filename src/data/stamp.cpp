#include "data/stamp.h"

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <sys/stat.h>
#include <sys/types.h>
#ifdef _WIN32
#include <windows.h>
#endif

#include "data/file_error.h"
#include "data/system_paths.h"
#include "data/input_file.h"
#include "data/replacing_file.h"

namespace quindle {

std::optional<std::string> stampTextOf(const std::string& path)
{
    // stat rather than std::filesystem: its clock ends in the year 2262.
    std::int64_t seconds = 0, nanoseconds = 0, size = 0;
#ifdef _WIN32
    struct _stat64 status {};
    if (_wstat64(fsPath(path).c_str(), &status) != 0)
        return std::nullopt;
    const bool regular = (status.st_mode & _S_IFMT) == _S_IFREG;
    seconds = status.st_mtime;
    // The part below the second from the file's own time, in 100 ns steps (the C
    // library's times stop at the second, so a new file written within the same
    // second at the same size would pass for the old one).
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExW(fsPath(path).c_str(), GetFileExInfoStandard, &data) != 0) {
        const std::uint64_t ticks =
            (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
        nanoseconds = static_cast<std::int64_t>(ticks % 10000000) * 100;
    }
#else
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    const bool regular = S_ISREG(status.st_mode);
    seconds = status.st_mtim.tv_sec;
    nanoseconds = status.st_mtim.tv_nsec;
#endif
    if (!regular)
        throw FileError(path, 0, notRegularFileText(status.st_mode), FileError::Kind::NotRegularFile);
    size = static_cast<std::int64_t>(status.st_size);
    const auto whole = static_cast<std::time_t>(seconds);
    // In UTC: local time repeats an hour when the clocks go back, and changes
    // with TZ, so it would miss a new file or cut an unchanged one again.
    std::tm utc{};
#ifdef _WIN32
    if (gmtime_s(&utc, &whole) != 0)
        throw FileError(path, 0, "its modification time cannot be read");
#else
    if (!gmtime_r(&whole, &utc))
        throw FileError(path, 0, "its modification time cannot be read");
#endif
    char text[64];
    if (std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &utc) == 0)
        throw FileError(path, 0, "its modification time cannot be read");
    char rest[64];
    std::snprintf(rest, sizeof rest, ".%09lld UTC %lld bytes", static_cast<long long>(nanoseconds),
                  static_cast<long long>(size));
    return std::string(text) + rest;
}

std::optional<std::string> readStamp(const std::string& stampPath)
{
    // A stamp is a short date; a file far longer than that cannot match anyway.
    constexpr std::size_t kLongest = 4096;
    FilePtr file;
    try {
        file = openInput(stampPath);
    } catch (const FileError& e) {
        if (!e.notOpened())
            throw;
        return std::nullopt;
    }
    std::string text;
    int c = std::fgetc(file.get());
    if (c == EOF)
        return std::nullopt;
    text += static_cast<char>(c);
    while ((c = std::fgetc(file.get())) != ',') {
        if (c == EOF || text.size() >= kLongest)
            return std::nullopt;
        text += static_cast<char>(c);
    }
    return text;
}

void writeStamp(const std::string& stampPath, const std::string& text)
{
    const std::string content = text + ",";
    ReplacingFile file(stampPath);
    file.write(content.data(), content.size());
    file.commit();
}

} // namespace quindle
