#pragma once
// The player's own horses ("my horses"), kept per data folder in a JSON file
// under the application's data folder. The core reads and checks the file and
// gives its text; the window writes it whole (atomically), the command line
// only reads it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/data_folder.h"
#include "data/outcome.h"

namespace quindle {

struct StableEntry {
    std::int32_t id = 0;
    std::string name; // Latin-1, the name the horse had when it was added
    // The members the program does not know ("note", "price"...), as the JSON
    // text of an object holding only them, written back as they stand; empty
    // when there are none.
    std::string extra{};
    bool operator==(const StableEntry&) const = default;
};

struct Stable {
    std::vector<StableEntry> horses; // in the player's order
    std::string extra{};             // the file's own unknown members, as an entry's

    const StableEntry* find(std::int32_t id) const;
    // Adds a horse at the end; false (and nothing changed) when its ID is kept already.
    bool add(std::int32_t id, std::string name);
    // False when the ID was not kept.
    bool remove(std::int32_t id);
    bool operator==(const Stable&) const = default;
};

struct StableRead {
    Outcome status = Outcome::Absent; // Absent: no file yet, an empty stable
    Stable stable;                    // Done
    std::string error;                // Failed: the file and what is wrong with it
    bool unread = false;              // Failed before its text was read (no access, a folder...)
};

// The largest list file read; a larger one is damaged. A stable of a hundred
// thousand horses takes about 4 MB.
inline constexpr std::size_t kLargestStableFile = std::size_t{8} << 20;

// Parses a stable file's text; `path` names the file in messages. Refused: text
// that is not JSON (the line and column named), nested deeper than a list file
// ever is or holding more values than one this size can, a horse without an ID
// the ID box would take (1 to 999999), an ID twice, a name that is not a string
// of Latin-1 letters.
StableRead parseStable(std::string_view text, const std::string& path);
// Reads and parses the file. A file that is not there is Absent; one that
// cannot be read is Failed (and unread) with the reason.
// With `text`, the file's bytes are kept there too (when it could be read).
StableRead readStable(const std::string& path, std::string* text = nullptr);

// The file's text (UTF-8 JSON, one horse a line); `dataFolder` is written into
// it for the player's eyes, never read back.
std::string stableText(const Stable& stable, const std::string& dataFolder);

// The application's data folder, where the window's QStandardPaths::AppDataLocation
// points for organisation and application "quindle": $XDG_DATA_HOME/quindle/quindle
// (~/.local/share/quindle/quindle without it) on Linux, %APPDATA%\quindle\quindle
// on Windows. Not created here. Empty when there is no home folder to put it in.
std::string appDataFolder();
// The stable file of a data folder in `appData`: "horses-NAME-HASH.json", NAME
// the folder's last part in safe letters and HASH from its whole canonical path,
// so each data folder has its own file and the name is the same on every run.
std::string stableFileFor(const DataFolder& folder, const std::string& appData);
// The same in appDataFolder(); empty when that is. The key is the folder's
// canonical path (links resolved), so a folder reached through a link has the
// one list; a list kept under the older key (the path as it was named) is
// taken over once, when the new one is not there yet.
std::string stableFileFor(const DataFolder& folder);

} // namespace quindle
