#include "lookup/horse_lookup.h"

#include <algorithm>
#include <cstdlib>

#include "data/bucket_stamp.h"
#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/folder_lock.h"
#include "data/input_file.h"
#include "data/place_table.h"
#include "data/records.h"
#include "data/system_paths.h"
#include "lookup/place_lookup.h"

namespace quindle {

int bucketForID(std::int32_t id) { return bucketOf(id); }

namespace {

// Reads a bucket horse by horse with the one field reader, which reads each
// horse's identifier and skips the rest of its lines; only the matching horse
// is read whole.
LookupResult scanBucket(FilePtr file, const std::string& path, std::int32_t id, std::size_t blockSize)
{
    FieldReader reader(std::move(file), path, std::max<std::size_t>(blockSize, 1));
    while (!reader.atEnd()) {
        const std::int32_t found = readHorseIdentifier(reader);
        if (found == id) {
            LookupResult result;
            result.status = Outcome::Done;
            readHorseRest(reader, id, result.horse);
            return result;
        }
        skipHorseRest(reader);
    }
    return {};
}

} // namespace

LookupResult findInBucket(FilePtr file, const std::string& path, std::int32_t id, std::size_t blockSize)
{
    LookupResult result;
    try {
        return scanBucket(std::move(file), path, id, blockSize);
    } catch (const FileError& e) {
        result.status = Outcome::Failed;
        result.error = e.what();
    }
    return result;
}

LookupResult findHorse(const DataFolder& folder, std::int32_t id)
{
    const int bucket = bucketForID(id);
    const std::string path = folder.bucketFile(bucket);
    LookupResult result;
    result.status = Outcome::Failed;
    std::string damage; // why the bucket is not what the split wrote
    try {
        // Shared with other lookups: a split holds the lock alone, so neither the
        // bucket nor the record that vouches for it changes while it is read.
        const FolderLock lock(folder.bucketFolder(), FolderLock::Mode::Shared);
        FilePtr file;
        try {
            file = openInput(path);
        } catch (const FileError& e) {
            if (e.kind() == FileError::Kind::Unreadable) {
                // Not damage: the bucket may be whole, it cannot be read.
                result.error = e.what();
                return result;
            }
            if (e.kind() != FileError::Kind::Missing)
                throw;
        }
        const auto record = readBucketRecord(folder);
        const std::int64_t size = file ? fileLength(file.get()) : -1;
        if (!file)
            damage = "the bucket file is missing";
        else if (!record)
            damage = "the bucket folder has no record of a split that finished";
        else if (fileIdentityOf(folder.breedingFile()) != record->breedingIdentity)
            damage = "the bucket folder holds buckets cut from another breeding file (is QNsubBtxt shared with another "
                     "data folder?)";
        else if (size != record->bucketSizes[static_cast<std::size_t>(bucket)])
            damage = "the bucket file is " + std::to_string(size) + " bytes long, but the split wrote " +
                     std::to_string(record->bucketSizes[static_cast<std::size_t>(bucket)]);
        if (damage.empty()) {
            // The table of places answers when it can be trusted; the scan
            // answers otherwise, and words any damage.
            bool believed = false;
            LookupResult found = findByPlace(file.get(), path, size, id, folder.placeTable(bucket),
                                             cutTagOf(record->stampText), believed);
            if (believed && !found.damaged)
                return found;
            if (found.damaged) {
                damage = found.error;
            } else {
                std::rewind(file.get());
                try {
                    return scanBucket(std::move(file), path, id, std::size_t{1} << 20);
                } catch (const FileError& e) {
                    // The split checked every horse it wrote, so the bucket was
                    // damaged after it: its lines mean nothing to a player.
                    damage = e.problem();
                }
            }
        }
        removeFile(folder.bucketStamp()); // the next start cuts it anew
    } catch (const FileError& e) {
        damage = e.what();
        removeFile(folder.bucketStamp());
    }
    result.damaged = true;
    result.error = path + ": " + damage +
                   " (the bucket file has been damaged since it was cut from breeding.txt; the next start cuts it "
                   "again)";
    return result;
}

std::array<std::string, 7> lineageNames(const HorseRecord& h)
{
    std::array<std::string, 7> names;
    const auto views = lineageViews(h);
    for (std::size_t i = 0; i < names.size(); ++i)
        names[i] = views[i];
    return names;
}

std::string ageSexText(const std::string& age, const std::string& sex) { return " " + age + "yo " + sex; }

bool ageSexBefore(const std::string& ageA, const std::string& sexA, const std::string& ageB, const std::string& sexB)
{
    const int a = std::atoi(ageA.c_str()), b = std::atoi(ageB.c_str());
    return a != b ? a < b : sexA < sexB;
}

bool isFemale(const std::string& sex) { return sex == "Mare" || sex == "Filly"; }

std::optional<Rgb> sexColour(const std::string& sex)
{
    if (isFemale(sex))
        return kFemaleColour;
    if (sex == "Horse" || sex == "Colt")
        return kMaleColour;
    return std::nullopt;
}

} // namespace quindle
