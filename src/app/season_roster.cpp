#include "app/season_roster.h"

#include <algorithm>

#include "app/roster_book.h"
#include "dosage/number_order.h"
#include "dosage/repeated_sires.h"

namespace quindle {

namespace {

// Where the name of a sort column stands in a foal's lineage boxes.
std::size_t lineageIndexOf(RowName name)
{
    switch (name) {
    case RowName::Sire:
        return 0;
    case RowName::SireSire:
        return 1;
    case RowName::SireSireSire:
        return 3;
    case RowName::SireDamSire:
        return 4;
    case RowName::DamSireSire:
        return 5;
    }
    return 0;
}

} // namespace

void placeRecordStallions(SeasonPlan& season, std::vector<AssignMare>& mares,
                          const std::vector<RecordStallion>& stallions,
                          const std::unordered_set<StallionNumber>& roster, const SireIndex& sires,
                          const ChefTable& chefs, const PlanQuery& query)
{
    const std::size_t listed = sires.stallions().size();
    for (std::size_t m = 0; m < season.dams.size() && m < mares.size(); ++m) {
        SeasonDam& dam = season.dams[m];
        AssignMare& mare = mares[m];
        // Each row's key under the sort: a number, or a name for a name column.
        const bool byName = query.sortBy && static_cast<int>(*query.sortBy) < kPlanNameColumns;
        std::vector<double> numbers;
        std::vector<std::string> names;
        for (const std::uint32_t r : dam.rows) {
            if (!query.sortBy)
                break;
            if (byName)
                names.emplace_back(dam.plan.name(dam.plan.rows[r], static_cast<RowName>(*query.sortBy)));
            else
                numbers.push_back(numberOrderKey(dam.plan.value(dam.plan.rows[r], *query.sortBy)));
        }
        for (std::size_t k = 0; k < stallions.size(); ++k) {
            const auto stallion = static_cast<StallionNumber>(listed + k);
            if (!roster.contains(stallion) || dam.recordFoalOf(stallion))
                continue;
            RecordFoal foal = recordFoalOf(stallions[k], stallion, dam.lines, sires, chefs);
            const auto value = [&](PlanColumn column) {
                return summaryNumber(foal.numbers.summary, summaryColumnOf(column)).value;
            };
            if ((query.di && !query.di->holds(value(PlanColumn::Di))) ||
                (query.cd && !query.cd->holds(value(PlanColumn::Cd))) ||
                (query.minTotal && !(value(PlanColumn::Total) >= *query.minTotal)))
                continue;
            std::size_t at = mare.rows.size();
            if (byName) {
                const std::string name = foal.lineage[lineageIndexOf(static_cast<RowName>(*query.sortBy))];
                const auto place = std::find_if(names.begin(), names.end(), [&](const std::string& other) {
                    return query.descending ? other < name : name < other;
                });
                at = static_cast<std::size_t>(place - names.begin());
                names.insert(place, name);
            } else if (query.sortBy) {
                const double key = numberOrderKey(value(*query.sortBy));
                const auto place = std::find_if(numbers.begin(), numbers.end(), [&](double other) {
                    return query.descending ? other < key : key < other;
                });
                at = static_cast<std::size_t>(place - numbers.begin());
                numbers.insert(place, key);
            }
            const bool repeats = !repeatedSires(foal.lineageViews()).empty();
            mare.rows.insert(mare.rows.begin() + static_cast<std::ptrdiff_t>(at), AssignCandidate{stallion, repeats});
            dam.recordFoals.push_back(std::move(foal));
        }
    }
}

void applyRoster(const std::vector<RosterEntry>& roster, const SireIndex& sires, const RecordNumber& recordNumber,
                 AssignRules& rules, std::vector<std::string>& told)
{
    rules.roster.emplace();
    for (const RosterEntry& entry : roster) {
        std::optional<StallionNumber> number;
        if (entry.id != 0) {
            number = recordNumber(entry, told);
        } else if (!(number = sires.numberOf(entry.name))) {
            told.push_back("roster: " + rosterName(entry) + " is not in the sire list, so he is not used");
        }
        if (!number)
            continue;
        rules.roster->insert(*number);
        if (entry.book) {
            rules.books[*number] = *entry.book;
            if (*entry.book == 0)
                told.push_back("roster: " + rosterName(entry) + " has a book of 0, so he covers no mare this season");
        }
    }
    if (rules.roster->empty())
        told.push_back("roster: it holds no stallion this season can use, so no mare is given one");
    else if (std::all_of(rules.roster->begin(), rules.roster->end(),
                         [&](StallionNumber s) { return rules.ruledOut.contains(s); }))
        told.push_back("roster: every stallion of it is ruled out, so no mare is given one");
}

} // namespace quindle
