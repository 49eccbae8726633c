#pragma once
// The player's own targets, saved under a name: the DI and CD ranges, the least
// total and the order, kept in one file for the player (not per data folder) in
// the application's data folder, so the planner, the best mares, the season and
// `quindle-cli --target NAME` all offer the same ones. Read again before each
// change and written whole under the file's lock; a damaged file is moved
// aside as My Horses' file is, and the list starts empty beside it.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/kept_file.h"
#include "data/outcome.h"
#include "planner/plan_query.h"

namespace quindle {

struct SavedTarget {
    std::string name; // UTF-8, as typed (trimmed)
    std::optional<ValueRange> di, cd;
    std::optional<double> minTotal;
    // The column's key ("total", "di"; the best mares' "age"); empty for the
    // list's own order; none (a built-in target) leaves the order as it is, as
    // does a column the window has not.
    std::optional<std::string> sort;
    bool descending = false;
    bool operator==(const SavedTarget&) const = default;
};

struct SavedTargets {
    std::vector<SavedTarget> targets; // in the order saved
    // The target of that name (letters in any case); null when there is none.
    const SavedTarget* find(std::string_view name) const;
    bool operator==(const SavedTargets&) const = default;
};

// The largest targets file read; a larger one is damaged.
inline constexpr std::size_t kLargestTargetsFile = std::size_t{1} << 20;

// "targets.json" in the application's data folder; empty without a home folder.
std::string savedTargetsFile();

// The file's text; parsed back by parseSavedTargets, which says in `why` what
// is wrong with a text it refuses.
std::string savedTargetsText(const SavedTargets& saved);
std::optional<SavedTargets> parseSavedTargets(std::string_view text, std::string& why);

struct SavedTargetsRead {
    Outcome status = Outcome::Absent; // Absent: no file yet
    SavedTargets saved;
    std::string error;   // Failed: the file and what is wrong
    bool unread = false; // Failed before its text was read
    std::string text;    // the bytes read
};
SavedTargetsRead readSavedTargets(const std::string& path);

// A target by name: a built-in one first ("Classic distances"), then the player's.
std::optional<SavedTarget> findTarget(std::string_view name, const SavedTargets& saved);
// Every name findTarget knows, joined by ", " for a message.
std::string targetNames(const SavedTargets& saved);
// The target's ranges, least total and (when it has one) order put into `query`.
void applyTarget(const SavedTarget& target, PlanQuery& query);

struct TargetChange {
    Outcome status = Outcome::Done; // Done: saved; Absent: nothing to change; Failed: not saved
    std::string message;            // UTF-8, for the player
};

class TargetBook {
public:
    TargetBook();
    TargetBook(const TargetBook&) = delete;
    TargetBook& operator=(const TargetBook&) = delete;

    // Reads the file at `path` (savedTargetsFile() for the player's).
    TargetChange open(std::string path);
    // Reads again when the file is no longer as last read or written; false when it is.
    bool catchUp();

    const SavedTargets& saved() const { return saved_; }
    const std::string& path() const { return file_.path(); }
    // Where a damaged file was moved at the last read; empty when none was.
    const std::string& keptAside() const { return file_.keptAside(); }

    // Saves the target under its name, in place of one saved under the same
    // name; a blank name or that of a built-in target is refused.
    TargetChange save(SavedTarget target);
    TargetChange remove(std::string_view name);

private:
    TargetChange change(const std::function<TargetChange(SavedTargets&)>& edit);

    SavedTargets saved_;
    KeptFile file_;
};

} // namespace quindle
