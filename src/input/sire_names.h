#pragma once
// The sire names of QN_SireList, for completion while typing a mating: a name
// picked from the list is taken whole, so names the boxes cannot type are offered too.
#include <string>
#include <vector>

namespace quindle {

struct SireNames {
    std::vector<std::string> names; // sorted byte for byte, each once
    std::string error;              // empty, or the file, line and what went wrong
};

// Reads every entry's name but a blank one. After a bad field the names read
// before it are kept.
SireNames readSireNames(const std::string& path);

// Whether `name` is one of `sorted` (as readSireNames gives them).
bool containsName(const std::vector<std::string>& sorted, const std::string& name);

} // namespace quindle
