#pragma once
// The ten number columns of a profiles row, ",B,I,C,S,P,total,speed,stamina,cd,di".
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dosage/format.h"
#include "dosage/profile.h"
#include "dosage/totals_table.h"
#include "export/text_forms.h"

namespace quindle {

// The numeric columns of a row follow from the horse's five group totals alone,
// and a breeding file holds few different totals (some ten thousand in a
// million horses): the texts of every set met are kept, so most rows copy their
// numbers instead of formatting them.
class NumberColumns {
public:
    // At least this many bytes can be read at the start of every text given out.
    static constexpr std::size_t kReadable = 40;

    // The columns of a horse with these group totals.
    std::string_view text(const GroupTotals& totals)
    {
        if (seen_.size() == kMostKept) { // a file of very many different totals: memory stays bounded
            seen_ = TotalsTable();
            entries_.clear();
        }
        const auto [number, fresh] = seen_.insert(totals);
        if (fresh) {
            format(totals, fresh_);
            Entry& entry = entries_.emplace_back();
            if (fresh_.size() <= sizeof entry.text) {
                entry.size = static_cast<std::uint8_t>(fresh_.size());
                std::copy(fresh_.begin(), fresh_.end(), entry.text);
            }
        }
        const Entry& entry = entries_[number];
        if (entry.size == 0) { // longer than an entry holds: made anew each time
            format(totals, fresh_);
            return fresh_;
        }
        return {entry.text, entry.size};
    }

    // The same made anew into `out`.
    static void format(const GroupTotals& totals, std::string& out)
    {
        out.clear();
        appendSummaryColumns(totals, out);
    }

private:
    static constexpr std::size_t kMostKept = std::size_t{1} << 16;
    struct Entry {
        char text[kReadable];
        std::uint8_t size = 0; // 0: not kept (a text has at least its ten commas)
    };
    TotalsTable seen_; // numbers the sets of totals in the order of entries_
    std::vector<Entry> entries_;
    std::string fresh_;
};

} // namespace quindle
