#pragma once
// The records of Quindle's input files and the fixed layout of the breeding file.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quindle {

class FieldReader;

// Fixed layout of the breeding file and of its ten bucket files.
inline constexpr int kBucketCount = 10;
inline constexpr std::int32_t kHorsesPerBucket = 10000;
inline constexpr int kLinesPerHorse = 4;

// The bucket of identifier n: min(n / 10,000, 9), and 0 below 1. Also the bucket
// the n-th horse of the breeding file is cut into, since identifiers count from 1.
constexpr int bucketOf(std::int64_t n)
{
    if (n < 1)
        return 0;
    return n / kHorsesPerBucket < kBucketCount - 1 ? static_cast<int>(n / kHorsesPerBucket) : kBucketCount - 1;
}

// One horse: four lines, 19 fields, of which these eleven are used.
template <class Text>
struct BasicHorseRecord {
    std::int32_t id = 0;
    Text name, age, sex;
    Text sire, sireSire, sireDamSire, sireSireSire; // line 2
    Text damSire, damSireSire;                      // line 3
    Text damDamSire;                                // line 4
    bool operator==(const BasicHorseRecord&) const = default;
};
using HorseRecord = BasicHorseRecord<std::string>;
// The same fields looked at in bytes in memory, for reading many horses fast.
using HorseView = BasicHorseRecord<std::string_view>;

// One entry of QN_SireList.
template <class Text>
struct BasicSireListEntry {
    Text name, sire, damSire, sireSire;
    bool operator==(const BasicSireListEntry&) const = default;
};
using SireListEntry = BasicSireListEntry<std::string>;
// The same fields looked at in bytes in memory.
using SireListView = BasicSireListEntry<std::string_view>;

// One row of ChefTable: a name and its points in the groups B, I, C, S, P.
struct ChefEntry {
    std::string name;
    std::array<std::int16_t, 5> points{};
    bool operator==(const ChefEntry&) const = default;
};

// Read one record with the shared field rules; throw FileError on a bad field.
HorseRecord readHorseRecord(FieldReader& reader);
// The same into an existing record, reusing its strings' storage.
void readHorseRecord(FieldReader& reader, HorseRecord& into);
// The same as views into the reader's bytes, which must be in memory.
void readHorseRecord(FieldReader& reader, HorseView& into);
// For a scan that looks for one horse: the identifier of the next horse (its
// first field), after which the rest of the horse is either read into a record
// or skipped without reading its fields.
std::int32_t readHorseIdentifier(FieldReader& reader);
void readHorseRest(FieldReader& reader, std::int32_t id, HorseRecord& into);
void skipHorseRest(FieldReader& reader);
SireListEntry readSireListEntry(FieldReader& reader);
// The same as views into the reader's bytes, which must be in memory.
void readSireListEntry(FieldReader& reader, SireListView& into);
ChefEntry readChefEntry(FieldReader& reader);

namespace detail {
// The same as readHorseRecord into views, every line read field by field: what
// a line that is not plain falls back on, callable so that bench/trick_gains
// can time the two side by side.
void readHorseRecordByFields(FieldReader& reader, HorseView& into);
} // namespace detail

} // namespace quindle
