#pragma once
// The life of the player's roster of stallions, the same for the windows and
// the command line: kept as My Horses is (read again under the file's lock
// before each change, written whole, a damaged file moved aside and named),
// each change one call here.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/kept_file.h"
#include "data/data_folder.h"
#include "data/outcome.h"
#include "stable/roster_file.h"
#include "stable/stable_file.h"

namespace quindle {

// What came of a change to the roster.
struct RosterChange {
    Outcome status = Outcome::Done; // Done: changed and saved; Absent: nothing to change; Failed: not saved
    std::string message;            // UTF-8: why not, what was passed over, or a note on what was done
    std::size_t count = 0;          // how many stallions were added, removed or changed
    std::size_t passedOver = 0;     // how many named were not (each said in `message`)
};

class RosterBook {
public:
    RosterBook();
    RosterBook(const RosterBook&) = delete; // its file's reader points back at it
    RosterBook& operator=(const RosterBook&) = delete;

    // Reads the roster of a data folder (rosterFileFor).
    KeptOpen open(const DataFolder& folder);
    // The same for a file named outright; `folder` is where stallions are looked up.
    KeptOpen openFile(std::string path, const DataFolder& folder);
    // Reads the file again when it is no longer as last read or written; nullopt when it is.
    std::optional<KeptOpen> catchUp();

    const Roster& roster() const { return roster_; }
    const std::string& path() const { return file_.path(); }
    const std::string& keptAside() const { return file_.keptAside(); }

    // Adds stallions in one write: a name must be in the sire list, an ID must
    // be a colt or horse of the breeding file (kept with his name now). Those
    // in the roster already, or refused, are passed over and named.
    RosterChange add(const std::vector<RosterKey>& keys, std::optional<std::uint32_t> book = std::nullopt);
    // The colts and horses of My Horses whose ID still holds the name kept, by ID, in one write.
    RosterChange addStallionsOf(const Stable& stable);
    RosterChange remove(const std::vector<RosterKey>& keys);
    // His own book; none: the book for all. Below 0 is refused. A book of 0
    // is kept (he stays in the roster and covers no mare this season), and said.
    RosterChange setBook(const RosterKey& key, std::optional<std::int64_t> book);

private:
    RosterChange change(const std::function<RosterChange(Roster&)>& edit);

    DataFolder folder_{""};
    Roster roster_;
    KeptFile file_;
};

// How messages name a stallion of the roster, in UTF-8: his name, and for a colt
// or horse of the breeding file "NAME (#ID)".
std::string rosterName(const RosterEntry& entry);

} // namespace quindle
