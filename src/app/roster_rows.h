#pragma once
// The roster's stallions as both front ends list them: each with his line
// (from the sire list, or from his own record for a colt or horse of the
// breeding file) and, when he cannot be used, why.
#include <string>
#include <vector>

#include "data/data_folder.h"
#include "planner/sire_plan.h"
#include "stable/roster_file.h"

namespace quindle {

struct RosterRow {
    RosterEntry entry;
    std::string sire, damSire; // Latin-1: his line, empty when unknown
    bool usable = false;       // a season can use him
    std::string note;          // UTF-8: why not (an ID that now holds another horse, a name not listed), or his origin
};

std::vector<RosterRow> rosterRows(const Roster& roster, const SireIndex& sires, const DataFolder& folder);

} // namespace quindle
