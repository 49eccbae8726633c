#include "export/assigned_season.h"

#include <cmath>
#include <cstdio>

#include "export/plan_csv.h"
#include "export/text_forms.h"

namespace quindle {

namespace {

std::size_t decimalsOf(std::string_view text)
{
    const std::size_t dot = text.find('.');
    return dot == std::string_view::npos ? 0 : text.size() - dot - 1;
}

std::string rankText(const MareAssignment& given) { return given.rank == 0 ? "" : std::to_string(given.rank); }

std::string giveUpOf(const SeasonDam& dam, const MareAssignment& given, std::optional<PlanColumn> sortBy)
{
    if (!given.first || !given.stallion)
        return {};
    const PlanRow *first = dam.rowOf(*given.first), *row = dam.rowOf(*given.stallion);
    return first && row ? giveUpText(dam.plan, *first, *row, sortBy) : std::string();
}

} // namespace

std::string giveUpText(const Plan& plan, const PlanRow& first, const PlanRow& row, std::optional<PlanColumn> sortBy)
{
    if (!sortBy || static_cast<int>(*sortBy) < kPlanNameColumns)
        return {};
    const double a = plan.value(first, *sortBy), b = plan.value(row, *sortBy);
    if (!std::isfinite(a) || !std::isfinite(b))
        return {}; // INF or "--"
    if (a == b)
        return "0";
    const int decimals =
        static_cast<int>(std::max(decimalsOf(plan.cell(first, *sortBy)), decimalsOf(plan.cell(row, *sortBy))));
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, a - b);
    return text;
}

bool writeAssignedSeasonCsv(const SeasonPlan& season, const SeasonAssignment& plan, std::optional<PlanColumn> sortBy,
                            const std::function<bool(std::string_view)>& write)
{
    if (!write(kAssignedSeasonCsvHeader))
        return false;
    for (std::size_t m = 0; m < season.dams.size(); ++m) {
        const SeasonDam& dam = season.dams[m];
        const MareAssignment& given = plan.mares[m];
        if (!given.stallion)
            continue;
        const PlanRow& row = *dam.rowOf(*given.stallion);
        std::string head = std::to_string(dam.id) + ",";
        appendCsvField(head, dam.name);
        head += ',';
        std::string sire;
        appendCsvField(sire, dam.plan.name(row, RowName::Sire));
        head += sire + "," + rankText(given) + ",";
        appendCsvField(head, giveUpOf(dam, given, sortBy));
        // The planner's row after its sire: the same cells `sires` writes.
        PlanCsvWriter csv(dam.plan);
        const std::string_view rest = csv.row(row).substr(sire.size());
        if (!write(head) || !write(rest))
            return false;
    }
    return true;
}

std::string assignedRowJson(const SeasonDam& dam, const MareAssignment& given, std::optional<PlanColumn> sortBy)
{
    const std::string rank = given.rank == 0 ? "null" : std::to_string(given.rank);
    const std::string row = planRowJson(dam.plan, *dam.rowOf(*given.stallion));
    return "{\"dam\":" + std::to_string(dam.id) + ",\"damname\":" + jsonString(latin1ToUtf8(dam.name)) +
           ",\"rank\":" + rank + ",\"giveup\":" + jsonString(giveUpOf(dam, given, sortBy)) +
           ",\"locked\":" + (given.outcome == MareAssignment::Outcome::Locked ? "true" : "false") + "," + row.substr(1);
}

std::string unplannedText(const SeasonDam& dam, const MareAssignment& given)
{
    using Outcome = MareAssignment::Outcome;
    if (given.outcome != Outcome::NoneInList && given.outcome != Outcome::AllBookedFull)
        return {};
    return "horse " + std::to_string(dam.id) + " (" + latin1ToUtf8(dam.name) + ") has no stallion: " +
           (given.outcome == Outcome::NoneInList ? "no stallion in her target"
                                                 : "every stallion of her target is booked full");
}

} // namespace quindle
