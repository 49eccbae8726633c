#include "app/season_roster.h"

#include <algorithm>

#include "app/roster_book.h"

namespace quindle {

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
