#pragma once
// The life of a file the player keeps in the application's data folder (My
// Horses, the roster of stallions): read under the file's lock, a damaged file
// moved aside whole and named, and each change made under the lock on the file
// as it is at that moment (read again when another window or a script wrote
// it), then written whole through one replacing writer. What the file holds is
// the owner's: it parses the text and gives the text to write.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "data/outcome.h"

namespace quindle {

// What came of reading a kept file.
struct KeptOpen {
    Outcome status = Outcome::Done; // Done: read (or none kept yet); Failed: `message` says what was done about it
    std::string message;            // UTF-8, for the player
};

// What came of a change to the file.
struct KeptChange {
    enum class Status { Written, Declined, Failed };
    Status status = Status::Written; // Declined: the edit asked for nothing to be written
    std::string message;             // Failed: why it was not saved; Written: what a read under the lock found
};

class KeptFile {
public:
    // How messages name the file, e.g. "The list of your horses" and "the list".
    struct Words {
        std::string title, it;
    };
    // Parses the file's text into the owner's contents; returns what is wrong
    // (naming the file), empty when the text was taken.
    using Parse = std::function<std::string(std::string_view text)>;
    // Empties the owner's contents: no file yet, or one that could not be taken.
    using Clear = std::function<void()>;

    KeptFile(Words words, std::size_t largest, Parse parse, Clear clear);

    // Reads the file at `path` under its lock; an empty path keeps nothing and saves nothing.
    KeptOpen open(std::string path);
    // Reads the file again when it is no longer as last read or written; nullopt when it is.
    std::optional<KeptOpen> catchUp();
    // Locks the file, reads it again when it changed, then asks `edit` for the
    // text to write (nullopt: write nothing) and writes it whole.
    KeptChange change(const std::function<std::optional<std::string>()>& edit);

    const std::string& path() const { return path_; }
    // Where a damaged file was moved at the last read; empty when none was.
    const std::string& keptAside() const { return keptAside_; }
    // Whether there was a file at the last read or write.
    bool exists() const { return seen_.has_value(); }

private:
    KeptOpen load();
    std::optional<KeptOpen> reread();
    KeptOpen takeDamaged(const std::string& error, bool unread);
    std::string savedNot(const std::string& why) const;

    Words words_;
    std::size_t largest_;
    Parse parse_;
    Clear clear_;
    std::string path_;
    std::string keptAside_;
    bool writable_ = true;            // false when a file that could not be read is left where it is
    std::optional<std::string> seen_; // the file as last read or written; none when there was none
};

} // namespace quindle
