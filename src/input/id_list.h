#pragma once
// Horse IDs typed as a list ("1204 88731, 5"), as the season and My Horses
// windows take them: each part a horse's ID as the ID box takes it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quindle {

// The largest ID the ID box takes: six digits.
inline constexpr std::int32_t kLargestId = 999999;

struct IdList {
    std::vector<std::int32_t> ids;    // in the order typed
    std::vector<std::string> refused; // the parts that are no ID, as typed
};

// Parts are separated by blanks, commas and semicolons; a part is an ID when
// it is digits only and its value is 1 to kLargestId.
IdList parseIdList(std::string_view text);

} // namespace quindle
