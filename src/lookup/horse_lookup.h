#pragma once
// Finding a horse in its bucket file, and what the window shows of it.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "data/data_folder.h"
#include "data/fold_case.h"
#include "data/input_file.h"
#include "data/outcome.h"
#include "data/records.h"

namespace quindle {

struct Rgb {
    std::uint8_t red, green, blue;
    bool operator==(const Rgb&) const = default;
};
inline constexpr Rgb kNeutralColour{242, 242, 193};
inline constexpr Rgb kFemaleColour{255, 151, 207};
inline constexpr Rgb kMaleColour{144, 200, 255};

// min(id / 10,000, 9); identifiers below 1 go to bucket 0.
int bucketForID(std::int32_t id);

struct LookupResult {
    Outcome status = Outcome::Absent; // Done: found
    HorseRecord horse;                // Done
    std::string error;                // Failed: the file, the line and what is wrong
    bool damaged = false;             // Failed: the bucket is not what the split wrote; cut again
};

// Scans the bucket of `id` from its start; the first record with that identifier
// wins. A bucket that cannot be read, ends inside a record or holds a bad field
// before the match is reported as Failed, never as some other horse; so is one
// whose size, or whose breeding file, is not the one the bucket folder's stamp
// records (then `damaged`, and the stamp is removed so the next start cuts again).
LookupResult findHorse(const DataFolder& folder, std::int32_t id);

// The scan of one open bucket file, read in blocks of `blockSize` bytes (a record
// longer than a block is still read whole).
LookupResult findInBucket(FilePtr file, const std::string& path, std::int32_t id, std::size_t blockSize = 1 << 20);

// The seven sire-line names in the order of the lineage boxes Text3 to Text9:
// Sire, Sire's Sire, Dam-Sire, Sire's Sire's Sire, Sire's Dam-Sire,
// Dam-Sire's Sire, Dam's Dam-Sire.
std::array<std::string, 7> lineageNames(const HorseRecord& horse);
// The same names without copying them: valid while `horse` (and what it looks at) is.
template <class Text>
std::array<std::string_view, 7> lineageViews(const BasicHorseRecord<Text>& h)
{
    return {h.sire, h.sireSire, h.damSire, h.sireSireSire, h.sireDamSire, h.damSireSire, h.damDamSire};
}

// " 4yo Mare": a blank, the age as stored, "yo", a blank, the sex word as stored.
std::string ageSexText(const std::string& age, const std::string& sex);
// The order a player reads ages and sexes in: by the age as a number ("3" before
// "10"), then by the sex word.
bool ageSexBefore(const std::string& ageA, const std::string& sexA, const std::string& ageB, const std::string& sexB);

// True for exactly "Mare" or "Filly".
bool isFemale(const std::string& sex);
// Whether a horse of this sex word is planned for as a mare: "Filly" or "Mare" in
// any letter case, as players' files write them (the colours keep the exact words).
// Every plan, ranking and season asks this, so none of them drops a mare another keeps.
inline bool canBePlannedAsMare(std::string_view sex) { return equalFolded(sex, "mare") || equalFolded(sex, "filly"); }
// The same for a stallion: "Colt" or "Horse" in any letter case.
inline bool canBePlannedAsStallion(std::string_view sex)
{
    return equalFolded(sex, "colt") || equalFolded(sex, "horse");
}
// The female colour for exactly "Mare" or "Filly", the male colour for exactly
// "Horse" or "Colt", no colour for any other word.
std::optional<Rgb> sexColour(const std::string& sex);

} // namespace quindle
