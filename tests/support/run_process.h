#pragma once
// Starts programs for the tests and collects what they wrote and their exit codes,
// on Linux and on Windows alike.
#include <cstdint>
#include <string>
#include <vector>

namespace quindle::testing {

struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs `program` with `args` in the folder `workDir` with nothing on its standard
// input, and waits for it. Arguments reach it exactly as given.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args, const std::string& workDir);

// A program running in the background with its output thrown away, for tests
// that cut it off part way.
class BackgroundProcess {
public:
    BackgroundProcess(const std::string& program, const std::vector<std::string>& args, const std::string& workDir);
    ~BackgroundProcess();
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    // Ends it at once, as a power cut would, and waits for it; false when it had
    // already ended by itself.
    bool kill();

private:
    std::intptr_t handle_ = 0; // the process id, or its handle on Windows
    bool ended_ = false;
};

std::vector<std::string> splitLines(const std::string& text);

} // namespace quindle::testing
