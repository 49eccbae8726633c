#include "main_state/chosen_mating.h"

namespace quindle {

std::string submitChosen(MainBoxes& boxes, const ChosenMating& mating, const std::string& sireListPath,
                         const ChefTable& chefs)
{
    return mating.stallion ? submitStallionMating(boxes, *mating.stallion, mating.names, sireListPath, chefs)
                           : submitMating(boxes, mating.names, sireListPath, chefs);
}

} // namespace quindle
