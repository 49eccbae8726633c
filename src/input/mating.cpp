#include "input/mating.h"

#include "input/sire_scan.h"

namespace quindle {

namespace {
// Lineage box positions: Text3 Sire, Text4 Sire's Sire, Text5 Dam-Sire,
// Text6 Sire's Sire's Sire, Text7 Sire's Dam-Sire, Text8 Dam-Sire's Sire, Text9 Dam's Dam-Sire.
enum Position { Sire, SireSire, DamSire, SireSireSire, SireDamSire, DamSireSire, DamDamSire };
} // namespace

std::string submitMating(MainBoxes& boxes, const std::array<std::string, 3>& names, const std::string& sireListPath,
                         const ChefTable& chefs)
{
    boxes.text2.clear();
    boxes.text2Colour = kNeutralColour;
    boxes.ageSexColour = kNeutralColour;
    boxes.ageSex = " New Foal";
    for (const Position p : {SireSire, SireSireSire, SireDamSire, DamSireSire})
        boxes.lineage[p].clear();
    const Position typedInto[] = {Sire, DamSire, DamDamSire};
    for (std::size_t i = 0; i < names.size(); ++i)
        if (!names[i].empty())
            boxes.lineage[typedInto[i]] = names[i];

    const SireLines lines = scanSireList(sireListPath, boxes.lineage[Sire], boxes.lineage[DamSire]);
    if (lines.sireSire) {
        boxes.lineage[SireSire] = *lines.sireSire;
        boxes.lineage[SireDamSire] = *lines.sireDamSire;
        boxes.lineage[SireSireSire] = *lines.sireSireSire;
    }
    if (lines.damSireSire)
        boxes.lineage[DamSireSire] = *lines.damSireSire;

    for (auto& text : boxes.pt)
        text.clear();
    showDosage(boxes, chefs);
    return lines.error;
}

} // namespace quindle
