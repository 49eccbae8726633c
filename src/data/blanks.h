#pragma once
// The one way text is trimmed: the blanks at either end of a box's text, a
// name typed or a line of a settings file.
#include <string_view>

namespace quindle {

// `text` without the characters of `blanks` at its ends (spaces, unless told).
constexpr std::string_view trimBlanks(std::string_view text, std::string_view blanks = " ")
{
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

} // namespace quindle
