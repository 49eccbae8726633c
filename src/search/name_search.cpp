#include "search/name_search.h"

#include <algorithm>
#include <array>
#include <bit>
#include <string>

#include "data/byte_words.h"
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

// The other case of a folded letter, or the letter itself.
char otherCase(char folded)
{
    for (int b = 0; b < 256; ++b)
        if (kFold[static_cast<std::size_t>(b)] == folded && static_cast<char>(b) != folded)
            return static_cast<char>(b);
    return folded;
}

// The first of `a` or `b` in `text` from `from` on, or npos: one byte a step...
std::size_t findEitherByBytes(std::string_view text, std::size_t from, char a, char b)
{
    const char* const end = text.data() + text.size();
    const char* at = byte_words::findFirstOfByBytes(text.data() + std::min(from, text.size()), end, a, b);
    return at == end ? std::string_view::npos : static_cast<std::size_t>(at - text.data());
}

// ...or sixteen bytes a step where the processor has them.
std::size_t findEither(std::string_view text, std::size_t from, char a, char b)
{
    const char* const end = text.data() + text.size();
    const char* at = byte_words::findFirstOf(text.data() + std::min(from, text.size()), end, a, b);
    return at == end ? std::string_view::npos : static_cast<std::size_t>(at - text.data());
}

std::string foldedText(std::string_view text)
{
    std::string folded(text);
    for (char& c : folded)
        c = fold(c);
    return folded;
}

} // namespace

std::size_t detail::findEither(std::string_view text, std::size_t from, char a, char b, bool sixteenBytesAStep)
{
    return sixteenBytesAStep ? quindle::findEither(text, from, a, b) : findEitherByBytes(text, from, a, b);
}

FoundNames findNames(const NameIndex& index, std::string_view text, std::size_t limit)
{
    FoundNames found;
    const std::string folded = foldedText(text);
    if (folded.empty() || folded.find('\n') != std::string::npos)
        return found; // no name holds a line end
    // Each kind in file order, each kept only as far as the limit can reach.
    std::array<std::vector<std::uint32_t>, 3> kinds;
    const std::string_view names = index.names();
    const char first = folded[0];
    const char other = otherCase(first);
    std::uint32_t horse = 0;
    std::size_t at = 0;
    // One sweep over all names, one a line: the text's first letter in either
    // case, then the rest; a name is counted once, at its first match.
    while ((at = findEither(names, at, first, other)) != std::string_view::npos) {
        if (names.size() - at < folded.size())
            break;
        std::size_t k = 1;
        while (k < folded.size() && fold(names[at + k]) == folded[k])
            ++k;
        if (k < folded.size()) {
            ++at;
            continue;
        }
        while (index.nameStart(horse + 1) <= at)
            ++horse;
        const std::size_t start = index.nameStart(horse), next = index.nameStart(horse + 1);
        const auto kind = at > start                          ? NameMatch::Contains
                          : next - start - 1 == folded.size() ? NameMatch::Exact
                                                              : NameMatch::Prefix;
        ++found.total;
        auto& list = kinds[static_cast<std::size_t>(kind)];
        if (list.size() < limit)
            list.push_back(horse);
        at = next;
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
        if (equalFolded(index.sire(i), sire))
            foals.push_back(i);
    return foals;
}

} // namespace quindle
