#pragma once
// The season plan: the planner's rows for each of several mares under one
// target. Each mare's rows are exactly what the planner shows for her with the
// same query (planMatings, then selectRows), so the two cannot drift apart.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "planner/plan_query.h"
#include "planner/season_assign.h"
#include "planner/sire_plan.h"
#include "stable/stable_check.h"

namespace quindle {

// How many stallions a season shows per mare unless told otherwise.
inline constexpr std::size_t kSeasonStallionsPerMare = 5;

struct SeasonDam {
    std::int32_t id = 0;
    std::string name;                // Latin-1, as the breeding file holds it
    MareLines lines;                 // her Sire and Dam-Sire
    Plan plan;                       // every stallion with her
    std::vector<std::uint32_t> rows; // the rows of the target, in its order: selectRows(plan, query)
};

struct SeasonPlan {
    std::vector<SeasonDam> dams;      // in the order asked for
    std::vector<std::string> leftOut; // why each mare asked for was not planned, in that order, in UTF-8
};

// The mares with these identifiers, each found as the planner finds her
// (findMare); a horse that is not there or not a filly or mare is left out.
SeasonPlan planSeason(const std::vector<std::int32_t>& ids, const DataFolder& folder,
                      const std::shared_ptr<const SireIndex>& sires, const ChefTable& chefs, const PlanQuery& query);

// The fillies and mares among the player's checked horses, in the stable's
// order. Colts and horses are passed over; a kept horse whose ID now holds
// another name, or none, is left out until the player confirms it.
SeasonPlan planStableSeason(const std::vector<CheckedHorse>& horses, const std::shared_ptr<const SireIndex>& sires,
                            const ChefTable& chefs, const PlanQuery& query);

// A new target over the same plans, without planning again.
void selectSeason(SeasonPlan& season, const PlanQuery& query);

// Each mare's rows under the target as the season's plan takes them: the
// stallion of each row (his number in the sire list, the row of her plan) and
// whether the foal repeats a sire (looked at only when `markRepeats`, as the
// look costs more than the rest). No locks yet.
std::vector<AssignMare> assignMaresOf(const SeasonPlan& season, bool markRepeats);

} // namespace quindle
