#pragma once
// The life of a file the player keeps per data folder beside My Horses: read
// under its lock, read again before each change and the change applied to the
// file as it is then, written whole through the one replacing writer, and a
// damaged file moved aside whole (FILE.damaged, FILE.damaged-2, ...) and named,
// so nothing the player kept is lost or written over without an action.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "data/file_lock.h"
#include "data/outcome.h"

namespace quindle {

// The first of FILE.damaged, FILE.damaged-2, ... that is free.
std::string damagedAsidePath(const std::string& path);
// The file's lock for a read, when its folder is there to hold the lock file.
// On Windows a file read while another Quindle replaces it cannot be opened, so
// reads take the lock too.
std::optional<FileLock> lockForReading(const std::string& path);

class KeptJsonFile {
public:
    // Takes the file's text (none: there is no file yet, start empty) and
    // returns what is wrong with it, empty when it was taken.
    using Take = std::function<std::string(const std::string* text)>;
    // `what` names the file for the player ("The season kept"), `largest` is the
    // largest file read; `take` is called with each text read.
    KeptJsonFile(std::string what, std::size_t largest, Take take);

    struct Opened {
        Outcome status = Outcome::Done; // Failed: `message` says what was done about it
        std::string message;            // UTF-8, for the player
    };
    Opened open(std::string path);
    // Reads the file again when it is no longer as last read or written; nullopt when it is.
    std::optional<Opened> catchUp();

    struct Written {
        Outcome status = Outcome::Done; // Done: saved; Absent: nothing to change; Failed: not saved
        std::string message;            // why not, or (Done) what a read under the lock found
    };
    // Locks the file, reads it again as it is now (through `take`), then asks
    // `edit` for the new text (none: nothing to change) and writes it whole.
    Written change(const std::function<std::optional<std::string>()>& edit);

    const std::string& path() const { return path_; }
    // Where a damaged file was moved at the last read; empty when none was.
    const std::string& keptAside() const { return keptAside_; }
    // Whether there was a file at the last read or write.
    bool exists() const { return seen_.has_value(); }

private:
    Opened load();
    std::optional<Opened> reread();
    std::string savedNot(const std::string& why) const;

    std::string what_;
    std::size_t largest_;
    Take take_;
    std::string path_;
    std::string keptAside_;
    bool writable_ = true; // false when a file that could not be read is left where it is
    std::optional<std::string> seen_;
};

} // namespace quindle
