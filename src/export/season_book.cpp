#include "export/season_book.h"

#include <cmath>
#include <cstdio>

#include "main_state/mating.h"
#include "dosage/repeated_sires.h"

namespace quindle {

namespace {

constexpr std::array<const char*, kPlanColumns> kColumnWords{
    "Sire", "Sire's Sire", "Sire's Dam-Sire", "B", "I", "C", "S", "P", "total", "speed", "stamina", "CD", "DI"};

std::string number(double value, int decimals)
{
    if (std::isinf(value))
        return value > 0 ? "INF" : "-INF";
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string rangeWords(const char* what, const std::optional<ValueRange>& range, int decimals)
{
    if (!range || (!range->min && !range->max))
        return std::string(what) + " any";
    if (range->min && range->max)
        return std::string(what) + " " + number(*range->min, decimals) + " to " + number(*range->max, decimals);
    return range->min ? std::string(what) + " at least " + number(*range->min, decimals)
                      : std::string(what) + " at most " + number(*range->max, decimals);
}

std::string count(std::size_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Her row by the stallion, from the planner's rows or (a stallion of the
// breeding file she is locked to) his foal's; false when neither is there.
bool fillMating(SeasonBookRow& out, const SeasonDam& dam, StallionNumber stallion)
{
    const PlanNumbers* numbers = nullptr;
    if (const PlanRow* row = dam.rowOf(stallion)) {
        const AncestorViews lineage = dam.plan.lineage(*row);
        for (std::size_t i = 0; i < lineage.size(); ++i)
            out.lineage[i] = std::string(lineage[i]);
        out.repeats = repeatsText(lineage);
        numbers = &dam.plan.numbersOf(*row);
    } else if (const RecordFoal* foal = dam.recordFoalOf(stallion)) {
        out.lineage = foal->lineage;
        out.repeats = repeatsText(foal->lineageViews());
        numbers = &foal->numbers;
    } else {
        return false;
    }
    for (std::size_t c = 0; c < kSeasonBookNumbers; ++c)
        out.numbers[c] =
            std::string(planNumberText(*numbers, static_cast<PlanColumn>(kPlanNameColumns + static_cast<int>(c))));
    out.sire = out.lineage[0];
    out.title = matingTitle({out.sire, dam.lines.damSire, dam.lines.damDamSire}, {dam.id, dam.name});
    return true;
}

std::vector<std::string> ruleWords(const SeasonPlan& season, const SeasonAssignment& plan, const AssignRules& rules)
{
    std::vector<std::string> words{"One stallion per mare: of every plan the books allow, the one that gives the "
                                   "most mares a stallion, each as near the head of her own list as can be."};
    std::string book = rules.bookForAll ? "Book: " + count(*rules.bookForAll, "mare", "mares") + " each stallion"
                                        : std::string("Book: no limit");
    if (!rules.books.empty())
        book += " (" + count(rules.books.size(), "stallion with a book", "stallions with books") + " of their own)";
    words.push_back(book + ".");
    words.push_back(rules.roster
                        ? "Stallions: the roster's " + count(rules.roster->size(), "stallion", "stallions") + "."
                        : "Stallions: the whole sire list.");
    if (!rules.ruledOut.empty() || !rules.ruledOutPairs.empty())
        words.push_back("Ruled out: " + count(rules.ruledOut.size(), "stallion", "stallions") + " and " +
                        count(rules.ruledOutPairs.size(), "pair", "pairs") + ".");
    if (rules.noRepeats)
        words.push_back("No repeated sires: no foal with a sire repeated in its pedigree.");
    std::size_t locked = 0;
    for (const MareAssignment& given : plan.mares)
        locked += given.outcome == MareAssignment::Outcome::Locked;
    if (locked > 0)
        words.push_back(count(locked, "mare goes", "mares go") + " to the stallion she is locked to.");
    words.push_back(std::to_string(plan.planned()) + " of " + count(season.dams.size(), "mare", "mares") +
                    " given a stallion, ranks adding up to " + std::to_string(plan.rankSum()) + ".");
    return words;
}

} // namespace

std::vector<std::string> SeasonBookRow::cells() const
{
    std::vector<std::string> out{std::to_string(damId), damName, mated() ? sire : why, rank};
    out.insert(out.end(), numbers.begin(), numbers.end());
    out.push_back(repeats);
    return out;
}

std::string targetWords(const PlanQuery& query)
{
    std::string words = rangeWords("DI", query.di, 2) + ", " + rangeWords("CD", query.cd, 2);
    if (query.minTotal)
        words += ", total at least " + number(*query.minTotal, 0);
    if (!query.sortBy)
        return words + "; in the sire list's order";
    return words + "; sorted by " + kColumnWords[static_cast<std::size_t>(*query.sortBy)] +
           (query.descending ? ", highest first" : ", lowest first");
}

SeasonBook seasonBookOf(const SeasonPlan& season, const PlanQuery& query, const SeasonAssignment* plan,
                        const AssignRules& rules)
{
    SeasonBook book;
    book.title = "Season book";
    book.heading.push_back("Target: " + targetWords(query) + ".");
    if (plan)
        for (std::string& line : ruleWords(season, *plan, rules))
            book.heading.push_back(std::move(line));
    else
        book.heading.push_back("The season is not decided (One stallion per mare is off): each mare is shown with "
                               "the first stallion of her list under the target.");
    for (std::size_t d = 0; d < season.dams.size(); ++d) {
        const SeasonDam& dam = season.dams[d];
        SeasonBookRow row;
        row.damId = dam.id;
        row.damName = dam.name;
        std::optional<StallionNumber> stallion;
        if (!plan) {
            if (!dam.rows.empty()) {
                stallion = dam.stallion(dam.rows.front());
                row.rank = "1";
            }
        } else if ((stallion = plan->mares[d].stallion)) {
            row.rank = plan->mares[d].rank == 0 ? std::string() : std::to_string(plan->mares[d].rank);
        }
        if (!stallion)
            row.why = plan && plan->mares[d].outcome == MareAssignment::Outcome::AllBookedFull
                          ? "no stallion: every stallion of her target is booked full"
                          : "no stallion: none in her target";
        else if (!fillMating(row, dam, *stallion))
            row.why = "no stallion: her stallion's foal is not known";
        book.rows.push_back(std::move(row));
    }
    return book;
}

MainBoxes bookMatingBoxes(const SeasonBookRow& row, const ChefTable& chefs)
{
    MainBoxes boxes;
    submitLineage(boxes, chefs, [&row](std::array<std::string, 7>& lineage) {
        lineage = row.lineage;
        return std::string();
    });
    return boxes;
}

} // namespace quindle
