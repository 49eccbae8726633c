#include "app/stable_book.h"

#include <algorithm>
#include <vector>

#include "lookup/horse_lookup.h"
#include "stable/stable_check.h"

namespace quindle {

namespace {

ListChange failed(std::string message) { return {Outcome::Failed, std::move(message), {}, 0}; }
ListChange nothing(std::string message) { return {Outcome::Absent, std::move(message), {}, 0}; }

} // namespace

StableBook::StableBook()
    : file_(
          {"The list of your horses", "the list"}, kLargestStableFile,
          [this](std::string_view text) {
              StableRead read = parseStable(text, file_.path());
              if (read.status != Outcome::Done)
                  return read.error;
              stable_ = std::move(read.stable);
              return std::string();
          },
          [this] { stable_ = {}; })
{
}

StableOpen StableBook::open(const DataFolder& folder) { return openFile(stableFileFor(folder), folder); }

StableOpen StableBook::openFile(std::string path, const DataFolder& folder)
{
    folder_ = folder;
    return file_.open(std::move(path));
}

std::optional<StableOpen> StableBook::catchUp() { return file_.catchUp(); }

ListChange StableBook::change(const std::function<ListChange(Stable&)>& edit)
{
    ListChange result;
    Stable next;
    const KeptChange done = file_.change([&]() -> std::optional<std::string> {
        next = stable_;
        result = edit(next);
        if (result.status != Outcome::Done)
            return std::nullopt;
        return stableText(next, folder_.dir());
    });
    if (done.status == KeptChange::Status::Failed)
        return failed(done.message);
    if (done.status == KeptChange::Status::Declined)
        return result;
    stable_ = std::move(next);
    result.message = done.message;
    return result;
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
