#include "app/look_up.h"

#include "data/file_error.h"
#include "data/startup.h"

namespace quindle {

LookUpOutcome goCuttingAgain(MainBoxes& boxes, const DataFolder& folder, const ChefTable& chefs, std::int32_t id)
{
    LookUpOutcome out;
    out.go = go(boxes, folder, chefs, id);
    if (!out.go.damaged)
        return out;
    try {
        splitAgain(folder);
    } catch (const FileError&) {
        return out; // the warning names the bucket
    }
    out.cutAgain = true;
    out.go = go(boxes, folder, chefs, id);
    return out;
}

} // namespace quindle
