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
#include "stable/stable_check.h"
#include "stable_option.h"
#include "startup_cli.h"

namespace quindle::cli {

namespace {

// "12,40,7" as identifiers; empty after naming the bad one.
std::vector<std::int32_t> damIds(const std::string& list)
{
    std::vector<std::int32_t> ids;
    std::size_t at = 0;
    for (;;) {
        const std::size_t comma = std::min(list.find(',', at), list.size());
        const std::string one = list.substr(at, comma - at);
        const std::int32_t id = parseIdentifier(one);
        if (id == 0) {
            std::fprintf(stderr,
                         "quindle-cli: season --dams \"%s\": \"%s\" is not a horse identifier (1 to 6 digits, not 0)\n",
                         list.c_str(), one.c_str());
            return {};
        }
        ids.push_back(id);
        if (comma == list.size())
            return ids;
        at = comma + 1;
    }
}

} // namespace

int runSeason(const DataFolder& folder, const SeasonOptions& options)
{
    if (options.dams.has_value() == options.stable.has_value()) {
        std::fprintf(stderr, "quindle-cli: season takes either --dams ID[,ID...] or --stable [FILE]\n");
        return 2;
    }
    std::vector<std::int32_t> ids;
    if (options.dams && (ids = damIds(*options.dams)).empty())
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
        season = planStableSeason(checkStable(read.stable, folder), sires, *chefs, *query);
    } else {
        season = planSeason(ids, folder, sires, *chefs, *query);
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
