#include "export/plan_csv.h"

#include <algorithm>

#include "dosage/repeated_sires.h"
#include "export/text_forms.h"

namespace quindle {

std::string_view PlanCsvWriter::row(const PlanRow& row)
{
    const std::string& numbers = plan_.numbersOf(row).csv;
    const std::string repeats = repeatsText(plan_.lineage(row));
    std::size_t bound = numbers.size() + 2 + csvFieldBound(repeats.size());
    for (std::size_t c = 0; c < kPlanNameColumns; ++c)
        bound += csvFieldBound(row.names[c].size) + 1;
    if (line_.size() < bound + kCsvPadding)
        line_.resize(2 * (bound + kCsvPadding));
    char* end = line_.data();
    for (int c = 0; c < kPlanNameColumns; ++c) {
        // The names lie in the sire list's padded bytes: copied in blocks.
        end = writeCsvFieldPadded(end, plan_.name(row, static_cast<RowName>(c)));
        *end++ = ',';
    }
    end = std::copy(numbers.begin(), numbers.end(), end);
    *end++ = ',';
    end = writeCsvField(end, repeats);
    *end++ = '\n';
    return {line_.data(), static_cast<std::size_t>(end - line_.data())};
}

std::string summaryJsonMembers(const ProfileSummary& summary)
{
    std::string out;
    for (const SummaryColumn column : kSummaryBoxOrder)
        out += "," + jsonString(columnInfo(column).key) + ":" + jsonString(summaryNumber(summary, column).text);
    return out;
}

std::string planRowJson(const Plan& plan, const PlanRow& row)
{
    static constexpr const char* kNameKeys[] = {"sire", "siresire", "siredamsire", "siresiresire", "damsiresire"};
    std::string out = "{";
    for (std::size_t i = 0; i < row.names.size(); ++i)
        out += (i ? "," : "") + jsonString(kNameKeys[i]) + ":" +
               jsonString(latin1ToUtf8(plan.name(row, static_cast<RowName>(i))));
    out += summaryJsonMembers(plan.numbersOf(row).summary);
    return out + ",\"repeats\":" + repeatsJson(repeatedSires(plan.lineage(row))) + "}\n";
}

} // namespace quindle
