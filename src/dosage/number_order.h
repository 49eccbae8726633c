#pragma once
// The one order of the number columns, wherever they are sorted (the planner,
// the best mares, the foals of a sire, `quindle-cli sires --sort`): numbers by
// their value, INF above every number, and a number that is not there ("--")
// below all.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

namespace quindle {

// A key that sorts in that order; NaN stands for a number that is not there.
inline double numberOrderKey(double value)
{
    return std::isnan(value) ? -std::numeric_limits<double>::infinity() : value;
}

// Sorts `rows` by `numberOf(row)` in that order, up or down. The numbers are
// the ones shown (a summary's values), so rows that show the same number keep
// the order they had: the file's order, or the one an earlier sort left.
template <class NumberOf>
void sortRowsByNumber(std::vector<std::uint32_t>& rows, NumberOf numberOf, bool descending)
{
    // Keys side by side with the row numbers: the sort then reads one array.
    std::vector<std::pair<double, std::uint32_t>> keyed(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        keyed[i] = {numberOrderKey(numberOf(rows[i])), rows[i]};
    std::stable_sort(keyed.begin(), keyed.end(), [descending](const auto& a, const auto& b) {
        return descending ? b.first < a.first : a.first < b.first;
    });
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = keyed[i].second;
}

} // namespace quindle
