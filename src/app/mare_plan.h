#pragma once
// The planner for a mare, as the window and `quindle-cli sires` both ask for
// it: the mare by her identifier (a filly or mare of the breeding file) or her
// two lines as typed, every stallion of the sire list with her, and the names
// the list holds more than once with the line that counts.
#include <cstdint>
#include <memory>
#include <string>

#include "main_state/chosen_mating.h"
#include "data/chef_table.h"
#include "data/data_folder.h"
#include "data/outcome.h"
#include "planner/repeated_stallions.h"
#include "planner/sire_plan.h"

namespace quindle {

struct MareAsked {
    std::int32_t id = 0; // a horse of the breeding file; 0: the lines below
    MareLines typed;     // Latin-1, either may be blank
};

struct MarePlan {
    // Done: `plan` holds a row for each stallion. Absent: the identifier is no
    // filly or mare of the file; Failed: her bucket could not be read. `error`
    // says which, in UTF-8.
    Outcome status = Outcome::Done;
    std::string error;
    MareNamed mare; // the mare of the file planned for; none for typed lines
    std::shared_ptr<const Plan> plan;
    SireListCounts counts; // the names that stand more than once, and which line counts
    std::string listError; // the sire list could not be read to its end: the rows before the fault are planned
};

// `sires` is the list the plan is made from; when null it is read from the
// folder once the mare is known.
MarePlan planForMare(const DataFolder& folder, const ChefTable& chefs, const MareAsked& asked,
                     std::shared_ptr<const SireIndex> sires = nullptr);

} // namespace quindle
