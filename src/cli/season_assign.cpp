// quindle-cli season --assign: one stallion for each mare of the season, the
// best plan for the whole band under the books, locks and rules given.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>
#include <memory>
#include <set>
#include <unordered_map>

#include "commands.h"
#include "data/sire_list.h"
#include "dosage/repeated_sires.h"
#include "export/assigned_season.h"
#include "export/text_forms.h"
#include "boxes/record_stallion.h"
#include "output.h"
#include "planner/named_targets.h"
#include "planner/season.h"
#include "planner/season_assign.h"
#include "stable/stable_check.h"
#include "stable_option.h"
#include "startup_cli.h"

namespace quindle::cli {

namespace {

// A mare and a stallion as typed: DAM=SIRE.
struct TypedPair {
    std::string typed;
    std::int32_t dam = 0;
    std::string sire; // Latin-1
};

std::optional<TypedPair> pairOf(const char* option, const std::string& text)
{
    const std::size_t equals = text.find('=');
    TypedPair pair{text, 0, {}};
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

void say(const std::string& message) { std::fprintf(stderr, "quindle-cli: %s\n", message.c_str()); }

const char* lockRefusal(MareAssignment::LockRefused why)
{
    switch (why) {
    case MareAssignment::LockRefused::RuledOut:
        return "that stallion or pair is ruled out";
    case MareAssignment::LockRefused::OutsideRoster:
        return "that stallion is not in the roster";
    case MareAssignment::LockRefused::BeyondBook:
        return "his book is full with the locks before it";
    case MareAssignment::LockRefused::None:
        break;
    }
    return "";
}

} // namespace

int runSeasonAssign(const DataFolder& folder, const SeasonOptions& options)
{
    if (options.dams.has_value() == options.stable.has_value()) {
        std::fprintf(stderr, "quindle-cli: season --assign takes either --dams ID[,ID...] or --stable [FILE]\n");
        return 2;
    }
    if (options.top) {
        std::fprintf(stderr, "quindle-cli: season --assign takes no --top: every row of a mare's target counts\n");
        return 2;
    }
    std::vector<std::int32_t> ids;
    if (options.dams && (ids = damIdsOf(*options.dams)).empty())
        return 2;
    auto query = planQueryOf("season", options);
    if (!query)
        return 2;
    if (options.target) {
        const auto preset = findNamedTarget(*options.target);
        if (!preset)
            return badArgument("season", "--target", *options.target,
                               ("unknown target (" + std::string(namedTargetNames()) + ")").c_str());
        // --di and --cd typed beside it say more than the name.
        if (!options.di)
            query->di = preset->di;
        if (!options.cd)
            query->cd = preset->cd;
    }
    AssignRules rules;
    rules.noRepeats = options.noRepeats;
    if (options.book && !(rules.bookForAll = bookOf(*options.book)))
        return 2;
    std::vector<TypedPair> locks, pairs;
    for (const std::string& text : options.locks) {
        const auto lock = pairOf("--lock", text);
        if (!lock)
            return 2;
        for (const TypedPair& before : locks)
            if (before.dam == lock->dam)
                return badArgument("season", "--lock", text,
                                   ("horse " + std::to_string(lock->dam) + " is locked twice").c_str());
        locks.push_back(*lock);
    }
    for (const std::string& text : options.excludedPairs) {
        const auto pair = pairOf("--exclude-pair", text);
        if (!pair)
            return 2;
        pairs.push_back(*pair);
    }
    std::vector<std::string> excluded;
    for (const std::string& text : options.excluded) {
        const auto name = latin1Argument(text);
        if (!name)
            return 2;
        excluded.push_back(*name);
    }
    std::optional<std::string> stablePath;
    if (options.stable && !(stablePath = stablePathOf(folder, *options.stable)))
        return 2;

    const auto chefs = startUp(folder);
    if (!chefs)
        return 2;
    const auto sires = std::make_shared<const SireIndex>(readSireList(folder.sireList()));

    // What the rules name, checked against the sire list: a name it does not
    // hold is told, and the rest still planned.
    bool told = false;
    const auto unknownSire = [&](const char* option, const std::string& typed, const std::string& sire) {
        say(std::string("season ") + option + " \"" + typed + "\": " + latin1ToUtf8(sire) +
            " is not in the sire list, so it is not kept");
        told = true;
    };
    // A stallion as typed: a name of the sire list, or #ID for a colt or horse
    // of the breeding file, numbered after the sire list's stallions.
    std::vector<RecordStallion> recordStallions;
    const auto stallionOf = [&](const char* option, const std::string& typed,
                                const std::string& sire) -> std::optional<StallionNumber> {
        const std::int32_t id = sire.starts_with('#') ? parseIdentifier(sire.substr(1)) : 0;
        if (id == 0) {
            const auto number = sires->numberOf(sire);
            if (!number)
                unknownSire(option, typed, sire);
            return number;
        }
        const auto base = static_cast<StallionNumber>(sires->stallions().size());
        for (std::size_t k = 0; k < recordStallions.size(); ++k)
            if (recordStallions[k].id == id)
                return base + static_cast<StallionNumber>(k);
        const StallionLookup found = findStallion(folder, id);
        if (found.status != Outcome::Done) {
            say(std::string("season ") + option + " \"" + typed + "\": " + found.error + ", so it is not kept");
            told = true;
            return std::nullopt;
        }
        recordStallions.push_back(found.stallion);
        return base + static_cast<StallionNumber>(recordStallions.size() - 1);
    };
    const auto stallionName = [&](StallionNumber number) {
        const std::size_t listed = sires->stallions().size();
        return latin1ToUtf8(number < listed ? std::string(sires->stallions()[number])
                                            : recordStallions[number - listed].name);
    };
    std::unordered_map<std::int32_t, StallionNumber> lockOf;
    for (const TypedPair& lock : locks) {
        if (const auto number = stallionOf("--lock", lock.typed, lock.sire))
            lockOf.emplace(lock.dam, *number);
    }
    std::set<std::pair<std::int32_t, StallionNumber>> pairsOfIds;
    for (const TypedPair& pair : pairs) {
        if (const auto number = stallionOf("--exclude-pair", pair.typed, pair.sire))
            pairsOfIds.insert({pair.dam, *number});
    }
    for (std::size_t k = 0; k < excluded.size(); ++k) {
        if (const auto number = stallionOf("--exclude", options.excluded[k], excluded[k]))
            rules.ruledOut.insert(*number);
    }

    // Each mare keeps only the head of her list: once it holds as many
    // stallions with room as there are mares, the rest cannot change the plan.
    // Room is what the locks leave of a book.
    std::unordered_map<StallionNumber, std::uint32_t> lockedOn;
    for (const auto& [dam, stallion] : lockOf)
        if (!rules.ruledOut.contains(stallion) && !pairsOfIds.contains({dam, stallion}))
            ++lockedOn[stallion];
    const auto hasRoom = [&](StallionNumber stallion) {
        const auto book = rules.bookOf(stallion);
        const auto locked = lockedOn.find(stallion);
        return !book || *book > (locked == lockedOn.end() ? 0 : locked->second);
    };
    std::size_t mareCount = ids.size(); // or the stable's horses: at least as many as the free mares
    const SeasonKeep keep = [&](std::size_t place, const SeasonDam& dam) {
        for (const auto& [id, stallion] : pairsOfIds)
            if (id == dam.id)
                rules.ruledOutPairs.insert({place, stallion});
        KeptRows kept;
        std::size_t withRoom = 0;
        // A locked mare's list runs on to her stallion, for his rank there.
        const auto lock = lockOf.find(dam.id);
        bool lockMet = lock == lockOf.end() || lock->second >= sires->stallions().size(); // #ID: in no row
        for (const std::uint32_t r : dam.rows) {
            if (withRoom >= mareCount && lockMet)
                break;
            if (!rules.keeps(place, {r, rules.noRepeats && !repeatedSires(dam.plan.lineage(dam.plan.rows[r])).empty()}))
                continue;
            kept.rows.push_back(r);
            withRoom += hasRoom(r);
            lockMet = lockMet || r == lock->second;
        }
        if (!lockMet)
            kept.more.push_back(lock->second);
        return kept;
    };
    SeasonPlan season;
    if (stablePath) {
        const StableRead read = readStableFile(*stablePath);
        if (read.status != Outcome::Done)
            return read.status == Outcome::Absent ? 1 : 2;
        const auto horses = checkStable(read.stable, folder);
        mareCount = horses.size();
        season = planStableSeason(horses, sires, *chefs, *query, keep);
    } else {
        season = planSeason(ids, folder, sires, *chefs, *query, keep);
    }
    std::unordered_map<std::int32_t, std::size_t> placeOf;
    for (std::size_t m = 0; m < season.dams.size(); ++m)
        placeOf.emplace(season.dams[m].id, m);
    // A lock on a horse not planned as a mare is refused outright.
    for (const TypedPair& lock : locks)
        if (!placeOf.contains(lock.dam))
            return badArgument("season", "--lock", lock.typed,
                               ("horse " + std::to_string(lock.dam) + " is no filly or mare of this season").c_str());
    std::vector<AssignMare> mares = assignMaresOf(season, false); // the rows kept have no repeats when asked
    for (const auto& [dam, stallion] : lockOf) {
        const std::size_t place = placeOf.at(dam);
        mares[place].locked = stallion;
        if (stallion >= sires->stallions().size())
            season.dams[place].recordFoals.push_back(recordFoalOf(recordStallions[stallion - sires->stallions().size()],
                                                                  stallion, season.dams[place].lines, *sires, *chefs));
    }
    if (rules.bookForAll && *rules.bookForAll == 0) {
        say("season --book 0: no stallion may cover a mare");
        told = true;
    }
    if (!sires->stallions().empty() && std::count_if(rules.ruledOut.begin(), rules.ruledOut.end(),
                                                     [&](StallionNumber n) { return n < sires->stallions().size(); }) ==
                                           static_cast<std::ptrdiff_t>(sires->stallions().size())) {
        say("season --exclude: every stallion of the sire list is ruled out");
        told = true;
    }

    const SeasonAssignment plan = assignSeason(mares, rules);
    Out out;
    if (options.json) {
        for (std::size_t m = 0; m < season.dams.size(); ++m)
            if (plan.mares[m].stallion)
                out.write(assignedRowJson(season.dams[m], plan.mares[m], query->sortBy));
    } else {
        writeAssignedSeasonCsv(season, plan, query->sortBy, [&out](std::string_view text) {
            out.write(text);
            return !out.failed();
        });
    }
    if (!out.finish())
        return outputFailed();

    for (const std::string& message : season.leftOut)
        say(message);
    bool unplanned = !season.leftOut.empty();
    for (std::size_t m = 0; m < season.dams.size(); ++m) {
        const SeasonDam& dam = season.dams[m];
        const MareAssignment& given = plan.mares[m];
        if (given.lockRefused != MareAssignment::LockRefused::None) {
            say("horse " + std::to_string(dam.id) + " (" + latin1ToUtf8(dam.name) + "): her lock to " +
                stallionName(*mares[m].locked) + " is not kept: " + lockRefusal(given.lockRefused));
            told = true;
        }
        const std::string why = unplannedText(dam, given);
        if (!why.empty()) {
            say(why);
            unplanned = true;
        }
    }
    if (stablePath && season.dams.empty() && season.leftOut.empty()) {
        sayNoMareKept(*stablePath);
        unplanned = true;
    }
    if (!sires->error().empty()) {
        say("the sire list could not be read to the end: " + sires->error());
        return 1;
    }
    return unplanned || told ? 1 : 0;
}

} // namespace quindle::cli
