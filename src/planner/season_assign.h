#pragma once
// One stallion for each mare of a season: of every plan the books allow, the
// one that plans the most mares and, among those, keeps each mare nearest the
// top of her own list. Stallions are numbers the caller gives meaning to (the
// planner's row of the stallion); nothing here reads a file.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace quindle {

using StallionNumber = std::uint32_t;

// A stallion of a mare's rows under the target, in the target's order.
struct AssignCandidate {
    StallionNumber stallion = 0;
    bool repeats = false; // the foal has a repeated sire
};

struct AssignMare {
    std::vector<AssignCandidate> rows;    // her planner rows under the target, in order
    std::optional<StallionNumber> locked; // she goes to him, whatever the target
};

struct AssignRules {
    std::optional<std::uint32_t> bookForAll;                  // none: no limit
    std::unordered_map<StallionNumber, std::uint32_t> books;  // a stallion's own book, before bookForAll
    std::optional<std::unordered_set<StallionNumber>> roster; // none: every stallion may be used
    std::unordered_set<StallionNumber> ruledOut;
    std::set<std::pair<std::size_t, StallionNumber>> ruledOutPairs; // (mare's place in the season, stallion)
    bool noRepeats = false;

    // How many mares the stallion may cover; none for no limit.
    std::optional<std::uint32_t> bookOf(StallionNumber stallion) const;
    // Whether the rules let the mare at `mare` go to the stallion (book aside).
    bool allows(std::size_t mare, StallionNumber stallion) const;
    // Whether a row of hers stays in her list.
    bool keeps(std::size_t mare, const AssignCandidate& row) const
    {
        return allows(mare, row.stallion) && !(noRepeats && row.repeats);
    }
};

// A mare's list: her rows without the stallions and pairs the rules take out,
// in her rows' order. A pair's rank is its place in this list, from 1.
std::vector<StallionNumber> mareList(const AssignMare& mare, std::size_t place, const AssignRules& rules);

struct MareAssignment {
    enum class Outcome {
        Planned,      // a stallion of her list
        Locked,       // her locked stallion
        NoneInList,   // no stallion in her target (after the rules)
        AllBookedFull // every stallion of her list has his book filled
    };
    Outcome outcome = Outcome::NoneInList;
    std::optional<StallionNumber> stallion;
    std::size_t rank = 0;                // her stallion's place in her list; 0 when he is not in it
    std::optional<StallionNumber> first; // the head of her list, what she gives up against
    // Why her lock was not kept (she was then planned as the others); empty when it was or there was none.
    enum class LockRefused { None, RuledOut, OutsideRoster, BeyondBook };
    LockRefused lockRefused = LockRefused::None;
};

struct SeasonAssignment {
    std::vector<MareAssignment> mares; // in the season's order
    std::size_t planned() const;
    std::size_t rankSum() const; // over the mares planned from their lists
};

// The best plan for the season. Locks are kept in the mares' order while their
// stallion's book has room; the rest is a minimum-cost flow (mares to
// stallions, books as capacities), so the plan found is exactly the best one,
// and the same for the same input.
SeasonAssignment assignSeason(const std::vector<AssignMare>& mares, const AssignRules& rules);

} // namespace quindle
