#pragma once
// The season plan: the planner's rows for each of several mares under one
// target. Each mare's rows are exactly what the planner shows for her with the
// same query (planMatings, then selectRows), so the two cannot drift apart.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "main_state/record_stallion.h"
#include "planner/foal_sums.h"
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
    std::string name; // Latin-1, as the breeding file holds it
    MareLines lines;  // her Sire and Dam-Sire
    MareSums sums;    // her side of every foal, for a new target
    // Only the rows kept: row k is the foal by stallion stallionOf[k]. While
    // the season decides what to keep, `plan` holds no row and `rows` are
    // the stallions of her whole target, in its order.
    Plan plan;
    std::vector<std::uint32_t> rows; // the rows of the target, in its order
    std::vector<StallionNumber> stallionOf;
    std::size_t inTarget = 0;            // how many rows her target gave, kept or not
    GroupTotals largest{};               // the largest points of each group among all her foals
    std::vector<RecordFoal> recordFoals; // by stallions of the breeding file she is locked to

    StallionNumber stallion(std::uint32_t row) const { return stallionOf.empty() ? row : stallionOf[row]; }
    // The row of a stallion; null when it was not kept.
    const PlanRow* rowOf(StallionNumber stallion) const;
    // Her foal's seven names by any stallion of the sire list, kept or not.
    AncestorViews foalLineage(StallionNumber stallion) const;
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
    std::vector<SeasonDam> dams;                // in the order asked for
    std::vector<std::string> leftOut;           // why each mare asked for was not planned, in that order, in UTF-8
    std::shared_ptr<const StallionSides> sides; // the stallions' side, for a new target
    // The chef table the sides look into, when the caller shares it: the
    // window keeps its season past the planning.
    std::shared_ptr<const ChefTable> chefs;
    // What finding the targets learnt of the foals' numbers, for the next one.
    std::shared_ptr<std::vector<FoalScratch>> scratch;

    std::size_t stallionCount() const { return sides ? sides->count() : 0; }
};

// Keeps the rows of the target alone: what `season --top N` shows.
KeptRows keepTargetRows(std::size_t place, const SeasonDam& dam);

// The mares with these identifiers, each found as the planner finds her
// (findMare); a horse that is not there or not a filly or mare is left out.
// Each mare keeps only the rows `keep` names.
SeasonPlan planSeason(const std::vector<std::int32_t>& ids, const DataFolder& folder,
                      const std::shared_ptr<const SireIndex>& sires, const ChefTable& chefs, const PlanQuery& query,
                      const SeasonKeep& keep = keepTargetRows);

// The fillies and mares among the player's checked horses, in the stable's
// order. Colts and horses are passed over; a kept horse whose ID now holds
// another name, or none, is left out until the player confirms it.
SeasonPlan planStableSeason(const std::vector<CheckedHorse>& horses, const std::shared_ptr<const SireIndex>& sires,
                            const ChefTable& chefs, const PlanQuery& query, const SeasonKeep& keep = keepTargetRows);

// Keeps the head of each list that a plan of `mares` mares can use when every
// stallion may cover `book` mares (none: any number; a book of 0 plans none
// anyway): rows until their books add up to the mares, passing over foals
// with a repeated sire when `noRepeats`.
SeasonKeep keepHeadOfList(std::size_t mares, std::optional<std::uint32_t> book, bool noRepeats);

// The same under any rules (a roster, books of their own, stallions and pairs
// ruled out, no repeats) and with locks (`lockAt`, by the mare's place, may be
// empty): the rows the rules keep until their stallions' room adds up to the
// mares, and a locked mare's list on to her stallion, for his rank there.
SeasonKeep keepHeadUnderRules(const AssignRules& rules, std::vector<std::optional<StallionNumber>> lockAt,
                              std::size_t mares);

// A new target over the same mares, from their sums: no mare is looked up again.
void selectSeason(SeasonPlan& season, const PlanQuery& query, const SeasonKeep& keep = keepTargetRows);

// Each mare's rows under the target as the season's plan takes them: the
// stallion of each row (his number in the sire list, the row of her plan) and
// whether the foal repeats a sire (looked at only when `markRepeats`, as the
// look costs more than the rest). No locks yet.
std::vector<AssignMare> assignMaresOf(const SeasonPlan& season, bool markRepeats);

} // namespace quindle
