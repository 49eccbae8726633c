#include "boxes/mating.h"

namespace quindle {

std::string submitMating(MainBoxes& boxes, const MatingNames& names, const std::string& sireListPath,
                         const ChefTable& chefs)
{
    boxes.horseName.clear();
    boxes.horseColour = kNeutralColour;
    boxes.ageSexColour = kNeutralColour;
    boxes.ageSex = " New Foal";
    boxes.indicator.clear(); // a failed lookup before is no longer on screen
    const std::string error =
        mateLineage(boxes.lineage, names, [&](const std::string& sire, const std::string& damSire) {
            return scanSireList(sireListPath, sire, damSire);
        });
    for (auto& text : boxes.profileTexts)
        text.clear();
    showDosage(boxes, chefs);
    return error;
}

} // namespace quindle
