#pragma once
// The commands of quindle-cli. Each returns the process's exit code:
// 0 done, 1 something asked for was not found or not fully read, or the output
// could not be written in full; 2 usage or start-up error.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "data/data_folder.h"
#include "data/sire_list.h"
#include "planner/plan_query.h"
#include "target_options.h"

namespace quindle::cli {

int runShow(const DataFolder& folder, const std::vector<std::string>& ids, bool json);
int runMate(const DataFolder& folder, const std::vector<std::string>& names, bool json);
int runProfiles(const DataFolder& folder, const std::string& from, const std::string& to);

// The options of `sires`, as typed.
struct SiresOptions : TargetOptions {
    bool json = false;
    std::optional<std::string> dam, damSire, damDamSire;
};
int runSires(const DataFolder& folder, const SiresOptions& options);

// The options of `season`, as typed; `stable` holds "" for the data folder's own file.
struct SeasonOptions : TargetOptions {
    bool json = false;
    std::optional<std::string> dams, stable;
    // The plan of one stallion per mare, and its rules.
    bool assign = false, noRepeats = false;
    std::optional<std::string> book;
    std::optional<std::string> roster;                       // "" for the data folder's own roster file
    std::vector<std::string> locks, excluded, excludedPairs; // DAM=SIRE, SIRE, DAM=SIRE
};
int runSeason(const DataFolder& folder, const SeasonOptions& options);
// `season --assign`: one stallion for each mare under the rules.
int runSeasonAssign(const DataFolder& folder, const SeasonOptions& options);

// The mares of --dams (blanks, commas or semicolons between IDs, as the season
// window reads them); empty after naming on standard error a part that is no ID.
std::vector<std::int32_t> damIdsOf(const std::string& list);

// The options of `mares`, as typed; `stable` holds "" for the data folder's own file.
struct MaresOptions : TargetOptions {
    bool json = false;
    std::optional<std::string> sire, stable, minAge, maxAge;
};
int runMares(const DataFolder& folder, const MaresOptions& options);

// The player's list: `list`, or `add`, `remove`, `confirm` with IDs, or
// `import FILE`; `file` is --stable's value (none or "": the data folder's own).
int runStable(const DataFolder& folder, const std::optional<std::string>& file,
              const std::vector<std::string>& operands);

// The player's roster of stallions: `list`, `add NAME|#ID...` (each with
// `book` when given), `remove NAME|#ID...` or `book NAME|#ID N|none`; `file`
// is --roster's value (none or "": the data folder's own).
int runRoster(const DataFolder& folder, const std::optional<std::string>& file, const std::optional<std::string>& book,
              const std::vector<std::string>& operands);

// Horses found by name, best matches first (at most `limit`), as CSV or JSON.
int runFind(const DataFolder& folder, const std::string& text, std::size_t limit, bool json);
// The profile rows of every horse by `sire`, in file order.
// With `averages`, the foals list's summary line follows on standard error.
int runFoals(const DataFolder& folder, const std::string& sire, bool json, bool averages = false);

// A name argument as the name box would take it when pasted, without trailing
// spaces; nullopt after saying on standard error what is refused.
std::optional<std::string> nameArgument(const std::string& arg);

// Says in one line on standard error which of the stallion names typed are not
// in the sire list (their sire lines stay empty), as the window marks them.
void warnUnknownSires(const SireList& list, const std::vector<std::string>& names);

// A name argument in Latin-1, the files' letters, as typed; nullopt after
// saying on standard error that it holds a character Latin-1 does not have.
std::optional<std::string> latin1Argument(const std::string& arg);

// Parses an identifier as the ID box would take it: blanks removed, then one to
// six digits, not 0. Returns 0 when it is not one.
std::int32_t parseIdentifier(const std::string& text);

} // namespace quindle::cli
