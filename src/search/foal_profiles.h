#pragma once
// The profiles of a stallion's foals, with their count and average DI and CD,
// for the search window's second mode.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/chef_table.h"
#include "dosage/profile.h"
#include "dosage/profile_summary.h"

namespace quindle {

struct FoalProfile {
    std::int32_t id = 0;
    std::string name, age, sex;
    DosageProfile profile;  // without contributions: the totals and what follows from them
    ProfileSummary summary; // as the main window's boxes show it
};

// Every horse of the breeding file whose Sire is `sire` (without case), in file
// order, read by the one field reader. Throws FileError at a bad field.
// `grown`, when given, is handed the foals found so far as the file is read:
// once the first are found, then every few megabytes that found more.
using FoalsSoFar = std::function<void(const std::vector<FoalProfile>& foals)>;
std::vector<FoalProfile> foalProfiles(const std::string& breedingPath, const ChefTable& chefs, std::string_view sire,
                                      const FoalsSoFar& grown = {});

struct FoalAverages {
    std::optional<double> di; // over the foals with a finite DI
    std::optional<double> cd; // over the foals with points
};
FoalAverages averagesOf(const std::vector<FoalProfile>& foals);
// "12 foals, average DI 1.50, average CD 0.25", as the foals list and
// `quindle-cli foals --averages` say it: two decimals, "--" for an average of
// nothing, and no minus sign on a number shown as zero.
std::string foalsSummary(std::size_t count, const FoalAverages& averages);

} // namespace quindle
