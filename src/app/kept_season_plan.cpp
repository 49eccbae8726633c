#include "app/kept_season_plan.h"

#include <algorithm>
#include <unordered_map>

#include "data/latin1_text.h"

namespace quindle {

namespace {

bool isMarked(const std::vector<MarkedEntry>& marked, MarkedEntry::Kind kind, const KeptPair& pair)
{
    return std::any_of(marked.begin(), marked.end(),
                       [&](const MarkedEntry& m) { return m.kind == kind && m.pair == pair; });
}

std::string mareText(const KeptPair& pair)
{
    return "horse " + std::to_string(pair.dam) + " (" + latin1ForMessage(pair.damName) + ")";
}

} // namespace

KeptRules keptRulesOf(const SeasonPlan& season, const SireIndex& sires, const KeptSeason& kept,
                      const std::vector<MarkedEntry>& marked)
{
    KeptRules out;
    out.lockAt.resize(season.dams.size());
    AssignRules& rules = out.rules;
    rules.noRepeats = kept.noRepeats;
    rules.bookForAll = kept.bookForAll;
    if (kept.bookForAll && *kept.bookForAll == 0)
        out.told.push_back("a book of 0: no stallion may cover a mare");
    std::unordered_map<std::int32_t, std::size_t> placeOf;
    for (std::size_t m = 0; m < season.dams.size(); ++m)
        placeOf.emplace(season.dams[m].id, m);
    const auto numberOf = [&](const std::string& sire, const std::string& rule) -> std::optional<StallionNumber> {
        const auto number = sires.numberOf(sire);
        if (!number)
            out.told.push_back(rule + ": " + latin1ForMessage(sire) +
                               " is not in the sire list, so it is not kept in this plan");
        return number;
    };

    for (const std::string& sire : kept.ruledOut)
        if (const auto number = numberOf(sire, "ruled out for the season"))
            rules.ruledOut.insert(*number);
    const std::size_t listed = sires.stallions().size();
    if (listed > 0 && rules.ruledOut.size() == listed)
        out.told.push_back("every stallion of the sire list is ruled out");
    for (const KeptPair& pair : kept.ruledOutPairs) {
        const auto place = placeOf.find(pair.dam);
        if (place == placeOf.end() || isMarked(marked, MarkedEntry::Kind::RuledOutPair, pair))
            continue;
        if (const auto number = numberOf(pair.sire, mareText(pair) + " ruled out with a stallion"))
            rules.ruledOutPairs.insert({place->second, *number});
    }

    // A decision stands for her lock; each is kept only when the rules leave the pair open.
    const auto lockTo = [&](const KeptPair& pair, const char* what) {
        const std::size_t place = placeOf.at(pair.dam);
        const auto number = numberOf(pair.sire, mareText(pair) + ": " + what);
        if (!number)
            return;
        if (rules.ruledOut.contains(*number) || rules.ruledOutPairs.contains({place, *number})) {
            out.told.push_back(
                mareText(pair) + ": " + what + " " + latin1ForMessage(pair.sire) + " and " +
                (rules.ruledOut.contains(*number) ? "that stallion ruled out for the season" : "that pair ruled out") +
                " at once: " + what + " is not kept");
            return;
        }
        out.lockAt[place] = *number;
    };
    for (const SeasonDam& mare : season.dams) { // in the season's order, so each lock is told where it stands
        const std::int32_t dam = mare.id;
        const KeptDecision* decision = kept.decisionOf(dam);
        if (decision && !isMarked(marked, MarkedEntry::Kind::Decision, decision->pair)) {
            lockTo(decision->pair, "her decision");
            continue;
        }
        const KeptPair* lock = kept.lockOf(dam);
        if (lock && !isMarked(marked, MarkedEntry::Kind::Lock, *lock))
            lockTo(*lock, "her lock");
    }
    return out;
}

KeptPlan planKeptSeason(const SeasonPlan& season, const SireIndex& sires, const KeptSeason& kept,
                        const std::vector<MarkedEntry>& marked, const MoreRules& more)
{
    KeptRules kr = keptRulesOf(season, sires, kept, marked);
    KeptPlan out;
    out.told = std::move(kr.told);
    AssignRules& rules = kr.rules;
    out.mares = assignMaresOf(season, rules.noRepeats);
    if (more)
        more(rules, out.mares);
    for (std::size_t m = 0; m < out.mares.size(); ++m)
        out.mares[m].locked = kr.lockAt[m];
    out.plan = assignSeason(out.mares, rules);
    out.rules = rules;
    for (std::size_t m = 0; m < season.dams.size(); ++m) {
        const MareAssignment::LockRefused refused = out.plan.mares[m].lockRefused;
        if (refused != MareAssignment::LockRefused::BeyondBook && refused != MareAssignment::LockRefused::OutsideRoster)
            continue;
        out.told.push_back("horse " + std::to_string(season.dams[m].id) + " (" + latin1ForMessage(season.dams[m].name) +
                           "): her lock to " + latin1ForMessage(sires.stallions()[*out.mares[m].locked]) +
                           (refused == MareAssignment::LockRefused::BeyondBook
                                ? " is not kept: his book is full with the locks before it"
                                : " is not kept: he is not in the roster"));
    }
    return out;
}

} // namespace quindle
