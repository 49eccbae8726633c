#include "main_state/shown_profile.h"

#include <charconv>
#include <string_view>

namespace quindle {

std::optional<DosageProfile> profileOfBoxes(const MainBoxes& boxes)
{
    GroupTotals totals{};
    for (int g = 0; g < kGroups; ++g) {
        std::string_view text = boxes.profileTexts[static_cast<std::size_t>(kGroupTotalBox + g)];
        while (!text.empty() && text.front() == ' ')
            text.remove_prefix(1);
        while (!text.empty() && text.back() == ' ')
            text.remove_suffix(1);
        std::int32_t& points = totals[static_cast<std::size_t>(g)];
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), points);
        if (text.empty() || error != std::errc() || end != text.data() + text.size() || points < 0)
            return std::nullopt;
    }
    return profileOfTotals(totals);
}

} // namespace quindle
