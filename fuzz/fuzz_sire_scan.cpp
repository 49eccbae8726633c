// The sire-list scan over any file: it ends, never reports more settled names
// than the stop rule allows, and the scans of the list held in memory (the
// planner's, and a mating's over the list read whole) settle exactly what
// reading the file settles, for names taken from the file; the mating's reports
// the same error.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "data/sire_scan.h"
#include "planner/sire_plan.h"

namespace {

template <class A, class B>
bool same(const A& a, const B& b)
{
    return a.has_value() == b.has_value() && (!a || std::string_view(*a) == std::string_view(*b));
}

template <class A, class B>
bool settlesAlike(const A& a, const B& b)
{
    return a.foundMask == b.foundMask && same(a.sireSire, b.sireSire) && same(a.sireDamSire, b.sireDamSire) &&
           same(a.sireSireSire, b.sireSireSire) && same(a.damSireSire, b.damSireSire);
}

} // namespace

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

    const quindle::SireList list = quindle::readSireList(path);
    const quindle::SireIndex index(quindle::readSireList(path));
    std::vector<std::string> names{"", "A", "B"};
    for (std::size_t i = 0; i < index.stallions().size() && i < 4; ++i)
        names.emplace_back(index.stallions()[i]);
    for (const std::string& sire : names)
        for (const std::string& damSire : names) {
            const quindle::SireLines file = quindle::scanSireList(path, sire, damSire);
            const quindle::SireLineViews memory = index.scan(sire, damSire);
            const quindle::SireLines whole = quindle::scanSireList(list, sire, damSire);
            if (!settlesAlike(file, memory) || !settlesAlike(file, whole) || file.error != whole.error)
                __builtin_trap();
        }
    return 0;
}
