#include "main_state/record_stallion.h"

#include "data/latin1_text.h"
#include "data/sire_scan.h"
#include "lookup/horse_lookup.h"

namespace quindle {

namespace {
std::string horseText(std::int32_t id) { return "horse " + std::to_string(id); }
} // namespace

StallionLookup stallionOf(const HorseRecord& horse)
{
    StallionLookup out;
    if (!canBePlannedAsStallion(horse.sex)) {
        out.error = horseText(horse.id) + " (" + latin1ToUtf8(horse.name) + ") is " +
                    (horse.sex.empty() ? "of no stated sex" : "a " + latin1ToUtf8(horse.sex)) + ", not a colt or horse";
        return out;
    }
    out.status = Outcome::Done;
    out.stallion = {horse.id, horse.name, horse.sire, horse.damSire, horse.sireSire};
    return out;
}

StallionLookup findStallion(const DataFolder& folder, std::int32_t id)
{
    const LookupResult found = findHorse(folder, id);
    if (found.status == Outcome::Done)
        return stallionOf(found.horse);
    StallionLookup out;
    out.status = found.status;
    out.error = found.status == Outcome::Failed ? found.error : horseText(id) + " is not in the breeding file";
    return out;
}

std::string submitStallionMating(MainBoxes& boxes, const RecordStallion& stallion, const MatingNames& names,
                                 const SireList& sireList, const ChefTable& chefs)
{
    return submitLineage(boxes, chefs, [&](std::array<std::string, 7>& lineage) {
        return mateStallionLineage(
            lineage, stallion, {names[1], names[2]},
            [&](const std::string& sire, const std::string& damSire) { return scanSireList(sireList, sire, damSire); });
    });
}

std::string submitStallionMating(MainBoxes& boxes, const RecordStallion& stallion, const MatingNames& names,
                                 const std::string& sireListPath, const ChefTable& chefs)
{
    return submitLineage(boxes, chefs, [&](std::array<std::string, 7>& lineage) {
        return mateStallionLineage(lineage, stallion, {names[1], names[2]},
                                   [&](const std::string& sire, const std::string& damSire) {
                                       return scanSireList(sireListPath, sire, damSire);
                                   });
    });
}

std::string stallionOrigin(const RecordStallion& stallion)
{
    return "from the breeding file, " + horseText(stallion.id);
}

} // namespace quindle
