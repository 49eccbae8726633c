#pragma once
// The one way the breeding file is cut into buckets, for start-up and for a
// search that finds the name index unusable.
#include <functional>
#include <optional>
#include <string>

#include "data/data_folder.h"

namespace quindle {

// Hooks for the window that shows the progress of a split.
struct SplitObserver {
    std::function<void()> begins;
    std::function<void(int)> progress;
    std::function<void()> ends; // also called when the split fails
};

enum class CutWhen { Stale, Always };

struct CutOutcome {
    std::optional<std::string> stamp; // the breeding file's, nullopt when it is missing
    bool cut = false;
};

// Under the bucket folder's lock (made when missing), so one start-up at a time
// decides and splits and a second one waits and then finds the buckets current:
// the breeding file's stamp, then, when the buckets are stale (or always), the
// bucket folder's stamp removed, the split into the buckets and the name index,
// and the stamp written again. Buckets not known to be complete are always cut
// again. Throws FileError.
CutOutcome cutBuckets(const DataFolder& folder, const SplitObserver& observer, CutWhen when);

} // namespace quindle
