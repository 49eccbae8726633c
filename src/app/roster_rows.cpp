#include "app/roster_rows.h"

#include "main_state/record_stallion.h"
#include "data/latin1_text.h"

namespace quindle {

std::vector<RosterRow> rosterRows(const Roster& roster, const SireIndex& sires, const DataFolder& folder)
{
    std::vector<RosterRow> rows;
    rows.reserve(roster.stallions.size());
    for (const RosterEntry& entry : roster.stallions) {
        RosterRow row{entry, {}, {}, false, {}};
        if (entry.id == 0) {
            if (sires.numberOf(entry.name)) {
                const SireLineViews lines = sires.scan(entry.name, std::string_view());
                row.sire = std::string(lines.sireSire.value_or(std::string_view()));
                row.damSire = std::string(lines.sireDamSire.value_or(std::string_view()));
                row.usable = true;
            } else {
                row.note = "not in the sire list";
            }
        } else {
            const StallionLookup found = findStallion(folder, entry.id);
            if (found.status != Outcome::Done) {
                row.note = found.error;
            } else if (found.stallion.name != entry.name) {
                row.note = "horse " + std::to_string(entry.id) + " is now " + latin1ForMessage(found.stallion.name) +
                           ": left out until he is added again";
            } else {
                row.sire = found.stallion.sire;
                row.damSire = found.stallion.damSire;
                row.usable = true;
                row.note = stallionOrigin(found.stallion);
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace quindle
