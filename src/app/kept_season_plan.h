#pragma once
// The season decided under the rules a data folder keeps: the locks and the
// player's decisions first (a decision counts as her lock), the stallions and
// pairs ruled out, the book and no repeats, over a season planned with every
// stallion. A rule that cannot be kept is told and left out; the rest is
// planned all the same.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/kept_season.h"
#include "planner/season.h"
#include "planner/season_assign.h"
#include "planner/sire_plan.h"

namespace quindle {

struct KeptPlan {
    SeasonAssignment plan;
    AssignRules rules;             // as planned, the caller's among them
    std::vector<AssignMare> mares; // as planned, each with her lock
    std::vector<std::string> told; // UTF-8: each rule not kept, and why
};

// The rules kept as the plan takes them, and each mare's lock (her decision,
// else her lock) by her place; what cannot be kept is told.
struct KeptRules {
    AssignRules rules;
    std::vector<std::optional<StallionNumber>> lockAt;
    std::vector<std::string> told;
};
KeptRules keptRulesOf(const SeasonPlan& season, const SireIndex& sires, const KeptSeason& kept,
                      const std::vector<MarkedEntry>& marked);

// Adds rules of the caller's (the roster) and rows to the mares' lists (the
// roster's colts and horses), before the locks are taken.
using MoreRules = std::function<void(AssignRules& rules, std::vector<AssignMare>& mares)>;

// `marked` are the entries whose mare's ID holds another horse now: not used.
KeptPlan planKeptSeason(const SeasonPlan& season, const SireIndex& sires, const KeptSeason& kept,
                        const std::vector<MarkedEntry>& marked, const MoreRules& more = {});

} // namespace quindle
