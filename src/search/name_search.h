#pragma once
// Finding horses by name, and the foals of a stallion, in the name index. The
// window and quindle-cli both ask here. Letters compare without case, Latin-1
// accented ones too (foldCase).
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "search/name_index.h"

namespace quindle {

enum class NameMatch { Exact, Prefix, Contains };

struct FoundNames {
    std::vector<std::uint32_t> horses; // positions in the index, best first
    std::size_t total = 0;             // every horse whose name holds the text
};

// The horses whose name holds `text`: names equal to it first, then names that
// start with it, then the rest, each kind in file order; at most `limit` of
// them, and the count of all. An empty text finds nothing.
FoundNames findNames(const NameIndex& index, std::string_view text, std::size_t limit);

// The horses whose Sire is `sire`, without case, in file order.
std::vector<std::uint32_t> foalsOf(const NameIndex& index, std::string_view sire);

namespace detail {
// The first of `a` or `b` in `text` from `from` on, or npos, 16 bytes a step or
// one: the sweep of findNames, callable so that bench/trick_gains can time the
// two side by side. Not for other use.
std::size_t findEither(std::string_view text, std::size_t from, char a, char b, bool sixteenBytesAStep);
} // namespace detail

} // namespace quindle
