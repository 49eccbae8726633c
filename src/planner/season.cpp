#include "planner/season.h"

#include <algorithm>
#include <unordered_map>

#include "dosage/repeated_sires.h"

namespace quindle {

namespace {

// Her plan cut down to the rows kept, each with the numbers it shows.
void keepOnly(SeasonDam& dam, const KeptRows& kept)
{
    Plan whole = std::move(dam.plan);
    dam.plan = Plan{whole.sires, whole.mare, {}, {}};
    dam.rows.clear();
    std::unordered_map<std::uint32_t, std::uint32_t> numberOf; // whole plan's numbers to the kept ones
    const auto take = [&](std::uint32_t r) {
        PlanRow row = whole.rows[r];
        const auto [at, fresh] = numberOf.emplace(row.numbers, static_cast<std::uint32_t>(dam.plan.numbers.size()));
        if (fresh)
            dam.plan.numbers.push_back(whole.numbers[row.numbers]);
        row.numbers = at->second;
        dam.plan.rows.push_back(row);
        dam.stallionOf.push_back(r);
        return static_cast<std::uint32_t>(dam.plan.rows.size() - 1);
    };
    for (const std::uint32_t r : kept.rows)
        dam.rows.push_back(take(r));
    for (const std::uint32_t r : kept.more)
        take(r);
}

SeasonDam planDam(std::int32_t id, std::string name, MareLines lines, const ListChefs& listChefs,
                  const PlanQuery& query, const SeasonKeep& keep, std::size_t place)
{
    SeasonDam dam;
    dam.id = id;
    dam.name = std::move(name);
    dam.lines = std::move(lines);
    dam.plan = planMatings(listChefs, dam.lines);
    dam.rows = selectRows(dam.plan, query);
    dam.inTarget = dam.rows.size();
    if (keep)
        keepOnly(dam, keep(place, dam));
    return dam;
}

} // namespace

const PlanRow* SeasonDam::rowOf(StallionNumber stallion) const
{
    if (stallionOf.empty())
        return stallion < plan.rows.size() ? &plan.rows[stallion] : nullptr;
    const auto at = std::find(stallionOf.begin(), stallionOf.end(), stallion);
    return at == stallionOf.end() ? nullptr : &plan.rows[static_cast<std::size_t>(at - stallionOf.begin())];
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
    const ListChefs listChefs(sires, chefs); // once for all the mares
    for (const std::int32_t id : ids) {
        MareLookup mare = findMare(folder, id);
        if (mare.status == MareLookup::Status::Found)
            season.dams.push_back(
                planDam(id, std::move(mare.name), std::move(mare.lines), listChefs, query, keep, season.dams.size()));
        else
            season.leftOut.push_back(std::move(mare.message));
    }
    return season;
}

SeasonPlan planStableSeason(const std::vector<CheckedHorse>& horses, const std::shared_ptr<const SireIndex>& sires,
                            const ChefTable& chefs, const PlanQuery& query, const SeasonKeep& keep)
{
    SeasonPlan season;
    const ListChefs listChefs(sires, chefs); // once for all the mares
    for (const CheckedHorse& horse : horses) {
        if (!horse.usable())
            season.leftOut.push_back(horse.message);
        else if (horse.female())
            season.dams.push_back(planDam(horse.horse.id, horse.horse.name, {horse.horse.sire, horse.horse.damSire},
                                          listChefs, query, keep, season.dams.size()));
    }
    return season;
}

void selectSeason(SeasonPlan& season, const PlanQuery& query)
{
    for (SeasonDam& dam : season.dams)
        dam.rows = selectRows(dam.plan, query);
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
