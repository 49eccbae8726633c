#pragma once
// A hypothetical mating as the player picks it anywhere (the mating window, a
// planner, season or best-mares row): its names, the Sire from the breeding
// file when he is one, and the mare it is made for.
#include <optional>
#include <string>

#include "main_state/main_boxes.h"
#include "main_state/mating.h"
#include "main_state/record_stallion.h"
#include "data/chef_table.h"

namespace quindle {

struct ChosenMating {
    MatingNames names;                      // as typed or picked; a blank one keeps its box
    std::optional<RecordStallion> stallion; // his record gives the Sire's side; names[0] is his name
    MareNamed mare;
    bool operator==(const ChosenMating&) const = default;
};

// The whole submission of it on the main window's boxes, reading the sire list
// from the file; returns the reason the list could not be read to the end.
std::string submitChosen(MainBoxes& boxes, const ChosenMating& mating, const std::string& sireListPath,
                         const ChefTable& chefs);

// How a window titles it: "STALLION x MARE (ID)" for a mare, else the names.
inline std::string chosenTitle(const ChosenMating& mating) { return matingTitle(mating.names, mating.mare); }

} // namespace quindle
