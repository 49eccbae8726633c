#pragma once
// The season a data folder's season window keeps between runs: its target, the
// mares it plans, whether the roster is used, the stud's rules (locks, stallions
// and pairs ruled out, books, no repeats) and the player's decision for each
// mare, until the player clears them. Kept as My Horses is: a file per data
// folder beside the list, changed under its lock on the file as it is then,
// written whole, a damaged file moved aside and named.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/kept_file.h"
#include "data/data_folder.h"

namespace quindle {

// A mare and a stallion: a lock, a pair ruled out or a decision.
struct KeptPair {
    std::int32_t dam = 0;
    std::string damName; // Latin-1: the mare at `dam` when it was kept
    std::string sire;    // Latin-1: a name as the sire list holds it, or "#ID"
    bool operator==(const KeptPair&) const = default;
};

struct KeptDecision {
    KeptPair pair;
    bool fromPlan = true; // accepted from the plan, or else picked by hand
    bool operator==(const KeptDecision&) const = default;
};

struct KeptSeason {
    // The target as its boxes hold it (UTF-8 texts), and its order.
    std::string diMin, diMax, cdMin, cdMax;
    int minTotal = 0;
    std::string sortBy = "total"; // a column's key; empty for the sire list's order
    bool descending = true;
    std::string namedTarget; // the target known by name the ranges are, when they are one
    int perMare = 5;
    // The mares: the fillies and mares of My Horses, or the IDs typed.
    bool fromStable = true;
    std::string ids;
    bool useRoster = false; // the player's roster rather than the whole sire list
    // The rules.
    bool onePerMare = false;
    std::optional<std::uint32_t> bookForAll; // none: no limit
    bool noRepeats = false;
    std::vector<KeptPair> locks;       // at most one a mare
    std::vector<std::string> ruledOut; // stallions, Latin-1
    std::vector<KeptPair> ruledOutPairs;
    std::vector<KeptDecision> decisions; // at most one a mare
    std::string extra{};                 // the members the program does not know, as JSON object text

    const KeptPair* lockOf(std::int32_t dam) const;
    const KeptDecision* decisionOf(std::int32_t dam) const;
    bool isRuledOut(const std::string& sire) const;
    bool isRuledOut(std::int32_t dam, const std::string& sire) const;

    // Each replaces what contradicts it: a lock takes the place of her lock and of
    // the same pair ruled out, a pair ruled out of the same lock.
    void lock(const KeptPair& pair);
    void ruleOut(const KeptPair& pair);
    void ruleOut(const std::string& sire);
    void decide(const KeptDecision& decision);
    // False when there was nothing to take away.
    bool unlock(std::int32_t dam);
    bool allow(const KeptPair& pair);
    bool allow(const std::string& sire);
    bool clearDecision(std::int32_t dam);
    // Every lock, stallion and pair ruled out and decision; the target and the boxes stay.
    void clearRules();
    bool operator==(const KeptSeason&) const = default;
};

// The largest season file read; a larger one is damaged.
inline constexpr std::size_t kLargestSeasonFile = std::size_t{4} << 20;

// The file's text (UTF-8 JSON); `dataFolder` is written for the player's eyes, never read back.
std::string keptSeasonText(const KeptSeason& season, const std::string& dataFolder);
// Parses it; `path` names the file in messages. Empty `error` when it was taken.
struct KeptSeasonRead {
    KeptSeason season;
    std::string error;
};
KeptSeasonRead parseKeptSeason(const std::string& text, const std::string& path);

// The season file of a data folder: beside its My Horses file, under the same key.
std::string seasonFileFor(const DataFolder& folder);

// An entry kept for a mare whose ID the breeding file now gives to another
// horse, or to none: marked, never re-pointed, and not used until cleared.
struct MarkedEntry {
    enum class Kind { Lock, RuledOutPair, Decision };
    Kind kind = Kind::Decision;
    KeptPair pair;
    std::optional<std::string> nameNow; // Latin-1; none: no horse at the ID now
    std::string message;                // UTF-8, for the player
};
// Each entry against the name `nameAt` gives for its mare's ID now (none: no horse
// there; a lookup that cannot tell leaves the entry as it is).
using NameAt = std::function<std::optional<std::optional<std::string>>(std::int32_t id)>;
std::vector<MarkedEntry> markKept(const KeptSeason& season, const NameAt& nameAt);
// The same, each mare looked up in the breeding file.
std::vector<MarkedEntry> markKept(const KeptSeason& season, const DataFolder& folder);

// What came of a change to the season kept.
struct SeasonChange {
    Outcome status = Outcome::Done; // Done: saved; Absent: nothing to change; Failed: not saved
    std::string message;            // why not, or (Done) what a read under the lock found
};

class KeptSeasonBook {
public:
    KeptSeasonBook();
    KeptSeasonBook(const KeptSeasonBook&) = delete;
    KeptSeasonBook& operator=(const KeptSeasonBook&) = delete;

    // Reads the season of a data folder (seasonFileFor), or of a file named outright.
    KeptOpen open(const DataFolder& folder);
    KeptOpen openFile(std::string path, const std::string& dataFolder);
    std::optional<KeptOpen> catchUp() { return file_.catchUp(); }

    const KeptSeason& season() const { return season_; }
    // Whether a season was read (or written): a window starts from it rather than its own defaults.
    bool kept() const { return file_.exists(); }
    const std::string& path() const { return file_.path(); }
    const std::string& keptAside() const { return file_.keptAside(); }

    // Applies `edit` to the season as the file holds it now and writes it whole;
    // `edit` returns false when it changed nothing (nothing is written then).
    SeasonChange change(const std::function<bool(KeptSeason&)>& edit);

private:
    std::string dataFolder_;
    KeptSeason season_;
    KeptFile file_;
};

} // namespace quindle
