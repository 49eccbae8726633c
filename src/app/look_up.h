#pragma once
// GO, as the window and `quindle-cli show` both do it: the horse into the
// boxes, and a bucket found damaged since the split (emptied or cut short by a
// power cut, or cut from another folder's breeding file) cut again with the
// whole breeding file and the horse looked up once more.
#include <cstdint>

#include "main_state/main_boxes.h"
#include "data/chef_table.h"
#include "data/data_folder.h"

namespace quindle {

struct LookUpOutcome {
    GoOutcome go;
    bool cutAgain = false; // the buckets were cut anew: an index read before is old
};

LookUpOutcome goCuttingAgain(MainBoxes& boxes, const DataFolder& folder, const ChefTable& chefs, std::int32_t id);

} // namespace quindle
