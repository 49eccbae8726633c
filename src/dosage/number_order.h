#pragma once
// The one order of the number columns, wherever they are sorted (the planner,
// the foals of a sire, `quindle-cli sires --sort`): numbers by their value, INF
// above every number, and a number that is not there ("--") below all.
#include <cmath>
#include <limits>

#include "dosage/profile.h"

namespace quindle {

// A key that sorts in that order; NaN stands for a number that is not there.
inline double numberOrderKey(double value)
{
    return std::isnan(value) ? -std::numeric_limits<double>::infinity() : value;
}

// A profile's DI as such a number: infinity for INF, NaN when it has none.
inline double diNumber(const DosageIndex& di)
{
    switch (di.kind) {
    case DosageIndex::Kind::Finite:
        return di.value;
    case DosageIndex::Kind::Infinite:
        return std::numeric_limits<double>::infinity();
    case DosageIndex::Kind::Absent:
        break;
    }
    return std::numeric_limits<double>::quiet_NaN();
}

// A profile's CD as such a number: NaN without points.
inline double cdNumber(const DosageProfile& profile)
{
    return profile.cd ? *profile.cd : std::numeric_limits<double>::quiet_NaN();
}

} // namespace quindle
