#pragma once
// The texts and colours of the main window's boxes, and the operations that
// change them: clear, the horse lookup, the profile display and GO. The window
// copies its boxes in, runs one of these, and copies them back; the command-line
// tool runs the same operations on a fresh set, so both always agree.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "data/chef_table.h"
#include "data/data_folder.h"
#include "dosage/format.h"
#include "lookup/horse_lookup.h"

namespace quindle {

// Shown in `indicator` when a lookup finds nothing.
inline constexpr const char* kNotFoundText = "ID TOO LARGE";

struct MainBoxes {
    std::string horseName; // Text2
    std::string ageSex;
    std::array<std::string, 7> lineage; // Text3 .. Text9, in profile position order
    std::string indicator;
    std::array<std::string, kProfileBoxes> profileTexts; // PT(0) .. PT(44)
    Rgb horseColour = kNeutralColour;
    Rgb ageSexColour = kNeutralColour;
    bool operator==(const MainBoxes&) const = default;
};

// Empties the horse, age/sex, lineage and indicator texts; colours and PT stay.
void clearBoxes(MainBoxes& boxes);

// Looks up one horse and fills the horse, age/sex and lineage boxes with the
// colour of its sex (neutral for a word other than the four), or writes
// "ID TOO LARGE" and the neutral colours. Returns the reason when the bucket file
// itself is at fault (the lookup then ends as not found), else an empty text;
// `damaged` when the bucket is not what the split wrote, so cutting again mends it.
struct LookupProblem {
    std::string error;
    bool damaged = false;
    std::optional<HorseRecord> horse; // the horse found and shown, as the file holds it
};
LookupProblem lookUpHorse(MainBoxes& boxes, const DataFolder& folder, std::int32_t id);

// Writes the profile of the lineage boxes into PT; after a failed lookup it
// empties the boxes and the summary PT(40..44) instead and keeps "ID TOO LARGE".
// Writes only the contributions that are present.
void showDosage(MainBoxes& boxes, const ChefTable& chefs);

struct GoOutcome {
    bool beep = false;                // the identifier was 0: nothing else happened
    bool found = false;               // the horse was found and is shown
    std::string error;                // a bucket file at fault, for a warning
    bool damaged = false;             // the bucket is not what the split wrote: cut again
    std::optional<HorseRecord> horse; // the horse shown, from the same read of its bucket
};
// What GO does for an identifier read from the ID box.
GoOutcome go(MainBoxes& boxes, const DataFolder& folder, const ChefTable& chefs, std::int32_t id);

} // namespace quindle
