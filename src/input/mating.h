#pragma once
// Submitting a hypothetical mating: the typed names go into the main window's
// lineage boxes, the sire lines are completed from the sire list, and the foal's
// profile is shown.
#include <array>
#include <string>

#include "data/chef_table.h"
#include "lookup/main_boxes.h"

namespace quindle {

// Sire, Dam-Sire and Dam's Dam-Sire as typed (trailing spaces already removed);
// a blank name keeps what its lineage box holds. Returns the reason when the sire
// list could not be read to the end (the profile is shown all the same).
std::string submitMating(MainBoxes& boxes, const std::array<std::string, 3>& names, const std::string& sireListPath,
                         const ChefTable& chefs);

} // namespace quindle
