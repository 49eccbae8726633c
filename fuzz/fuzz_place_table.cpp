// A bucket's table of places over any entries, sealed as the split seals a
// table (or, when the first byte is odd, ended by any bytes at all), so the
// search's own checks are all that stand between it and a wrong answer. It
// never throws, says At only for an entry of that identifier inside the
// bucket, and Absent only when no entry holds the identifier.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <unistd.h>

#include "data/checksum.h"
#include "data/place_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 4)
        return 0;
    const bool sealed = (data[0] & 1) == 0;
    const std::int32_t id = 1 + (data[1] | data[2] << 8) % 1000;
    const std::int64_t bucketSize = 1 + data[3] * 16;
    std::string table(reinterpret_cast<const char*>(data + 4), size - 4);
    if (sealed) {
        constexpr std::size_t kBoth = quindle::kPlaceEntryBytes + quindle::kPlaceSumBytes;
        table.resize(table.size() - table.size() % kBoth);
        quindle::PlaceSeal seal;
        seal.bucketSize = bucketSize;
        seal.cutTag = 7;
        seal.entries = static_cast<std::int64_t>(table.size() / kBoth);
        seal.entriesChecksum =
            quindle::checksumOf(std::string_view(table).substr(0, table.size() / kBoth * quindle::kPlaceEntryBytes));
        char bytes[quindle::kPlaceSealBytes];
        quindle::encodeSeal(seal, bytes);
        table.append(bytes, sizeof bytes);
    }
    static const std::string path = "/tmp/fuzz_place_table." + std::to_string(::getpid());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        __builtin_trap();
    std::fwrite(table.data(), 1, table.size(), file);
    std::fclose(file);

    const quindle::PlaceAnswer answer = quindle::lookUpPlace(path, id, bucketSize, 7);
    if (answer.kind == quindle::PlaceAnswer::Kind::Unknown)
        return 0;
    bool held = false, heldThere = false;
    // Answered at all, so the table ends in a seal that fits it (the fuzzer may
    // forge one): entries, then the seal.
    const std::size_t entries =
        (table.size() - quindle::kPlaceSealBytes) / (quindle::kPlaceEntryBytes + quindle::kPlaceSumBytes);
    for (std::size_t i = 0; i < entries; ++i) {
        const quindle::Place place = quindle::decodePlace(table.data() + i * quindle::kPlaceEntryBytes);
        held = held || place.id == id;
        heldThere = heldThere || (place.id == id && place.offset == answer.place.offset);
    }
    if (answer.kind == quindle::PlaceAnswer::Kind::At &&
        (!heldThere || answer.place.offset < 0 || answer.place.offset + answer.place.length > bucketSize))
        __builtin_trap();
    if (answer.kind == quindle::PlaceAnswer::Kind::Absent && held)
        __builtin_trap();
    return 0;
}
