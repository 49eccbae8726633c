#include "export/season_csv.h"

#include <string>

#include "export/plan_csv.h"
#include "export/text_forms.h"

namespace quindle {

bool writeSeasonCsv(const SeasonPlan& season, const std::function<bool(std::string_view)>& write)
{
    if (!write(std::string("dam,damname,rank,") + kPlanCsvHeader))
        return false;
    for (const SeasonDam& dam : season.dams) {
        std::string damText = std::to_string(dam.id) + ",";
        appendCsvField(damText, dam.name);
        damText += ',';
        PlanCsvWriter csv(dam.plan);
        std::size_t rank = 0;
        for (const std::uint32_t r : dam.rows)
            if (!write(damText + std::to_string(++rank) + ",") || !write(csv.row(dam.plan.rows[r])))
                return false;
    }
    return true;
}

} // namespace quindle
