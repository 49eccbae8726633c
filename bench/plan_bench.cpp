// The planner window's table on a 50,000-entry sire list: what changing a
// filter or the sort order costs, against one frame (16 ms).
#include <benchmark/benchmark.h>

#include <filesystem>

#include "data/chef_table.h"
#include "data/startup.h"
#include "planner/sire_plan.h"
#include "sample_data.h"
#include "ui/planner_model.h"

using namespace quindle;

namespace {

struct Fixture {
    ChefTable chefs;
    std::shared_ptr<const Plan> plan;
    Fixture()
    {
        const auto dir = std::filesystem::temp_directory_path() / "quindle-plan-bench";
        const DataFolder folder(dir.string());
        if (!std::filesystem::exists(folder.sireList()))
            sample::writeDataFolder(folder.dir(), {20000, 5, 50000});
        chefs = readChefRows(openInput(folder.chefTable()), folder.chefTable(),
                             countNonEmptyLines(folder.chefTable()).value_or(0));
        const auto sires = std::make_shared<const SireIndex>(readSireList(folder.sireList()));
        // A mare whose lines are two stallions of the list.
        const MareLines mare{std::string(sires->stallions()[100]), std::string(sires->stallions()[200])};
        plan = std::make_shared<const Plan>(planMatings(sires, mare, chefs));
    }
};

const Fixture& fixture()
{
    static const Fixture f;
    return f;
}

void PlanFiftyThousandStallions(benchmark::State& state)
{
    const auto& sires = fixture().plan->sires;
    const MareLines mare = *fixture().plan->mare;
    for (auto _ : state)
        benchmark::DoNotOptimize(planMatings(sires, mare, fixture().chefs));
    state.counters["rows"] = static_cast<double>(fixture().plan->rows.size());
}
BENCHMARK(PlanFiftyThousandStallions)->Unit(benchmark::kMillisecond);

// A click on a number column's header: the whole table sorted again.
void SortByDi(benchmark::State& state)
{
    ui::PlannerModel model;
    model.setPlan(fixture().plan);
    bool down = false;
    for (auto _ : state) {
        model.sort(10, down ? Qt::DescendingOrder : Qt::AscendingOrder);
        down = !down;
    }
    state.counters["rows"] = model.rowCount();
}
BENCHMARK(SortByDi)->Unit(benchmark::kMillisecond);

// A keystroke in a filter box while sorted by CD: filter, then sort what is left.
void FilterByDiWhileSortedByCd(benchmark::State& state)
{
    ui::PlannerModel model;
    model.setPlan(fixture().plan);
    model.sort(9, Qt::DescendingOrder);
    bool wide = false;
    for (auto _ : state) {
        PlanQuery query;
        query.di = parseRange(wide ? "0.5:5" : "1:3");
        query.nameContains = wide ? "" : "A";
        model.setFilters(query);
        wide = !wide;
    }
    state.counters["rows"] = model.rowCount();
}
BENCHMARK(FilterByDiWhileSortedByCd)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
