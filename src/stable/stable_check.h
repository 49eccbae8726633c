#pragma once
// The player's horses against the breeding file as it is now. A horse kept at
// an ID that now holds another name (or none) is marked, never silently
// re-pointed, and left out of plans until the player confirms or removes it.
#include <string>
#include <vector>

#include "data/data_folder.h"
#include "lookup/horse_lookup.h"
#include "stable/stable_file.h"

namespace quindle {

struct CheckedHorse {
    enum class Status {
        Same,    // the ID holds the name kept
        Renamed, // the ID holds another horse: `horse.name` beside `entry.name`
        Missing, // the breeding file has no horse at the ID
        Failed   // its bucket could not be read: `message`
    };
    StableEntry entry;
    Status status = Status::Missing;
    HorseRecord horse;   // Same and Renamed: the horse at the ID now
    std::string message; // what a player is told, naming the ID and both names, in UTF-8

    // Plans take only horses whose name is still the one kept.
    bool usable() const { return status == Status::Same; }
    bool female() const { return usable() && canBePlannedAsMare(horse.sex); }
};

// One entry against the lookup of its ID.
CheckedHorse checkEntry(const StableEntry& entry, const LookupResult& found);
// Every entry, in the stable's order, each looked up in its bucket.
std::vector<CheckedHorse> checkStable(const Stable& stable, const DataFolder& folder);
// The identifiers of the usable fillies and mares, sorted: the mares a stallion
// is matched with when only the player's own are asked for.
std::vector<std::int32_t> mareIdsOf(const std::vector<CheckedHorse>& horses);

// The player confirms the horse now at the ID: the entry takes its name.
// False when the ID is not kept.
bool confirmHorse(Stable& stable, std::int32_t id, const std::string& nameNow);

} // namespace quindle
