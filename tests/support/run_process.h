#pragma once
// Runs a program through the shell and collects what it wrote and its exit code.
#include <string>
#include <vector>

namespace quindle::testing {

struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs `program` with `args` in the folder `workDir`; arguments are quoted for the shell.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args, const std::string& workDir);

std::vector<std::string> splitLines(const std::string& text);

} // namespace quindle::testing
