#include "dosage/profile.h"

#include <cmath>

namespace quindle {

std::string_view normaliseName(std::string_view name)
{
    const auto paren = name.find('(');
    if (paren == std::string_view::npos)
        return name;
    std::string_view key = name.substr(0, paren);
    while (!key.empty() && key.back() == ' ')
        key.remove_suffix(1);
    return key;
}

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

DosageProfile computeProfileOfViews(const AncestorViews& names, const ChefTable& chefs)
{
    DosageProfile p;
    for (int pos = 0; pos < kPositions; ++pos) {
        const ChefEntry* chef = findChef(names[static_cast<std::size_t>(pos)], chefs);
        if (!chef)
            continue;
        for (int g = 0; g < kGroups; ++g) {
            const std::int32_t value = chef->points[static_cast<std::size_t>(g)];
            if (value > 0) {
                const std::int32_t points = value * kPositionWeight[static_cast<std::size_t>(pos)];
                p.contribution[static_cast<std::size_t>(pos)][static_cast<std::size_t>(g)] = points;
                p.groupTotal[static_cast<std::size_t>(g)] += points;
            }
        }
    }
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
    return p;
}

} // namespace quindle
