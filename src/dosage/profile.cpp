#include "dosage/profile.h"

#include <bit>
#include <cmath>

namespace quindle {

const ChefEntry* findChef(std::string_view name, const ChefTable& chefs) { return chefs.find(normaliseName(name)); }

double centerOfDistribution(std::int32_t x, std::int32_t t)
{
    const double q = static_cast<double>(x) / static_cast<double>(t);
    const double r = q * 100 + 0.01;
    return std::nearbyint(r) / 100; // the default rounding mode sends halves to even
}

DosageProfile computeProfile(const AncestorNames& names, const ChefTable& chefs)
{
    AncestorViews views;
    for (std::size_t i = 0; i < views.size(); ++i)
        views[i] = names[i];
    return computeProfileOfViews(views, chefs);
}

namespace {
// The points a chef gives at a position in a group: they count only above 0.
std::int32_t weightedPoints(const ChefEntry& chef, int position, int group)
{
    const std::int32_t value = chef.points[static_cast<std::size_t>(group)];
    return value > 0 ? value * kPositionWeight[static_cast<std::size_t>(position)] : 0;
}

// Everything after the group totals follows from them.
void completeFromTotals(DosageProfile& p)
{
    const auto& G = p.groupTotal;
    p.total = G[0] + G[1] + G[2] + G[3] + G[4];
    p.speed = G[0] + G[1] + G[2] * 0.5;
    p.stamina = G[2] * 0.5 + G[3] + G[4];
    p.cdNumerator = (G[0] - G[4]) * 2 + (G[1] - G[3]);
    if (p.total != 0) {
        p.cd = centerOfDistribution(p.cdNumerator, p.total);
        if (p.stamina == 0)
            p.di = {DosageIndex::Kind::Infinite, 0};
        else
            p.di = {DosageIndex::Kind::Finite, p.speed / p.stamina};
    }
}
} // namespace

DosageProfile computeProfileOfViews(const AncestorViews& names, const ChefTable& chefs)
{
    DosageProfile p;
    for (int pos = 0; pos < kPositions; ++pos) {
        const ChefEntry* chef = findChef(names[static_cast<std::size_t>(pos)], chefs);
        if (!chef)
            continue;
        for (int g = 0; g < kGroups; ++g) {
            if (const std::int32_t points = weightedPoints(*chef, pos, g)) {
                p.contribution[static_cast<std::size_t>(pos)][static_cast<std::size_t>(g)] = points;
                p.groupTotal[static_cast<std::size_t>(g)] += points;
            }
        }
    }
    completeFromTotals(p);
    return p;
}

GroupTotals groupTotalsOfViews(const AncestorViews& names, const ChefTable& chefs)
{
    // Most ancestors are no chefs: the seven names are first checked side by
    // side, and only those the filter lets through are looked up. Each step is
    // taken for all seven names before the next, so the processor works on
    // them together rather than waiting for one after the other.
    AncestorViews keys;
    for (std::size_t pos = 0; pos < keys.size(); ++pos)
        keys[pos] = normaliseName(names[pos]);
    std::array<ChefTable::Probe, kPositions> probes;
    for (std::size_t pos = 0; pos < probes.size(); ++pos)
        probes[pos] = ChefTable::probe(keys[pos]);
    unsigned candidates = 0;
    for (std::size_t pos = 0; pos < probes.size(); ++pos)
        candidates |= unsigned{chefs.mayHold(probes[pos])} << pos;
    GroupTotals totals{};
    for (; candidates; candidates &= candidates - 1) {
        const int pos = std::countr_zero(candidates);
        if (const ChefEntry* chef = chefs.find(probes[static_cast<std::size_t>(pos)]))
            for (int g = 0; g < kGroups; ++g)
                totals[static_cast<std::size_t>(g)] += weightedPoints(*chef, pos, g);
    }
    return totals;
}

void addPointsAt(GroupTotals& totals, std::string_view name, int position, const ChefTable& chefs)
{
    addPointsAt(totals, findChef(name, chefs), position);
}

void addPointsAt(GroupTotals& totals, const ChefEntry* chef, int position)
{
    if (chef)
        for (int g = 0; g < kGroups; ++g)
            totals[static_cast<std::size_t>(g)] += weightedPoints(*chef, position, g);
}

DosageProfile profileOfTotals(const GroupTotals& totals)
{
    DosageProfile p;
    p.groupTotal = totals;
    completeFromTotals(p);
    return p;
}

} // namespace quindle
