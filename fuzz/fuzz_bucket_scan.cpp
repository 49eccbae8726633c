// The bucket scan over any bytes, read in small blocks so that records longer
// than a block are exercised too: found only with the identifier asked for,
// otherwise not found or a failure that names the file.
#include <cstdint>
#include <cstdio>
#include <string>

#include "lookup/horse_lookup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const std::int32_t id = 1 + (data[0] | data[1] << 8) % 9999;
    const std::size_t block = 16 + data[2] % 128;
    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data + 3), size - 3, "rb");
    if (size == 3)
        file = std::fopen("/dev/null", "rb");
    const quindle::LookupResult r = quindle::findInBucket(quindle::FilePtr(file), "file0", id, block);
    if (r.status == quindle::Outcome::Done && r.horse.id != id)
        __builtin_trap();
    if (r.status == quindle::Outcome::Failed && r.error.rfind("file0", 0) != 0)
        __builtin_trap();
    return 0;
}
