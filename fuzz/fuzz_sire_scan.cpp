// The sire-list scan over any file: it ends, and never reports more settled
// names than the stop rule allows.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "input/sire_scan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("quindle-fuzz-sires-" + std::to_string(getpid()))).string();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    const quindle::SireLines lines = quindle::scanSireList(path, "A", "B");
    if (lines.foundMask > 4 || (lines.sireSire.has_value() != lines.sireDamSire.has_value()))
        __builtin_trap();
    const quindle::SireLines same = quindle::scanSireList(path, "A", "A");
    if (same.sireSire.has_value() != same.damSireSire.has_value() && same.error.empty())
        __builtin_trap();
    return 0;
}
