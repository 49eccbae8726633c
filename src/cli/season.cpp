// quindle-cli season: the best stallions for each of several mares under one target.
#include <cstdio>
#include <memory>

#include "commands.h"
#include "data/sire_list.h"
#include "output.h"
#include "export/plan_csv.h"
#include "export/season_csv.h"
#include "planner/season.h"
#include "export/text_forms.h"
#include "input/id_list.h"
#include "stable/stable_check.h"
#include "stable_option.h"
#include "startup_cli.h"

namespace quindle::cli {

std::vector<std::int32_t> damIdsOf(const std::string& list)
{
    const IdList parsed = parseIdList(list);
    if (!parsed.refused.empty()) {
        std::fprintf(stderr,
                     "quindle-cli: season --dams \"%s\": \"%s\" is not a horse identifier (1 to 6 digits, not 0)\n",
                     list.c_str(), parsed.refused.front().c_str());
        return {};
    }
    if (parsed.ids.empty())
        std::fprintf(stderr, "quindle-cli: season --dams \"%s\": no horse identifier given\n", list.c_str());
    return parsed.ids;
}

int runSeason(const DataFolder& folder, const SeasonOptions& options)
{
    if (options.dams.has_value() == options.stable.has_value()) {
        std::fprintf(stderr, "quindle-cli: season takes either --dams ID[,ID...] or --stable [FILE]\n");
        return 2;
    }
    if (options.book || options.noRepeats || !options.locks.empty() || !options.excluded.empty() ||
        !options.excludedPairs.empty()) {
        std::fprintf(stderr,
                     "quindle-cli: season takes --book, --lock, --exclude, --exclude-pair and --no-repeats only "
                     "with --assign\n");
        return 2;
    }
    std::vector<std::int32_t> ids;
    if (options.dams && (ids = damIdsOf(*options.dams)).empty())
        return 2;
    TargetOptions target = options;
    if (!target.top)
        target.top = std::to_string(kSeasonStallionsPerMare);
    const auto query = planQueryOf("season", target);
    if (!query)
        return 2;
    std::optional<std::string> stablePath;
    if (options.stable && !(stablePath = stablePathOf(folder, *options.stable)))
        return 2;

    const auto chefs = startUp(folder);
    if (!chefs)
        return 2;
    const auto sires = std::make_shared<const SireIndex>(readSireList(folder.sireList()));
    SeasonPlan season;
    if (stablePath) {
        const StableRead read = readStableFile(*stablePath);
        if (read.status != Outcome::Done)
            return read.status == Outcome::Absent ? 1 : 2; // none kept yet is not a usage error
        season = planStableSeason(checkStable(read.stable, folder), sires, *chefs, *query, keepTargetRows);
    } else {
        season = planSeason(ids, folder, sires, *chefs, *query, keepTargetRows);
    }

    Out out;
    if (options.json) {
        for (const SeasonDam& dam : season.dams) {
            const std::string head = "{\"dam\":" + std::to_string(dam.id) +
                                     ",\"damname\":" + jsonString(latin1ToUtf8(dam.name)) + ",\"rank\":";
            std::size_t rank = 0;
            for (const std::uint32_t i : dam.rows)
                out.write(head + std::to_string(++rank) + "," + planRowJson(dam.plan, dam.plan.rows[i]).substr(1));
        }
    } else {
        writeSeasonCsv(season, [&out](std::string_view text) {
            out.write(text);
            return !out.failed();
        });
    }
    if (!out.finish())
        return outputFailed();
    for (const std::string& message : season.leftOut)
        sayError(message);
    const bool noMare = stablePath && season.dams.empty() && season.leftOut.empty();
    if (noMare)
        sayNoMareKept(*stablePath);
    if (!sires->error().empty()) {
        std::fprintf(stderr, "quindle-cli: the sire list could not be read to the end: %s\n", sires->error().c_str());
        return 1;
    }
    return season.leftOut.empty() && !noMare ? 0 : 1;
}

} // namespace quindle::cli
