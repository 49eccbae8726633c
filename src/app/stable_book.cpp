#include "app/stable_book.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "data/file_error.h"
#include "data/file_lock.h"
#include "data/input_file.h"
#include "data/kept_aside.h"
#include "data/latin1_text.h"
#include "data/replacing_file.h"
#include "data/system_paths.h"
#include "lookup/horse_lookup.h"
#include "stable/stable_check.h"

namespace quindle {

namespace fs = std::filesystem;

namespace {

const std::string kUnread = "The list of your horses could not be read.\n\n";

ListChange failed(std::string message) { return {Outcome::Failed, std::move(message), {}, 0}; }
ListChange nothing(std::string message) { return {Outcome::Absent, std::move(message), {}, 0}; }

std::string savedNot(const std::string& why) { return "The list of your horses could not be saved.\n\n" + why; }

} // namespace

StableOpen StableBook::open(const DataFolder& folder) { return openFile(stableFileFor(folder), folder); }

namespace {

// The list's lock for a read, when its folder is there to hold the lock file
// (without the folder there is no list to read). On Windows a list read while
// another Quindle replaces it cannot be opened, so reads take the lock too.
std::optional<FileLock> lockForReading(const std::string& path)
{
    std::error_code ec;
    if (!fs::is_directory(fsPath(path).parent_path(), ec))
        return std::nullopt;
    try {
        return std::optional<FileLock>(std::in_place, path);
    } catch (const FileError&) {
        return std::nullopt; // read all the same: a change says why it cannot lock
    }
}

} // namespace

StableOpen StableBook::openFile(std::string path, const DataFolder& folder)
{
    folder_ = folder;
    path_ = std::move(path);
    if (path_.empty()) {
        keptAside_.clear();
        writable_ = false;
        stable_ = {};
        seen_.reset();
        return {};
    }
    const auto lock = lockForReading(path_);
    return load();
}

StableOpen StableBook::load()
{
    keptAside_.clear();
    writable_ = true;
    stable_ = {};
    seen_.reset();
    std::string text;
    StableRead read = readStable(path_, &text);
    if (read.status == Outcome::Absent)
        return {};
    if (read.status == Outcome::Done) {
        seen_ = std::move(text);
        stable_ = std::move(read.stable);
        return {};
    }
    return take(std::move(read));
}

StableOpen StableBook::take(StableRead read)
{
    // The player's list is never written over: the file goes aside whole, and
    // the list starts again empty beside it. A file that could not be read at
    // all (no access, say) may be whole: it stays where it is, for the next run.
    const std::string aside = asidePath(path_);
    if (!read.unread && moveAside(path_, aside)) {
        keptAside_ = aside;
        return {Outcome::Failed, kUnread + read.error + "\n\nThe file is kept as it was under the name\n" + aside +
                                     "\nand the list starts empty."};
    }
    writable_ = false;
    return {Outcome::Failed,
            kUnread + read.error + "\n\n" +
                (read.unread ? "So that nothing of it is lost," : "It could not be moved aside either, so") +
                " it is left as it is, and changes to the list are not saved in this run."};
}

std::optional<StableOpen> StableBook::catchUp()
{
    if (!writable_ || path_.empty())
        return std::nullopt;
    const auto lock = lockForReading(path_);
    return reread();
}

std::optional<StableOpen> StableBook::reread()
{
    // Compared byte for byte first: an unchanged list is not parsed again.
    std::optional<std::string> now;
    try {
        std::error_code ec;
        if (fs::exists(fsPath(path_), ec) || ec) {
            const std::vector<char> bytes = readWholeFile(path_, 0, kLargestStableFile);
            now.emplace(bytes.data(), bytes.size());
        }
    } catch (const FileError&) {
        return load(); // says why it cannot be read
    }
    if (now == seen_)
        return std::nullopt;
    return load();
}

ListChange StableBook::change(const std::function<ListChange(Stable&)>& edit)
{
    if (path_.empty())
        return failed(savedNot("There is no folder to keep it in (no home folder)."));
    if (!writable_)
        return failed(savedNot(path_ + " could not be read, and it is not written over."));
    try {
        std::error_code ec;
        fs::create_directories(fsPath(path_).parent_path(), ec);
        const FileLock lock(path_);
        // What another window or a script wrote since is the list now.
        std::string note;
        if (const auto again = reread(); again && again->status == Outcome::Failed)
            note = again->message;
        if (!writable_)
            return failed(note + "\n\n" + savedNot(path_ + " could not be read, and it is not written over."));
        Stable next = stable_;
        ListChange result = edit(next);
        if (result.status != Outcome::Done)
            return result;
        const std::string text = stableText(next, folder_.dir());
        ReplacingFile file(path_);
        file.write(text.data(), text.size());
        file.commit();
        stable_ = std::move(next);
        seen_ = text;
        result.message = note;
        return result;
    } catch (const FileError& e) {
        return failed(savedNot(e.what()));
    }
}

ListChange StableBook::add(std::int32_t id)
{
    return change([&](Stable& next) {
        if (next.find(id))
            return nothing("Horse " + std::to_string(id) + " is in your list already.");
        const LookupResult found = findHorse(folder_, id);
        if (found.status != Outcome::Done)
            return failed(found.status == Outcome::Absent
                              ? "There is no horse " + std::to_string(id) + " in the breeding file."
                              : found.error);
        next.add(id, found.horse.name);
        return ListChange{Outcome::Done, {}, *next.find(id), 1};
    });
}

ListChange StableBook::remove(std::int32_t id)
{
    ListChange removed = remove(std::vector<std::int32_t>{id});
    if (removed.status == Outcome::Absent)
        removed.message = "Horse " + std::to_string(id) + " is not in your list.";
    return removed;
}

ListChange StableBook::remove(const std::vector<std::int32_t>& ids)
{
    return change([&](Stable& next) {
        ListChange done;
        for (std::size_t i = 0; i < next.horses.size(); ++i)
            if (std::find(ids.begin(), ids.end(), next.horses[i].id) != ids.end())
                done.removed.emplace_back(i, next.horses[i]);
        if (done.removed.empty())
            return nothing("None of these horses is in your list.");
        for (const auto& gone : done.removed)
            next.remove(gone.second.id);
        done.count = done.removed.size();
        done.horse = done.removed.front().second;
        return done;
    });
}

ListChange StableBook::confirm(std::int32_t id, const std::string& nameNow)
{
    return change([&](Stable& next) {
        if (!confirmHorse(next, id, nameNow))
            return nothing("Horse " + std::to_string(id) + " is not in your list.");
        return ListChange{Outcome::Done, {}, *next.find(id), 1};
    });
}

ListChange StableBook::restore(const std::vector<std::pair<std::size_t, StableEntry>>& entries)
{
    return change([&](Stable& next) {
        ListChange done;
        for (const auto& [place, entry] : entries) // in order, so each earlier place stands again
            if (!next.find(entry.id)) {
                next.horses.insert(
                    next.horses.begin() + static_cast<std::ptrdiff_t>(std::min(place, next.horses.size())), entry);
                ++done.count;
            }
        if (done.count == 0)
            return nothing("Every one of these horses is in your list again.");
        return done;
    });
}

ListChange StableBook::import(const std::string& otherFile)
{
    const StableRead other = readStable(otherFile);
    if (other.status == Outcome::Absent)
        return failed(otherFile + ": there is no such file");
    if (other.status == Outcome::Failed)
        return failed(other.error);
    return change([&](Stable& next) {
        std::size_t taken = 0;
        for (const StableEntry& entry : other.stable.horses)
            if (!next.find(entry.id)) {
                next.horses.push_back(entry);
                ++taken;
            }
        if (taken == 0)
            return nothing("Every horse of " + otherFile + " is in your list already.");
        return ListChange{Outcome::Done, {}, {}, taken};
    });
}

} // namespace quindle
