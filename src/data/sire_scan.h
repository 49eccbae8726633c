#pragma once
// Completing the sire lines of a hypothetical foal from QN_SireList.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "data/records.h"
#include "data/sire_list.h"

namespace quindle {

template <class Text>
struct BasicSireLines {
    // Present when an entry settled them (the last such entry read wins).
    std::optional<Text> sireSire, sireDamSire, sireSireSire; // from the Sire's entry
    std::optional<Text> damSireSire;                         // from the Dam-Sire's entry
    // A count, not a bit mask (the name is the scan's own): +1 for each entry that
    // settles the Sire (1 at the start when it is blank), +2 for each that settles
    // the Dam-Sire. The scan stops once it is above 2, so a Sire met twice goes on
    // and a third time stops it.
    std::int16_t foundMask = 0;
    // Empty, or the file, line and what went wrong (what was settled before stays).
    std::string error;
};
using SireLines = BasicSireLines<std::string>;
// The same looking at entries held in memory.
using SireLineViews = BasicSireLines<std::string_view>;

// The scan's rule, one entry at a time, so that a list read from the file and a
// list held in memory are scanned alike. Names are compared byte for byte; a
// blank name counts as settled and is not looked for. Entries that carry
// neither name change nothing, so a caller may pass only those that do.
template <class Text>
class SireLineScan {
public:
    SireLineScan(std::string_view sire, std::string_view damSire) : sire_(sire), damSire_(damSire)
    {
        if (sire.empty())
            lines_.foundMask = 1;
        if (damSire.empty())
            lines_.foundMask += 2;
    }
    // False once both names are settled: the scan reads no further entry.
    bool wantsMore() const { return lines_.foundMask <= 2; }
    template <class EntryText>
    void take(const BasicSireListEntry<EntryText>& entry)
    {
        if (!sire_.empty() && entry.name == sire_) {
            lines_.sireSire = Text(entry.sire);
            lines_.sireDamSire = Text(entry.damSire);
            lines_.sireSireSire = Text(entry.sireSire);
            lines_.foundMask += 1;
        }
        if (!damSire_.empty() && entry.name == damSire_) {
            lines_.damSireSire = Text(entry.sire);
            lines_.foundMask += 2;
        }
    }
    BasicSireLines<Text>& lines() { return lines_; }

private:
    std::string_view sire_, damSire_;
    BasicSireLines<Text> lines_;
};

// Reads entries from the start of the list while the file lasts and the scan
// wants more.
SireLines scanSireList(const std::string& path, const std::string& sire, const std::string& damSire);
// The same over the list read whole: the list's error is the scan's only when
// the scan still wanted more after the entries read before it, as reading the
// file would have met it.
SireLines scanSireList(const SireList& list, std::string_view sire, std::string_view damSire);

} // namespace quindle
