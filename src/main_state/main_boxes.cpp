#include "main_state/main_boxes.h"

namespace quindle {

void clearBoxes(MainBoxes& boxes)
{
    boxes.horseName.clear();
    boxes.ageSex.clear();
    for (auto& name : boxes.lineage)
        name.clear();
    boxes.indicator.clear();
}

LookupProblem lookUpHorse(MainBoxes& boxes, const DataFolder& folder, std::int32_t id)
{
    clearBoxes(boxes);
    const LookupResult result = findHorse(folder, id);
    if (result.status != Outcome::Done) {
        boxes.indicator = kNotFoundText;
        boxes.horseColour = kNeutralColour;
        boxes.ageSexColour = kNeutralColour;
        return {result.error, result.damaged, std::nullopt};
    }
    const HorseRecord& horse = result.horse;
    // An unknown sex word gets the neutral colour, never the previous horse's.
    const Rgb colour = sexColour(horse.sex).value_or(kNeutralColour);
    boxes.horseColour = colour;
    boxes.ageSexColour = colour;
    boxes.horseName = horse.name;
    boxes.ageSex = ageSexText(horse.age, horse.sex);
    boxes.lineage = lineageNames(horse);
    LookupProblem shown;
    shown.horse = horse;
    return shown;
}

void showDosage(MainBoxes& boxes, const ChefTable& chefs)
{
    if (boxes.indicator == kNotFoundText) {
        // The failure stays in sight, and no numbers of an earlier horse stay
        // beside the empty chart.
        clearBoxes(boxes);
        boxes.indicator = kNotFoundText;
        for (int i = kTotalBox; i < kProfileBoxes; ++i)
            boxes.profileTexts[static_cast<std::size_t>(i)].clear();
        return;
    }
    const ProfileTexts texts = formatProfile(computeProfile(boxes.lineage, chefs));
    for (std::size_t i = 0; i < texts.size(); ++i)
        if (texts[i])
            boxes.profileTexts[i] = *texts[i];
}

GoOutcome go(MainBoxes& boxes, const DataFolder& folder, const ChefTable& chefs, std::int32_t id)
{
    GoOutcome outcome;
    if (id == 0) {
        outcome.beep = true;
        return outcome;
    }
    clearBoxes(boxes);
    for (int i = 0; i < kTotalBox; ++i)
        boxes.profileTexts[static_cast<std::size_t>(i)].clear();
    LookupProblem problem = lookUpHorse(boxes, folder, id);
    outcome.error = std::move(problem.error);
    outcome.damaged = problem.damaged;
    outcome.horse = std::move(problem.horse);
    outcome.found = boxes.indicator != kNotFoundText;
    showDosage(boxes, chefs);
    return outcome;
}

} // namespace quindle
