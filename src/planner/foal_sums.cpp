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

struct Candidate {
    std::uint32_t stallion = 0, eval = 0, his = 0;
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
    const std::size_t slots = sides.sideCount() * 3;
    if (s.stamp.size() < slots) {
        s.stamp.assign(slots, 0);
        s.evalOf.resize(slots);
        s.now = 0;
    }
    if (++s.now == 0) { // the stamps came round: none of them is this mare's
        std::fill(s.stamp.begin(), s.stamp.end(), 0);
        s.now = 1;
    }
    FoalSelection out;
    std::vector<Eval> evals;
    const auto evalOf = [&](const GroupTotals& totals) {
        for (std::size_t g = 0; g < totals.size(); ++g)
            out.largest[g] = std::max(out.largest[g], totals[g]);
        Eval e;
        e.values = s.valuesOf(totals);
        const FoalValues& values = s.values[e.values];
        e.in = inTarget(values, query);
        if (query.sortBy && static_cast<int>(*query.sortBy) >= kPlanNameColumns)
            e.key = numberOrderKey(valueIn(values, *query.sortBy));
        evals.push_back(e);
        return static_cast<std::uint32_t>(evals.size() - 1);
    };

    // Her foal by the stallion who is her Dam-Sire himself, made in full.
    std::optional<Plan> same;
    std::uint32_t sameEval = 0;
    if (mare.sameStallion) {
        same = planMatingsOf(sides.listChefs(), lines, {*mare.sameStallion});
        sameEval = evalOf(same->numbersOf(same->rows[0]).totals);
    }

    const SireIndex& index = sides.sires();
    const bool byName = !query.nameContains.empty();
    std::vector<Candidate> candidates;
    for (std::uint32_t i = 0; i < sides.count(); ++i) {
        std::uint32_t eval = 0, his = 0;
        if (same && i == *mare.sameStallion) {
            eval = sameEval;
        } else {
            const StallionSides::Stallion& him = sides.stallion(i);
            const Settled settled = settledOf(him, mare);
            his = settled.his;
            const std::uint32_t slot = him.side[settled.his] * 3 + settled.hers;
            if (s.stamp[slot] != s.now) {
                s.stamp[slot] = s.now;
                s.evalOf[slot] = evalOf(plus(sides.points(him.side[settled.his]), mare.points[settled.hers]));
            }
            eval = s.evalOf[slot];
        }
        if (!evals[eval].in || (byName && !containsFolded(index.stallions()[i], query.nameContains)))
            continue;
        candidates.push_back({i, eval, his});
    }

    if (query.sortBy && static_cast<int>(*query.sortBy) >= kPlanNameColumns) {
        // Few keys differ: rank them, then lay the rows out by rank, each
        // rank's rows in list order, as a stable sort leaves them.
        std::vector<double> keys;
        keys.reserve(evals.size());
        for (const Eval& e : evals)
            if (e.in)
                keys.push_back(e.key);
        std::sort(keys.begin(), keys.end());
        keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
        std::vector<std::uint32_t> rankOf(evals.size()), start(keys.size() + 1, 0);
        for (std::size_t e = 0; e < evals.size(); ++e) {
            if (!evals[e].in)
                continue;
            const auto at =
                static_cast<std::uint32_t>(std::lower_bound(keys.begin(), keys.end(), evals[e].key) - keys.begin());
            rankOf[e] = query.descending ? static_cast<std::uint32_t>(keys.size() - 1 - at) : at;
        }
        for (const Candidate& c : candidates)
            ++start[rankOf[c.eval] + 1];
        for (std::size_t r = 1; r < start.size(); ++r)
            start[r] += start[r - 1];
        out.stallions.resize(candidates.size());
        for (const Candidate& c : candidates)
            out.stallions[start[rankOf[c.eval]]++] = c.stallion;
    } else {
        if (query.sortBy) {
            // A name column: the stallion's own, or one his settling entry gives.
            const auto which = static_cast<RowName>(*query.sortBy);
            const auto name = [&](const Candidate& c) -> std::string_view {
                if (which == RowName::Sire)
                    return index.stallions()[c.stallion];
                if (same && c.stallion == *mare.sameStallion)
                    return same->name(same->rows[0], which);
                if (c.his == kNone)
                    return {};
                const SireListView& entry = index.entries()[sides.stallion(c.stallion).at[c.his]];
                return which == RowName::SireSire ? entry.sire : entry.damSire;
            };
            // Equal names keep the list's order, as a stable sort leaves them;
            // with a top, only the head needs sorting.
            const bool down = query.descending;
            const auto before = [&](const Candidate& a, const Candidate& b) {
                const std::string_view x = name(a), y = name(b);
                return x == y ? a.stallion < b.stallion : down ? y < x : x < y;
            };
            const auto head = candidates.begin() +
                              static_cast<std::ptrdiff_t>(std::min(candidates.size(), query.top.value_or(SIZE_MAX)));
            std::partial_sort(candidates.begin(), head, candidates.end(), before);
            candidates.erase(head, candidates.end());
        }
        out.stallions.reserve(candidates.size());
        for (const Candidate& c : candidates)
            out.stallions.push_back(c.stallion);
    }
    if (query.top && out.stallions.size() > *query.top)
        out.stallions.resize(*query.top);
    return out;
}

} // namespace quindle
