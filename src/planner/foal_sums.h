#pragma once
// A season's foals as sums of two sides. A foal's points are those of his
// side (his name, and his lines as one of his first entries settles them)
// plus hers (her two names, and her Dam-Sire's Sire as one of his first
// entries settles it). Which entries settle which follows from where her
// Dam-Sire's first entries lie among his, so each stallion's sides are summed
// once for the season, each mare's once for her, and a mare's whole target is
// found from those sums alone, without making every foal's names and texts.
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

#include "planner/plan_query.h"
#include "planner/sire_plan.h"

namespace quindle {

// Every stallion's side, for the whole season.
class StallionSides {
public:
    explicit StallionSides(std::shared_ptr<const ListChefs> listChefs);

    const ListChefs& listChefs() const { return *listChefs_; }
    const SireIndex& sires() const { return *listChefs_->sires(); }
    std::size_t count() const { return stallions_.size(); }

    // Of one stallion: his first entries, and his side's points (an index
    // into `points`) when entry 0, 1 or 2 of them settles his lines, or
    // none does (3).
    struct Stallion {
        std::array<std::uint32_t, 3> at{};
        std::uint32_t count = 0;
        std::array<std::uint32_t, 4> side{};
    };
    const Stallion& stallion(std::size_t number) const { return stallions_[number]; }
    const GroupTotals& points(std::uint32_t side) const { return points_[side]; }
    std::size_t sideCount() const { return points_.size(); }

    // The order of every name a row's name columns can hold (a stallion's, or
    // an entry's Sire or Dam-Sire, or none), so that rows sort by a number:
    // made the first time a target sorts by a name.
    struct NameRanks {
        std::vector<std::string_view> names; // sorted, each once
        std::vector<std::uint32_t> stallion, entrySire, entryDamSire;
        std::uint32_t rankOf(std::string_view name) const;
    };
    const NameRanks& nameRanks() const;

private:
    std::shared_ptr<const ListChefs> listChefs_;
    std::vector<Stallion> stallions_;
    std::vector<GroupTotals> points_; // each distinct side once
    mutable std::once_flag ranksMade_;
    mutable std::unique_ptr<NameRanks> ranks_;
};

// A mare's side: all a new target needs of her.
struct MareSums {
    enum class DamSire { Blank, Unlisted, Listed };
    DamSire damSire = DamSire::Blank;
    // Her Dam-Sire's first two entries (Listed; the second may be missing).
    std::uint32_t first = 0;
    std::optional<std::uint32_t> second;
    // The stallion who is her Dam-Sire himself: his foal is made in full.
    std::optional<std::uint32_t> sameStallion;
    // Her points when her Dam-Sire's Sire is settled by his first entry, his
    // second, or none.
    std::array<GroupTotals, 3> points{};
};
MareSums mareSumsOf(const StallionSides& sides, const MareLines& mare);

// The stallions of a mare's target in its order (what selectRows gives for
// her whole plan, each row being that stallion's number), and the largest
// points of each group among all her foals, in the target or not.
struct FoalSelection {
    std::vector<std::uint32_t> stallions;
    GroupTotals largest{};
};
// What the selection keeps from one mare to the next, for one thread at a
// time: the numbers of every set of totals met so far.
class FoalScratch {
public:
    FoalScratch();
    ~FoalScratch();
    FoalScratch(FoalScratch&&) noexcept;
    FoalScratch& operator=(FoalScratch&&) noexcept;
    struct Kept;
    std::unique_ptr<Kept> kept;
};
FoalSelection selectFoals(const StallionSides& sides, const MareSums& mare, const MareLines& lines,
                          const PlanQuery& query, FoalScratch& scratch);
// The same with this thread's own scratch.
FoalSelection selectFoals(const StallionSides& sides, const MareSums& mare, const MareLines& lines,
                          const PlanQuery& query);

} // namespace quindle
