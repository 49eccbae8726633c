#include "data/place_table.h"

#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include "data/file_error.h"
#include "data/input_file.h"

namespace quindle {

namespace {

constexpr char kMagic[8] = {'Q', 'N', 'P', 'L', 'A', 'C', 'E', 'S'};

void put32(std::uint32_t value, char* to)
{
    for (int i = 0; i < 4; ++i)
        to[i] = static_cast<char>(value >> (8 * i));
}
void put64(std::uint64_t value, char* to)
{
    for (int i = 0; i < 8; ++i)
        to[i] = static_cast<char>(value >> (8 * i));
}
std::uint32_t get32(const char* from)
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= std::uint32_t{static_cast<unsigned char>(from[i])} << (8 * i);
    return value;
}
std::uint64_t get64(const char* from)
{
    std::uint64_t value = 0;
    for (int i = 0; i < 8; ++i)
        value |= std::uint64_t{static_cast<unsigned char>(from[i])} << (8 * i);
    return value;
}

constexpr std::size_t kSealSummed = kPlaceSealBytes - 8;

} // namespace

void encodePlace(const Place& place, char* to)
{
    put32(static_cast<std::uint32_t>(place.id), to);
    put64(static_cast<std::uint64_t>(place.offset), to + 4);
}

Place decodePlace(const char* from)
{
    return {static_cast<std::int32_t>(get32(from)), static_cast<std::int64_t>(get64(from + 4))};
}

void encodePlaceSum(const Place& place, char* to)
{
    put32(static_cast<std::uint32_t>(place.length), to);
    put64(place.sum, to + 4);
}

void decodePlaceSum(const char* from, Place& place)
{
    place.length = static_cast<std::int32_t>(get32(from));
    place.sum = get64(from + 4);
}

void encodeSeal(const PlaceSeal& seal, char* to)
{
    std::memcpy(to, kMagic, sizeof kMagic);
    put32(kPlaceTableVersion, to + 8);
    put32(kPlaceEntryBytes, to + 12);
    put64(static_cast<std::uint64_t>(seal.bucketSize), to + 16);
    put64(seal.cutTag, to + 24);
    put64(static_cast<std::uint64_t>(seal.entries), to + 32);
    put64(seal.entriesChecksum, to + 40);
    put64(checksumOf({to, kSealSummed}), to + kSealSummed);
}

bool decodeSeal(const char* from, PlaceSeal& seal)
{
    if (std::memcmp(from, kMagic, sizeof kMagic) != 0 || get32(from + 8) != kPlaceTableVersion ||
        get32(from + 12) != kPlaceEntryBytes || get64(from + kSealSummed) != checksumOf({from, kSealSummed}))
        return false;
    seal.bucketSize = static_cast<std::int64_t>(get64(from + 16));
    seal.cutTag = get64(from + 24);
    seal.entries = static_cast<std::int64_t>(get64(from + 32));
    seal.entriesChecksum = get64(from + 40);
    return seal.bucketSize >= 0 && seal.entries >= 0;
}

namespace {

// One open table whose seal fits the bucket it is asked about.
class OpenTable {
public:
    OpenTable(FilePtr file, std::string path, const PlaceSeal& seal)
        : file_(std::move(file)), path_(std::move(path)), seal_(seal)
    {
    }

    // A binary search that trusts only what it has read: every entry must lie
    // strictly between the entries that bound it, or the table is not in order.
    PlaceAnswer search(std::int32_t id)
    {
        std::int64_t low = 0, high = seal_.entries;
        std::int64_t below = std::numeric_limits<std::int64_t>::min();
        std::int64_t above = std::numeric_limits<std::int64_t>::max();
        while (low < high) {
            const std::int64_t middle = low + (high - low) / 2;
            const Place place = entry(middle);
            if (place.id <= below || place.id >= above || !inBucket(place.offset))
                return {};
            if (place.id == id) {
                // An earlier entry of the same identifier would hide the first
                // horse behind a later one.
                if (middle > 0 && entry(middle - 1).id >= id)
                    return {};
                return withSum(middle, place);
            }
            if (place.id < id) {
                low = middle + 1;
                below = place.id;
            } else {
                high = middle;
                above = place.id;
            }
        }
        return wholeAndInOrder() ? PlaceAnswer{PlaceAnswer::Kind::Absent, 0} : PlaceAnswer{};
    }

private:
    bool inBucket(std::int64_t offset) const { return offset >= 0 && offset < seal_.bucketSize; }

    PlaceAnswer withSum(std::int64_t index, Place place)
    {
        char bytes[kPlaceSumBytes];
        const std::int64_t at = seal_.entries * std::int64_t{kPlaceEntryBytes} + index * std::int64_t{kPlaceSumBytes};
        if (readAt(file_.get(), at, bytes, sizeof bytes, path_) != sizeof bytes)
            return {};
        decodePlaceSum(bytes, place);
        if (place.length <= 0 || place.length > seal_.bucketSize - place.offset)
            return {};
        return {PlaceAnswer::Kind::At, place};
    }

    Place entry(std::int64_t index)
    {
        char bytes[kPlaceEntryBytes];
        if (readAt(file_.get(), index * std::int64_t{kPlaceEntryBytes}, bytes, sizeof bytes, path_) != sizeof bytes)
            throw FileError(path_, 0, "ends early");
        return decodePlace(bytes);
    }

    // Every entry read back once, a block at a time: ascending, inside the
    // bucket, and with the sum the seal holds.
    bool wholeAndInOrder()
    {
        constexpr std::size_t kBlockEntries = 5461; // 64 KB less 4 bytes
        std::vector<char> block(kBlockEntries * kPlaceEntryBytes);
        Checksum sum;
        std::int64_t last = std::numeric_limits<std::int64_t>::min();
        std::int64_t left = seal_.entries, at = 0;
        while (left > 0) {
            const std::size_t want =
                left < std::int64_t{kBlockEntries} ? static_cast<std::size_t>(left) : kBlockEntries;
            const std::size_t bytes = want * kPlaceEntryBytes;
            if (readAt(file_.get(), at, block.data(), bytes, path_) != bytes)
                return false;
            at += static_cast<std::int64_t>(bytes);
            sum.add({block.data(), bytes});
            for (std::size_t i = 0; i < want; ++i) {
                const Place place = decodePlace(block.data() + i * kPlaceEntryBytes);
                if (place.id <= last || !inBucket(place.offset))
                    return false;
                last = place.id;
            }
            left -= static_cast<std::int64_t>(want);
        }
        return sum.value() == seal_.entriesChecksum;
    }

    FilePtr file_;
    std::string path_;
    PlaceSeal seal_;
};

} // namespace

namespace {

// The seal of the open table, when it is made for this bucket as it is, by
// this cut, and counts exactly the entries before it. Throws FileError.
std::optional<PlaceSeal> fittingSeal(std::FILE* file, const std::string& tablePath, std::int64_t bucketSize,
                                     std::uint64_t cutTag)
{
    const std::int64_t length = fileLength(file);
    if (length < std::int64_t{kPlaceSealBytes})
        return std::nullopt;
    char bytes[kPlaceSealBytes];
    PlaceSeal seal;
    if (readAt(file, length - std::int64_t{kPlaceSealBytes}, bytes, sizeof bytes, tablePath) != sizeof bytes ||
        !decodeSeal(bytes, seal))
        return std::nullopt;
    constexpr std::int64_t kBoth = std::int64_t{kPlaceEntryBytes + kPlaceSumBytes};
    if (seal.bucketSize != bucketSize || seal.cutTag != cutTag ||
        seal.entries != (length - std::int64_t{kPlaceSealBytes}) / kBoth ||
        (length - std::int64_t{kPlaceSealBytes}) % kBoth != 0)
        return std::nullopt;
    return seal;
}

} // namespace

bool placeTableFits(const std::string& tablePath, std::int64_t bucketSize, std::uint64_t cutTag)
{
    try {
        return fittingSeal(openInput(tablePath).get(), tablePath, bucketSize, cutTag).has_value();
    } catch (const FileError&) {
        return false;
    }
}

PlaceAnswer lookUpPlace(const std::string& tablePath, std::int32_t id, std::int64_t bucketSize, std::uint64_t cutTag)
{
    try {
        FilePtr file = openInput(tablePath);
        const auto seal = fittingSeal(file.get(), tablePath, bucketSize, cutTag);
        if (!seal)
            return {};
        return OpenTable(std::move(file), tablePath, *seal).search(id);
    } catch (const FileError&) {
        return {}; // missing, not a file, unreadable: the scan answers
    }
}

} // namespace quindle
