#pragma once
// What the main window showed in this run, one entry per horse looked up or
// mating submitted, and where the player stands in it: back and forward as a
// browser goes, a new show after going back dropping what lay ahead.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "main_state/mating.h"
#include "main_state/record_stallion.h"

namespace quindle {

// A horse by its identifier, or (identifier 0) a mating by its three names,
// with its Sire's own record when he is of the breeding file and its mare.
struct ShownEntry {
    std::int32_t id = 0;
    MatingNames mating;
    std::optional<RecordStallion> stallion;
    MareNamed mare;
    bool operator==(const ShownEntry&) const = default;
};

class ShownHistory {
public:
    // The oldest entries go once there are more than this.
    static constexpr std::size_t kLongest = 100;

    // A new show: what lay ahead of the current entry is dropped. The current
    // entry shown again (a second GO) adds nothing.
    void add(const ShownEntry& entry);
    // Moves one step and returns the entry to show there; nullopt (and no
    // move) at either end.
    std::optional<ShownEntry> back();
    std::optional<ShownEntry> forward();
    bool canGoBack() const { return position_ > 0; }
    bool canGoForward() const { return position_ + 1 < entries_.size(); }
    std::size_t size() const { return entries_.size(); }

private:
    std::vector<ShownEntry> entries_;
    std::size_t position_ = 0; // the current entry, when there is one
};

} // namespace quindle
