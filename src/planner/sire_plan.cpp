#include "planner/sire_plan.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <limits>

#include "main_state/mating.h"
#include "data/blanks.h"
#include "data/latin1_text.h"
#include "data/worker_threads.h"
#include "dosage/totals_table.h"
#include "lookup/horse_lookup.h"

namespace quindle {

namespace {

// The plan's number columns are the summary's, in the same order.
static_assert(kPlanNumberColumns == kSummaryColumns);
static_assert(static_cast<int>(PlanColumn::B) - kPlanNameColumns == static_cast<int>(SummaryColumn::B));
static_assert(static_cast<int>(PlanColumn::Di) - kPlanNameColumns == static_cast<int>(SummaryColumn::Di));

} // namespace

PlanNumbers planNumbersOf(const GroupTotals& totals)
{
    PlanNumbers n;
    n.totals = totals;
    summariseProfile(profileOfTotals(totals), n.summary);
    for (int c = kPlanNameColumns; c < kPlanColumns; ++c) {
        if (c > kPlanNameColumns)
            n.csv += ',';
        n.csv += planNumberText(n, static_cast<PlanColumn>(c));
    }
    return n;
}

std::string_view planNumberText(const PlanNumbers& numbers, PlanColumn column)
{
    return trimBlanks(summaryNumber(numbers.summary, summaryColumnOf(column)).text);
}

MareLookup findMare(const DataFolder& folder, std::int32_t id)
{
    MareLookup out;
    const LookupResult found = findHorse(folder, id);
    const std::string horse = "horse " + std::to_string(id);
    switch (found.status) {
    case Outcome::Failed:
        out.status = MareLookup::Status::Failed;
        out.message = found.error;
        return out;
    case Outcome::Absent:
        out.status = MareLookup::Status::NotFound;
        out.message = horse + " is not in the breeding file";
        return out;
    case Outcome::Done:
        break;
    }
    if (!canBePlannedAsMare(found.horse.sex)) {
        out.status = MareLookup::Status::NotFemale;
        out.message = horse + " (" + latin1ForMessage(found.horse.name) + ") is " +
                      (found.horse.sex.empty() ? "of no stated sex" : "a " + latin1ForMessage(found.horse.sex)) +
                      ", not a filly or mare";
        return out;
    }
    out.status = MareLookup::Status::Found;
    out.name = found.horse.name;
    out.lines = {found.horse.sire, found.horse.damSire};
    return out;
}

SireIndex::SireIndex(SireList list) : list_(std::move(list))
{
    slots_.assign(std::bit_ceil(2 * list_.entries.size() + 2), 0);
    stallions_.reserve(list_.entries.size());
    firstEntries_.reserve(list_.entries.size());
    for (std::size_t i = 0; i < list_.entries.size(); ++i) {
        const std::string_view name = list_.entries[i].name;
        if (name.empty())
            continue; // a blank name gives no row and is never looked for
        std::uint32_t& slot = slots_[slotOf(name)];
        if (slot == 0) {
            stallions_.push_back(name);
            firstEntries_.emplace_back();
            slot = static_cast<std::uint32_t>(stallions_.size());
        }
        FirstEntries& first = firstEntries_[slot - 1];
        if (first.count < first.at.size())
            first.at[first.count++] = static_cast<std::uint32_t>(i);
    }
}

std::size_t SireIndex::slotOf(std::string_view name) const
{
    const std::size_t mask = slots_.size() - 1;
    const std::size_t hash = std::hash<std::string_view>{}(name);
    std::size_t at = hash & mask;
    while (slots_[at] != 0 && stallions_[slots_[at] - 1] != name)
        at = (at + 1) & mask;
    return at;
}

SireIndex::Listed SireIndex::find(std::string_view name) const
{
    if (name.empty())
        return {name, nullptr}; // a blank name is never looked for
    const std::uint32_t slot = slots_[slotOf(name)];
    return {name, slot == 0 ? nullptr : &firstEntries_[slot - 1]};
}

std::optional<std::uint32_t> SireIndex::numberOf(std::string_view name) const
{
    if (name.empty())
        return std::nullopt;
    const std::uint32_t slot = slots_[slotOf(name)];
    return slot == 0 ? std::nullopt : std::optional(slot - 1);
}

SireLineViews SireIndex::scan(const Listed& sire, const Listed& damSire, SettledBy* settledBy) const
{
    // Only the entries carrying one of the names change the scan: take them in
    // list order, merged from both names' first entries.
    SireLineScan<std::string_view> scan(sire.name, damSire.name);
    const FirstEntries* a = sire.entries;
    const FirstEntries* b = sire.name == damSire.name ? nullptr : damSire.entries;
    std::uint32_t i = 0, j = 0;
    const std::uint32_t na = a ? a->count : 0, nb = b ? b->count : 0;
    while (scan.wantsMore() && (i < na || j < nb)) {
        const bool fromA = j >= nb || (i < na && a->at[i] < b->at[j]);
        const std::uint32_t k = fromA ? a->at[i++] : b->at[j++];
        const int before = scan.lines().foundMask;
        scan.take(list_.entries[k]);
        if (settledBy) { // the scan counts 1 for an entry that settles the Sire, 2 for the Dam-Sire
            const int settled = scan.lines().foundMask - before;
            if (settled & 1)
                settledBy->sire = static_cast<std::int32_t>(k);
            if (settled & 2)
                settledBy->damSire = static_cast<std::int32_t>(k);
        }
    }
    SireLineViews lines = std::move(scan.lines());
    lines.error = list_.error;
    return lines;
}

std::string_view Plan::cell(const PlanRow& row, PlanColumn column) const
{
    if (static_cast<int>(column) < kPlanNameColumns)
        return name(row, static_cast<RowName>(column));
    return planNumberText(numbersOf(row), column);
}

namespace {

// What one worker found: the rows' numbers, each set of totals formatted once.
struct Share {
    TotalsTable seen;
    std::vector<PlanNumbers> numbers;
};

// The mare's part of every foal: her Dam-Sire's entries, the points of her two
// names, and of her Dam-Sire's Sire as each of his first entries (or none) settles it.
struct MareSide {
    MareSide(const SireIndex& index, const ListChefs& listChefs, const MareLines& mare)
        : damSire(index.find(mare.damSire))
    {
        const ChefTable& chefs = listChefs.chefs();
        addPointsAt(names, findChef(mare.damSire, chefs), 2);
        addPointsAt(names, findChef(mare.damDamSire, chefs), 6);
        for (std::uint32_t j = 0; damSire.entries && j < damSire.entries->count; ++j)
            addPointsAt(damSireSire[j], listChefs.entry(damSire.entries->at[j]).sire, 5);
        addPointsAt(damSireSire[3], listChefs.blank(), 5);
    }
    // The points at her Dam-Sire's Sire when entry `settled` (-1: none) settled it.
    const GroupTotals& damSireSireOf(std::int32_t settled) const
    {
        for (std::uint32_t j = 0; settled >= 0 && j < damSire.entries->count; ++j)
            if (damSire.entries->at[j] == static_cast<std::uint32_t>(settled))
                return damSireSire[j];
        return damSireSire[3];
    }

    SireIndex::Listed damSire;
    GroupTotals names{};
    std::array<GroupTotals, 4> damSireSire{};
};

// The foal of stallion `i` with the mare: its names and, into `share`, its numbers.
void planRow(const Plan& plan, const ListChefs& listChefs, const MareSide& mare, std::size_t i, PlanRow& row,
             Share& share)
{
    const SireIndex& index = *plan.sires;
    const SireIndex::Listed& damSire = mare.damSire;
    // A freshly started window holds no lineage; the submission fills it.
    std::array<std::string_view, 7> lineage{};
    const SireIndex::Listed stallion = index.stallion(i);
    // The scan is asked for exactly these two names: their entries are known.
    const auto known = [&](std::string_view name) {
        return name == stallion.name ? stallion : name == damSire.name ? damSire : index.find(name);
    };
    SireIndex::SettledBy settledBy;
    mateLineage(
        lineage, {stallion.name, plan.mare->damSire, plan.mare->damDamSire},
        [&](std::string_view sire, std::string_view dam) { return index.scan(known(sire), known(dam), &settledBy); });
    // Lineage order: Sire, Sire's Sire, Dam-Sire, Sire's Sire's Sire,
    // Sire's Dam-Sire, Dam-Sire's Sire, Dam's Dam-Sire.
    const std::array<std::string_view, 5> names{lineage[0], lineage[1], lineage[4], lineage[3], lineage[5]};
    for (std::size_t k = 0; k < names.size(); ++k)
        row.names[k] = {static_cast<std::uint32_t>(names[k].empty() ? 0 : names[k].data() - index.bytes()),
                        static_cast<std::uint32_t>(names[k].size())};
    // The points of the seven names, added from what was summed before: the
    // stallion's and his lines' for the list, the mare's once for her.
    GroupTotals totals = listChefs.nameAtSire(stallion.entries->at[0]);
    const GroupTotals& lines =
        settledBy.sire < 0 ? listChefs.blankLines() : listChefs.linesOfSire(static_cast<std::size_t>(settledBy.sire));
    const GroupTotals& damSireSire = mare.damSireSireOf(settledBy.damSire);
    for (std::size_t g = 0; g < totals.size(); ++g)
        totals[g] += lines[g] + mare.names[g] + damSireSire[g];
    const auto [number, fresh] = share.seen.insert(totals);
    if (fresh)
        share.numbers.push_back(planNumbersOf(totals));
    row.numbers = number;
}

// The workers' numbers made one list; worker t planned the rows from t * part.
void mergeShares(std::vector<Share>& shares, std::size_t part, Plan& plan)
{
    const std::size_t count = plan.rows.size();
    TotalsTable seen;
    for (std::size_t t = 0; t < shares.size(); ++t) {
        std::vector<std::uint32_t> global(shares[t].numbers.size());
        for (std::size_t k = 0; k < global.size(); ++k) {
            const auto [number, fresh] = seen.insert(shares[t].numbers[k].totals);
            if (fresh)
                plan.numbers.push_back(std::move(shares[t].numbers[k]));
            global[k] = number;
        }
        for (std::size_t i = std::min(count, t * part); i < std::min(count, (t + 1) * part); ++i)
            plan.rows[i].numbers = global[plan.rows[i].numbers];
    }
}

} // namespace

ListChefs::ListChefs(std::shared_ptr<const SireIndex> sires, const ChefTable& chefs)
    : sires_(std::move(sires)), chefs_(chefs), blank_(findChef({}, chefs))
{
    const auto& entries = sires_->entries();
    entries_.reserve(entries.size());
    sides_.reserve(entries.size());
    // Lineage places: 0 the Sire, 1 his Sire, 3 his Sire's Sire, 4 his Dam-Sire.
    const auto lines = [](const ChefEntry* sire, const ChefEntry* sireSire, const ChefEntry* damSire) {
        GroupTotals totals{};
        addPointsAt(totals, sire, 1);
        addPointsAt(totals, sireSire, 3);
        addPointsAt(totals, damSire, 4);
        return totals;
    };
    for (const SireListView& e : entries) {
        entries_.push_back({findChef(e.name, chefs), findChef(e.sire, chefs), findChef(e.damSire, chefs),
                            findChef(e.sireSire, chefs)});
        const Entry& entry = entries_.back();
        SireSide side;
        addPointsAt(side.name, entry.name, 0);
        side.lines = lines(entry.sire, entry.sireSire, entry.damSire);
        sides_.push_back(side);
    }
    blankLines_ = lines(blank_, blank_, blank_);
}

Plan planMatings(std::shared_ptr<const SireIndex> sires, const MareLines& mare, const ChefTable& chefs)
{
    return planMatings(ListChefs(std::move(sires), chefs), mare);
}

Plan planMatings(const ListChefs& listChefs, const MareLines& mare)
{
    Plan plan;
    plan.sires = listChefs.sires();
    plan.mare = std::make_shared<const MareLines>(mare);
    const std::size_t count = plan.sires->stallions().size();
    plan.rows.resize(count);

    // Few foals differ in their totals: each worker formats every set it meets
    // once, and the sets are then made one list.
    const MareSide side(*plan.sires, listChefs, *plan.mare);
    auto work = [&](Share& share, std::size_t first, std::size_t last) {
        for (std::size_t i = first; i < last; ++i)
            planRow(plan, listChefs, side, i, plan.rows[i], share);
    };
    // A second thread pays off only for long lists.
    const std::size_t threads = threadsFor(std::min<std::size_t>(count / 4096, 8));
    const std::size_t part = (count + threads - 1) / threads;
    std::vector<Share> shares(threads);
    runOnThreads(threads,
                 [&](std::size_t t) { work(shares[t], std::min(count, t * part), std::min(count, (t + 1) * part)); });
    mergeShares(shares, part, plan);
    return plan;
}

Plan planMatingsOf(const ListChefs& listChefs, const MareLines& mare, const std::vector<std::uint32_t>& stallions)
{
    Plan plan;
    plan.sires = listChefs.sires();
    plan.mare = std::make_shared<const MareLines>(mare);
    plan.rows.resize(stallions.size());
    const MareSide side(*plan.sires, listChefs, *plan.mare);
    Share share;
    for (std::size_t k = 0; k < stallions.size(); ++k)
        planRow(plan, listChefs, side, stallions[k], plan.rows[k], share);
    plan.numbers = std::move(share.numbers);
    plan.numbers.shrink_to_fit(); // a season keeps many such plans
    return plan;
}

} // namespace quindle
