#pragma once
// Finding a horse through its bucket's table of places: one horse read at its
// place instead of the bucket scanned from its start.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "lookup/horse_lookup.h"

namespace quindle {

// The answer of the table at `tablePath` for `id` in the open bucket `bucket`
// (of `bucketSize` bytes, cut by the cut of `cutTag`): the horse at the place
// the table gives, when it is whole and holds `id`; Absent when the whole
// table, read back, does not hold `id`; nullopt when the bucket must be scanned
// instead (no table, a table that cannot be trusted, or a place that does not
// lead to the start of a horse of `id`). Moves the bucket's read position.
std::optional<LookupResult> findByPlace(std::FILE* bucket, const std::string& path, std::int64_t bucketSize,
                                        std::int32_t id, const std::string& tablePath, std::uint64_t cutTag);

} // namespace quindle
