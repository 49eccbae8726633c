#pragma once
// The player's roster: the stallions a season may use when the player says so
// (rather than the whole sire list), each with his own book if he has one.
// Kept per data folder in a JSON file beside My Horses; a stallion is a name as
// the sire list holds it, or a colt or horse of the breeding file by his ID,
// kept with the name he had so that an ID given to another horse is marked.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/data_folder.h"
#include "data/outcome.h"

namespace quindle {

// A stallion as the player names him: by a name of the sire list, or "#ID".
struct RosterKey {
    std::int32_t id = 0; // a colt or horse of the breeding file; 0 for a name
    std::string name;    // Latin-1: the sire list's name (for an ID, empty)
    bool operator==(const RosterKey&) const = default;
};
// "#ID" (an ID as the ID box takes it after the '#') or a name, Latin-1; nullopt for "#" and no ID.
std::optional<RosterKey> parseRosterKey(std::string_view text);

struct RosterEntry {
    std::int32_t id = 0;               // a colt or horse of the breeding file; 0 for a name of the sire list
    std::string name;                  // Latin-1: the sire list's name, or his name when he was added
    std::optional<std::uint32_t> book; // how many mares he may cover this season; none: the book for all
    // The members the program does not know, as the JSON text of an object
    // holding only them, written back as they stand; empty when there are none.
    std::string extra{};

    bool matches(const RosterKey& key) const { return key.id != 0 ? id == key.id : id == 0 && name == key.name; }
    // How the command line and messages name him: the name, or "#ID".
    std::string keyText() const { return id != 0 ? "#" + std::to_string(id) : name; }
    bool operator==(const RosterEntry&) const = default;
};

struct Roster {
    std::vector<RosterEntry> stallions; // in the player's order
    std::string extra{};                // the file's own unknown members

    const RosterEntry* find(const RosterKey& key) const;
    RosterEntry* find(const RosterKey& key);
    bool operator==(const Roster&) const = default;
};

// The largest roster file read; a larger one is damaged.
inline constexpr std::size_t kLargestRosterFile = std::size_t{4} << 20;

// The roster in the text, or (in `why`) what is wrong with it: text that is not
// JSON (line and column named), nested too deep, a stallion without a name or
// with an ID the ID box would not take, one named twice, a book that is not a
// whole number from 0.
std::optional<Roster> parseRoster(std::string_view text, std::string& why);
struct RosterRead {
    Outcome status = Outcome::Absent; // Absent: no file yet, an empty roster
    Roster roster;                    // Done
    std::string error;                // Failed: the file and what is wrong with it
};
// Reads a roster file as it is, without moving it when damaged (what the
// command line does: a read changes no file).
RosterRead readRoster(const std::string& path);

// The file's text (UTF-8 JSON, one stallion a line); `dataFolder` is written
// into it for the player's eyes, never read back.
std::string rosterText(const Roster& roster, const std::string& dataFolder);

// The roster file of a data folder in `appData`: named as the folder's list
// of horses is, "roster-" for "horses-" (the same folder key).
std::string rosterFileFor(const DataFolder& folder, const std::string& appData);
// The same in appDataFolder(); empty when there is none.
std::string rosterFileFor(const DataFolder& folder);

} // namespace quindle
