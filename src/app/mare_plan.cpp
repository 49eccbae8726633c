#include "app/mare_plan.h"

#include <utility>

namespace quindle {

MarePlan planForMare(const DataFolder& folder, const ChefTable& chefs, const MareAsked& asked,
                     std::shared_ptr<const SireIndex> sires)
{
    MarePlan answer;
    MareLines mare = asked.typed;
    if (asked.id != 0) {
        MareLookup found = findMare(folder, asked.id);
        if (found.status != MareLookup::Status::Found) {
            answer.status = found.status == MareLookup::Status::Failed ? Outcome::Failed : Outcome::Absent;
            answer.error = std::move(found.message);
            return answer;
        }
        mare = std::move(found.lines);
        answer.mare = {asked.id, std::move(found.name)};
    }
    if (!sires)
        sires = std::make_shared<const SireIndex>(readSireList(folder.sireList()));
    answer.listError = sires->error();
    answer.plan = std::make_shared<const Plan>(planMatings(sires, mare, chefs));
    // One row a name: the player is told which names stand more than once, and which line counts.
    answer.counts = countSireList(*sires, mare.damSire);
    return answer;
}

} // namespace quindle
