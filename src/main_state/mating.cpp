#include "main_state/mating.h"

namespace quindle {

namespace {
template <class Scan>
std::string submitWith(MainBoxes& boxes, const MatingNames& names, const ChefTable& chefs, Scan&& scan)
{
    return submitLineage(boxes, chefs, [&](auto& lineage) { return mateLineage(lineage, names, scan); });
}

} // namespace

std::string submitMating(MainBoxes& boxes, const MatingNames& names, const std::string& sireListPath,
                         const ChefTable& chefs)
{
    return submitWith(boxes, names, chefs, [&](const std::string& sire, const std::string& damSire) {
        return scanSireList(sireListPath, sire, damSire);
    });
}

std::string submitMating(MainBoxes& boxes, const MatingNames& names, const SireList& sireList, const ChefTable& chefs)
{
    return submitWith(boxes, names, chefs, [&](const std::string& sire, const std::string& damSire) {
        return scanSireList(sireList, sire, damSire);
    });
}

std::string matingLabel(const MatingNames& names)
{
    return names[0] + " x " + names[1] + (names[2].empty() ? "" : " / " + names[2]);
}

MatingNames matingNamesOf(const MainBoxes& boxes) { return {boxes.lineage[0], boxes.lineage[2], boxes.lineage[6]}; }

MatingNames keptNames(const MainBoxes& boxes, const MatingNames& typed)
{
    const MatingNames shown = matingNamesOf(boxes);
    MatingNames out;
    for (std::size_t i = 0; i < typed.size(); ++i)
        out[i] = typed[i].empty() ? shown[i] : typed[i];
    return out;
}

std::string matingTitle(const MatingNames& names, const MareNamed& mare)
{
    if (mare.id == 0)
        return matingLabel(names);
    return names[0] + " x " + mare.name + " (" + std::to_string(mare.id) + ")";
}

} // namespace quindle
