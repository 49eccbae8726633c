// season_target DATA_DIR DAMS [RUNS]: what a new target costs the season
// window once its mares are planned. Plans the mares DAMS (IDs, commas between)
// as the window does, then gives it new targets in turn, as the window's boxes
// do, and prints each one's processor and wall time (medians of RUNS,
// default 7) beside the first planning's.
#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data/folder_search.h"
#include "data/sire_list.h"
#include "data/startup.h"
#include "input/id_list.h"
#include "planner/named_targets.h"
#include "planner/season.h"
#include "planner/season_assign.h"

using namespace quindle;

namespace {

// The processor time of the whole process (every thread) that `work` takes,
// and its wall time, in milliseconds. On a shared machine the wall time
// measures the others' work too.
struct Times {
    double cpu = 0, wall = 0;
};
Times millisecondsOf(const std::function<void()>& work)
{
    const std::clock_t cpu = std::clock();
    const auto wall = std::chrono::steady_clock::now();
    work();
    return {1000.0 * static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC,
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wall).count()};
}

struct Figures {
    double median = 0, min = 0, max = 0;
};
Figures figuresOf(const std::vector<Times>& runs, double Times::*which)
{
    std::vector<double> times;
    for (const Times& t : runs)
        times.push_back(t.*which);
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.front(), times.back()};
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: season_target DATA_DIR DAMS [RUNS]\n");
        return 2;
    }
    const DataFolder folder(argv[1]);
    std::string ids = argv[2];
    std::replace(ids.begin(), ids.end(), ',', ' ');
    const std::vector<std::int32_t> dams = parseIdList(ids).ids;
    const int runs = argc == 4 ? std::max(1, std::atoi(argv[3])) : 7;
    StartupResult started = runStartup(folder, stampPathFor(false), {});
    if (started.status != Outcome::Done) {
        std::fprintf(stderr, "season_target: %s\n", started.error.c_str());
        return 1;
    }
    const auto chefs = std::make_shared<const ChefTable>(std::move(started.chefs));

    // The window's own targets: its first five rows, then the boxes changed.
    PlanQuery first;
    first.top = kSeasonStallionsPerMare;
    PlanQuery classic = first;
    const auto named = findNamedTarget(kClassicDistances);
    classic.di = named->di;
    classic.cd = named->cd;
    classic.sortBy = PlanColumn::Di;
    PlanQuery byTotal = first;
    byTotal.sortBy = PlanColumn::Total;
    byTotal.descending = true;
    PlanQuery decided = byTotal;
    decided.top.reset();

    std::vector<Times> planning;
    std::shared_ptr<SeasonPlan> season;
    for (int r = 0; r < runs; ++r)
        planning.push_back(millisecondsOf([&] {
            const auto sires = std::make_shared<const SireIndex>(readSireList(folder.sireList()));
            season = std::make_shared<SeasonPlan>(planSeason(dams, folder, sires, *chefs, first));
            season->chefs = chefs;
        }));
    std::printf("%zu mares, %zu stallions, %d runs each, milliseconds: median (min to max)\n", season->dams.size(),
                season->stallionCount(), runs);
    std::printf("%-40s %-26s %-12s %s\n", "", "processor", "wall", "processor / the planning's");
    const auto print = [&](const char* what, const std::vector<Times>& times) {
        const Figures f = figuresOf(times, &Times::cpu), w = figuresOf(times, &Times::wall);
        const Figures p = figuresOf(planning, &Times::cpu);
        std::printf("%-40s %7.1f (%6.1f to %6.1f) %7.1f      %.2f\n", what, f.median, f.min, f.max, w.median,
                    f.median / p.median);
    };
    print("planning: sire list, lookups, first rows", planning);

    struct Change {
        const char* what;
        std::function<void()> work;
    };
    const std::vector<Change> changes{
        {"new target: Classic distances, by DI", [&] { selectSeason(*season, classic); }},
        {"new target: by total, down", [&] { selectSeason(*season, byTotal); }},
        {"decided: one stallion each, book 3",
         [&] {
             AssignRules rules;
             rules.bookForAll = 3;
             selectSeason(*season, decided, keepHeadOfList(season->dams.size(), rules.bookForAll, false));
             const SeasonAssignment plan = assignSeason(assignMaresOf(*season, false), rules);
             if (plan.mares.size() != season->dams.size())
                 std::abort();
         }},
        {"decided, no repeats, book 1",
         [&] {
             AssignRules rules;
             rules.bookForAll = 1;
             rules.noRepeats = true;
             selectSeason(*season, decided, keepHeadOfList(season->dams.size(), rules.bookForAll, true));
             const SeasonAssignment plan = assignSeason(assignMaresOf(*season, true), rules);
             if (plan.mares.size() != season->dams.size())
                 std::abort();
         }},
    };
    std::vector<std::vector<Times>> times(changes.size());
    for (int r = 0; r < runs; ++r)
        for (std::size_t c = 0; c < changes.size(); ++c) // in turn, as a player would change them
            times[c].push_back(millisecondsOf(changes[c].work));
    for (std::size_t c = 0; c < changes.size(); ++c)
        print(changes[c].what, times[c]);
    return 0;
}
