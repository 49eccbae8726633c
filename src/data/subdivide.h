#pragma once
// Cuts the breeding file into the ten bucket files: file0 gets its first 9,999
// horses, file1-file8 10,000 each, file9 the rest. Each horse is read by the one
// field reader as it is copied, so its four lines must hold 4, 5, 5 and 5 good
// fields and its identifier must belong in the bucket it goes to; empty lines
// between horses are dropped, as every reader skips them. Lines are copied byte
// for byte and always end in CR LF.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "data/data_folder.h"
#include "data/horse_sink.h"

namespace quindle {

struct SplitSummary {
    std::int64_t lines = 0;  // lines copied (empty lines are not)
    std::int64_t horses = 0; // lines / 4
};

// Called with 2 when file0 is created, 10 when it is closed, 10k + 10 when file k
// (k = 1..8) is closed, and 100 just before file9 is closed.
using ProgressFn = std::function<void(int)>;

// Requires the bucket folder to exist. Every bucket file is replaced whole, also
// those past the end of a short breeding file (they are left empty), and every
// horse is handed to `sink` (when there is one) in the same pass. Throws
// FileError, naming the line of the breeding file, when a horse is out of shape
// or place, and when a file cannot be read or written; bucket files replaced
// before the error stay as they are. The sink gets each piece's horses before
// their places are checked, so horses up to the end of the faulty piece reach it.
// Beside each bucket goes its table of places (see place_table.h), tied to the
// cut whose stamp text is `cutStamp`.
SplitSummary subdivide(const std::string& breedingPath, const DataFolder& folder, const ProgressFn& progress,
                       HorseSink* sink = nullptr, const std::string& cutStamp = {});

// The split's scans, and the plain loops they stand in for, callable so that
// bench/trick_gains can time them side by side. Not for other use.
namespace detail {
// True when every line end in `bytes` is CR LF (then runs of horses are written
// as they are); the same one byte a step, after a CR when `afterCr`.
bool wholeRunsAsTheyAre(std::string_view bytes);
bool onlyCrLfByBytes(std::string_view bytes, bool afterCr = false);
// Whole horses with every line end written as CR LF, into `buffer`.
std::string_view rewrittenWithCrLf(std::string_view horses, std::vector<char>& buffer);
} // namespace detail

} // namespace quindle
