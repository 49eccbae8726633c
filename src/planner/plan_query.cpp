#include "planner/plan_query.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <numeric>

#include "data/fold_case.h"
#include "dosage/number_order.h"

namespace quindle {

bool containsFolded(std::string_view text, std::string_view part)
{
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [](char a, char b) { return foldCase(a) == foldCase(b); }) != text.end();
}

namespace {

std::optional<double> parseBound(std::string_view text)
{
    if (text == "INF" || text == "inf")
        return std::numeric_limits<double>::infinity();
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

bool ValueRange::holds(double value) const
{
    if (std::isnan(value))
        return false;
    return (!min || value >= *min) && (!max || value <= *max);
}

std::vector<std::uint32_t> selectRows(const Plan& plan, const PlanQuery& query)
{
    const auto& rows = plan.rows;
    std::vector<std::uint32_t> shown;
    shown.reserve(rows.size());
    for (std::uint32_t i = 0; i < rows.size(); ++i) {
        const PlanRow& row = rows[i];
        if (query.di && !query.di->holds(plan.value(row, PlanColumn::Di)))
            continue;
        if (query.cd && !query.cd->holds(plan.value(row, PlanColumn::Cd)))
            continue;
        if (query.minTotal && !(plan.value(row, PlanColumn::Total) >= *query.minTotal))
            continue;
        if (!query.nameContains.empty() && !containsFolded(plan.name(row, RowName::Sire), query.nameContains))
            continue;
        shown.push_back(i);
    }
    if (query.sortBy) {
        const PlanColumn column = *query.sortBy;
        const bool down = query.descending;
        if (static_cast<int>(column) < kPlanNameColumns) {
            const auto which = static_cast<RowName>(column);
            const auto name = [&](std::uint32_t i) { return plan.name(rows[i], which); };
            std::stable_sort(shown.begin(), shown.end(), [&](std::uint32_t a, std::uint32_t b) {
                return down ? name(b) < name(a) : name(a) < name(b);
            });
        } else {
            sortRowsByNumber(
                shown, [&](std::uint32_t i) { return plan.value(rows[i], column); }, down);
        }
    }
    if (query.top && shown.size() > *query.top)
        shown.resize(*query.top);
    return shown;
}

std::optional<ValueRange> parseRange(std::string_view text)
{
    const auto colon = text.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    ValueRange range;
    const std::string_view low = text.substr(0, colon), high = text.substr(colon + 1);
    if (!low.empty() && !(range.min = parseBound(low)))
        return std::nullopt;
    if (!high.empty() && !(range.max = parseBound(high)))
        return std::nullopt;
    if (range.min && range.max && *range.min > *range.max)
        return std::nullopt;
    return range;
}

std::optional<PlanColumn> parseColumn(std::string_view key)
{
    for (int c = 0; c < kPlanColumns; ++c) {
        const std::string_view known = kPlanColumnKeys[static_cast<std::size_t>(c)];
        if (equalFolded(known, key))
            return static_cast<PlanColumn>(c);
    }
    return std::nullopt;
}

} // namespace quindle
