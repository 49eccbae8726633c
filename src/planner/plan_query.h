#pragma once
// Which rows of a plan are shown, and in what order: the filters and the sort
// that the planner window and `quindle-cli sires` share.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "planner/sire_plan.h"

namespace quindle {

// Inclusive bounds; either may be open. A row without a number (a "--")
// never falls in a range; INF falls in one without an upper bound.
struct ValueRange {
    std::optional<double> min, max;
    bool holds(double value) const;
    bool operator==(const ValueRange&) const = default;
};

struct PlanQuery {
    std::optional<ValueRange> di, cd;
    std::optional<double> minTotal;
    std::string nameContains;         // Latin-1; letters compare without case
    std::optional<PlanColumn> sortBy; // none: the order of the sire list
    bool descending = false;
    std::optional<std::size_t> top; // at most this many rows
};

// Whether `part` is in `text`, letters compared without case (Latin-1).
bool containsFolded(std::string_view text, std::string_view part);

// The indexes of the rows the query shows, in its order. Equal rows keep the
// order of the sire list. Numbers sort numerically, INF above every number, a
// blank or "--" below all; names sort by their bytes.
std::vector<std::uint32_t> selectRows(const Plan& plan, const PlanQuery& query);

// "MIN:MAX" with either side empty for open ("1.5:", ":4", "0:INF"); nullopt
// when it is not one.
std::optional<ValueRange> parseRange(std::string_view text);
// A column by its key ("di", "B", "siresire"; letters in any case); nullopt when unknown.
std::optional<PlanColumn> parseColumn(std::string_view key);

} // namespace quindle
