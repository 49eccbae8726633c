#pragma once
// The names that stand more than once in the sire list with different lines:
// a plan shows one row for such a name, and the player is told which of its
// lines counts, the one a submitted mating's scan takes.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "planner/sire_plan.h"

namespace quindle {

struct RepeatedStallion {
    std::string_view name;          // looks into the list
    std::vector<std::size_t> lines; // of the file, counting from 1, in order
    std::size_t counting = 0;       // the line whose sire lines the foal gets
};

struct SireListCounts {
    std::size_t stallions = 0;              // distinct names
    std::size_t lines = 0;                  // entries with a name
    std::vector<RepeatedStallion> repeated; // in the order of their first entries
};

// The counts of the list, with the line that counts for each repeated name
// when it sires a foal whose Dam-Sire is `damSire` (which can settle the scan
// before a later entry of the name is read).
SireListCounts countSireList(const SireIndex& sires, std::string_view damSire);

// "894 stallions, 895 lines", or "895 stallions" when no name stands twice.
std::string countsText(const SireListCounts& counts);
// One line for a repeated name, UTF-8: "ROYAL QUEEN stands on lines 537 and 690; line 537 counts".
std::string repeatedText(const RepeatedStallion& repeated);

} // namespace quindle
