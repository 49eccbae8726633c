#pragma once
// The player's list as My Horses and `quindle-cli stable list` show it: each
// kept horse as the breeding file has it now, with its profile's total, DI and
// CD, and its name marked while the ID holds another horse (or none).
#include <string>
#include <vector>

#include "data/chef_table.h"
#include "data/data_folder.h"
#include "stable/stable_check.h"
#include "stable/stable_file.h"

namespace quindle {

struct StableRow {
    CheckedHorse checked;
    std::string total, di, cd;                       // as the main window's boxes show them, blanks trimmed
    double totalValue = 0, diValue = 0, cdValue = 0; // for sorting: "--" lowest, INF highest
};

// Every kept horse looked up and profiled, in the list's order.
std::vector<StableRow> stableRows(const Stable& stable, const DataFolder& folder, const ChefTable& chefs);

// The breeding file's horse is there (under the name kept or another).
bool holdsHorse(const CheckedHorse& checked);

// The name as the list shows it (Latin-1): the breeding file's, with the name
// kept beside it when that is another, or the name kept and why it is alone.
std::string shownName(const CheckedHorse& checked);

} // namespace quindle
