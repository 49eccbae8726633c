#include "app/mares_for.h"

#include <utility>

#include "data/file_error.h"
#include "data/latin1_text.h"
#include "stable/stable_check.h"

namespace quindle {

namespace {

// The player's usable fillies and mares, and what is told of the rest.
MaresChosen chooseMares(const DataFolder& folder, const Stable& stable)
{
    MaresChosen chosen;
    const std::vector<CheckedHorse> horses = checkStable(stable, folder);
    for (const CheckedHorse& horse : horses)
        if (!horse.usable())
            chosen.leftOut.push_back(horse.message);
    chosen.only = mareIdsOf(horses);
    return chosen;
}

} // namespace

MaresRanked bestMaresFor(const DataFolder& folder, const ChefTable& chefs,
                         const std::shared_ptr<const SireIndex>& sires, const MaresAsked& asked)
{
    MaresRanked answer;
    if (!asked.fromFile && !sires->find(asked.stallion).entries) {
        // Past a damaged entry nothing is read, so he may be there all the same.
        answer.status = Outcome::Absent;
        answer.error =
            latin1ForMessage(asked.stallion) +
            (sires->error().empty() ? " is not in the sire list" : " is not in what could be read of the sire list");
        return answer;
    }
    MaresChosen chosen;
    if (asked.onlyOf) {
        const std::optional<Stable> stable = asked.onlyOf();
        if (!stable) {
            answer.status = Outcome::Absent;
            return answer;
        }
        chosen = chooseMares(folder, *stable);
    }
    if (asked.chosen)
        asked.chosen(chosen);
    const std::vector<std::int32_t>* only = chosen.only ? &*chosen.only : nullptr;
    try {
        if (asked.grown) {
            MaresBatch whole = bestMaresInBatches(folder.breedingFile(), sires, asked.stallion, asked.fromFile, chefs,
                                                  only, asked.batchQuery, asked.grown);
            answer.mares = std::move(whole.mares);
            answer.shown = std::move(whole.shown);
        } else {
            answer.mares = std::make_shared<const BestMares>(
                asked.fromFile ? bestMares(folder.breedingFile(), sires, asked.fromFile, chefs, only, 0, asked.sink)
                               : bestMares(folder.breedingFile(), sires, asked.stallion, chefs, only, 0, asked.sink));
        }
    } catch (const FileError& e) {
        answer.status = Outcome::Failed;
        answer.error = e.what();
        return answer;
    }
    for (const std::string* error : {&answer.mares->error, &sires->error()})
        if (!error->empty())
            answer.warnings.push_back(*error);
    return answer;
}

} // namespace quindle
