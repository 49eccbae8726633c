#include "dosage/format.h"

#include "dosage/profile_summary.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace quindle {

namespace {

// Every number text fits: 309 digits of the largest double, or "0." and 323
// zeros before the digits of the smallest, and a sign.
constexpr std::size_t kLongestNumber = 352;

// Writes numberText's text at `out` and returns its end. The texts are built in
// place: a summary of a million horses makes ten of them for each.
char* writeNumber(char* out, double value)
{
    if (value == 0) {
        *out++ = '0';
        return out;
    }
    // Whole numbers are by far the most common: points, totals.
    if (std::abs(value) < 1e15 && value == std::trunc(value))
        return std::to_chars(out, out + 24, static_cast<long long>(value)).ptr;
    // Hundredths come next: halves (Speed, Stamina) and two-decimal values (CD).
    // A value that is the double nearest to k / 100, with k of at most 14 digits,
    // has exactly that decimal as its 15 significant digits.
    if (std::abs(value) < 1e12) {
        const double hundredths = std::nearbyint(value * 100);
        if (hundredths / 100 == value) {
            const auto k = static_cast<long long>(hundredths);
            const long long magnitude = k < 0 ? -k : k;
            if (k < 0)
                *out++ = '-';
            out = std::to_chars(out, out + 24, magnitude / 100).ptr;
            if (const long long cents = magnitude % 100) {
                *out++ = '.';
                *out++ = static_cast<char>('0' + cents / 10);
                if (cents % 10)
                    *out++ = static_cast<char>('0' + cents % 10);
            }
            return out;
        }
    }
    // 15 significant digits in scientific form, "d.ddddddddddddddde+x", then laid
    // out as a plain decimal.
    char sci[40];
    const char* const sciEnd = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific, 14).ptr;
    if (!std::isfinite(value))
        return std::copy(static_cast<const char*>(sci), sciEnd, out);
    const char* p = sci;
    if (*p == '-')
        *out++ = *p++;
    char digits[16];
    std::size_t count = 0;
    digits[count++] = *p;
    for (p += 2; *p != 'e'; ++p)
        digits[count++] = *p;
    ++p;
    if (*p == '+')
        ++p;
    int exponent = 0;
    std::from_chars(p, sciEnd, exponent);
    while (count > 1 && digits[count - 1] == '0')
        --count;

    if (exponent < 0) {
        *out++ = '0';
        *out++ = '.';
        out = std::fill_n(out, -exponent - 1, '0');
        return std::copy(digits, digits + count, out);
    }
    const auto whole = static_cast<std::size_t>(exponent) + 1;
    if (count <= whole) {
        out = std::copy(digits, digits + count, out);
        return std::fill_n(out, whole - count, '0');
    }
    out = std::copy(digits, digits + whole, out);
    *out++ = '.';
    return std::copy(digits + whole, digits + count, out);
}

} // namespace

std::string numberText(double value)
{
    char text[kLongestNumber];
    return std::string(text, writeNumber(text, value));
}

std::string speedText(double value)
{
    char text[kLongestNumber + 4];
    char* end = text;
    *end++ = ' ';
    if (value < 10)
        *end++ = ' ';
    end = writeNumber(end, value);
    if (end - text == 3) {
        *end++ = '.';
        *end++ = '0';
    }
    return std::string(text, end);
}

std::string cdText(double cd)
{
    char text[kLongestNumber + 4];
    text[0] = ' ';
    char* end = writeNumber(text + 1, cd);
    char* start = text[1] == '-' ? text + 1 : text;
    if (end - start == 2)
        end = std::copy_n(".00", 3, end);
    if (end - start == 4)
        *end++ = '0';
    return std::string(start, end);
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
    char text[kLongestNumber + 4];
    text[0] = ' ';
    char* const number = text + 1;
    char* const end = writeNumber(number, di.value);
    const char* const point = std::find(number, end, '.');
    if (point - number >= 3)
        return std::string(static_cast<const char*>(text),
                           point); // the four-character cut would leave "1000" or "123."
    char* cut = number + std::min<std::ptrdiff_t>(end - number, 4);
    if (cut - number == 1)
        cut = std::copy_n(".00", 3, cut);
    if (cut - number == 2)
        cut = std::copy_n(".0", 2, cut);
    if (cut - number == 3)
        *cut++ = '0';
    return std::string(text, cut);
}

ProfileTexts formatProfile(const DosageProfile& profile)
{
    ProfileTexts texts;
    for (int p = 0; p < kPositions; ++p)
        for (int g = 0; g < kGroups; ++g)
            if (const auto& c = profile.contribution[static_cast<std::size_t>(p)][static_cast<std::size_t>(g)])
                texts[static_cast<std::size_t>(kGroups * p + g)] = numberText(*c);
    ProfileSummary summary = summariseProfile(profile);
    for (const SummaryColumnInfo& column : kSummaryColumnTable)
        texts[static_cast<std::size_t>(column.box)] = std::move((summary.*column.member).text);
    return texts;
}

} // namespace quindle
