#include "stable_option.h"

#include <cstdio>

#include "output.h"

namespace quindle::cli {

std::optional<std::string> stablePathOf(const DataFolder& folder, const std::string& option)
{
    if (!option.empty())
        return option;
    const std::string path = stableFileFor(folder);
    if (path.empty()) {
        std::fprintf(stderr, "quindle-cli: no home folder to find the stable file in: name it with --stable FILE\n");
        return std::nullopt;
    }
    return path;
}

StableRead readStableFile(const std::string& path)
{
    StableRead read = readStable(path);
    if (read.status == Outcome::Failed)
        sayError(read.error);
    else if (read.status == Outcome::Absent)
        std::fprintf(stderr, "quindle-cli: %s: no horses kept yet (no such file)\n", path.c_str());
    return read;
}

void sayNoMareKept(const std::string& path)
{
    std::fprintf(stderr, "quindle-cli: %s: no filly or mare is kept there to plan for\n", path.c_str());
}

} // namespace quindle::cli
