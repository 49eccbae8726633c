#pragma once
// A bucket's table of places (fileN.places beside fileN): every identifier in
// the bucket, ascending, with the byte offset of the first horse of that
// identifier in bucket order, so a lookup reads one horse instead of the whole
// bucket. Little-endian and of fixed layout, so every build reads any build's
// table:
//   entries   12 bytes each: identifier (4), offset in the bucket (8)
//   sums      12 bytes for each entry, in the same order: the length in bytes
//             of the horse at its place (4), a checksum of those bytes (8)
//   seal      56 bytes, written last: "QNPLACES", version (4), entry size (4),
//             the bucket's size as written (8), the tag of the cut it was made
//             by (8), the entry count (8), a checksum of the entries (8; not
//             of the sums, each checked against its horse) and a
//             checksum of the seal's first 48 bytes (8)
// The seal comes last because the count is known only when the bucket is done,
// and a table cut short has none. A table that cannot be trusted (of another
// version, cut or bucket, damaged) leaves the answer to the scan; a horse whose
// bytes no longer give the checksum its entry holds is damage, never an answer.
#include <cstdint>
#include <string>
#include <string_view>

#include "data/checksum.h"

namespace quindle {

// The place of the first horse of an identifier in its bucket, and what its
// bytes there were when the split wrote them.
struct Place {
    std::int32_t id = 0;
    std::int64_t offset = 0;
    std::int32_t length = 0; // bytes, line ends included
    std::uint64_t sum = 0;   // checksumOf those bytes
};

inline constexpr std::size_t kPlaceEntryBytes = 12;
inline constexpr std::size_t kPlaceSumBytes = 12;
inline constexpr std::size_t kPlaceSealBytes = 56;
inline constexpr std::uint32_t kPlaceTableVersion = 2;

// Ties a table to one cut of the breeding file: the tag of the stamp text the
// bucket folder's record holds for the cut.
inline std::uint64_t cutTagOf(std::string_view stampText) { return checksumOf(stampText); }

// An entry: the identifier and the offset.
void encodePlace(const Place& place, char* to);
Place decodePlace(const char* from);
// An entry's sum: the length and the checksum.
void encodePlaceSum(const Place& place, char* to);
void decodePlaceSum(const char* from, Place& place);

struct PlaceSeal {
    std::int64_t bucketSize = 0;
    std::uint64_t cutTag = 0;
    std::int64_t entries = 0;
    std::uint64_t entriesChecksum = 0;
};
void encodeSeal(const PlaceSeal& seal, char* to);
// False when the bytes are no seal of this version (or were damaged).
bool decodeSeal(const char* from, PlaceSeal& seal);

// What a table says of one identifier.
struct PlaceAnswer {
    enum class Kind {
        Unknown, // no table, or one that cannot be trusted: scan the bucket
        At,      // the first horse of the identifier is said to be `place`
        Absent,  // the bucket holds no horse of the identifier
    };
    Kind kind = Kind::Unknown;
    Place place;
};

// Whether the table at `tablePath` is sealed by this version for a bucket of
// `bucketSize` bytes and the cut of `cutTag`: a folder cut by an older version,
// whose tables hold no checksums of the horses, is cut again.
bool placeTableFits(const std::string& tablePath, std::int64_t bucketSize, std::uint64_t cutTag);

// Looks `id` up in the table at `tablePath`, which must have been made for a
// bucket of `bucketSize` bytes by the cut of `cutTag`. The search reads only the
// entries it needs; each must fit the order of those read before it. An
// identifier is Absent only after every entry has been read back in order and
// with its checksum (the sums are not needed for that). An entry is At only when the entry before it holds a
// smaller identifier (the split keeps the first horse of each); its place is
// still to be checked against the horse there. Never throws: a table it cannot
// read is Unknown.
PlaceAnswer lookUpPlace(const std::string& tablePath, std::int32_t id, std::int64_t bucketSize, std::uint64_t cutTag);

} // namespace quindle
