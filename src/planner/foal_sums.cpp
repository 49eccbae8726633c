#include "planner/foal_sums.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "dosage/number_order.h"
#include "dosage/totals_table.h"

namespace quindle {

namespace {

constexpr std::uint32_t kNone = 3; // no entry settles the lines

GroupTotals plus(const GroupTotals& a, const GroupTotals& b)
{
    GroupTotals sum;
    for (std::size_t g = 0; g < sum.size(); ++g)
        sum[g] = a[g] + b[g];
    return sum;
}

// Which of his first entries settles his lines (kNone: none), and which of
// hers settles her Dam-Sire's Sire (0 her first, 1 her second, 2 none): the
// scan of the list for his name and her Dam-Sire, which takes their entries in
// list order, counts 1 for his and 2 for hers, and stops once past 2.
struct Settled {
    std::uint32_t his = 0, hers = 2;
};
Settled settledOf(const StallionSides::Stallion& him, const MareSums& her)
{
    switch (her.damSire) {
    case MareSums::DamSire::Blank:
        return {0, 2}; // her side starts at 2: his first entry ends the scan
    case MareSums::DamSire::Unlisted:
        return {std::min(him.count, 3u) - 1, 2}; // his entries alone, up to the third
    case MareSums::DamSire::Listed:
        break;
    }
    if (her.first < him.at[0])
        return her.second && *her.second < him.at[0] ? Settled{kNone, 1} : Settled{0, 0};
    std::uint32_t before = 1; // his entries before her first
    while (before < him.count && him.at[before] < her.first)
        ++before;
    return before == 3 ? Settled{2, 2} : Settled{before - 1, 0};
}

// The numbers a target looks at, made once for each set of totals met.
struct FoalValues {
    std::array<double, kSummaryColumns> value{};
};

} // namespace

// The values of every set of totals met so far, and for the mare at hand
// which of her sums were met already.
struct FoalScratch::Kept {
    TotalsTable seen;
    std::vector<FoalValues> values;
    ProfileSummary summary;
    std::vector<std::uint32_t> stamp, evalOf; // by side * 3 + her entry
    std::vector<std::uint32_t> sumOf;         // by stallion, for the mare at hand
    std::vector<std::uint32_t> rankOf, start; // a name sort's, by stallion and by name
    std::uint32_t now = 0;

    std::uint32_t valuesOf(const GroupTotals& totals)
    {
        if (seen.size() > (1u << 20)) { // a long-lived window meets ever more: start again
            seen = TotalsTable();
            values.clear();
        }
        const auto [number, fresh] = seen.insert(totals);
        if (fresh) {
            summariseProfile(profileOfTotals(totals), summary);
            FoalValues v;
            for (int c = 0; c < kSummaryColumns; ++c)
                v.value[static_cast<std::size_t>(c)] = summaryNumber(summary, static_cast<SummaryColumn>(c)).value;
            values.push_back(v);
        }
        return number;
    }
};

namespace {

double valueIn(const FoalValues& values, PlanColumn column)
{
    return values.value[static_cast<std::size_t>(summaryColumnOf(column))];
}

bool inTarget(const FoalValues& values, const PlanQuery& query)
{
    if (query.di && !query.di->holds(valueIn(values, PlanColumn::Di)))
        return false;
    if (query.cd && !query.cd->holds(valueIn(values, PlanColumn::Cd)))
        return false;
    return !query.minTotal || valueIn(values, PlanColumn::Total) >= *query.minTotal;
}

// One of her sums met: its totals' values, whether they are in the target, and the sort's key.
struct Eval {
    std::uint32_t values = 0;
    bool in = false;
    double key = 0;
};

} // namespace

FoalScratch::FoalScratch() : kept(std::make_unique<Kept>()) {}
FoalScratch::~FoalScratch() = default;
FoalScratch::FoalScratch(FoalScratch&&) noexcept = default;
FoalScratch& FoalScratch::operator=(FoalScratch&&) noexcept = default;

StallionSides::StallionSides(std::shared_ptr<const ListChefs> listChefs) : listChefs_(std::move(listChefs))
{
    const SireIndex& index = *listChefs_->sires();
    TotalsTable seen;
    stallions_.resize(index.stallions().size());
    for (std::size_t i = 0; i < stallions_.size(); ++i) {
        const SireIndex::FirstEntries& first = *index.stallion(i).entries;
        Stallion& him = stallions_[i];
        him.at = first.at;
        him.count = first.count;
        const GroupTotals& name = listChefs_->nameAtSire(first.at[0]);
        for (std::uint32_t k = 0; k < 4; ++k) {
            const GroupTotals side =
                plus(name, k < first.count ? listChefs_->linesOfSire(first.at[k]) : listChefs_->blankLines());
            const auto [number, fresh] = seen.insert(side);
            if (fresh)
                points_.push_back(side);
            him.side[k] = number;
        }
    }
}

std::uint32_t StallionSides::NameRanks::rankOf(std::string_view name) const
{
    return static_cast<std::uint32_t>(std::lower_bound(names.begin(), names.end(), name) - names.begin());
}

const StallionSides::NameRanks& StallionSides::nameRanks() const
{
    std::call_once(ranksMade_, [this] {
        auto ranks = std::make_unique<NameRanks>();
        const SireIndex& index = sires();
        ranks->names.push_back({});
        for (const SireListView& entry : index.entries())
            ranks->names.insert(ranks->names.end(), {entry.name, entry.sire, entry.damSire});
        std::sort(ranks->names.begin(), ranks->names.end());
        ranks->names.erase(std::unique(ranks->names.begin(), ranks->names.end()), ranks->names.end());
        for (const std::string_view name : index.stallions())
            ranks->stallion.push_back(ranks->rankOf(name));
        for (const SireListView& entry : index.entries()) {
            ranks->entrySire.push_back(ranks->rankOf(entry.sire));
            ranks->entryDamSire.push_back(ranks->rankOf(entry.damSire));
        }
        ranks_ = std::move(ranks);
    });
    return *ranks_;
}

MareSums mareSumsOf(const StallionSides& sides, const MareLines& mare)
{
    MareSums sums;
    const ListChefs& listChefs = sides.listChefs();
    GroupTotals names{};
    addPointsAt(names, findChef(mare.damSire, listChefs.chefs()), 2);
    addPointsAt(names, findChef(mare.damDamSire, listChefs.chefs()), 6);
    const auto withDamSireSire = [&](const ChefEntry* chef) {
        GroupTotals totals = names;
        addPointsAt(totals, chef, 5);
        return totals;
    };
    sums.points.fill(withDamSireSire(listChefs.blank()));
    const SireIndex::Listed listed = sides.sires().find(mare.damSire);
    if (mare.damSire.empty()) {
        sums.damSire = MareSums::DamSire::Blank;
    } else if (!listed.entries) {
        sums.damSire = MareSums::DamSire::Unlisted;
    } else {
        sums.damSire = MareSums::DamSire::Listed;
        sums.first = listed.entries->at[0];
        sums.points[0] = withDamSireSire(listChefs.entry(sums.first).sire);
        if (listed.entries->count > 1) {
            sums.second = listed.entries->at[1];
            sums.points[1] = withDamSireSire(listChefs.entry(*sums.second).sire);
        }
        sums.sameStallion = sides.sires().numberOf(mare.damSire);
    }
    return sums;
}

namespace {

constexpr std::uint32_t kOut = std::numeric_limits<std::uint32_t>::max(); // a sum not in her target

bool sortsByNumber(const PlanQuery& query)
{
    return query.sortBy && static_cast<int>(*query.sortBy) >= kPlanNameColumns;
}

// A new mare: none of the sums kept is hers.
void startMare(FoalScratch::Kept& s, std::size_t slots)
{
    if (s.stamp.size() < slots) {
        s.stamp.assign(slots, 0);
        s.evalOf.resize(slots);
        s.now = 0;
    }
    if (++s.now == 0) { // the stamps came round: none of them is this mare's
        std::fill(s.stamp.begin(), s.stamp.end(), 0);
        s.now = 1;
    }
}

// Her sums met so far: each one's values, its number in the target (kOut:
// not in it), and how many stallions have each (after the first, those out of
// the target).
class SumsMet {
public:
    SumsMet(FoalScratch::Kept& kept, const PlanQuery& query, GroupTotals& largest)
        : kept_(kept), query_(query), largest_(largest)
    {
    }

    std::uint32_t add(const GroupTotals& totals)
    {
        for (std::size_t g = 0; g < totals.size(); ++g)
            largest_[g] = std::max(largest_[g], totals[g]);
        Eval e;
        e.values = kept_.valuesOf(totals);
        const FoalValues& values = kept_.values[e.values];
        e.in = inTarget(values, query_);
        if (sortsByNumber(query_))
            e.key = numberOrderKey(valueIn(values, *query_.sortBy));
        evals.push_back(e);
        const auto number = static_cast<std::uint32_t>(evals.size() - 1);
        targetOf.push_back(e.in ? number : kOut);
        countOf.push_back(0);
        return number;
    }

    std::vector<Eval> evals;
    std::vector<std::uint32_t> targetOf;
    std::vector<std::uint32_t> countOf = std::vector<std::uint32_t>(1, 0);

private:
    FoalScratch::Kept& kept_;
    const PlanQuery& query_;
    GroupTotals& largest_;
};

// Each stallion's sum with her into s.sumOf, as its number in the target
// (kOut: not in it), counted in met.countOf.
void sumEveryStallion(const StallionSides& sides, const MareSums& mare, const PlanQuery& query, std::uint32_t sameEval,
                      SumsMet& met, FoalScratch::Kept& s)
{
    const SireIndex& index = sides.sires();
    const bool byName = !query.nameContains.empty();
    std::vector<std::uint32_t>& sumOf = s.sumOf;
    sumOf.resize(sides.count());
    for (std::uint32_t i = 0; i < sides.count(); ++i) {
        std::uint32_t eval = 0;
        if (mare.sameStallion && i == *mare.sameStallion) {
            eval = sameEval;
        } else {
            const StallionSides::Stallion& him = sides.stallion(i);
            const Settled settled = settledOf(him, mare);
            const std::uint32_t slot = him.side[settled.his] * 3 + settled.hers;
            if (s.stamp[slot] != s.now) {
                s.stamp[slot] = s.now;
                s.evalOf[slot] = met.add(plus(sides.points(him.side[settled.his]), mare.points[settled.hers]));
            }
            eval = s.evalOf[slot];
        }
        // Without branches on whether the foal is in the target, which the
        // processor cannot guess.
        std::uint32_t target = met.targetOf[eval];
        if (byName && !containsFolded(index.stallions()[i], query.nameContains))
            target = kOut;
        sumOf[i] = target;
        ++met.countOf[target + 1]; // kOut + 1 is 0: the foals out of the target
    }
}

// Few keys differ: rank them, then lay the rows out by rank, each rank's rows
// in list order, as a stable sort leaves them. With a top, only the ranks that
// reach it.
std::vector<std::uint32_t> layOutByNumber(const SumsMet& met, const std::vector<std::uint32_t>& sumOf,
                                          std::size_t stallions, bool down, std::size_t top)
{
    const std::vector<Eval>& evals = met.evals;
    std::vector<std::uint32_t> order;
    for (std::uint32_t e = 0; e < evals.size(); ++e)
        if (met.countOf[e + 1] > 0)
            order.push_back(e);
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return down ? evals[b].key < evals[a].key : evals[a].key < evals[b].key;
    });
    std::vector<std::uint32_t> rankOf(evals.size() + 1, kOut), start; // after the first, of each sum
    std::size_t taken = 0;
    for (std::size_t k = 0; k < order.size(); ++k) {
        const bool sameKey = k > 0 && evals[order[k]].key == evals[order[k - 1]].key;
        if (taken >= top && !sameKey)
            break; // a key's rows are all taken, wherever they stand in the list
        if (!sameKey)
            start.push_back(static_cast<std::uint32_t>(taken));
        rankOf[order[k] + 1] = static_cast<std::uint32_t>(start.size() - 1);
        taken += met.countOf[order[k] + 1];
    }
    std::vector<std::uint32_t> laid(taken);
    for (std::uint32_t i = 0; i < stallions; ++i)
        if (const std::uint32_t rank = rankOf[sumOf[i] + 1]; rank != kOut)
            laid[start[rank]++] = i;
    return laid;
}

// A name column: the stallion's own, or one his settling entry gives, each
// name by its place among all the list's names. The rows are laid out by that
// place, each place's rows in list order, as a stable sort leaves them.
std::vector<std::uint32_t> layOutByName(const StallionSides& sides, const MareSums& mare,
                                        const std::optional<Plan>& same, const PlanQuery& query, std::size_t inTarget,
                                        FoalScratch::Kept& s)
{
    const StallionSides::NameRanks& ranks = sides.nameRanks();
    const auto which = static_cast<RowName>(*query.sortBy);
    const auto rankOf = [&](std::uint32_t i) -> std::uint32_t {
        if (which == RowName::Sire)
            return ranks.stallion[i];
        if (same && i == *mare.sameStallion)
            return ranks.rankOf(same->name(same->rows[0], which));
        const StallionSides::Stallion& him = sides.stallion(i);
        const std::uint32_t his = settledOf(him, mare).his;
        if (his == kNone)
            return 0; // no name: the first of all
        return which == RowName::SireSire ? ranks.entrySire[him.at[his]] : ranks.entryDamSire[him.at[his]];
    };
    const auto last = static_cast<std::uint32_t>(ranks.names.size() - 1);
    const std::vector<std::uint32_t>& sumOf = s.sumOf;
    std::vector<std::uint32_t>& rankOfStallion = s.rankOf;
    std::vector<std::uint32_t>& start = s.start;
    rankOfStallion.resize(sides.count());
    start.assign(ranks.names.size() + 1, 0);
    for (std::uint32_t i = 0; i < sides.count(); ++i)
        if (sumOf[i] != kOut) {
            const std::uint32_t rank = query.descending ? last - rankOf(i) : rankOf(i);
            rankOfStallion[i] = rank;
            ++start[rank + 1];
        }
    for (std::size_t r = 1; r < start.size(); ++r)
        start[r] += start[r - 1];
    std::vector<std::uint32_t> laid(inTarget);
    for (std::uint32_t i = 0; i < sides.count(); ++i)
        if (sumOf[i] != kOut)
            laid[start[rankOfStallion[i]]++] = i;
    return laid;
}

// No sort: the stallions in the target in list order, up to the top.
std::vector<std::uint32_t> layOutInListOrder(const std::vector<std::uint32_t>& sumOf, std::size_t stallions,
                                             std::size_t inTarget, std::size_t top)
{
    std::vector<std::uint32_t> laid;
    laid.reserve(std::min(inTarget, top));
    for (std::uint32_t i = 0; i < stallions && laid.size() < top; ++i)
        if (sumOf[i] != kOut)
            laid.push_back(i);
    return laid;
}

} // namespace

FoalSelection selectFoals(const StallionSides& sides, const MareSums& mare, const MareLines& lines,
                          const PlanQuery& query)
{
    thread_local FoalScratch scratch;
    return selectFoals(sides, mare, lines, query, scratch);
}

FoalSelection selectFoals(const StallionSides& sides, const MareSums& mare, const MareLines& lines,
                          const PlanQuery& query, FoalScratch& scratch)
{
    FoalScratch::Kept& s = *scratch.kept;
    startMare(s, sides.sideCount() * 3);
    FoalSelection out;
    SumsMet met(s, query, out.largest);

    // Her foal by the stallion who is her Dam-Sire himself, made in full.
    std::optional<Plan> same;
    std::uint32_t sameEval = 0;
    if (mare.sameStallion) {
        same = planMatingsOf(sides.listChefs(), lines, {*mare.sameStallion});
        sameEval = met.add(same->numbersOf(same->rows[0]).totals);
    }
    sumEveryStallion(sides, mare, query, sameEval, met, s);
    const std::size_t inTarget = sides.count() - met.countOf[0];

    const std::size_t top = query.top.value_or(SIZE_MAX);
    if (sortsByNumber(query))
        out.stallions = layOutByNumber(met, s.sumOf, sides.count(), query.descending, top);
    else if (query.sortBy)
        out.stallions = layOutByName(sides, mare, same, query, inTarget, s);
    else
        out.stallions = layOutInListOrder(s.sumOf, sides.count(), inTarget, top);
    if (query.top && out.stallions.size() > *query.top)
        out.stallions.resize(*query.top);
    return out;
}

} // namespace quindle
