#pragma once
// The ten number columns of a profiles row, ",B,I,C,S,P,total,speed,stamina,cd,di".
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dosage/profile.h"
#include "dosage/profile_summary.h"
#include "export/text_forms.h"

namespace quindle {

// The numeric columns of a row follow from the horse's five group totals alone,
// and a crop of horses shows few different totals: the texts of the totals met
// last are kept, so most rows copy their numbers instead of formatting them.
// A table of every set met was slower on a million horses: its lookups leave
// the processor's caches, and a text made from integers costs little more.
class NumberColumns {
public:
    NumberColumns() : entries_(kEntries) {}

    // At least this many bytes can be read at the start of every text given out.
    static constexpr std::size_t kReadable = 40;

    // The columns of a horse with these group totals.
    std::string_view text(const GroupTotals& totals)
    {
        std::uint64_t hash = 0;
        for (const std::int32_t total : totals)
            hash = (hash ^ static_cast<std::uint32_t>(total)) * 0x9E3779B97F4A7C15ull;
        Entry& entry = entries_[hash >> (64 - kEntryBits)];
        if (entry.size > 0 && entry.totals == totals)
            return {entry.text, entry.size};

        format(totals, fresh_);
        if (fresh_.size() > sizeof entry.text)
            return fresh_;
        entry.totals = totals;
        entry.size = static_cast<std::uint8_t>(fresh_.size());
        std::copy(fresh_.begin(), fresh_.end(), entry.text);
        return {entry.text, entry.size};
    }

    // The same made anew into `out`.
    static void format(const GroupTotals& totals, std::string& out)
    {
        out.clear();
        appendSummaryColumns(totals, out);
    }

private:
    static constexpr int kEntryBits = 14; // 1 MB
    static constexpr std::size_t kEntries = std::size_t{1} << kEntryBits;
    struct Entry {
        char text[kReadable]; // a longer text is not kept (and given out from fresh_)
        std::array<std::int32_t, kGroups> totals{};
        std::uint8_t size = 0; // 0: empty (a text has at least its ten commas)
    };
    std::vector<Entry> entries_;
    std::string fresh_;
};

} // namespace quindle
