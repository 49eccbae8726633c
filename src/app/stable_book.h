#pragma once
// The life of the player's list of horses (My Horses), the same for the windows
// and the command line: read, kept aside when damaged, and changed only under
// the list's lock, each change applied to the file as it is at that moment and
// written whole through one replacing writer. So two windows and a script
// adding at once keep every horse, and nothing the player wrote into the file
// by hand is dropped.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/kept_file.h"
#include "data/data_folder.h"
#include "data/outcome.h"
#include "stable/stable_file.h"

namespace quindle {

// What came of reading the list.
using StableOpen = KeptOpen;

// What came of a change.
struct ListChange {
    Outcome status = Outcome::Done; // Done: changed and saved; Absent: nothing to change; Failed: not saved
    std::string message;            // UTF-8: why not, or (Done) what a read under the lock found
    StableEntry horse;              // add, restore: the horse kept
    std::size_t count = 0;          // import: the horses taken
    // remove: the entries removed, each with the place it stood at, in order.
    std::vector<std::pair<std::size_t, StableEntry>> removed{};
};

class StableBook {
public:
    StableBook();
    // Its file's reader points back at it.
    StableBook(const StableBook&) = delete;
    StableBook& operator=(const StableBook&) = delete;

    // Reads the list of a data folder (stableFileFor, which takes over a list
    // kept under the folder's older key).
    StableOpen open(const DataFolder& folder);
    // The same for a file named outright; `folder` is where horses are looked up.
    StableOpen openFile(std::string path, const DataFolder& folder);
    // Reads the file again when it is no longer as this book last read or
    // wrote it; nullopt when it is.
    std::optional<StableOpen> catchUp();

    const Stable& stable() const { return stable_; }
    const std::string& path() const { return file_.path(); }
    const DataFolder& folder() const { return folder_; }
    // Where a damaged file was moved at the last read; empty when none was.
    const std::string& keptAside() const { return file_.keptAside(); }

    // Adds the horse at the ID under its name now.
    ListChange add(std::int32_t id);
    ListChange remove(std::int32_t id);
    // Removes these horses in one write (those kept; the others are passed over).
    ListChange remove(const std::vector<std::int32_t>& ids);
    // The player takes the horse now at the ID under its new name.
    ListChange confirm(std::int32_t id, const std::string& nameNow);
    // Puts removed entries back as they were, at their places (or the end),
    // but for any kept again since.
    ListChange restore(const std::vector<std::pair<std::size_t, StableEntry>>& entries);
    // Takes every horse of another list file (a game folder moved) that this one does not keep.
    ListChange import(const std::string& otherFile);

private:
    // Locks the list, reads it as it is now, lets `edit` change it and writes it whole.
    ListChange change(const std::function<ListChange(Stable&)>& edit);

    DataFolder folder_{""};
    Stable stable_;
    KeptFile file_;
};

} // namespace quindle
