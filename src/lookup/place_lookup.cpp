#include "lookup/place_lookup.h"

#include <algorithm>
#include <string_view>

#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/input_file.h"
#include "data/place_table.h"
#include "data/records.h"

namespace quindle {

namespace {

// Most horses fit the first read; the second has room for the longest horse
// the reader takes (four lines of kMaxLineBytes and their line ends).
constexpr std::size_t kFirstRead = 8192;
constexpr std::size_t kLongestHorse = 4 * (kMaxLineBytes + 2);

// The horse of `id` that starts at `offset`, read from `count` bytes there on
// (and the byte before, which must end a line); nullopt when the bytes hold
// no whole horse of `id` starting there.
std::optional<LookupResult> horseAt(std::FILE* bucket, const std::string& path, std::int64_t bucketSize,
                                    std::int64_t offset, std::int32_t id, std::size_t count)
{
    const std::int64_t from = offset > 0 ? offset - 1 : 0;
    std::string bytes(static_cast<std::size_t>(std::min<std::int64_t>(bucketSize - from, std::int64_t(count) + 1)),
                      '\0');
    try {
        if (readAt(bucket, from, bytes.data(), bytes.size(), path) != bytes.size())
            return std::nullopt;
        if (offset > 0 && bytes[0] != '\n')
            return std::nullopt; // not where a line starts
        const bool toTheEnd = from + std::ssize(bytes) == bucketSize;
        FieldReader reader(std::string_view(bytes).substr(static_cast<std::size_t>(offset - from)), path);
        if (readHorseIdentifier(reader) != id)
            return std::nullopt;
        LookupResult result;
        result.status = Outcome::Done;
        readHorseRest(reader, id, result.horse);
        if (reader.lastDelimiter() == FieldReader::Delimiter::EndOfFile && !toTheEnd)
            return std::nullopt; // the horse goes on past the bytes read
        return result;
    } catch (const FileError&) {
        return std::nullopt;
    }
}

} // namespace

std::optional<LookupResult> findByPlace(std::FILE* bucket, const std::string& path, std::int64_t bucketSize,
                                        std::int32_t id, const std::string& tablePath, std::uint64_t cutTag)
{
    const PlaceAnswer answer = lookUpPlace(tablePath, id, bucketSize, cutTag);
    if (answer.kind == PlaceAnswer::Kind::Absent)
        return LookupResult{};
    if (answer.kind == PlaceAnswer::Kind::Unknown)
        return std::nullopt;
    if (auto found = horseAt(bucket, path, bucketSize, answer.offset, id, kFirstRead))
        return found;
    return horseAt(bucket, path, bucketSize, answer.offset, id, kLongestHorse);
}

} // namespace quindle
