// findHorse over any bucket file: found only with the identifier asked for,
// otherwise not found or a reported failure.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "lookup/horse_lookup.h"

namespace {
const quindle::DataFolder& folder()
{
    static const quindle::DataFolder f = [] {
        const auto dir = std::filesystem::temp_directory_path() / ("quindle-fuzz-bucket-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir / "QNsubBtxt");
        return quindle::DataFolder(dir.string());
    }();
    return f;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::int32_t id = 1 + (data[0] | data[1] << 8) % 9999; // always bucket 0
    const std::string path = folder().bucketFile(0);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(data + 2, 1, size - 2, f);
    std::fclose(f);
    const quindle::LookupResult r = quindle::findHorse(folder(), id);
    if (r.status == quindle::LookupResult::Status::Found && r.horse.id != id)
        __builtin_trap();
    if (r.status == quindle::LookupResult::Status::Failed && r.error.find(path) != 0)
        __builtin_trap();
    return 0;
}
