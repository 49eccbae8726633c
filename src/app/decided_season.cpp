#include "app/decided_season.h"

#include <algorithm>
#include <set>
#include <unordered_map>

#include "app/season_roster.h"
#include "data/latin1_text.h"
#include "dosage/repeated_sires.h"
#include "export/assigned_season.h"
#include "input/id_list.h"

namespace quindle {

namespace {

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

// "#ID" as the stallion's identifier; 0 for a name.
std::int32_t recordIdOf(const std::string& sire)
{
    if (!sire.starts_with('#'))
        return 0;
    const IdList parsed = parseIdList(sire.substr(1));
    return parsed.ids.size() == 1 && parsed.refused.empty() ? parsed.ids[0] : 0;
}

// The rules with their stallions numbered: those of the sire list first, then
// the colts and horses of the breeding file named by "#ID".
struct Numbered {
    AssignRules rules;
    std::unordered_map<std::int32_t, StallionNumber> lockOf;
    std::set<std::pair<std::int32_t, StallionNumber>> pairs;
};

Numbered numberRules(const DataFolder& folder, const SireIndex& sires, const SeasonRulesNamed& named,
                     DecidedSeason& out)
{
    Numbered n;
    n.rules.noRepeats = named.noRepeats;
    n.rules.bookForAll = named.bookForAll;
    const auto stallionOf = [&](const char* option, const std::string& typed,
                                const std::string& sire) -> std::optional<StallionNumber> {
        const std::int32_t id = recordIdOf(sire);
        if (id == 0) {
            const auto number = sires.numberOf(sire);
            if (!number)
                out.toldFirst.push_back(std::string("season ") + option + " \"" + typed + "\": " +
                                        latin1ForMessage(sire) + " is not in the sire list, so it is not kept");
            return number;
        }
        const auto base = static_cast<StallionNumber>(sires.stallions().size());
        for (std::size_t k = 0; k < out.recordStallions.size(); ++k)
            if (out.recordStallions[k].id == id)
                return base + static_cast<StallionNumber>(k);
        const StallionLookup found = findStallion(folder, id);
        if (found.status != Outcome::Done) {
            out.toldFirst.push_back(std::string("season ") + option + " \"" + typed + "\": " + found.error +
                                    ", so it is not kept");
            return std::nullopt;
        }
        out.recordStallions.push_back(found.stallion);
        return base + static_cast<StallionNumber>(out.recordStallions.size() - 1);
    };
    for (const NamedPair& lock : named.locks)
        if (const auto number = stallionOf("--lock", lock.typed, lock.sire))
            n.lockOf.emplace(lock.dam, *number);
    for (const NamedPair& pair : named.excludedPairs)
        if (const auto number = stallionOf("--exclude-pair", pair.typed, pair.sire))
            n.pairs.insert({pair.dam, *number});
    for (const auto& [sire, typed] : named.excluded)
        if (const auto number = stallionOf("--exclude", typed, sire))
            n.rules.ruledOut.insert(*number);
    if (named.roster)
        applyRoster(
            *named.roster, sires,
            [&](const RosterEntry& entry, std::vector<std::string>&) -> std::optional<StallionNumber> {
                const auto number = stallionOf("--roster", entry.keyText(), entry.keyText());
                if (!number)
                    return std::nullopt;
                // An ID the breeding file now gives another horse is marked, never followed.
                const RecordStallion& now = out.recordStallions[*number - sires.stallions().size()];
                if (now.name != entry.name) {
                    out.toldFirst.push_back("season --roster: horse " + std::to_string(entry.id) + " is now " +
                                            latin1ForMessage(now.name) + ", not " + latin1ForMessage(entry.name) +
                                            " as the roster keeps him, so he is not used");
                    return std::nullopt;
                }
                return number;
            },
            n.rules, out.toldFirst);
    if (n.rules.bookForAll && *n.rules.bookForAll == 0)
        out.toldFirst.push_back("season --book 0: no stallion may cover a mare");
    const std::size_t listed = sires.stallions().size();
    if (listed > 0 && std::count_if(n.rules.ruledOut.begin(), n.rules.ruledOut.end(), [&](StallionNumber s) {
                          return s < listed;
                      }) == static_cast<std::ptrdiff_t>(listed))
        out.toldFirst.push_back("season --exclude: every stallion of the sire list is ruled out");
    return n;
}

// Each mare keeps only the head of her list: once the room of its stallions
// adds up to as many mares as there are, one of them has room for her
// whatever the others get, so the rest cannot change the plan. Room is what
// the locks leave of a book.
SeasonKeep headOfList(Numbered& n, const SireIndex& sires, const std::size_t& mareCount)
{
    auto lockedOn = std::make_shared<std::unordered_map<StallionNumber, std::uint32_t>>();
    for (const auto& [dam, stallion] : n.lockOf)
        if (!n.rules.ruledOut.contains(stallion) && !n.pairs.contains({dam, stallion}))
            ++(*lockedOn)[stallion];
    return [&n, &sires, &mareCount, lockedOn](std::size_t place, const SeasonDam& dam) {
        const auto roomOf = [&](StallionNumber stallion) -> std::size_t {
            const auto book = n.rules.bookOf(stallion);
            const auto locked = lockedOn->find(stallion);
            const std::uint32_t taken = locked == lockedOn->end() ? 0 : locked->second;
            return !book ? mareCount : *book > taken ? std::min<std::size_t>(*book - taken, mareCount) : 0;
        };
        for (const auto& [id, stallion] : n.pairs)
            if (id == dam.id)
                n.rules.ruledOutPairs.insert({place, stallion});
        KeptRows kept;
        std::size_t room = 0;
        // A locked mare's list runs on to her stallion, for his rank there.
        const auto lock = n.lockOf.find(dam.id);
        bool lockMet = lock == n.lockOf.end() || lock->second >= sires.stallions().size(); // #ID: in no row
        for (const std::uint32_t r : dam.rows) {
            if (room >= mareCount && lockMet)
                break;
            if (!n.rules.keeps(place, {r, n.rules.noRepeats && !repeatedSires(dam.foalLineage(r)).empty()}))
                continue;
            kept.rows.push_back(r);
            room += roomOf(r);
            lockMet = lockMet || r == lock->second;
        }
        if (!lockMet)
            kept.more.push_back(lock->second);
        return kept;
    };
}

// What the player is told after the answer: the mares left out, the locks refused, the mares without a stallion.
void tellAfter(const SireIndex& sires, DecidedSeason& out)
{
    for (const std::string& message : out.season.leftOut)
        out.toldAfter.push_back(message);
    out.unplanned = !out.season.leftOut.empty();
    for (std::size_t m = 0; m < out.season.dams.size(); ++m) {
        const SeasonDam& dam = out.season.dams[m];
        const MareAssignment& given = out.plan.mares[m];
        if (given.lockRefused != MareAssignment::LockRefused::None)
            out.toldAfter.push_back("horse " + std::to_string(dam.id) + " (" + latin1ForMessage(dam.name) +
                                    "): her lock to " + out.stallionName(*out.mares[m].locked, sires) +
                                    " is not kept: " + lockRefusal(given.lockRefused));
        const std::string why = unplannedText(dam, given);
        if (!why.empty()) {
            out.toldAfter.push_back(why);
            out.unplanned = true;
        }
    }
}

} // namespace

std::string DecidedSeason::stallionName(StallionNumber number, const SireIndex& sires) const
{
    const std::size_t listed = sires.stallions().size();
    return latin1ToUtf8(number < listed ? std::string(sires.stallions()[number])
                                        : recordStallions[number - listed].name);
}

DecidedSeason decideSeason(const DataFolder& folder, const ChefTable& chefs,
                           const std::shared_ptr<const SireIndex>& sires, const std::vector<std::int32_t>& ids,
                           const std::vector<CheckedHorse>* horses, const PlanQuery& query,
                           const SeasonRulesNamed& named)
{
    DecidedSeason out;
    Numbered n = numberRules(folder, *sires, named, out);
    const std::size_t mareCount = horses ? horses->size() : ids.size(); // at least as many as the free mares
    const SeasonKeep keep = headOfList(n, *sires, mareCount);
    out.season = horses ? planStableSeason(*horses, sires, chefs, query, keep)
                        : planSeason(ids, folder, sires, chefs, query, keep);
    std::unordered_map<std::int32_t, std::size_t> placeOf;
    for (std::size_t m = 0; m < out.season.dams.size(); ++m)
        placeOf.emplace(out.season.dams[m].id, m);
    // A lock on a horse not planned as a mare is refused outright.
    for (const NamedPair& lock : named.locks)
        if (!placeOf.contains(lock.dam)) {
            out.refused = "season --lock \"" + lock.typed + "\": horse " + std::to_string(lock.dam) +
                          " is no filly or mare of this season";
            return out;
        }
    out.mares = assignMaresOf(out.season, false); // the rows kept have no repeats when asked
    if (n.rules.roster)
        placeRecordStallions(out.season, out.mares, out.recordStallions, *n.rules.roster, *sires, chefs, query);
    for (const auto& [dam, stallion] : n.lockOf) {
        const std::size_t place = placeOf.at(dam);
        out.mares[place].locked = stallion;
        if (stallion >= sires->stallions().size() && !out.season.dams[place].recordFoalOf(stallion))
            out.season.dams[place].recordFoals.push_back(
                recordFoalOf(out.recordStallions[stallion - sires->stallions().size()], stallion,
                             out.season.dams[place].lines, *sires, chefs));
    }
    out.plan = assignSeason(out.mares, n.rules);
    tellAfter(*sires, out);
    return out;
}

} // namespace quindle
