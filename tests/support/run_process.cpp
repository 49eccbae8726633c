#include "support/run_process.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

#include "data/system_paths.h"
#include "support/temp_dir.h"

namespace quindle::testing {

#ifdef _WIN32

namespace {

// Quotes one argument so that the C runtime's command-line parser gives it back unchanged.
std::wstring quoteArgument(const std::wstring& arg)
{
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return arg;
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

struct Handle {
    HANDLE h = INVALID_HANDLE_VALUE;
    ~Handle()
    {
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
};

// An inheritable handle for a child's standard stream; NUL when `path` is empty.
HANDLE inheritable(const std::string& path, bool write)
{
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    const std::wstring name = path.empty() ? std::wstring(L"NUL") : fsPath(path).wstring();
    return CreateFileW(name.c_str(), write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                       write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The system's own words for a failure code, with the code.
std::string systemReason(DWORD code)
{
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring words = length ? std::wstring(text, length) : std::wstring();
    LocalFree(text);
    while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r' || words.back() == L' '))
        words.pop_back();
    return "error " + std::to_string(code) + (words.empty() ? "" : ": " + utf8Path(std::filesystem::path(words)));
}

// Under the Wine runner (cmake/wine-run.sh), CreateProcessW has failed now and
// then for a program that is there and starts every other time: no process was
// made, so none ran, and it is asked for once more. Each second try is said on
// standard error and written to the log the runner names, which
// scripts/test-windows.sh prints with the runner's own.
void noteSecondStart(const std::string& program, const std::string& reason)
{
    std::fprintf(stderr, "run_process: CreateProcessW did not start %s (%s); starting it once more\n", program.c_str(),
                 reason.c_str());
    if (const char* log = std::getenv("QUINDLE_WINE_RETRY_LOG"))
        if (std::FILE* file = std::fopen(log, "a")) {
            std::fprintf(file, "%s (CreateProcessW, %s)\n", program.c_str(), reason.c_str());
            std::fclose(file);
        }
}

HANDLE start(const std::string& program, const std::vector<std::string>& args, const std::string& workDir,
             const std::string& outFile, const std::string& errFile)
{
    std::wstring commandLine = quoteArgument(fsPath(program).wstring());
    for (const auto& arg : args)
        commandLine += L" " + quoteArgument(fsPath(arg).wstring());
    Handle in{inheritable("", false)}, out{inheritable(outFile, true)}, err{inheritable(errFile, true)};
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in.h;
    si.hStdOutput = out.h;
    si.hStdError = err.h;
    PROCESS_INFORMATION pi{};
    const std::wstring dir = fsPath(workDir).wstring();
    const auto create = [&] {
        return CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                              dir.c_str(), &si, &pi);
    };
    if (!create()) {
        std::string reason = systemReason(GetLastError());
        std::error_code ec;
        if (!std::filesystem::is_regular_file(fsPath(program), ec))
            throw std::runtime_error("cannot start " + program + ": " + reason);
        noteSecondStart(program, reason);
        Sleep(200);
        if (!create())
            throw std::runtime_error("cannot start " + program + ": " + reason + ", then " +
                                     systemReason(GetLastError()));
    }
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

int waitFor(HANDLE process)
{
    WaitForSingleObject(process, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return static_cast<int>(code);
}

// The exit code a killed process is given: far from any the programs use.
constexpr UINT kKilledCode = 0xDEAD;

} // namespace

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args, const std::string& workDir)
{
    TempDir captures;
    const std::string outFile = captures.file("out"), errFile = captures.file("err");
    ProcessResult result;
    result.exitCode = waitFor(start(program, args, workDir, outFile, errFile));
    result.out = readFile(outFile);
    result.err = readFile(errFile);
    return result;
}

BackgroundProcess::BackgroundProcess(const std::string& program, const std::vector<std::string>& args,
                                     const std::string& workDir)
    : handle_(reinterpret_cast<std::intptr_t>(start(program, args, workDir, "", "")))
{
}

bool BackgroundProcess::kill()
{
    if (ended_)
        return false;
    ended_ = true;
    const auto process = reinterpret_cast<HANDLE>(handle_);
    TerminateProcess(process, kKilledCode); // fails harmlessly when it has just ended
    return waitFor(process) == static_cast<int>(kKilledCode);
}

#else

namespace {
std::string shellQuote(const std::string& text)
{
    std::string out = "'";
    for (const char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}
} // namespace

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args, const std::string& workDir)
{
    TempDir captures;
    const std::string outFile = captures.file("out"), errFile = captures.file("err");
    std::string command = "cd " + shellQuote(workDir) + " && " + shellQuote(program);
    for (const auto& arg : args)
        command += " " + shellQuote(arg);
    command += " >" + shellQuote(outFile) + " 2>" + shellQuote(errFile) + " </dev/null";
    const int status = std::system(command.c_str());
    ProcessResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readFile(outFile);
    result.err = readFile(errFile);
    return result;
}

BackgroundProcess::BackgroundProcess(const std::string& program, const std::vector<std::string>& args,
                                     const std::string& workDir)
{
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed)
        throw std::runtime_error("cannot start " + program + ": " + std::strerror(failed));
    handle_ = pid;
}

bool BackgroundProcess::kill()
{
    if (ended_)
        return false;
    ended_ = true;
    const auto pid = static_cast<pid_t>(handle_);
    ::kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    return !WIFEXITED(status);
}

#endif

BackgroundProcess::~BackgroundProcess() { kill(); }

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t nl = text.find('\n'); nl != std::string::npos; nl = text.find('\n', start)) {
        lines.push_back(text.substr(start, nl - start));
        start = nl + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

} // namespace quindle::testing
