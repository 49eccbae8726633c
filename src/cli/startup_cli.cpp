#include "startup_cli.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

#include "data/folder_search.h"
#include "data/startup.h"

namespace quindle::cli {

namespace {
bool ready = false;
bool stampInStateFolder = false;
} // namespace

bool startedUp() { return ready; }

void keepStampInStateFolder(bool yes) { stampInStateFolder = yes; }

// The same start-up as the window; progress goes to a terminal only.
std::optional<ChefTable> startUp(const DataFolder& folder)
{
    const bool terminal = isatty(fileno(stderr));
    SplitObserver observer;
    if (terminal) {
        observer.begins = [] { std::fprintf(stderr, "Subdividing new breeding file - please wait...\n"); };
        observer.progress = [](int value) { std::fprintf(stderr, "\r%3d%%", value); };
        observer.ends = [] { std::fprintf(stderr, "\n"); };
    }
    StartupResult result = runStartup(folder, stampPathFor(stampInStateFolder), observer);
    switch (result.status) {
    case Outcome::Done:
        if (!result.warning.empty())
            std::fprintf(stderr, "quindle-cli: warning: %s\n", result.warning.c_str());
        ready = true;
        return std::move(result.chefs);
    case Outcome::Absent:
        std::fprintf(stderr, "%s\n", missingFileText(result.missingPath).c_str());
        std::fprintf(stderr, "quindle-cli: the data folder read is %s; name the game's folder with --data-dir DIR\n",
                     folder.dir().c_str());
        return std::nullopt;
    case Outcome::Failed:
        std::fprintf(stderr, "quindle-cli: cannot start: %s\n", result.error.c_str());
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace quindle::cli
