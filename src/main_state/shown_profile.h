#pragma once
// The profile the boxes show, read back from their group totals: what a chart
// of the shown horse or foal draws, so it can never disagree with the boxes.
#include <optional>

#include "main_state/main_boxes.h"
#include "dosage/profile.h"

namespace quindle {

// The profile of the group totals PT(35..39), with everything that follows
// from them; nullopt while those boxes are empty or hold something else.
std::optional<DosageProfile> profileOfBoxes(const MainBoxes& boxes);

} // namespace quindle
