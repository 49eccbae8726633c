#include "app/roster_book.h"

#include <algorithm>

#include "main_state/record_stallion.h"
#include "data/latin1_text.h"
#include "data/sire_list.h"
#include "lookup/horse_lookup.h"
#include "planner/sire_plan.h"
#include "stable/stable_check.h"

namespace quindle {

namespace {

RosterChange failed(std::string message) { return {Outcome::Failed, std::move(message), 0, 1}; }
RosterChange nothing(std::string message) { return {Outcome::Absent, std::move(message), 0, 1}; }

std::string keyName(const RosterKey& key)
{
    return key.id != 0 ? "#" + std::to_string(key.id) : latin1ForMessage(key.name);
}

void addLine(std::string& text, const std::string& line)
{
    if (!line.empty())
        text += (text.empty() ? "" : "\n") + line;
}

} // namespace

std::string rosterName(const RosterEntry& entry)
{
    return entry.id != 0 ? latin1ForMessage(entry.name) + " (#" + std::to_string(entry.id) + ")"
                         : latin1ForMessage(entry.name);
}

RosterBook::RosterBook()
    : file_(
          {"The roster of your stallions", "the roster"}, kLargestRosterFile,
          [this](std::string_view text) {
              std::string why;
              auto roster = parseRoster(text, why);
              if (!roster)
                  return file_.path() + ": " + why;
              roster_ = std::move(*roster);
              return std::string();
          },
          [this] { roster_ = {}; })
{
}

KeptOpen RosterBook::open(const DataFolder& folder) { return openFile(rosterFileFor(folder), folder); }

KeptOpen RosterBook::openFile(std::string path, const DataFolder& folder)
{
    folder_ = folder;
    return file_.open(std::move(path));
}

std::optional<KeptOpen> RosterBook::catchUp() { return file_.catchUp(); }

RosterChange RosterBook::change(const std::function<RosterChange(Roster&)>& edit)
{
    RosterChange result;
    Roster next;
    const KeptChange done = file_.change([&]() -> std::optional<std::string> {
        next = roster_;
        result = edit(next);
        if (result.status != Outcome::Done)
            return std::nullopt;
        return rosterText(next, folder_.dir());
    });
    if (done.status == KeptChange::Status::Failed)
        return failed(done.message);
    if (done.status == KeptChange::Status::Declined)
        return result;
    roster_ = std::move(next);
    std::string message = done.message;
    addLine(message, result.message);
    result.message = message;
    return result;
}

RosterChange RosterBook::add(const std::vector<RosterKey>& keys, std::optional<std::uint32_t> book)
{
    // The sire list is read once, and only when a name is to be checked.
    std::optional<SireIndex> sires;
    const auto listed = [&](const std::string& name) {
        if (!sires)
            sires.emplace(readSireList(folder_.sireList()));
        return sires->numberOf(name).has_value();
    };
    // The lookups happen before the lock is taken: the breeding file is not the roster's.
    std::vector<RosterEntry> found;
    std::string passed;
    std::size_t refused = 0;
    for (const RosterKey& key : keys) {
        if (key.id == 0) {
            if (listed(key.name)) {
                found.push_back({0, key.name, book});
            } else {
                addLine(passed, keyName(key) + " is not in the sire list (a stallion is named exactly as it holds "
                                               "him, or #ID for a colt or horse of the breeding file)");
                ++refused;
            }
            continue;
        }
        const StallionLookup stallion = findStallion(folder_, key.id);
        if (stallion.status == Outcome::Done) {
            found.push_back({key.id, stallion.stallion.name, book});
        } else {
            addLine(passed, stallion.error);
            ++refused;
        }
    }
    RosterChange result = change([&](Roster& next) {
        RosterChange done;
        done.passedOver = refused;
        for (const RosterEntry& entry : found) {
            if (next.find({entry.id, entry.id != 0 ? std::string() : entry.name})) {
                addLine(passed, rosterName(entry) + " is in the roster already");
                ++done.passedOver;
                continue;
            }
            next.stallions.push_back(entry);
            ++done.count;
        }
        done.message = passed;
        if (done.count == 0) // every one refused, or (Absent) in the roster already
            done.status = found.empty() ? Outcome::Failed : Outcome::Absent;
        return done;
    });
    if (result.status == Outcome::Done && book && *book == 0)
        addLine(result.message, "A book of 0: he stays in the roster and covers no mare this season.");
    return result;
}

RosterChange RosterBook::addStallionsOf(const Stable& stable)
{
    std::vector<RosterEntry> found;
    std::string passed;
    for (const CheckedHorse& horse : checkStable(stable, folder_)) {
        if (!horse.usable()) { // marked in My Horses: passed over until the player confirms it
            addLine(passed, horse.message);
            continue;
        }
        if (canBePlannedAsStallion(horse.horse.sex))
            found.push_back({horse.entry.id, horse.horse.name, std::nullopt});
    }
    RosterChange result = change([&](Roster& next) {
        RosterChange done;
        for (const RosterEntry& entry : found)
            if (!next.find({entry.id, {}})) {
                next.stallions.push_back(entry);
                ++done.count;
            }
        done.message = passed;
        if (done.count == 0) {
            done.status = Outcome::Absent;
            addLine(done.message, found.empty() ? "My Horses keeps no colt or horse."
                                                : "Every colt and horse of My Horses is in the roster already.");
        }
        return done;
    });
    return result;
}

RosterChange RosterBook::remove(const std::vector<RosterKey>& keys)
{
    return change([&](Roster& next) {
        RosterChange done;
        std::string passed;
        for (const RosterKey& key : keys) {
            const auto at = std::find_if(next.stallions.begin(), next.stallions.end(),
                                         [&](const RosterEntry& e) { return e.matches(key); });
            if (at == next.stallions.end()) {
                addLine(passed, keyName(key) + " is not in the roster");
                ++done.passedOver;
                continue;
            }
            next.stallions.erase(at);
            ++done.count;
        }
        done.message = passed;
        if (done.count == 0)
            done.status = Outcome::Absent;
        return done;
    });
}

RosterChange RosterBook::setBook(const RosterKey& key, std::optional<std::int64_t> book)
{
    if (book && *book < 0)
        return failed("A book is 0 or more mares, not " + std::to_string(*book) + ".");
    return change([&](Roster& next) {
        RosterEntry* entry = next.find(key);
        if (!entry)
            return nothing(keyName(key) + " is not in the roster");
        entry->book =
            book ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(std::min<std::int64_t>(*book, 999999)))
                 : std::nullopt;
        RosterChange done{Outcome::Done, {}, 1};
        if (book && *book == 0)
            done.message = rosterName(*entry) + ": a book of 0, so he stays in the roster and covers no mare "
                                                "this season.";
        return done;
    });
}

} // namespace quindle
