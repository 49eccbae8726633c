#include "lookup/horse_lookup.h"

#include <algorithm>

#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/input_file.h"
#include "data/records.h"
#include "data/system_paths.h"

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
            result.status = LookupResult::Status::Found;
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
        result.status = LookupResult::Status::Failed;
        result.error = e.what();
    }
    return result;
}

LookupResult findHorse(const DataFolder& folder, std::int32_t id)
{
    const std::string path = folder.bucketFile(bucketForID(id));
    try {
        FilePtr file = openInput(path);
        return scanBucket(std::move(file), path, id, std::size_t{1} << 20);
    } catch (const FileError& e) {
        // The split checked every horse it wrote, so the bucket was damaged after
        // it: its lines mean nothing to a player, and the next start cuts it anew.
        removeFile(folder.bucketStamp());
        LookupResult result;
        result.status = LookupResult::Status::Failed;
        result.error = path + ": " + e.problem() +
                       " (the bucket file has been damaged since it was cut from breeding.txt; the next start cuts it "
                       "again)";
        return result;
    }
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
