#pragma once
// Targets known by name, so a player need not remember their ranges: the one
// from the published guidance and, later, the player's own.
#include <optional>
#include <span>
#include <string_view>

#include "planner/plan_query.h"

namespace quindle {

struct NamedTarget {
    std::string_view name;
    ValueRange di, cd;
};

// For races at the classic distances: a DI of at most 4.00 and a CD of at most 1.25.
inline constexpr std::string_view kClassicDistances = "Classic distances";

// The target of that name (letters in any case); none when there is no such target.
std::optional<NamedTarget> findNamedTarget(std::string_view name);

// The names there are, joined by ", " for a message.
std::string_view namedTargetNames();

// Every target known by name, in the order offered.
std::span<const NamedTarget> namedTargets();

} // namespace quindle
