// search_bench DATA_DIR [TEXT...]: the search window's work on a split data
// folder. Reads the name index once (time, and memory held and at peak), then
// times each keystroke of typing every TEXT letter by letter: the search of the
// index and the rows the list shows. Prints the slowest keystroke of each, and
// the foals mode's two steps for the Sire of the first horse.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>
#if defined(__linux__)
#include <sys/resource.h>
#endif

#include "data/file_error.h"
#include "data/startup.h"
#include "search/foal_profiles.h"
#include "search/name_search.h"

using namespace quindle;
using Clock = std::chrono::steady_clock;

namespace {

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The peak resident memory of the process so far, in MB (0 where unknown).
double peakMb()
{
#if defined(__linux__)
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
#else
    return 0;
#endif
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: search_bench DATA_DIR [TEXT...]\n");
        return 2;
    }
    const DataFolder folder(argv[1]);
    std::vector<std::string> texts(argv + 2, argv + argc);
    if (texts.empty())
        texts = {"SEA", "MARBARIN", "STAR LANTERN"};
    try {
        const double before = peakMb();
        const auto start = Clock::now();
        const NameIndex index = loadNameIndex(folder, [&] { splitAgain(folder); });
        const double loadMs = msSince(start);
        std::printf("Index of %zu horses read in %.1f ms; it holds %.1f MB, peak memory grew by %.1f MB\n",
                    index.size(), loadMs, static_cast<double>(index.bytes()) / (1 << 20), peakMb() - before);
        for (const std::string& text : texts) {
            double slowest = 0;
            std::size_t total = 0;
            for (std::size_t n = 1; n <= text.size(); ++n) {
                // The median of five of each keystroke: the machine is shared.
                std::vector<double> times;
                for (int run = 0; run < 5; ++run) {
                    const auto t = Clock::now();
                    const FoundNames found = findNames(index, text.substr(0, n), 500);
                    std::size_t bytes = 0;
                    for (const std::uint32_t i : found.horses) {
                        const IndexedHorse h = index.horse(i);
                        bytes += h.name.size() + h.sire.size() + h.damSire.size();
                    }
                    times.push_back(msSince(t));
                    total = found.total + (bytes == 0 && found.total > 0); // keep the rows' work
                }
                std::sort(times.begin(), times.end());
                slowest = std::max(slowest, times[2]);
            }
            std::printf("Typing \"%s\": slowest keystroke %.1f ms; %zu horses match the whole text\n", text.c_str(),
                        slowest, total);
        }
        // Foals: the check of every horse's Sire (each keystroke), then their
        // profiles from the breeding file (a sire with foals).
        const StartupResult started = runStartup(folder, kStampFileName, {});
        if (started.status != Outcome::Done || index.size() == 0)
            return 1;
        const std::string sire(index.horse(0).sire);
        auto t = Clock::now();
        const std::size_t foals = foalsOf(index, sire).size();
        const double checkMs = msSince(t);
        t = Clock::now();
        const auto profiles = foalProfiles(folder.breedingFile(), started.chefs, sire);
        std::printf("Foals of %s: %zu; every Sire checked in %.1f ms, their profiles read in %.1f ms\n", sire.c_str(),
                    foals, checkMs, msSince(t));
        if (profiles.size() != foals)
            return 1;
    } catch (const FileError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
