#include "dosage/format.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace quindle {

std::string numberText(double value)
{
    if (value == 0)
        return "0";
    // Whole numbers are by far the most common: points, totals.
    if (std::abs(value) < 1e15 && value == std::trunc(value)) {
        char digits[24];
        const auto end = std::to_chars(digits, digits + sizeof digits, static_cast<long long>(value)).ptr;
        return std::string(digits, end);
    }
    // Hundredths come next: halves (Speed, Stamina) and two-decimal values (CD).
    // A value that is the double nearest to k / 100, with k of at most 14 digits,
    // has exactly that decimal as its 15 significant digits.
    if (std::abs(value) < 1e12) {
        const double hundredths = std::nearbyint(value * 100);
        if (hundredths / 100 == value) {
            const auto k = static_cast<long long>(hundredths);
            const long long magnitude = k < 0 ? -k : k;
            char digits[24];
            char* end = digits;
            if (k < 0)
                *end++ = '-';
            end = std::to_chars(end, digits + sizeof digits, magnitude / 100).ptr;
            if (const long long cents = magnitude % 100) {
                *end++ = '.';
                *end++ = static_cast<char>('0' + cents / 10);
                if (cents % 10)
                    *end++ = static_cast<char>('0' + cents % 10);
            }
            return std::string(digits, end);
        }
    }
    // 15 significant digits in scientific form, then laid out as a plain decimal.
    char buffer[40];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14).ptr;
    const std::string sci(buffer, end);
    const bool negative = sci[0] == '-';
    const std::size_t first = negative ? 1 : 0;
    const std::size_t ePos = sci.find('e');
    std::string digits = sci.substr(first, 1) + sci.substr(first + 2, ePos - first - 2);
    const int exponent = std::atoi(sci.c_str() + ePos + 1);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string text;
    if (exponent < 0) {
        text = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else {
        const auto whole = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= whole)
            text = digits + std::string(whole - digits.size(), '0');
        else
            text = digits.substr(0, whole) + "." + digits.substr(whole);
    }
    return negative ? "-" + text : text;
}

std::string speedText(double value)
{
    std::string s = (value < 10 ? "  " : " ") + numberText(value);
    if (s.size() == 3)
        s += ".0";
    return s;
}

std::string cdText(double cd)
{
    std::string s = numberText(cd);
    if (s[0] != '-')
        s = " " + s;
    if (s.size() == 2)
        s += ".00";
    if (s.size() == 4)
        s += "0";
    return s;
}

std::string diText(const DosageIndex& di)
{
    switch (di.kind) {
    case DosageIndex::Kind::Absent:
        return kNoPointsText;
    case DosageIndex::Kind::Infinite:
        return "  INF";
    case DosageIndex::Kind::Finite:
        break;
    }
    const std::string number = numberText(di.value);
    const std::string whole = number.substr(0, number.find('.'));
    if (whole.size() >= 3)
        return " " + whole; // the four-character cut would leave "1000" or "123."
    std::string s = number.substr(0, 4);
    if (s.size() == 1)
        s += ".00";
    if (s.size() == 2)
        s += ".0";
    if (s.size() == 3)
        s += "0";
    return " " + s;
}

void formatSummary(const DosageProfile& profile, SummaryTexts& texts)
{
    const auto at = [&texts](int box) -> std::string& { return texts[static_cast<std::size_t>(box - kGroupTotalBox)]; };
    for (int g = 0; g < kGroups; ++g)
        at(kGroupTotalBox + g) = numberText(profile.groupTotal[static_cast<std::size_t>(g)]);
    at(kTotalBox) = " " + numberText(profile.total);
    at(kSpeedBox) = speedText(profile.speed);
    at(kStaminaBox) = speedText(profile.stamina);
    if (!profile.cd) {
        at(kCdBox) = kNoPointsText;
        at(kDiBox) = kNoPointsText;
    } else {
        at(kCdBox) = cdText(*profile.cd);
        at(kDiBox) = diText(profile.di);
    }
}

ProfileTexts formatProfile(const DosageProfile& profile)
{
    ProfileTexts texts;
    for (int p = 0; p < kPositions; ++p)
        for (int g = 0; g < kGroups; ++g)
            if (const auto& c = profile.contribution[static_cast<std::size_t>(p)][static_cast<std::size_t>(g)])
                texts[static_cast<std::size_t>(kGroups * p + g)] = numberText(*c);
    SummaryTexts summary;
    formatSummary(profile, summary);
    for (int box = kGroupTotalBox; box < kProfileBoxes; ++box)
        texts[static_cast<std::size_t>(box)] = std::move(summary[static_cast<std::size_t>(box - kGroupTotalBox)]);
    return texts;
}

} // namespace quindle
