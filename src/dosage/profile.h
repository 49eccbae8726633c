#pragma once
// A horse's dosage profile from the names of seven sire-line ancestors.
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "data/chef_table.h"

namespace quindle {

inline constexpr int kPositions = 7; // Sire, Sire's Sire, Dam-Sire, then the four third-generation sires
inline constexpr int kGroups = 5;    // B, I, C, S, P
inline constexpr std::array<int, kPositions> kPositionWeight{4, 2, 2, 1, 1, 1, 1};

// The Dosage Index: absent without points, infinite without Stamina.
struct DosageIndex {
    enum class Kind { Absent, Infinite, Finite };
    Kind kind = Kind::Absent;
    double value = 0; // Finite only
    bool operator==(const DosageIndex&) const = default;
};

using GroupTotals = std::array<std::int32_t, kGroups>;

struct DosageProfile {
    // Present and above 0, or absent.
    std::array<std::array<std::optional<std::int32_t>, kGroups>, kPositions> contribution{};
    GroupTotals groupTotal{};
    std::int32_t total = 0;
    double speed = 0;
    double stamina = 0;
    std::int32_t cdNumerator = 0;
    std::optional<double> cd; // absent without points
    DosageIndex di;
};

using AncestorNames = std::array<std::string, kPositions>;
// The same names held elsewhere, looked at without copying them.
using AncestorViews = std::array<std::string_view, kPositions>;

// The lookup key of a name: the text before its first "(", without the blanks
// that end it; a name without "(" is taken whole. Inline: every ancestor of
// every horse of a summary comes through here.
inline std::string_view normaliseName(std::string_view name)
{
    if (name.empty())
        return name;
    // Without branches on whether there is a "(" (about one name in five has
    // one), which the processor cannot guess.
    std::size_t end = std::min(name.find('('), name.size());
    const bool cut = end < name.size();
    end -= static_cast<std::size_t>(cut & (end > 0) & (name[end - (end > 0)] == ' '));
    while (cut && end > 0 && name[end - 1] == ' ')
        --end; // more blanks before the "(": rare
    return name.substr(0, end);
}

// The first chef row matching the name's key, or null.
const ChefEntry* findChef(std::string_view name, const ChefTable& chefs);

DosageProfile computeProfile(const AncestorNames& names, const ChefTable& chefs);
DosageProfile computeProfileOfViews(const AncestorViews& names, const ChefTable& chefs);

// Only the group totals of that profile, for summaries of many horses.
GroupTotals groupTotalsOfViews(const AncestorViews& names, const ChefTable& chefs);
// Adds the points `name` brings at `position` (0 the Sire, in the order of
// AncestorViews) to `totals`. The totals of a lineage are the sum of its seven
// names' points, so names shared by many lineages can be scored once.
void addPointsAt(GroupTotals& totals, std::string_view name, int position, const ChefTable& chefs);
// The same for a chef row already found (none: no points).
void addPointsAt(GroupTotals& totals, const ChefEntry* chef, int position);
// The profile with these group totals and no contributions: the total, Speed,
// Stamina, CD and DI follow from the group totals alone.
DosageProfile profileOfTotals(const GroupTotals& totals);

// The Center of Distribution for numerator x and total t > 0, rounded to two
// decimals: a positive half rounds up, a negative half toward zero.
double centerOfDistribution(std::int32_t x, std::int32_t t);

} // namespace quindle
