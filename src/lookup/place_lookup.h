#pragma once
// Finding a horse through its bucket's table of places: one horse read at its
// place instead of the bucket scanned from its start.
#include <cstdint>
#include <cstdio>
#include <string>

#include "lookup/horse_lookup.h"

namespace quindle {

// The answer of the table at `tablePath` for `id` in the open bucket `bucket`
// (of `bucketSize` bytes, cut by the cut of `cutTag`), with `believed` set when
// the table could be trusted; when it is not, the bucket must be scanned
// instead (no table, or one that cannot be trusted). A believed table answers
// the horse at its place only when the horse's bytes give the checksum the
// split took of them and hold `id`; otherwise the answer is Failed and
// `damaged`, never another horse or "not found". Absent when the whole table,
// read back, does not hold `id`. Moves the bucket's read position.
LookupResult findByPlace(std::FILE* bucket, const std::string& path, std::int64_t bucketSize, std::int32_t id,
                         const std::string& tablePath, std::uint64_t cutTag, bool& believed);

} // namespace quindle
