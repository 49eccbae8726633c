#pragma once
// Cuts the breeding file into the ten bucket files by fixed line counts:
// file0 gets lines 1-39,996, file1-file8 40,000 lines each, file9 the rest.
// Lines are copied byte for byte and always end in CR LF. No line is parsed.
#include <cstdint>
#include <functional>
#include <string>

#include "data/data_folder.h"

namespace quindle {

struct SplitSummary {
    std::int64_t lines = 0;  // lines copied (empty lines at the end of the file are not)
    std::int64_t horses = 0; // lines / 4
};

// Called with 2 when file0 is created, 10 when it is closed, 10k + 10 when file k
// (k = 1..8) is closed, and 100 just before file9 is closed.
using ProgressFn = std::function<void(int)>;

// Requires the bucket folder to exist. Every bucket file is rewritten, also those
// past the end of a short breeding file (they are left empty). Throws FileError
// when a file cannot be read or written, or when the last horse has fewer than
// four lines; bucket files written before the error stay as they are.
SplitSummary subdivide(const std::string& breedingPath, const DataFolder& folder, const ProgressFn& progress);

} // namespace quindle
