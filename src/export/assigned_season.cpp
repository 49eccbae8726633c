#include "export/assigned_season.h"

#include <cmath>
#include <cstdio>

#include "export/plan_csv.h"
#include "dosage/repeated_sires.h"
#include "export/text_forms.h"

namespace quindle {

namespace {

std::size_t decimalsOf(std::string_view text)
{
    const std::size_t dot = text.find('.');
    return dot == std::string_view::npos ? 0 : text.size() - dot - 1;
}

std::string rankText(const MareAssignment& given) { return given.rank == 0 ? "" : std::to_string(given.rank); }

// The numbers of her foal by a stallion, of the sire list or of the breeding file.
const PlanNumbers* numbersOf(const SeasonDam& dam, StallionNumber stallion)
{
    if (const PlanRow* row = dam.rowOf(stallion))
        return &dam.plan.numbersOf(*row);
    const RecordFoal* foal = dam.recordFoalOf(stallion);
    return foal ? &foal->numbers : nullptr;
}

std::string giveUpOf(const SeasonDam& dam, const MareAssignment& given, std::optional<PlanColumn> sortBy)
{
    if (!given.first || !given.stallion)
        return {};
    const PlanNumbers *first = numbersOf(dam, *given.first), *row = numbersOf(dam, *given.stallion);
    return first && row ? giveUpText(*first, *row, sortBy) : std::string();
}

std::string headOf(const SeasonDam& dam, const MareAssignment& given, std::string_view sire,
                   std::optional<PlanColumn> sortBy)
{
    std::string head = std::to_string(dam.id) + ",";
    appendCsvField(head, dam.name);
    head += ',';
    appendCsvField(head, sire);
    head += "," + rankText(given) + ",";
    appendCsvField(head, giveUpOf(dam, given, sortBy));
    return head;
}

} // namespace

std::string giveUpText(const PlanNumbers& first, const PlanNumbers& row, std::optional<PlanColumn> sortBy)
{
    if (!sortBy || static_cast<int>(*sortBy) < kPlanNameColumns)
        return {};
    const SummaryColumn column = summaryColumnOf(*sortBy);
    const SummaryNumber &x = summaryNumber(first.summary, column), &y = summaryNumber(row.summary, column);
    const double a = x.value, b = y.value;
    if (!std::isfinite(a) || !std::isfinite(b))
        return {}; // INF or "--"
    if (a == b)
        return "0";
    const int decimals = static_cast<int>(
        std::max(decimalsOf(planNumberText(first, *sortBy)), decimalsOf(planNumberText(row, *sortBy))));
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
        if (const PlanRow* row = dam.rowOf(*given.stallion)) {
            // The planner's row after its sire: the same cells `sires` writes.
            PlanCsvWriter csv(dam.plan);
            const std::string_view sire = dam.plan.name(*row, RowName::Sire);
            std::string sireField;
            appendCsvField(sireField, sire);
            if (!write(headOf(dam, given, sire, sortBy)) || !write(csv.row(*row).substr(sireField.size())))
                return false;
        } else if (const RecordFoal* foal = dam.recordFoalOf(*given.stallion)) {
            std::string line = headOf(dam, given, foal->lineage[0], sortBy) + ",";
            appendCsvField(line, foal->lineage[1]);
            line += ',';
            appendCsvField(line, foal->lineage[4]);
            line += "," + foal->numbers.csv + ",";
            appendCsvField(line, repeatsText(foal->lineageViews()));
            if (!write(line + "\n"))
                return false;
        }
    }
    return true;
}

std::string assignedRowJson(const SeasonDam& dam, const MareAssignment& given, std::optional<PlanColumn> sortBy)
{
    const std::string rank = given.rank == 0 ? "null" : std::to_string(given.rank);
    const std::string head = "{\"dam\":" + std::to_string(dam.id) +
                             ",\"damname\":" + jsonString(latin1ToUtf8(dam.name)) + ",\"rank\":" + rank +
                             ",\"giveup\":" + jsonString(giveUpOf(dam, given, sortBy)) +
                             ",\"locked\":" + (given.outcome == MareAssignment::Outcome::Locked ? "true" : "false");
    if (const PlanRow* row = dam.rowOf(*given.stallion))
        return head + "," + planRowJson(dam.plan, *row).substr(1);
    const RecordFoal* foal = dam.recordFoalOf(*given.stallion);
    if (!foal)
        return head + "}\n";
    // The names in the planner's order: Sire, his Sire and Dam-Sire, then his
    // Sire's Sire and the Dam-Sire's Sire.
    static constexpr std::pair<const char*, std::size_t> kNames[] = {
        {"sire", 0}, {"siresire", 1}, {"siredamsire", 4}, {"siresiresire", 3}, {"damsiresire", 5}};
    std::string out = head;
    for (const auto& [key, place] : kNames)
        out += "," + jsonString(key) + ":" + jsonString(latin1ToUtf8(foal->lineage[place]));
    out += summaryJsonMembers(foal->numbers.summary);
    return out + ",\"repeats\":" + repeatsJson(repeatedSires(foal->lineageViews())) + "}\n";
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
