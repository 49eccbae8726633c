#pragma once
// The season's plan as `quindle-cli season --assign` and the season window
// write it: one row per mare given a stallion, with his rank in her list and
// what she gives up against her own first row.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "planner/season.h"

namespace quindle {

inline constexpr const char* kAssignedSeasonCsvHeader =
    "dam,damname,sire,rank,giveup,siresire,siredamsire,B,I,C,S,P,total,speed,stamina,cd,di,repeats\n";

// Her first row's number less this row's in the sort column, written with as
// many decimals as the column shows; "0" when they are equal, empty when either
// is INF or "--" or the rows are not ordered by a number column.
std::string giveUpText(const PlanNumbers& first, const PlanNumbers& row, std::optional<PlanColumn> sortBy);

// Hands the header line, then the row of each mare given a stallion, in the
// season's order, to `write`, which answers false when it could not take it;
// false as soon as it does.
bool writeAssignedSeasonCsv(const SeasonPlan& season, const SeasonAssignment& plan, std::optional<PlanColumn> sortBy,
                            const std::function<bool(std::string_view)>& write);

// The same row as one JSON object and a line end: the mare, the rank (null when
// her locked stallion is not in her list), "giveup", "locked", then the members
// of the planner's row.
std::string assignedRowJson(const SeasonDam& dam, const MareAssignment& given, std::optional<PlanColumn> sortBy);

// Why a mare of the season has no stallion, in UTF-8: "horse 12 (NAME) has no
// stallion: ..."; empty when she has one.
std::string unplannedText(const SeasonDam& dam, const MareAssignment& given);

} // namespace quindle
