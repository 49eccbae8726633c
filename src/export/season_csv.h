#pragma once
// A season's rows as CSV, as `quindle-cli season` and the season window's
// Export write them: the mare's identifier, name and rank before each of her
// plan's rows.
#include <functional>
#include <string_view>

#include "planner/season.h"

namespace quindle {

// Hands the header line, then each row's text, to `write`, which answers
// false when it could not take it; false as soon as it does.
bool writeSeasonCsv(const SeasonPlan& season, const std::function<bool(std::string_view)>& write);

} // namespace quindle
