// Reading a breeding file in pieces, as `quindle-cli profiles` does, must give the
// same horses and the same first fault as one reader through the whole file:
// any difference stops the fuzzer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/record_chunks.h"
#include "data/records.h"

namespace {

struct Outcome {
    std::vector<quindle::HorseRecord> horses;
    std::string error;
};

quindle::HorseRecord copied(const quindle::HorseView& v)
{
    return {v.id,
            std::string(v.name),
            std::string(v.age),
            std::string(v.sex),
            std::string(v.sire),
            std::string(v.sireSire),
            std::string(v.sireDamSire),
            std::string(v.sireSireSire),
            std::string(v.damSire),
            std::string(v.damSireSire),
            std::string(v.damDamSire)};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t target = 1 + data[0] % 64; // small pieces: many cuts
    const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    Outcome whole;
    try {
        quindle::FieldReader reader(std::string_view(bytes), "fuzz");
        while (!reader.atEnd())
            whole.horses.push_back(quindle::readHorseRecord(reader));
    } catch (const quindle::FileError& e) {
        whole.error = e.what();
    }

    Outcome pieces;
    std::string joined;
    std::FILE* file = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
    if (!file) // fmemopen refuses an empty buffer on some systems
        return 0;
    quindle::RecordChunker chunker(quindle::FilePtr(file), "fuzz", target);
    quindle::RecordChunk chunk;
    try {
        while (chunker.next(chunk)) {
            joined += chunk.bytes();
            quindle::FieldReader reader(chunk.bytes(), "fuzz", chunk.firstLine());
            quindle::HorseView horse;
            while (!reader.atEnd()) {
                quindle::readHorseRecord(reader, horse);
                pieces.horses.push_back(copied(horse));
            }
        }
    } catch (const quindle::FileError& e) {
        pieces.error = e.what();
    }
    if (pieces.error != whole.error || pieces.horses != whole.horses)
        __builtin_trap();
    if (whole.error.empty() && joined != bytes)
        __builtin_trap();
    return 0;
}
