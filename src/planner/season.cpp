#include "planner/season.h"

#include <algorithm>
#include <unordered_map>

#include "main_state/mating.h"
#include "data/worker_threads.h"
#include "dosage/repeated_sires.h"

namespace quindle {

namespace {

// Her target found, and what `keep` names of it.
KeptRows keptOf(SeasonDam& dam, FoalSelection selected, const StallionSides& sides, const SeasonKeep& keep,
                std::size_t place)
{
    dam.largest = selected.largest;
    dam.inTarget = selected.stallions.size();
    dam.plan = Plan{sides.listChefs().sires(), std::make_shared<const MareLines>(dam.lines), {}, {}};
    dam.stallionOf.clear();
    dam.rows = std::move(selected.stallions);
    return keep ? keep(place, dam) : keepTargetRows(place, dam);
}

// Only those rows of her target, made in full.
void keepRows(SeasonDam& dam, const KeptRows& kept, const StallionSides& sides)
{
    std::vector<StallionNumber> stallions = kept.rows;
    stallions.insert(stallions.end(), kept.more.begin(), kept.more.end());
    dam.plan = planMatingsOf(sides.listChefs(), dam.lines, stallions);
    dam.stallionOf = std::move(stallions);
    dam.rows = std::vector<std::uint32_t>(kept.rows.size()); // her whole target's room given back
    for (std::uint32_t r = 0; r < dam.rows.size(); ++r)
        dam.rows[r] = r;
}

// Each mare's target is found from the sums on every core, some mares at a
// time; what each keeps is decided in the season's order, then made on every
// core again.
void selectDams(SeasonPlan& season, const PlanQuery& query, const SeasonKeep& keep)
{
    constexpr std::size_t kBatch = 32;
    std::vector<SeasonDam>& dams = season.dams;
    const StallionSides& sides = *season.sides;
    // A second thread pays off only for long lists.
    const std::size_t threads = threadsFor(sides.count() >= 4096 ? 8 : 1);
    if (!season.scratch)
        season.scratch = std::make_shared<std::vector<FoalScratch>>();
    std::vector<FoalScratch>& scratch = *season.scratch;
    scratch.resize(std::max(scratch.size(), threads));
    std::vector<FoalSelection> selected(kBatch);
    std::vector<KeptRows> kept(kBatch);
    for (std::size_t first = 0; first < dams.size(); first += kBatch) {
        const std::size_t count = std::min(kBatch, dams.size() - first);
        const std::size_t used = std::min(threads, count);
        runOnThreads(used, [&](std::size_t t) {
            for (std::size_t k = t; k < count; k += used)
                selected[k] = selectFoals(sides, dams[first + k].sums, dams[first + k].lines, query, scratch[t]);
        });
        for (std::size_t k = 0; k < count; ++k)
            kept[k] = keptOf(dams[first + k], std::move(selected[k]), sides, keep, first + k);
        runOnThreads(used, [&](std::size_t t) {
            for (std::size_t k = t; k < count; k += used)
                keepRows(dams[first + k], kept[k], sides);
        });
    }
}

SeasonDam damOf(std::int32_t id, std::string name, MareLines lines, const StallionSides& sides)
{
    SeasonDam dam;
    dam.id = id;
    dam.name = std::move(name);
    dam.lines = std::move(lines);
    dam.sums = mareSumsOf(sides, dam.lines);
    return dam;
}

std::shared_ptr<const StallionSides> sidesOf(const std::shared_ptr<const SireIndex>& sires, const ChefTable& chefs)
{
    return std::make_shared<const StallionSides>(std::make_shared<const ListChefs>(sires, chefs));
}

} // namespace

const PlanRow* SeasonDam::rowOf(StallionNumber stallion) const
{
    const auto at = std::find(stallionOf.begin(), stallionOf.end(), stallion);
    return at == stallionOf.end() ? nullptr : &plan.rows[static_cast<std::size_t>(at - stallionOf.begin())];
}

AncestorViews SeasonDam::foalLineage(StallionNumber stallion) const
{
    if (const PlanRow* row = rowOf(stallion))
        return plan.lineage(*row);
    const SireIndex& index = *plan.sires;
    AncestorViews lineage{}; // a fresh window's empty boxes
    mateLineage(lineage,
                std::array<std::string_view, 3>{index.stallions()[stallion], plan.mare->damSire, plan.mare->damDamSire},
                [&](std::string_view sire, std::string_view damSire) { return index.scan(sire, damSire); });
    return lineage;
}

AncestorViews RecordFoal::lineageViews() const
{
    AncestorViews views;
    for (std::size_t p = 0; p < views.size(); ++p)
        views[p] = lineage[p];
    return views;
}

RecordFoal recordFoalOf(const RecordStallion& stallion, StallionNumber number, const MareLines& mare,
                        const SireIndex& sires, const ChefTable& chefs)
{
    RecordFoal foal;
    foal.stallion = number;
    std::array<std::string_view, 7> lineage{}; // a fresh window's empty boxes
    mateStallionLineage(lineage, stallion, {std::string_view(mare.damSire), std::string_view(mare.damDamSire)},
                        [&](std::string_view sire, std::string_view damSire) { return sires.scan(sire, damSire); });
    for (std::size_t p = 0; p < lineage.size(); ++p)
        foal.lineage[p] = std::string(lineage[p]);
    foal.numbers = planNumbersOf(groupTotalsOfViews(foal.lineageViews(), chefs));
    return foal;
}

const RecordFoal* SeasonDam::recordFoalOf(StallionNumber stallion) const
{
    for (const RecordFoal& foal : recordFoals)
        if (foal.stallion == stallion)
            return &foal;
    return nullptr;
}

KeptRows keepTargetRows(std::size_t, const SeasonDam& dam) { return {dam.rows, {}}; }

SeasonPlan planSeason(const std::vector<std::int32_t>& ids, const DataFolder& folder,
                      const std::shared_ptr<const SireIndex>& sires, const ChefTable& chefs, const PlanQuery& query,
                      const SeasonKeep& keep)
{
    SeasonPlan season;
    season.sides = sidesOf(sires, chefs); // once for all the mares
    for (const std::int32_t id : ids) {
        MareLookup mare = findMare(folder, id);
        if (mare.status == MareLookup::Status::Found)
            season.dams.push_back(damOf(id, std::move(mare.name), std::move(mare.lines), *season.sides));
        else
            season.leftOut.push_back(std::move(mare.message));
    }
    selectDams(season, query, keep);
    return season;
}

SeasonPlan planStableSeason(const std::vector<CheckedHorse>& horses, const std::shared_ptr<const SireIndex>& sires,
                            const ChefTable& chefs, const PlanQuery& query, const SeasonKeep& keep)
{
    SeasonPlan season;
    season.sides = sidesOf(sires, chefs); // once for all the mares
    for (const CheckedHorse& horse : horses) {
        if (!horse.usable())
            season.leftOut.push_back(horse.message);
        else if (horse.female())
            season.dams.push_back(
                damOf(horse.horse.id, horse.horse.name, {horse.horse.sire, horse.horse.damSire}, *season.sides));
    }
    selectDams(season, query, keep);
    return season;
}

SeasonKeep keepHeadOfList(std::size_t mares, std::optional<std::uint32_t> book, bool noRepeats)
{
    // Once the rows kept have room for every mare, one of them has room for
    // her whatever the others get: the rest cannot change the plan.
    const std::size_t rows = !book || *book >= mares ? 1 : *book == 0 ? 0 : (mares + *book - 1) / *book;
    return [rows, noRepeats](std::size_t, const SeasonDam& dam) {
        KeptRows kept;
        for (const std::uint32_t stallion : dam.rows) {
            if (kept.rows.size() >= rows)
                break;
            if (!noRepeats || repeatedSires(dam.foalLineage(stallion)).empty())
                kept.rows.push_back(stallion);
        }
        return kept;
    };
}

SeasonKeep keepHeadUnderRules(const AssignRules& rules, std::vector<std::optional<StallionNumber>> lockAt,
                              std::size_t mares)
{
    std::unordered_map<StallionNumber, std::uint32_t> lockedOn;
    for (std::size_t m = 0; m < lockAt.size(); ++m)
        if (lockAt[m] && rules.allows(m, *lockAt[m]))
            ++lockedOn[*lockAt[m]];
    return [rules, lockAt = std::move(lockAt), lockedOn = std::move(lockedOn), mares](std::size_t place,
                                                                                      const SeasonDam& dam) {
        const auto roomOf = [&](StallionNumber stallion) -> std::size_t {
            const auto book = rules.bookOf(stallion);
            const auto locked = lockedOn.find(stallion);
            const std::uint32_t taken = locked == lockedOn.end() ? 0 : locked->second;
            return !book ? mares : *book > taken ? std::min<std::size_t>(*book - taken, mares) : 0;
        };
        const bool locked = place < lockAt.size() && lockAt[place].has_value();
        const StallionNumber lock = locked ? *lockAt[place] : 0;
        KeptRows kept;
        std::size_t room = 0;
        bool lockMet = !locked;
        for (const std::uint32_t stallion : dam.rows) {
            if (room >= mares && lockMet)
                break;
            const bool repeats = rules.noRepeats && !repeatedSires(dam.foalLineage(stallion)).empty();
            if (!rules.keeps(place, {stallion, repeats}))
                continue;
            kept.rows.push_back(stallion);
            room += roomOf(stallion);
            lockMet = lockMet || stallion == lock;
        }
        if (!lockMet)
            kept.more.push_back(lock);
        return kept;
    };
}

void selectSeason(SeasonPlan& season, const PlanQuery& query, const SeasonKeep& keep)
{
    if (season.sides)
        selectDams(season, query, keep);
}

std::vector<AssignMare> assignMaresOf(const SeasonPlan& season, bool markRepeats)
{
    std::vector<AssignMare> mares(season.dams.size());
    for (std::size_t m = 0; m < mares.size(); ++m) {
        const SeasonDam& dam = season.dams[m];
        mares[m].rows.reserve(dam.rows.size());
        for (const std::uint32_t r : dam.rows)
            mares[m].rows.push_back(
                {dam.stallion(r), markRepeats && !repeatedSires(dam.plan.lineage(dam.plan.rows[r])).empty()});
    }
    return mares;
}

} // namespace quindle
