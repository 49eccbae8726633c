#pragma once
// Numbers every distinct set of group totals in the order it is first met, so
// that whatever follows from a set (its texts, its numbers) is made once. Many
// horses or foals share few sets: a breeding file of a million horses holds
// some ten thousand.
#include <cstdint>
#include <utility>
#include <vector>

#include "dosage/profile.h"

namespace quindle {

class TotalsTable {
public:
    // The number of `totals`, and whether it was met just now (the caller then
    // makes what it keeps for that number).
    std::pair<std::uint32_t, bool> insert(const GroupTotals& totals)
    {
        std::size_t mask = slots_.size() - 1;
        std::size_t at = hashOf(totals) & mask;
        for (; slots_[at] != 0; at = (at + 1) & mask)
            if (totals_[slots_[at] - 1] == totals)
                return {slots_[at] - 1, false};
        totals_.push_back(totals);
        slots_[at] = static_cast<std::uint32_t>(totals_.size());
        if (2 * totals_.size() > slots_.size()) { // kept at most half full
            slots_.assign(2 * slots_.size(), 0);
            mask = slots_.size() - 1;
            for (std::size_t i = 0; i < totals_.size(); ++i) {
                std::size_t slot = hashOf(totals_[i]) & mask;
                while (slots_[slot] != 0)
                    slot = (slot + 1) & mask;
                slots_[slot] = static_cast<std::uint32_t>(i + 1);
            }
        }
        return {static_cast<std::uint32_t>(totals_.size() - 1), true};
    }
    std::size_t size() const { return totals_.size(); }

private:
    static std::uint64_t hashOf(const GroupTotals& totals)
    {
        std::uint64_t h = 0;
        for (const std::int32_t v : totals)
            h = (h ^ static_cast<std::uint32_t>(v)) * 0x9E3779B97F4A7C15ull;
        return h ^ h >> 29;
    }

    std::vector<GroupTotals> totals_;
    // Open addressing over a power-of-two table: 0 for empty, else a number + 1.
    std::vector<std::uint32_t> slots_ = std::vector<std::uint32_t>(1024);
};

} // namespace quindle
