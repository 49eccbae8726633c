#pragma once
// What the main window shows now, as the windows beside it need to know: the
// horse looked up (with its own record when he is a colt or horse, her name
// when she is a filly or mare), or the mating whose foal is shown.
#include <cstdint>
#include <optional>
#include <string>

#include "main_state/chosen_mating.h"
#include "main_state/record_stallion.h"

namespace quindle {

struct MainShown {
    std::int32_t horse = 0;                 // the horse found by the last GO while it is shown, else 0
    std::optional<RecordStallion> stallion; // the horse shown when he is a colt or horse
    MareNamed mare;                         // the horse shown when she is a filly or mare
    std::optional<ChosenMating> chosen;     // the mating submitted while its foal is shown
    std::string lookedUpLine;               // what Copy puts above the boxes: the line `quindle-cli show` prints

    // A horse or a foal is shown, so there is a card to print or a candidate to compare.
    bool showsAny() const { return horse != 0 || chosen.has_value(); }
    // Nothing shown: the boxes were emptied, or a new show begins.
    void clear() { *this = MainShown{}; }
};

} // namespace quindle
