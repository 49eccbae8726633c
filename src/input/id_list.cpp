#include "input/id_list.h"

namespace quindle {

IdList parseIdList(std::string_view text)
{
    IdList list;
    const auto separator = [](char c) { return c == ' ' || c == '\t' || c == ',' || c == ';'; };
    std::size_t at = 0;
    while (at < text.size()) {
        if (separator(text[at])) {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && !separator(text[end]))
            ++end;
        const std::string_view part = text.substr(at, end - at);
        std::int64_t value = 0;
        bool digits = true;
        for (const char c : part) {
            digits = digits && c >= '0' && c <= '9';
            if (digits && value <= kLargestId) // past it, the value only has to stay too large
                value = value * 10 + (c - '0');
        }
        if (digits && value >= 1 && value <= kLargestId)
            list.ids.push_back(static_cast<std::int32_t>(value));
        else
            list.refused.emplace_back(part);
        at = end;
    }
    return list;
}

} // namespace quindle
