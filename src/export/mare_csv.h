#pragma once
// How the best mares for a stallion are written as CSV: by `quindle-cli mares`
// and the planner's Export.
#include <string_view>
#include <vector>

#include "planner/best_mares.h"

namespace quindle {

inline constexpr const char* kMareCsvHeader =
    "id,name,age,sex,damsire,damdamsire,B,I,C,S,P,total,speed,stamina,cd,di,repeats\n";

// One CSV line per mare: her texts (RFC 4180 quoting, names in UTF-8), the
// foal's numbers as the window shows them without blanks, then the foal's
// repeated sires.
class MareCsvWriter {
public:
    explicit MareCsvWriter(const BestMares& mares) : mares_(mares) {}
    // The line of a row, line end included: valid until the next call.
    std::string_view row(const MareRow& row);

private:
    const BestMares& mares_;
    std::vector<char> line_;
};

} // namespace quindle
