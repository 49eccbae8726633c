// The cost of one dosage profile against a 5,000-row chef table: with the name
// index, and with the linear first-match scan it replaces.
#include <benchmark/benchmark.h>

#include <random>

#include "dosage/profile.h"

using namespace quindle;

namespace {

struct Setup {
    ChefTable chefs;
    std::vector<AncestorNames> pedigrees;
    Setup()
    {
        std::mt19937 random(1);
        std::vector<ChefEntry> rows;
        for (int i = 0; i < 5000; ++i)
            rows.push_back({"CHEF NUMBER " + std::to_string(i), {1, 0, 2, 0, 1}});
        chefs = ChefTable(std::move(rows));
        // Pedigrees mixing chefs from anywhere in the table with horses that are none.
        for (int p = 0; p < 1024; ++p) {
            AncestorNames names;
            for (auto& name : names)
                name = random() % 3 == 0 ? "SOME HORSE " + std::to_string(random() % 100000) + " (IRE)"
                                         : "CHEF NUMBER " + std::to_string(random() % 5000) + " (GB)";
            pedigrees.push_back(names);
        }
    }
};
const Setup& setup()
{
    static const Setup s;
    return s;
}

void ProfileWithIndex(benchmark::State& state)
{
    const Setup& s = setup();
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(computeProfile(s.pedigrees[i++ & 1023], s.chefs));
}
BENCHMARK(ProfileWithIndex);

// The same profile computed by scanning the rows for each of the seven names.
void ProfileWithLinearScan(benchmark::State& state)
{
    const Setup& s = setup();
    std::size_t i = 0;
    for (auto _ : state) {
        const AncestorNames& names = s.pedigrees[i++ & 1023];
        std::int32_t total = 0;
        for (int p = 0; p < kPositions; ++p)
            if (const ChefEntry* chef = s.chefs.findByScan(normaliseName(names[static_cast<std::size_t>(p)])))
                for (const auto v : chef->points)
                    total += v > 0 ? v * kPositionWeight[static_cast<std::size_t>(p)] : 0;
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(ProfileWithLinearScan);

} // namespace

BENCHMARK_MAIN();
