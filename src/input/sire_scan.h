#pragma once
// Completing the sire lines of a hypothetical foal from QN_SireList.
#include <cstdint>
#include <optional>
#include <string>

namespace quindle {

struct SireLines {
    // Present when an entry settled them (the last such entry read wins).
    std::optional<std::string> sireSire, sireDamSire, sireSireSire; // from the Sire's entry
    std::optional<std::string> damSireSire;                         // from the Dam-Sire's entry
    // 1 when the Sire was settled (or blank), +2 for the Dam-Sire; the scan stops above 2.
    std::int16_t foundMask = 0;
    // Empty, or the file, line and what went wrong (what was settled before stays).
    std::string error;
};

// Reads entries from the start of the list while the file lasts and fewer than
// both names are settled. Names are compared byte for byte; a blank name counts
// as settled and is not looked for.
SireLines scanSireList(const std::string& path, const std::string& sire, const std::string& damSire);

} // namespace quindle
