// quindle-cli season --assign: one stallion for each mare of the season, the
// best plan for the whole band under the books, locks and rules given.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>
#include <memory>
#include <set>
#include <unordered_map>

#include "app/decided_season.h"
#include "commands.h"
#include "data/sire_list.h"
#include "dosage/repeated_sires.h"
#include "export/assigned_season.h"
#include "export/text_forms.h"
#include "main_state/record_stallion.h"
#include "output.h"
#include "planner/season.h"
#include "planner/season_assign.h"
#include "stable/roster_file.h"
#include "stable/stable_check.h"
#include "stable_option.h"
#include "startup_cli.h"

namespace quindle::cli {

namespace {

std::optional<NamedPair> pairOf(const char* option, const std::string& text)
{
    const std::size_t equals = text.find('=');
    NamedPair pair{text, 0, {}};
    if (equals == std::string::npos || (pair.dam = parseIdentifier(text.substr(0, equals))) == 0 ||
        equals + 1 == text.size()) {
        badArgument("season", option, text,
                    "expected DAM=SIRE: a mare's ID, then a stallion as the sire list holds him");
        return std::nullopt;
    }
    const auto sire = latin1Argument(text.substr(equals + 1));
    if (!sire)
        return std::nullopt;
    pair.sire = *sire;
    return pair;
}

// --book N: a whole number of mares, 0 or more.
std::optional<std::uint32_t> bookOf(const std::string& text)
{
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        badArgument("season", "--book", text, "expected a whole number of mares");
        return std::nullopt;
    }
    if (value < 0) {
        badArgument("season", "--book", text, "a book is 0 or more mares");
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(std::min<long long>(value, std::numeric_limits<std::uint32_t>::max()));
}

// The rules as typed, each option's values read; nullopt after saying what is wrong.
std::optional<SeasonRulesNamed> rulesOf(const SeasonOptions& options)
{
    SeasonRulesNamed rules;
    rules.noRepeats = options.noRepeats;
    if (options.book && !(rules.bookForAll = bookOf(*options.book)))
        return std::nullopt;
    for (const std::string& text : options.locks) {
        const auto lock = pairOf("--lock", text);
        if (!lock)
            return std::nullopt;
        for (const NamedPair& before : rules.locks)
            if (before.dam == lock->dam) {
                badArgument("season", "--lock", text,
                            ("horse " + std::to_string(lock->dam) + " is locked twice").c_str());
                return std::nullopt;
            }
        rules.locks.push_back(*lock);
    }
    for (const std::string& text : options.excludedPairs) {
        const auto pair = pairOf("--exclude-pair", text);
        if (!pair)
            return std::nullopt;
        rules.excludedPairs.push_back(*pair);
    }
    for (const std::string& text : options.excluded) {
        const auto name = latin1Argument(text);
        if (!name)
            return std::nullopt;
        rules.excluded.emplace_back(*name, text);
    }
    return rules;
}

// The options --assign cannot take together; false after saying which.
bool assignOptionsFit(const SeasonOptions& options)
{
    if (options.dams.has_value() == options.stable.has_value()) {
        std::fprintf(stderr, "quindle-cli: season --assign takes either --dams ID[,ID...] or --stable [FILE]\n");
        return false;
    }
    if (options.top) {
        std::fprintf(stderr, "quindle-cli: season --assign takes no --top: every row of a mare's target counts\n");
        return false;
    }
    return true;
}

// --roster [FILE]: the stallions the plan may use. Read as it is: a damaged
// roster is named and left for the window to keep aside, and nothing is
// planned, as a plan over the whole sire list is not what was asked. The exit
// code when the run stops here.
std::optional<int> takeRoster(const DataFolder& folder, const std::string& named, SeasonRulesNamed& rules)
{
    const std::string path = named.empty() ? rosterFileFor(folder) : named;
    if (path.empty()) {
        std::fprintf(stderr, "quindle-cli: no home folder to find the roster file in: name it with --roster FILE\n");
        return 2;
    }
    RosterRead read = readRoster(path);
    if (read.status == Outcome::Failed) {
        sayError(read.error);
        return 2;
    }
    if (read.status == Outcome::Absent) {
        std::fprintf(stderr, "quindle-cli: %s: no roster kept yet (no such file)\n", path.c_str());
        return 1;
    }
    rules.roster = std::move(read.roster.stallions);
    return std::nullopt;
}

// The mares given a stallion, as JSON lines or as the season's CSV; false when the output failed.
bool writeAssigned(const DecidedSeason& decided, const PlanQuery& query, bool json)
{
    Out out;
    if (json) {
        for (std::size_t m = 0; m < decided.season.dams.size(); ++m)
            if (decided.plan.mares[m].stallion)
                out.write(assignedRowJson(decided.season.dams[m], decided.plan.mares[m], query.sortBy));
    } else {
        writeAssignedSeasonCsv(decided.season, decided.plan, query.sortBy, [&out](std::string_view text) {
            out.write(text);
            return !out.failed();
        });
    }
    return out.finish();
}

} // namespace

int runSeasonAssign(const DataFolder& folder, const SeasonOptions& options)
{
    if (!assignOptionsFit(options))
        return 2;
    std::vector<std::int32_t> ids;
    if (options.dams && (ids = damIdsOf(*options.dams)).empty())
        return 2;
    const auto query = planQueryOf("season", options);
    auto rules = query ? rulesOf(options) : std::nullopt;
    if (!rules)
        return 2;
    std::optional<std::string> stablePath;
    if (options.stable && !(stablePath = stablePathOf(folder, *options.stable)))
        return 2;
    if (options.roster)
        if (const auto stop = takeRoster(folder, *options.roster, *rules))
            return *stop;

    const auto chefs = startUp(folder);
    if (!chefs)
        return 2;
    const auto sires = std::make_shared<const SireIndex>(readSireList(folder.sireList()));
    std::optional<std::vector<CheckedHorse>> horses;
    if (stablePath) {
        const StableRead read = readStableFile(*stablePath);
        if (read.status != Outcome::Done)
            return read.status == Outcome::Absent ? 1 : 2;
        horses = checkStable(read.stable, folder);
    }
    const DecidedSeason decided = decideSeason(folder, *chefs, sires, ids, horses ? &*horses : nullptr, *query, *rules);
    for (const std::string& message : decided.toldFirst)
        sayError(message);
    if (!decided.refused.empty()) {
        sayError(decided.refused);
        return 2;
    }

    if (!writeAssigned(decided, *query, options.json))
        return outputFailed();
    for (const std::string& message : decided.toldAfter)
        sayError(message);
    const bool noMare = stablePath && decided.season.dams.empty() && decided.season.leftOut.empty();
    if (noMare)
        sayNoMareKept(*stablePath);
    if (!sires->error().empty()) {
        sayError("the sire list could not be read to the end: " + sires->error());
        return 1;
    }
    return decided.toldFirst.empty() && decided.toldAfter.empty() && !noMare ? 0 : 1;
}

} // namespace quindle::cli
