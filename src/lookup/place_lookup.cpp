#include "lookup/place_lookup.h"

#include <string_view>

#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/input_file.h"
#include "data/place_table.h"
#include "data/records.h"

namespace quindle {

namespace {

// What a lookup tells of a horse that is not what the split wrote at its place.
LookupResult damagedAt(std::int32_t id, const Place& place)
{
    LookupResult result;
    result.status = Outcome::Failed;
    result.damaged = true;
    result.error = "horse " + std::to_string(id) + " at byte " + std::to_string(place.offset) +
                   " is not what the split wrote there";
    return result;
}

} // namespace

LookupResult findByPlace(std::FILE* bucket, const std::string& path, std::int64_t bucketSize, std::int32_t id,
                         const std::string& tablePath, std::uint64_t cutTag, bool& believed)
{
    const PlaceAnswer answer = lookUpPlace(tablePath, id, bucketSize, cutTag);
    believed = answer.kind != PlaceAnswer::Kind::Unknown;
    if (answer.kind != PlaceAnswer::Kind::At)
        return {};
    // The horse's bytes and the one before, which must end a line: they must
    // give the checksum the split took of them, and read as one horse of `id`.
    const Place& place = answer.place;
    const std::int64_t from = place.offset > 0 ? place.offset - 1 : 0;
    std::string bytes(static_cast<std::size_t>(place.offset + place.length - from), '\0');
    try {
        if (readAt(bucket, from, bytes.data(), bytes.size(), path) != bytes.size())
            return damagedAt(id, place);
    } catch (const FileError& e) {
        LookupResult result;
        result.status = Outcome::Failed;
        result.error = e.what(); // not damage: the bucket cannot be read
        return result;
    }
    const std::string_view horse = std::string_view(bytes).substr(static_cast<std::size_t>(place.offset - from));
    if (checksumOf(horse) != place.sum)
        return damagedAt(id, place);
    // The bytes are as the split wrote them; when they are not one whole horse
    // of `id` starting a line, the entry itself was changed: the scan answers.
    try {
        if (place.offset == 0 || bytes[0] == '\n') {
            FieldReader reader(horse, path);
            if (readHorseIdentifier(reader) == id) {
                LookupResult result;
                result.status = Outcome::Done;
                readHorseRest(reader, id, result.horse);
                if (reader.offset() == horse.size())
                    return result;
            }
        }
    } catch (const FileError&) {
    }
    believed = false;
    return {};
}

} // namespace quindle
