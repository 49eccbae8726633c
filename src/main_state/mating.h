#pragma once
// Submitting a hypothetical mating: the typed names go into the main window's
// lineage boxes, the sire lines are completed from the sire list, and the foal's
// profile is shown.
#include <array>
#include <cstdint>
#include <string>

#include "main_state/main_boxes.h"
#include "data/chef_table.h"
#include "data/sire_scan.h"

namespace quindle {

// Sire, Dam-Sire and Dam's Dam-Sire as typed (trailing spaces already removed).
using MatingNames = std::array<std::string, 3>;

// The foal's lineage after a submission over `lineage` (the lineage boxes as
// they are, in profile position order): a blank name keeps what its box holds,
// the four sire-line boxes are emptied and then filled from what
// `scanSireList(sire, damSire)` settles. Returns the scan's error text.
template <class Text, class Scan>
std::string mateLineage(std::array<Text, 7>& lineage, const std::array<Text, 3>& names, Scan&& scanSireList)
{
    // Text3 Sire, Text4 Sire's Sire, Text5 Dam-Sire, Text6 Sire's Sire's Sire,
    // Text7 Sire's Dam-Sire, Text8 Dam-Sire's Sire, Text9 Dam's Dam-Sire.
    enum Position { Sire, SireSire, DamSire, SireSireSire, SireDamSire, DamSireSire, DamDamSire };
    for (const Position p : {SireSire, SireSireSire, SireDamSire, DamSireSire})
        lineage[p] = Text();
    const Position typedInto[] = {Sire, DamSire, DamDamSire};
    for (std::size_t i = 0; i < names.size(); ++i)
        if (!names[i].empty())
            lineage[typedInto[i]] = names[i];

    auto lines = scanSireList(lineage[Sire], lineage[DamSire]);
    if (lines.sireSire) {
        lineage[SireSire] = std::move(*lines.sireSire);
        lineage[SireDamSire] = std::move(*lines.sireDamSire);
        lineage[SireSireSire] = std::move(*lines.sireSireSire);
    }
    if (lines.damSireSire)
        lineage[DamSireSire] = std::move(*lines.damSireSire);
    return lines.error;
}

// A submission on the main window's boxes: the horse's boxes say " New Foal",
// `fill(lineage)` makes the foal's lineage and returns the scan's error, and
// the profile boxes are emptied and shown again.
template <class FillLineage>
std::string submitLineage(MainBoxes& boxes, const ChefTable& chefs, FillLineage&& fill)
{
    boxes.horseName.clear();
    boxes.horseColour = kNeutralColour;
    boxes.ageSexColour = kNeutralColour;
    boxes.ageSex = " New Foal";
    boxes.indicator.clear(); // a failed lookup before is no longer on screen
    const std::string error = fill(boxes.lineage);
    for (auto& text : boxes.profileTexts)
        text.clear();
    showDosage(boxes, chefs);
    return error;
}

// The whole submission on the main window's boxes, reading the sire list from
// the file. Returns the reason when the sire list could not be read to the end
// (the profile is shown all the same).
std::string submitMating(MainBoxes& boxes, const MatingNames& names, const std::string& sireListPath,
                         const ChefTable& chefs);
// The same with the sire list already read whole.
std::string submitMating(MainBoxes& boxes, const MatingNames& names, const SireList& sireList, const ChefTable& chefs);

// A mating named where it stands alone (a comparison's column, a card's title):
// "SIRE x DAMSIRE / DAMDAMSIRE", or "SIRE x DAMSIRE" without a dam's dam-sire.
std::string matingLabel(const MatingNames& names);
// The names of the mating the boxes show: their Sire, Dam-Sire and Dam's Dam-Sire.
MatingNames matingNamesOf(const MainBoxes& boxes);
// The names a submission of `typed` over these boxes gives the foal: a blank
// one keeps what its box holds.
MatingNames keptNames(const MainBoxes& boxes, const MatingNames& typed);

// The mare a mating is made for (the planner's, the season's, the best mares'),
// so that candidates across several mares can be told apart; id 0: none.
struct MareNamed {
    std::int32_t id = 0;
    std::string name; // Latin-1
    bool operator==(const MareNamed&) const = default;
};
// "STALLION x MARE (ID)" for a mare, else matingLabel(names).
std::string matingTitle(const MatingNames& names, const MareNamed& mare);

} // namespace quindle
