#pragma once
// Names compared without case: the planner's sire filter, the name search and
// the foals of a sire all fold letters the same way.
#include <algorithm>
#include <string_view>

namespace quindle {

// Latin-1 letters without case: A-Z and the accented capitals (but the
// multiplication sign) fold to their small forms.
constexpr char foldCase(char c)
{
    const auto b = static_cast<unsigned char>(c);
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7))
        return static_cast<char>(b + 32);
    return c;
}

inline bool equalFolded(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return foldCase(x) == foldCase(y); });
}

} // namespace quindle
