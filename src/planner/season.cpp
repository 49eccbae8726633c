#include "planner/season.h"

#include "dosage/repeated_sires.h"

namespace quindle {

namespace {

SeasonDam planDam(std::int32_t id, std::string name, MareLines lines, const ListChefs& listChefs,
                  const PlanQuery& query)
{
    SeasonDam dam;
    dam.id = id;
    dam.name = std::move(name);
    dam.lines = std::move(lines);
    dam.plan = planMatings(listChefs, dam.lines);
    dam.rows = selectRows(dam.plan, query);
    return dam;
}

} // namespace

SeasonPlan planSeason(const std::vector<std::int32_t>& ids, const DataFolder& folder,
                      const std::shared_ptr<const SireIndex>& sires, const ChefTable& chefs, const PlanQuery& query)
{
    SeasonPlan season;
    const ListChefs listChefs(sires, chefs); // once for all the mares
    for (const std::int32_t id : ids) {
        MareLookup mare = findMare(folder, id);
        if (mare.status == MareLookup::Status::Found)
            season.dams.push_back(planDam(id, std::move(mare.name), std::move(mare.lines), listChefs, query));
        else
            season.leftOut.push_back(std::move(mare.message));
    }
    return season;
}

SeasonPlan planStableSeason(const std::vector<CheckedHorse>& horses, const std::shared_ptr<const SireIndex>& sires,
                            const ChefTable& chefs, const PlanQuery& query)
{
    SeasonPlan season;
    const ListChefs listChefs(sires, chefs); // once for all the mares
    for (const CheckedHorse& horse : horses) {
        if (!horse.usable())
            season.leftOut.push_back(horse.message);
        else if (horse.female())
            season.dams.push_back(
                planDam(horse.horse.id, horse.horse.name, {horse.horse.sire, horse.horse.damSire}, listChefs, query));
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
            mares[m].rows.push_back({r, markRepeats && !repeatedSires(dam.plan.lineage(dam.plan.rows[r])).empty()});
    }
    return mares;
}

} // namespace quindle
