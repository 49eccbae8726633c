#pragma once
// Candidates side by side: horses by identifier and hypothetical matings by
// their three names, each shown as the main window would show it, with the
// names they share and the best of each number row for the player's target.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "main_state/main_boxes.h"
#include "main_state/mating.h"
#include "main_state/chosen_mating.h"
#include "main_state/record_stallion.h"
#include "data/chef_table.h"
#include "data/data_folder.h"
#include "dosage/format.h"
#include "dosage/profile.h"
#include "planner/plan_query.h"

namespace quindle {

inline constexpr std::size_t kMostCandidates = 6;

// A horse (identifier above 0) or a mating of three typed names.
struct Candidate {
    std::int32_t horse = 0;
    MatingNames mating;
    // Where the horse was first shown, and its name there. In another data
    // folder its identifier is another horse's unless the name is the same; in
    // the same folder a new breeding file keeps it (a horse renamed is itself).
    std::string folder, name;
    // A mating's Sire from the breeding file (his own record gives his line),
    // and the mare it is made for, which titles it.
    std::optional<RecordStallion> stallion{};
    MareNamed mare{};
    bool operator==(const Candidate& other) const
    {
        return horse == other.horse && mating == other.mating && stallion == other.stallion && mare == other.mare;
    }
};

// A mating picked anywhere as a candidate.
inline Candidate candidateOf(const ChosenMating& mating)
{
    Candidate candidate;
    candidate.mating = mating.names;
    candidate.stallion = mating.stallion;
    candidate.mare = mating.mare;
    return candidate;
}

// The lineage positions in the pedigree chart's order, top to bottom: the
// sire's side, then the dam's.
inline constexpr std::array<int, kPositions> kChartOrder{0, 1, 3, 4, 2, 5, 6};
extern const std::array<const char*, kPositions> kPositionCaptions; // by profile position

struct CandidateShown {
    std::string label;                    // the horse's name and identifier, or the three names
    std::string name;                     // the horse's name as found
    AncestorNames lineage;                // in profile position order
    std::optional<DosageProfile> profile; // none: nothing to show (a horse that is gone)
    ProfileSummary summary;               // its texts as the main window's boxes show them
    bool gone = false;                    // a horse no longer in the breeding file
    std::string error;                    // a bucket or the sire list at fault
};

// What the main window shows for the candidate: GO on the identifier, or the
// mating window's Submit on an empty window. A horse is gone when its
// identifier holds no horse, or in another data folder one of another name.
CandidateShown showCandidate(const Candidate& candidate, const DataFolder& folder, const ChefTable& chefs);

// For each candidate and profile position: the name stands in another candidate too.
std::vector<std::array<bool, kPositions>> sharedNames(const std::vector<CandidateShown>& shown);

// The number rows of a comparison.
enum class CompareRow { Total, Speed, Stamina, Cd, Di };
inline constexpr int kCompareRows = 5;
extern const std::array<const char*, kCompareRows> kCompareRowNames;

// What the player aims at: DI and CD ranges.
struct CompareTarget {
    std::optional<ValueRange> di, cd;
};

// For each row, which candidates are best: the highest total, Speed and
// Stamina; the DI and CD inside the target's range, or nearest to it (none
// marked for a row without a target). Ties are all marked; a candidate without
// points is never best, and nothing is best where fewer than two have a value.
std::array<std::vector<bool>, kCompareRows> bestOfRows(const std::vector<CandidateShown>& shown,
                                                       const CompareTarget& target);

// The comparison as a table of cells: a header row of labels, the seven names
// in chart order, the five group totals, then the number rows; the cells as
// the boxes write them without their blanks.
std::vector<std::vector<std::string>> comparisonCells(const std::vector<CandidateShown>& shown);
// The same cells as tab-separated lines, or as CSV (quoted where needed).
std::string comparisonTabText(const std::vector<CandidateShown>& shown);
std::string comparisonCsv(const std::vector<CandidateShown>& shown);

} // namespace quindle
