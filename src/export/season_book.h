#pragma once
// The season book: the plan as one document for the player to print or keep.
// First the target and the rules, then a table of every mare with her stallion
// and the foal's numbers, then one card per mating. Here are its rows and
// texts; a front end lays them out on pages.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "main_state/main_boxes.h"
#include "data/chef_table.h"
#include "planner/plan_query.h"
#include "planner/season.h"
#include "planner/season_assign.h"

namespace quindle {

// The table's columns: the mare, her stallion and his rank in her list, the
// foal's numbers and its repeated sires.
inline constexpr std::array<const char*, 15> kSeasonBookColumns{
    "ID", "Mare", "Stallion", "Rank", "B", "I", "C", "S", "P", "Total", "Speed", "Stamina", "CD", "DI", "Repeats"};
inline constexpr std::size_t kSeasonBookNumbers = 10; // B .. DI

struct SeasonBookRow {
    std::int32_t damId = 0;
    std::string damName; // Latin-1
    // The mating, when she has a stallion; else `why` says why not (plain ASCII, so Latin-1 as the rest).
    std::string sire;                                    // Latin-1
    std::string rank;                                    // her stallion's place in her list; empty when not in it
    std::array<std::string, kSeasonBookNumbers> numbers; // as the planner shows them
    std::string repeats;                                 // Latin-1, the foal's repeated sires
    std::array<std::string, 7> lineage;                  // the foal's lineage boxes, Latin-1
    std::string title;                                   // "STALLION x MARE (ID)", Latin-1
    std::string why;
    bool mated() const { return why.empty(); }
    // The table's cells in kSeasonBookColumns' order, in Latin-1 (`why` in place of the stallion's).
    std::vector<std::string> cells() const;
};

struct SeasonBook {
    std::string title;                // UTF-8
    std::vector<std::string> heading; // UTF-8: which stallion each mare has, the target, the rules
    std::vector<SeasonBookRow> rows;  // every mare of the season, in its order
};

// The book of a season: with `plan` (and the `rules` it was decided under),
// each mare's stallion given; without, a season not decided, each mare's first
// stallion under the target, as the window shows her list.
SeasonBook seasonBookOf(const SeasonPlan& season, const PlanQuery& query, const SeasonAssignment* plan,
                        const AssignRules& rules);

// The target in words: "DI 1.00 to 4.00, CD at most 1.25, total at least 10;
// sorted by total, highest first".
std::string targetWords(const PlanQuery& query);

// The main window's boxes for a row's mating, as submitting it shows them (the
// card's contents).
MainBoxes bookMatingBoxes(const SeasonBookRow& row, const ChefTable& chefs);

} // namespace quindle
