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

// `value` with `decimals` digits after the point, rounded: "1.25", "-0.37",
// and "0.00" for a value shown as zero, which has no minus sign.
std::string fixedText(double value, int decimals);

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

} // namespace quindle
