#include "support/run_process.h"

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

#include "support/temp_dir.h"

namespace quindle::testing {

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
