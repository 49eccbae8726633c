#include "planner/named_targets.h"

#include <algorithm>
#include <array>

namespace quindle {

namespace {

const std::array<NamedTarget, 1>& presets()
{
    static const std::array<NamedTarget, 1> list{{{kClassicDistances, {std::nullopt, 4.0}, {std::nullopt, 1.25}}}};
    return list;
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

} // namespace

std::optional<NamedTarget> findNamedTarget(std::string_view name)
{
    for (const NamedTarget& target : presets())
        if (std::ranges::equal(target.name, name, {}, lower, lower))
            return target;
    return std::nullopt;
}

std::string_view namedTargetNames() { return kClassicDistances; }

std::span<const NamedTarget> namedTargets() { return presets(); }

} // namespace quindle
