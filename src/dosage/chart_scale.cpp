#include "dosage/chart_scale.h"

#include <algorithm>

namespace quindle {

int commonScale(std::span<const GroupTotals> profiles)
{
    std::int32_t largest = 0;
    for (const GroupTotals& totals : profiles)
        for (const std::int32_t points : totals)
            largest = std::max(largest, points);
    return std::max(4, (static_cast<int>(largest) + 3) / 4 * 4);
}

int commonScale(const GroupTotals& profile) { return commonScale(std::span<const GroupTotals>(&profile, 1)); }

double cdPlace(double cd)
{
    return (std::clamp(cd, kCdScaleLow, kCdScaleHigh) - kCdScaleLow) / (kCdScaleHigh - kCdScaleLow);
}

} // namespace quindle
