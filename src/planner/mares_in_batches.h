#pragma once
// The best mares handed on as the breeding file is read: a window shows the
// first rows while the rest are still being ranked, the count growing.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "planner/best_mares.h"

namespace quindle {

// The rows so far (in file order, as bestMares keeps them), and the rows of
// them the query shows, in its order.
struct MaresBatch {
    std::shared_ptr<const BestMares> mares;
    std::vector<std::uint32_t> shown;
};

// Ranks as bestMares does (with `fromFile` as the stallion when given, else
// the sire list's `stallion`), handing `grown` a batch once the first piece of
// the file is read and again each time the rows have grown fourfold; each
// batch is a copy, so the copies cost about a third of the rows. Returns the
// whole, which `grown` has not seen. Throws FileError as bestMares does.
MaresBatch bestMaresInBatches(const std::string& path, std::shared_ptr<const SireIndex> sires,
                              const std::string& stallion, std::shared_ptr<const RecordStallion> fromFile,
                              const ChefTable& chefs, const std::vector<std::int32_t>* only, const MaresQuery& query,
                              const std::function<void(MaresBatch)>& grown);

} // namespace quindle
