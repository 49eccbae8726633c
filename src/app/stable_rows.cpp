#include "app/stable_rows.h"

#include <limits>

#include "data/blanks.h"
#include "dosage/number_order.h"
#include "dosage/profile.h"
#include "dosage/profile_summary.h"
#include "lookup/horse_lookup.h"

namespace quindle {

bool holdsHorse(const CheckedHorse& checked)
{
    return checked.status == CheckedHorse::Status::Same || checked.status == CheckedHorse::Status::Renamed;
}

std::vector<StableRow> stableRows(const Stable& stable, const DataFolder& folder, const ChefTable& chefs)
{
    std::vector<StableRow> rows;
    constexpr double kLowest = -std::numeric_limits<double>::infinity();
    for (CheckedHorse& checked : checkStable(stable, folder)) {
        StableRow row;
        row.totalValue = row.diValue = row.cdValue = kLowest;
        if (holdsHorse(checked)) {
            const ProfileSummary summary = summariseProfile(computeProfile(lineageNames(checked.horse), chefs));
            row.total = trimBlanks(summary.total.text);
            row.di = trimBlanks(summary.di.text);
            row.cd = trimBlanks(summary.cd.text);
            row.totalValue = numberOrderKey(summary.total.value);
            row.diValue = numberOrderKey(summary.di.value);
            row.cdValue = numberOrderKey(summary.cd.value);
        }
        row.checked = std::move(checked);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string shownName(const CheckedHorse& checked)
{
    switch (checked.status) {
    case CheckedHorse::Status::Same:
        return checked.horse.name;
    case CheckedHorse::Status::Renamed:
        return checked.horse.name + " (kept as " + checked.entry.name + ")";
    case CheckedHorse::Status::Missing:
        return checked.entry.name + " (not in the breeding file)";
    case CheckedHorse::Status::Failed:
        return checked.entry.name + " (could not be looked up)";
    }
    return checked.entry.name;
}

} // namespace quindle
