#pragma once
// The roster as a season's rule: the stallions it may use, each with his own
// book, numbered as the season numbers its stallions (the sire list's first,
// then the colts and horses of the breeding file). Both front ends take a
// roster into their season through this one step.
#include <functional>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "main_state/record_stallion.h"
#include "planner/plan_query.h"
#include "planner/season.h"
#include "planner/season_assign.h"
#include "planner/sire_plan.h"
#include "stable/roster_file.h"

namespace quindle {

// A colt or horse of the roster numbered past the sire list's stallions; none
// (with the reason said into `told`) when he cannot be used.
using RecordNumber = std::function<std::optional<StallionNumber>(const RosterEntry&, std::vector<std::string>& told)>;

// Sets `rules.roster` and the roster's books. Told (UTF-8, one line each): a
// name the sire list does not hold, a book of 0, a roster left with no
// stallion, every stallion of it ruled out.
void applyRoster(const std::vector<RosterEntry>& roster, const SireIndex& sires, const RecordNumber& recordNumber,
                 AssignRules& rules, std::vector<std::string>& told);

// The roster's colts and horses of the breeding file (`stallions`, numbered
// past the sire list's in that order) in each mare's list: his foal with her
// (his lines from his own record) under her target's filters, at the place her
// target's order gives it; rows that sort the same keep the sire list's
// stallions first. Beyond the head of her list kept, he goes last, where he
// cannot change the plan. Each foal is kept in her `recordFoals` (once).
void placeRecordStallions(SeasonPlan& season, std::vector<AssignMare>& mares,
                          const std::vector<RecordStallion>& stallions,
                          const std::unordered_set<StallionNumber>& roster, const SireIndex& sires,
                          const ChefTable& chefs, const PlanQuery& query);

} // namespace quindle
