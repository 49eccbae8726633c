#pragma once
// The numbers a drawn profile is placed by: the common height of the bars of
// one window's charts, and where a CD stands on its scale from -2 to +2.
#include <span>

#include "dosage/profile.h"

namespace quindle {

inline constexpr double kCdScaleLow = -2;
inline constexpr double kCdScaleHigh = 2;

// The points a full bar stands for in charts that show these profiles side by
// side: the largest group total rounded up to a multiple of 4, at least 4, so
// equal points have equal heights in every chart of a window.
int commonScale(std::span<const GroupTotals> profiles);
int commonScale(const GroupTotals& profile);

// Where a CD stands between the scale's left end (0) and its right end (1);
// a CD beyond the scale stands at its end.
double cdPlace(double cd);

} // namespace quindle
