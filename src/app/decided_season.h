#pragma once
// The season decided, as both front ends ask for it: the mares (by ID or the
// fillies and mares of My Horses), the target and the stud's rules as the
// player names them (stallions by a name of the sire list or "#ID"), checked,
// planned and solved by assignSeason. What the player is told comes back as
// text; nothing is printed here.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "main_state/record_stallion.h"
#include "data/chef_table.h"
#include "data/data_folder.h"
#include "planner/plan_query.h"
#include "planner/season.h"
#include "planner/season_assign.h"
#include "stable/roster_file.h"
#include "stable/stable_check.h"

namespace quindle {

// A mare and a stallion as the player named them: DAM=SIRE.
struct NamedPair {
    std::string typed; // as typed, for messages
    std::int32_t dam = 0;
    std::string sire; // Latin-1: a name of the sire list, or "#ID"
};

struct SeasonRulesNamed {
    std::optional<std::uint32_t> bookForAll; // none: no limit
    std::vector<NamedPair> locks, excludedPairs;
    std::vector<std::pair<std::string, std::string>> excluded; // (stallion in Latin-1, as typed)
    bool noRepeats = false;
    // The stallions the season may use when the player keeps to a roster, each
    // with his own book (before bookForAll); none: the whole sire list.
    std::optional<std::vector<RosterEntry>> roster;
};

struct DecidedSeason {
    // A rule that cannot stand at all (a lock on a horse that is no mare of the season), in UTF-8; the rest is empty
    // then.
    std::string refused;
    SeasonPlan season;
    std::vector<AssignMare> mares;
    SeasonAssignment plan;
    std::vector<std::string> toldFirst;          // rules not kept, told before the answer
    std::vector<std::string> toldAfter;          // mares left out, locks refused, mares without a stallion
    bool unplanned = false;                      // a mare is without a stallion (or none was there to plan)
    std::vector<RecordStallion> recordStallions; // the "#ID" stallions, numbered after the sire list's

    // A stallion's name in UTF-8, by his number in the plan.
    std::string stallionName(StallionNumber number, const SireIndex& sires) const;
};

// The mares are `ids`, or with `horses` the fillies and mares among them.
DecidedSeason decideSeason(const DataFolder& folder, const ChefTable& chefs,
                           const std::shared_ptr<const SireIndex>& sires, const std::vector<std::int32_t>& ids,
                           const std::vector<CheckedHorse>* horses, const PlanQuery& query,
                           const SeasonRulesNamed& named);

} // namespace quindle
