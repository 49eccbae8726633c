#include "stable/stable_check.h"

#include <algorithm>

#include "data/latin1_text.h"

namespace quindle {

CheckedHorse checkEntry(const StableEntry& entry, const LookupResult& found)
{
    CheckedHorse out;
    out.entry = entry;
    const std::string horse = "horse " + std::to_string(entry.id) + " (" + latin1ForMessage(entry.name) + ")";
    switch (found.status) {
    case Outcome::Failed:
        out.status = CheckedHorse::Status::Failed;
        out.message = horse + " could not be looked up: " + found.error;
        return out;
    case Outcome::Absent:
        out.status = CheckedHorse::Status::Missing;
        out.message = horse + " is no longer in the breeding file: left out until confirmed or removed";
        return out;
    case Outcome::Done:
        break;
    }
    out.horse = found.horse;
    if (found.horse.name == entry.name) {
        out.status = CheckedHorse::Status::Same;
        return out;
    }
    out.status = CheckedHorse::Status::Renamed;
    out.message = horse + " is now " + latin1ForMessage(found.horse.name) +
                  " in the breeding file: left out until confirmed or removed";
    return out;
}

std::vector<CheckedHorse> checkStable(const Stable& stable, const DataFolder& folder)
{
    std::vector<CheckedHorse> out;
    out.reserve(stable.horses.size());
    for (const StableEntry& entry : stable.horses)
        out.push_back(checkEntry(entry, findHorse(folder, entry.id)));
    return out;
}

std::vector<std::int32_t> mareIdsOf(const std::vector<CheckedHorse>& horses)
{
    std::vector<std::int32_t> ids;
    for (const CheckedHorse& horse : horses)
        if (horse.female())
            ids.push_back(horse.entry.id);
    std::sort(ids.begin(), ids.end());
    return ids;
}

bool confirmHorse(Stable& stable, std::int32_t id, const std::string& nameNow)
{
    for (StableEntry& entry : stable.horses)
        if (entry.id == id) {
            entry.name = nameNow;
            return true;
        }
    return false;
}

} // namespace quindle
