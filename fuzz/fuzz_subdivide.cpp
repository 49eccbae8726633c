// The split over any breeding file: either an error, or buckets that hold
// exactly the file's lines with CR LF line ends.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "data/file_error.h"
#include "data/subdivide.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const quindle::DataFolder folder = [] {
        const auto dir = std::filesystem::temp_directory_path() / ("quindle-fuzz-split-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir / "QNsubBtxt");
        return quindle::DataFolder(dir.string());
    }();
    {
        std::ofstream out(folder.breedingFile(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    try {
        const auto summary = quindle::subdivide(folder.breedingFile(), folder, nullptr);
        std::ifstream in(folder.bucketFile(0), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        const std::string bucket = text.str();
        std::int64_t lines = 0;
        for (std::size_t i = 0; i < bucket.size(); ++i)
            if (bucket[i] == '\n') {
                ++lines;
                if (i == 0 || bucket[i - 1] != '\r')
                    __builtin_trap();
            } else if (bucket[i] == '\r' && (i + 1 == bucket.size() || bucket[i + 1] != '\n')) {
                __builtin_trap();
            }
        if (lines != summary.lines || summary.lines % 4 != 0)
            __builtin_trap();
    } catch (const quindle::FileError&) {
    }
    return 0;
}
