#pragma once
// The texts of the 45 profile boxes. Index 5 * position + group holds a
// contribution, 35-39 the group totals, 40 the total, 41 CD, 42 DI, 43 Speed and
// 44 Stamina. Boxes whose contribution is absent get no text at all.
#include <array>
#include <optional>
#include <string>

#include "dosage/profile.h"

namespace quindle {

inline constexpr int kProfileBoxes = 45;
inline constexpr int kGroupTotalBox = 35;
inline constexpr int kTotalBox = 40;
inline constexpr int kCdBox = 41;
inline constexpr int kDiBox = 42;
inline constexpr int kSpeedBox = 43;
inline constexpr int kStaminaBox = 44;

using ProfileTexts = std::array<std::optional<std::string>, kProfileBoxes>;

// Plain decimal notation with at most 15 significant digits: no exponent, no
// trailing zeros, no point for whole values, "0.5" and "-0.5", "0" for zero.
std::string numberText(double value);

// "  8.0", "  8.5", " 12.5": Speed and Stamina.
std::string speedText(double value);
// " 0.13", "-0.12", " 2.00".
std::string cdText(double cd);
// " 2.42" (cut, not rounded), " 12.0", "  INF", "   -- ". A DI of 100 or more
// (only possible beyond 24 points) shows its whole part: " 100", " 123".
std::string diText(const DosageIndex& di);
// Shown in both the CD and the DI box when there are no points at all.
inline constexpr const char* kNoPointsText = "   -- ";

ProfileTexts formatProfile(const DosageProfile& profile);

// Only the boxes 35 to 44 (the group totals, total, CD, DI, Speed and Stamina),
// indexed from 35: what a summary of many horses needs, without the 35
// contribution boxes. formatProfile writes the same texts.
inline constexpr int kSummaryBoxes = kProfileBoxes - kGroupTotalBox;
using SummaryTexts = std::array<std::string, kSummaryBoxes>;
void formatSummary(const DosageProfile& profile, SummaryTexts& texts);

// The number columns of a summary, in the order the command line writes them,
// each with the profile box that shows it: the one table every list of numbers
// (profiles, sires, the planner, the foals of a sire) addresses them by.
enum class SummaryColumn { B, I, C, S, P, Total, Speed, Stamina, Cd, Di };
inline constexpr int kSummaryColumns = 10;
inline constexpr std::array<int, kSummaryColumns> kSummaryColumnBox{kGroupTotalBox,
                                                                    kGroupTotalBox + 1,
                                                                    kGroupTotalBox + 2,
                                                                    kGroupTotalBox + 3,
                                                                    kGroupTotalBox + 4,
                                                                    kTotalBox,
                                                                    kSpeedBox,
                                                                    kStaminaBox,
                                                                    kCdBox,
                                                                    kDiBox};
// The ten columns ",B,I,C,S,P,total,speed,stamina,cd,di" of a profile with
// these group totals (each at least 0), appended to `out`: the texts
// formatSummary gives, without their blanks, made from the integers the
// numbers are fractions of rather than through doubles.
void appendSummaryColumns(const GroupTotals& totals, std::string& out);

// The text of one column, as its box shows it.
inline const std::string& summaryText(const SummaryTexts& texts, SummaryColumn column)
{
    return texts[static_cast<std::size_t>(kSummaryColumnBox[static_cast<std::size_t>(column)] - kGroupTotalBox)];
}

} // namespace quindle
