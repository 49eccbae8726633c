#include "dosage/profile_summary.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace quindle {

namespace {

// The DI as its text shows it: cut, not rounded, to two decimals below 10, to
// one below 100 and to its whole part beyond. Speed and Stamina are halves, so
// the cut is done on whole numbers (twice each) and no rounding of the
// quotient can carry a DI over a cut: the number and the text cannot differ.
double shownDi(const DosageProfile& profile)
{
    switch (profile.di.kind) {
    case DosageIndex::Kind::Absent:
        return std::numeric_limits<double>::quiet_NaN();
    case DosageIndex::Kind::Infinite:
        return std::numeric_limits<double>::infinity();
    case DosageIndex::Kind::Finite:
        break;
    }
    const double value = profile.di.value;
    constexpr double kExact = 1e15; // halves this large are no longer whole when doubled
    if (!(value >= 0) || !(profile.speed * 2 < kExact) || !(profile.stamina * 2 < kExact))
        return value; // below zero cannot come from points
    const auto speed = static_cast<std::int64_t>(profile.speed * 2);
    const auto stamina = static_cast<std::int64_t>(profile.stamina * 2);
    const std::int64_t whole = speed / stamina;
    if (whole >= 100)
        return static_cast<double>(whole);
    const std::int64_t scale = whole >= 10 ? 10 : 100;
    // The remainder is below `stamina`, so its hundredfold stays far below 2^63.
    const std::int64_t cut = whole * scale + (speed - whole * stamina) * scale / stamina;
    return static_cast<double>(cut) / static_cast<double>(scale);
}

void setNumber(SummaryNumber& number, double value, std::string&& text)
{
    number.value = value;
    number.text = std::move(text);
}

} // namespace

void summariseProfile(const DosageProfile& profile, ProfileSummary& summary)
{
    const auto& g = profile.groupTotal;
    setNumber(summary.b, g[0], numberText(g[0]));
    setNumber(summary.i, g[1], numberText(g[1]));
    setNumber(summary.c, g[2], numberText(g[2]));
    setNumber(summary.s, g[3], numberText(g[3]));
    setNumber(summary.p, g[4], numberText(g[4]));
    setNumber(summary.total, profile.total, " " + numberText(profile.total));
    setNumber(summary.speed, profile.speed, speedText(profile.speed));
    setNumber(summary.stamina, profile.stamina, speedText(profile.stamina));
    if (!profile.cd) {
        setNumber(summary.cd, std::numeric_limits<double>::quiet_NaN(), kNoPointsText);
        setNumber(summary.di, std::numeric_limits<double>::quiet_NaN(), kNoPointsText);
    } else {
        setNumber(summary.cd, *profile.cd, cdText(*profile.cd));
        setNumber(summary.di, shownDi(profile), diText(profile.di));
    }
}

ProfileSummary summariseProfile(const DosageProfile& profile)
{
    ProfileSummary summary;
    summariseProfile(profile, summary);
    return summary;
}

} // namespace quindle
