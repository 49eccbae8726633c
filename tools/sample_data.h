#pragma once
// Invented but realistic data folders for the demo, the tests and the benchmarks.
#include <cstdint>
#include <string>

namespace quindle::sample {

struct Options {
    std::int64_t horses = 120000;
    std::uint64_t seed = 1;
    std::int64_t sires = 0; // entries of the sire list; 0: one for every 40 horses, 400 to 4,000
    bool quoteAll = false;  // every field of breeding.txt but a line's leading number in quotes
};

// Writes ChefTable, QN_SireList and breeding.txt into `dir` (created if needed).
// The same options always give the same bytes. Throws std::runtime_error.
void writeDataFolder(const std::string& dir, const Options& options);

} // namespace quindle::sample
