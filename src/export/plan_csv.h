#pragma once
// How a plan's rows are written: CSV lines (for `sires` and the planner's
// Export) and JSON objects.
#include <string>
#include <string_view>
#include <vector>

#include "planner/sire_plan.h"

namespace quindle {

inline constexpr const char* kPlanCsvHeader = "sire,siresire,siredamsire,B,I,C,S,P,total,speed,stamina,cd,di,repeats\n";

// One CSV line per row, RFC 4180 quoting, names in UTF-8, numbers as the window
// shows them without blanks ("2.42", "INF", "--"), then the foal's repeated
// sires ("WIND CAP 2S x 3D", empty when none).
class PlanCsvWriter {
public:
    explicit PlanCsvWriter(const Plan& plan) : plan_(plan) {}
    // The line of a row, line end included: valid until the next call.
    std::string_view row(const PlanRow& row);

private:
    const Plan& plan_;
    std::vector<char> line_;
};

// One JSON object and a line end: the names and the profile boxes 35 to 44
// exactly as the main window shows them, blanks kept, and the repeated sires.
std::string planRowJson(const Plan& plan, const PlanRow& row);

// A summary's texts as JSON members in box order (B .. P, total, cd, di, speed,
// stamina), each after a comma: what every row of `sires` and `mares` carries.
std::string summaryJsonMembers(const ProfileSummary& summary);

} // namespace quindle
