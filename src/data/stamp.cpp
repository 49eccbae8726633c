#include "data/stamp.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "data/file_error.h"
#include "data/input_file.h"

namespace quindle {

namespace fs = std::filesystem;

std::optional<std::string> stampTextOf(const std::string& path)
{
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        return std::nullopt;
    const auto fileTime = fs::last_write_time(path, ec);
    if (ec)
        return std::nullopt;
    const auto sysTime = std::chrono::file_clock::to_sys(fileTime);
    const std::time_t seconds = std::chrono::system_clock::to_time_t(
        std::chrono::time_point_cast<std::chrono::seconds>(sysTime));
    std::tm local{};
#ifdef _WIN32
    if (localtime_s(&local, &seconds) != 0)
        return std::nullopt;
#else
    if (!localtime_r(&seconds, &local))
        return std::nullopt;
#endif
    char text[32];
    if (std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local) == 0)
        return std::nullopt;
    return std::string(text);
}

std::optional<std::string> readStamp(const std::string& stampPath)
{
    // A stamp is a short date; a file far longer than that cannot match anyway.
    constexpr std::size_t kLongest = 4096;
    FilePtr file = openForReading(stampPath);
    if (!file)
        return std::nullopt;
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
    const std::string temporary = stampPath + ".new";
    const std::string content = text + ",";
    {
        FilePtr file(std::fopen(temporary.c_str(), "wb"));
        if (!file)
            throw FileError(stampPath, 0, std::string("cannot be written: ") + std::strerror(errno));
        const bool written = std::fwrite(content.data(), 1, content.size(), file.get()) == content.size();
        if (!written || std::fclose(file.release()) != 0) {
            std::remove(temporary.c_str());
            throw FileError(stampPath, 0, std::string("could not be written: ") + std::strerror(errno));
        }
    }
    std::error_code ec;
    fs::rename(temporary, stampPath, ec);
    if (ec) {
        std::remove(temporary.c_str());
        throw FileError(stampPath, 0, "could not be replaced: " + ec.message());
    }
}

} // namespace quindle
