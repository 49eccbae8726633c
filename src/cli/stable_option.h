#pragma once
// --stable [FILE] of `season` and `mares`: which stable file it names, and
// reading that file with what is wrong said on standard error.
#include <optional>
#include <string>

#include "data/data_folder.h"
#include "stable/stable_file.h"

namespace quindle::cli {

// The stable file --stable names, or the data folder's own for "" (named on
// standard error when there is none); nullopt after saying what is wrong.
std::optional<std::string> stablePathOf(const DataFolder& folder, const std::string& option);

// Reads the stable file at `path`. When it gives no horses to plan for (it
// could not be read, or none are kept yet) the reason is said on standard error.
StableRead readStableFile(const std::string& path);

// Says on standard error that the stable file at `path` keeps no filly or mare
// to plan for (its colts and geldings are passed over without a word).
void sayNoMareKept(const std::string& path);

} // namespace quindle::cli
