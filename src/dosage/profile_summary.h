#pragma once
// A profile's summary: the ten numbers a list of many horses shows (the group
// totals, total, Speed, Stamina, CD and DI), each with the text its box shows,
// and the one table of those number columns.
#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

#include "dosage/format.h"
#include "dosage/profile.h"

namespace quindle {

// One number of a summary. `value` is the number `text` shows, so filters and
// sorts agree with what the player reads: the DI's cut digits are not in it.
// NaN stands for "--" (no points), infinity for INF.
struct SummaryNumber {
    double value = std::numeric_limits<double>::quiet_NaN();
    std::string text; // exactly as the box shows it, blanks included
    bool operator==(const SummaryNumber& other) const
    {
        return text == other.text && (value == other.value || (std::isnan(value) && std::isnan(other.value)));
    }
};

struct ProfileSummary {
    SummaryNumber b, i, c, s, p, total, speed, stamina, cd, di;
    bool operator==(const ProfileSummary&) const = default;
};

// Fills `summary` (reusing its strings: a summary of a million horses makes ten
// texts for each). formatProfile's boxes 35 to 44 hold the same texts.
void summariseProfile(const DosageProfile& profile, ProfileSummary& summary);
ProfileSummary summariseProfile(const DosageProfile& profile);

// The number columns, in the order the command line writes them.
enum class SummaryColumn { B, I, C, S, P, Total, Speed, Stamina, Cd, Di };
inline constexpr int kSummaryColumns = 10;

struct SummaryColumnInfo {
    SummaryNumber ProfileSummary::*member;
    int box;              // the main window's box that shows it
    std::string_view key; // its name in CSV headers, JSON and sort options
};
// The one table every list of numbers (profiles, sires, mares, the planner,
// the foals of a sire) addresses its number columns by.
inline constexpr std::array<SummaryColumnInfo, kSummaryColumns> kSummaryColumnTable{{
    {&ProfileSummary::b, kGroupTotalBox, "B"},
    {&ProfileSummary::i, kGroupTotalBox + 1, "I"},
    {&ProfileSummary::c, kGroupTotalBox + 2, "C"},
    {&ProfileSummary::s, kGroupTotalBox + 3, "S"},
    {&ProfileSummary::p, kGroupTotalBox + 4, "P"},
    {&ProfileSummary::total, kTotalBox, "total"},
    {&ProfileSummary::speed, kSpeedBox, "speed"},
    {&ProfileSummary::stamina, kStaminaBox, "stamina"},
    {&ProfileSummary::cd, kCdBox, "cd"},
    {&ProfileSummary::di, kDiBox, "di"},
}};
// The same columns in the order of their boxes, 35 to 44: the JSON's order.
inline constexpr std::array<SummaryColumn, kSummaryColumns> kSummaryBoxOrder{
    SummaryColumn::B,     SummaryColumn::I,  SummaryColumn::C,  SummaryColumn::S,     SummaryColumn::P,
    SummaryColumn::Total, SummaryColumn::Cd, SummaryColumn::Di, SummaryColumn::Speed, SummaryColumn::Stamina};

// The ten columns ",B,I,C,S,P,total,speed,stamina,cd,di" of a profile with
// these group totals (each at least 0), appended to `out`: the texts
// summariseProfile gives, without their blanks, made from the integers the
// numbers are fractions of rather than through doubles.
void appendSummaryColumns(const GroupTotals& totals, std::string& out);

inline const SummaryColumnInfo& columnInfo(SummaryColumn column)
{
    return kSummaryColumnTable[static_cast<std::size_t>(column)];
}
inline const SummaryNumber& summaryNumber(const ProfileSummary& summary, SummaryColumn column)
{
    return summary.*columnInfo(column).member;
}
inline SummaryNumber& summaryNumber(ProfileSummary& summary, SummaryColumn column)
{
    return summary.*columnInfo(column).member;
}

} // namespace quindle
