// Under Wine, the runner (cmake/wine-run.sh) tells a test program that Wine
// never started from one that failed: the first thing the program does, as it
// is loaded, is to create the file QUINDLE_STARTED_MARK names.
#ifdef _WIN32
#include <cstdio>
#include <cstdlib>

namespace {
const bool kStartMarked = [] {
    if (const char* path = std::getenv("QUINDLE_STARTED_MARK"))
        if (std::FILE* file = std::fopen(path, "w"))
            std::fclose(file);
    return true;
}();
} // namespace
#endif
