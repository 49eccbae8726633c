#pragma once
// The best mares for a stallion, as the planner's other direction and
// `quindle-cli mares` both ask for them: the stallion (a name of the sire list,
// or a colt or horse of the breeding file) checked against the list, the
// player's own fillies and mares when only they are asked for, and every
// mare's foal by him. What the player is told comes back as text.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "main_state/record_stallion.h"
#include "data/chef_table.h"
#include "data/data_folder.h"
#include "data/outcome.h"
#include "planner/best_mares.h"
#include "planner/mares_in_batches.h"
#include "stable/stable_file.h"

namespace quindle {

// The mares chosen for ranking, before the first is read.
struct MaresChosen {
    std::vector<std::string> leftOut;              // each kept horse that cannot be used, in UTF-8
    std::optional<std::vector<std::int32_t>> only; // the player's fillies and mares; none: every mare of the file
};

struct MaresAsked {
    std::string stallion; // Latin-1, a name of the sire list; his own name with `fromFile`
    std::shared_ptr<const RecordStallion> fromFile;
    // The list whose fillies and mares alone are ranked, asked for once the
    // stallion is known; nullopt from it stops here. None: every mare.
    std::function<std::optional<Stable>()> onlyOf;
    // Told which mares are ranked before the first row is made.
    std::function<void(const MaresChosen&)> chosen;
    // Rows made into text piece by piece and handed on in file order (nothing kept); see bestMares.
    MaresSink sink;
    // Or the rows so far handed on in batches as they are ranked, those
    // `batchQuery` shows in its order (a window's table, growing); see
    // bestMaresInBatches.
    std::function<void(MaresBatch)> grown;
    MaresQuery batchQuery;
};

struct MaresRanked {
    // Done: `mares` holds the rows (or, with a sink, only the error). Absent:
    // the stallion is not in the sire list, or `onlyOf` stopped it (no error
    // then). Failed: the breeding file could not be opened. `error` in UTF-8.
    Outcome status = Outcome::Done;
    std::string error;
    std::shared_ptr<const BestMares> mares;
    std::vector<std::uint32_t> shown; // with `grown`: the rows `batchQuery` shows, in its order
    // Files not read to their end, the breeding file's first: the rows before each fault are ranked.
    std::vector<std::string> warnings;
};

MaresRanked bestMaresFor(const DataFolder& folder, const ChefTable& chefs,
                         const std::shared_ptr<const SireIndex>& sires, const MaresAsked& asked);

} // namespace quindle
