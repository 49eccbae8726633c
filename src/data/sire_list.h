#pragma once
// QN_SireList read whole into memory, for answers about every stallion at once.
#include <string>
#include <vector>

#include "data/records.h"

namespace quindle {

struct SireList {
    // The file, then kPadding zero bytes that can be read past any name (for
    // copying names in whole blocks). The entries look into it.
    static constexpr std::size_t kPadding = 32;
    std::vector<char> bytes;
    std::vector<SireListView> entries; // in file order
    // Empty, or the file, line and what went wrong: the entries before it are kept.
    std::string error;
};

SireList readSireList(const std::string& path);

} // namespace quindle
