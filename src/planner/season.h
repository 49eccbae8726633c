#pragma once
// The season plan: the planner's rows for each of several mares under one
// target. Each mare's rows are exactly what the planner shows for her with the
// same query (planMatings, then selectRows), so the two cannot drift apart.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "boxes/record_stallion.h"
#include "planner/plan_query.h"
#include "planner/season_assign.h"
#include "planner/sire_plan.h"
#include "stable/stable_check.h"

namespace quindle {

// How many stallions a season shows per mare unless told otherwise.
inline constexpr std::size_t kSeasonStallionsPerMare = 5;

// A foal of a mare by a stallion of the breeding file, who is in no sire list:
// his lines from his own record, hers as a submission fills them.
struct RecordFoal {
    StallionNumber stallion = 0;        // the number the season gives him, past the sire list's
    std::array<std::string, 7> lineage; // Latin-1, in the order of the lineage boxes
    PlanNumbers numbers;

    AncestorViews lineageViews() const;
};
RecordFoal recordFoalOf(const RecordStallion& stallion, StallionNumber number, const MareLines& mare,
                        const SireIndex& sires, const ChefTable& chefs);

struct SeasonDam {
    std::int32_t id = 0;
    std::string name;                // Latin-1, as the breeding file holds it
    MareLines lines;                 // her Sire and Dam-Sire
    Plan plan;                       // every stallion with her, or only the rows kept (see `stallionOf`)
    std::vector<std::uint32_t> rows; // the rows of the target, in its order: selectRows(plan, query)
    // Empty while `plan` holds every stallion (row k is stallion k); once the
    // season kept only some rows, the stallion (his number in the sire list) of each.
    std::vector<StallionNumber> stallionOf;
    std::size_t inTarget = 0;            // how many rows her target gave, kept or not
    std::vector<RecordFoal> recordFoals; // by stallions of the breeding file she is locked to

    StallionNumber stallion(std::uint32_t row) const { return stallionOf.empty() ? row : stallionOf[row]; }
    // The row of a stallion; null when it was not kept.
    const PlanRow* rowOf(StallionNumber stallion) const;
    // Her foal by a stallion of the breeding file; null when there is none.
    const RecordFoal* recordFoalOf(StallionNumber stallion) const;
};

// Which of a mare's rows a season keeps once she is planned, so that a season
// of many mares never holds every mating of each: `rows` (rows of her whole
// plan, in the order they become her rows of the target) and `more` (other
// rows of her plan to keep beside them, such as a stallion she is locked to).
struct KeptRows {
    std::vector<std::uint32_t> rows, more;
};
// Called for each mare planned, in the season's order: `place` is hers among them.
using SeasonKeep = std::function<KeptRows(std::size_t place, const SeasonDam& dam)>;

struct SeasonPlan {
    std::vector<SeasonDam> dams;      // in the order asked for
    std::vector<std::string> leftOut; // why each mare asked for was not planned, in that order, in UTF-8
};

// The mares with these identifiers, each found as the planner finds her
// (findMare); a horse that is not there or not a filly or mare is left out.
// With `keep`, each mare keeps only the rows it names (a new target then needs
// planning again); without, every stallion with her, for the window.
SeasonPlan planSeason(const std::vector<std::int32_t>& ids, const DataFolder& folder,
                      const std::shared_ptr<const SireIndex>& sires, const ChefTable& chefs, const PlanQuery& query,
                      const SeasonKeep& keep = {});

// The fillies and mares among the player's checked horses, in the stable's
// order. Colts and horses are passed over; a kept horse whose ID now holds
// another name, or none, is left out until the player confirms it.
SeasonPlan planStableSeason(const std::vector<CheckedHorse>& horses, const std::shared_ptr<const SireIndex>& sires,
                            const ChefTable& chefs, const PlanQuery& query, const SeasonKeep& keep = {});

// Keeps the rows of the target alone: what `season --top N` shows.
KeptRows keepTargetRows(std::size_t place, const SeasonDam& dam);

// A new target over the same plans, without planning again (a season that kept
// every stallion with each mare).
void selectSeason(SeasonPlan& season, const PlanQuery& query);

// Each mare's rows under the target as the season's plan takes them: the
// stallion of each row (his number in the sire list, the row of her plan) and
// whether the foal repeats a sire (looked at only when `markRepeats`, as the
// look costs more than the rest). No locks yet.
std::vector<AssignMare> assignMaresOf(const SeasonPlan& season, bool markRepeats);

} // namespace quindle
