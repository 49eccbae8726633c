#include "search/name_search.h"

#include <array>
#include <string>

#include "data/fold_case.h"

namespace quindle {

namespace {

constexpr std::array<char, 256> kFold = [] {
    std::array<char, 256> table{};
    for (int b = 0; b < 256; ++b)
        table[static_cast<std::size_t>(b)] = foldCase(static_cast<char>(b));
    return table;
}();

inline char fold(char c) { return kFold[static_cast<unsigned char>(c)]; }

// Where `folded` (already folded) first starts in `name`, or npos.
std::size_t findFolded(std::string_view name, std::string_view folded)
{
    if (folded.size() > name.size())
        return std::string_view::npos;
    const char first = folded[0];
    const std::size_t last = name.size() - folded.size();
    for (std::size_t at = 0; at <= last; ++at) {
        if (fold(name[at]) != first)
            continue;
        std::size_t k = 1;
        while (k < folded.size() && fold(name[at + k]) == folded[k])
            ++k;
        if (k == folded.size())
            return at;
    }
    return std::string_view::npos;
}

std::string foldedText(std::string_view text)
{
    std::string folded(text);
    for (char& c : folded)
        c = fold(c);
    return folded;
}

} // namespace

FoundNames findNames(const NameIndex& index, std::string_view text, std::size_t limit)
{
    FoundNames found;
    if (text.empty())
        return found;
    const std::string folded = foldedText(text);
    // Each kind in file order, each kept only as far as the limit can reach.
    std::array<std::vector<std::uint32_t>, 3> kinds;
    const std::size_t count = index.size();
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::string_view name = index.name(i);
        const std::size_t at = findFolded(name, folded);
        if (at == std::string_view::npos)
            continue;
        ++found.total;
        const auto kind = at > 0 ? NameMatch::Contains : name.size() == folded.size() ? NameMatch::Exact : NameMatch::Prefix;
        auto& list = kinds[static_cast<std::size_t>(kind)];
        if (list.size() < limit)
            list.push_back(i);
    }
    for (const auto& list : kinds)
        for (std::size_t k = 0; k < list.size() && found.horses.size() < limit; ++k)
            found.horses.push_back(list[k]);
    return found;
}

std::vector<std::uint32_t> foalsOf(const NameIndex& index, std::string_view sire)
{
    std::vector<std::uint32_t> foals;
    for (std::uint32_t i = 0; i < index.size(); ++i)
        if (equalFolded(index.horse(i).sire, sire))
            foals.push_back(i);
    return foals;
}

} // namespace quindle
