#include "data/system_paths.h"

#include <cerrno>
#include <cstdlib>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#include <shellapi.h>
#endif

namespace quindle {

#ifdef _WIN32

namespace {
std::wstring widen(const std::string& text)
{
    if (text.empty())
        return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

std::string narrow(const wchar_t* text, std::size_t length)
{
    if (length == 0)
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), utf8.data(), size, nullptr, nullptr);
    return utf8;
}
} // namespace

std::FILE* openFile(const std::string& path, const char* mode)
{
    return _wfopen(widen(path).c_str(), widen(mode).c_str());
}

int removeFile(const std::string& path) { return _wremove(widen(path).c_str()); }

std::filesystem::path fsPath(const std::string& path) { return std::filesystem::path(widen(path)); }

std::string utf8Path(const std::filesystem::path& path)
{
    const std::wstring& wide = path.native();
    return narrow(wide.data(), wide.size());
}

std::vector<std::string> programArguments(int argc, char** argv)
{
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide)
        return {argv + (argc > 0 ? 1 : 0), argv + argc};
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i)
        args.push_back(narrow(wide[i], wcslen(wide[i])));
    LocalFree(wide);
    return args;
}

std::string environmentValue(const char* name)
{
    const wchar_t* value = _wgetenv(widen(name).c_str());
    return value ? narrow(value, wcslen(value)) : std::string();
}

namespace {
UINT consoleCodePageBefore = 0;

void restoreConsoleCodePage() { SetConsoleOutputCP(consoleCodePageBefore); }

bool isConsole(std::FILE* stream)
{
    DWORD mode = 0;
    return GetConsoleMode(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))), &mode) != 0;
}
} // namespace

void setBinaryOutput()
{
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // A console shows bytes in its own code page (437 or 850, say), which turns each
    // accented letter of a name into two wrong signs: it reads UTF-8 while Quindle
    // runs, and gets its own code page back at the end.
    if (isConsole(stdout))
        std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16); // whole lines, not a letter's two bytes apart
    if (!isConsole(stdout) && !isConsole(stderr))
        return;
    consoleCodePageBefore = GetConsoleOutputCP();
    if (consoleCodePageBefore != CP_UTF8 && SetConsoleOutputCP(CP_UTF8))
        std::atexit(restoreConsoleCodePage);
}

#else

std::FILE* openFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

int removeFile(const std::string& path) { return std::remove(path.c_str()); }

std::filesystem::path fsPath(const std::string& path) { return std::filesystem::path(path); }

std::string utf8Path(const std::filesystem::path& path) { return path.string(); }

std::vector<std::string> programArguments(int argc, char** argv) { return {argv + (argc > 0 ? 1 : 0), argv + argc}; }

std::string environmentValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

void setBinaryOutput() {}

#endif

std::string notAFolder(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::status(fsPath(path), ec);
    if (ec && ec.value() == ELOOP)
        return "is a symbolic link that leads back to itself, not a folder";
    if (ec || status.type() == fs::file_type::directory || status.type() == fs::file_type::not_found)
        return {};
    if (fs::is_symlink(fs::symlink_status(fsPath(path), ec)) && status.type() != fs::file_type::regular)
        return "is a symbolic link to a device or other special file, not a folder";
    return status.type() == fs::file_type::regular ? "is a file, not a folder" : "is not a folder";
}

} // namespace quindle
