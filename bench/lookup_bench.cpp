// findHorse for the last horse of a full 10,000-horse bucket, found through the
// bucket's table of places.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "data/bucket_cut.h"
#include "lookup/horse_lookup.h"
#include "sample_data.h"

using namespace quindle;

namespace {

const DataFolder& folder()
{
    static const DataFolder f = [] {
        const auto dir = std::filesystem::temp_directory_path() / "quindle-lookup-bench";
        DataFolder d(dir.string());
        if (!std::filesystem::exists(d.bucketFile(9)))
            sample::writeDataFolder(d.dir(), {20000, 3});
        // Cut and stamped as start-up does: a lookup reads no bucket without its stamp.
        cutBuckets(d, {}, CutWhen::Stale);
        return d;
    }();
    return f;
}

void FindLastHorseOfFullBucket(benchmark::State& state)
{
    const DataFolder& f = folder();
    for (auto _ : state) {
        const LookupResult r = findHorse(f, 19999);
        if (r.status != Outcome::Done)
            state.SkipWithError("horse 19999 not found");
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(FindLastHorseOfFullBucket)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
