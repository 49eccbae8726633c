#include "data/kept_aside.h"

#include <filesystem>

#include "data/system_paths.h"

namespace quindle {

namespace fs = std::filesystem;

std::string asidePath(const std::string& path)
{
    std::string aside = path + ".damaged";
    std::error_code ec;
    for (int n = 2; fs::exists(fsPath(aside), ec); ++n)
        aside = path + ".damaged-" + std::to_string(n);
    return aside;
}

bool moveAside(const std::string& path, const std::string& aside)
{
    std::error_code ec;
    fs::rename(fsPath(path), fsPath(aside), ec);
    return !ec;
}

} // namespace quindle
