#pragma once
// A stallion of the breeding file as the Sire of a hypothetical foal: a colt or
// horse whose sire line stands in his own record (a player's young stallion is
// in no sire list yet). His record gives the Sire's side of the foal; the dam's
// side is filled as a submission fills it, and the Dam-Sire's Sire comes from
// the sire list with the Sire counted as settled, so the scan stops at the
// Dam-Sire's first entry.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "main_state/main_boxes.h"
#include "main_state/mating.h"
#include "data/chef_table.h"
#include "data/data_folder.h"
#include "data/outcome.h"
#include "data/records.h"
#include "data/sire_list.h"

namespace quindle {

// His own names, Latin-1 as the breeding file holds them.
struct RecordStallion {
    std::int32_t id = 0;
    std::string name, sire, damSire, sireSire;
    bool operator==(const RecordStallion&) const = default;
};

struct StallionLookup {
    Outcome status = Outcome::Absent; // Absent: not there, or not a colt or horse
    RecordStallion stallion;          // Done
    std::string error;                // otherwise: what the player is told, naming him (UTF-8)
};

// The colt or horse with this identifier ("Colt" or "Horse" in any letter case).
StallionLookup findStallion(const DataFolder& folder, std::int32_t id);
// The same for a horse already read (the one the main window shows).
StallionLookup stallionOf(const HorseRecord& horse);

// The foal's lineage with him as Sire over `lineage` (the boxes as they are):
// `names` are the Dam-Sire and the Dam's Dam-Sire as typed, a blank one keeping
// what its box holds. `scan(sire, damSire)` is the submission's scan; it is
// asked with a blank Sire. Returns the scan's error text.
template <class Text, class Scan>
std::string mateStallionLineage(std::array<Text, 7>& lineage, const RecordStallion& stallion,
                                const std::array<Text, 2>& names, Scan&& scan)
{
    const std::array<Text, 3> typed{Text(stallion.name), names[0], names[1]};
    return mateLineage(lineage, typed, [&](const Text&, const Text& damSire) {
        auto lines = scan(Text(), damSire);
        lines.sireSire = Text(stallion.sire);
        lines.sireDamSire = Text(stallion.damSire);
        lines.sireSireSire = Text(stallion.sireSire);
        return lines;
    });
}

// The whole submission with him as Sire on the main window's boxes: names[0]
// (the Sire) is not read. Returns the reason when the sire list could not be
// read as far as the scan wanted.
std::string submitStallionMating(MainBoxes& boxes, const RecordStallion& stallion, const MatingNames& names,
                                 const SireList& sireList, const ChefTable& chefs);
std::string submitStallionMating(MainBoxes& boxes, const RecordStallion& stallion, const MatingNames& names,
                                 const std::string& sireListPath, const ChefTable& chefs);

// How a window says which line counts for him: "from the breeding file, horse N".
std::string stallionOrigin(const RecordStallion& stallion);

} // namespace quindle
