#include "dosage/format.h"

#include "dosage/profile_summary.h"

#include <algorithm>
#include <cstdio>
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

std::string fixedText(double value, int decimals)
{
    char text[kLongestNumber + 32];
    const int length = std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string shown(text, static_cast<std::size_t>(std::max(length, 0)));
    if (!shown.empty() && shown.front() == '-' && shown.find_first_not_of("-0.") == std::string::npos)
        shown.erase(0, 1); // -0.004 shows as zero
    return shown;
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

namespace {
// n / 2 as speedText shows it: "8.0", "8.5", "12.0", "100", "100.5".
char* writeHalves(char* out, std::int64_t twice)
{
    out = std::to_chars(out, out + 24, twice / 2).ptr;
    if (twice % 2)
        return std::copy_n(".5", 2, out);
    return twice < 200 ? std::copy_n(".0", 2, out) : out;
}

// The decimal digits of n / d (0 <= n, 0 < d) as diText cuts them: two after
// the point below 10, one below 100, none from 100 on.
char* writeCutQuotient(char* out, std::int64_t n, std::int64_t d)
{
    const std::int64_t whole = n / d;
    std::int64_t rest = n % d;
    out = std::to_chars(out, out + 24, whole).ptr;
    const int decimals = whole < 10 ? 2 : whole < 100 ? 1 : 0;
    if (decimals > 0)
        *out++ = '.';
    for (int i = 0; i < decimals; ++i) {
        rest *= 10;
        *out++ = static_cast<char>('0' + rest / d);
        rest %= d;
    }
    return out;
}
} // namespace

void appendSummaryColumns(const GroupTotals& totals, std::string& out)
{
    const auto [b, i, c, s, p] = totals;
    const std::int64_t total = std::int64_t{b} + i + c + s + p;
    const std::int64_t speed2 = 2 * (std::int64_t{b} + i) + c, stamina2 = c + 2 * (std::int64_t{s} + p);
    char text[16 * kSummaryColumns];
    char* at = text;
    for (const std::int64_t n :
         {std::int64_t{b}, std::int64_t{i}, std::int64_t{c}, std::int64_t{s}, std::int64_t{p}, total}) {
        *at++ = ',';
        at = std::to_chars(at, at + 24, n).ptr;
    }
    *at++ = ',';
    at = writeHalves(at, speed2);
    *at++ = ',';
    at = writeHalves(at, stamina2);
    if (total == 0) {
        at = std::copy_n(",--,--", 6, at);
    } else {
        // The CD is rounded as the window rounds it; its text is sign, whole, two decimals.
        const double cd = centerOfDistribution((b - p) * 2 + (i - s), static_cast<std::int32_t>(total));
        const auto hundredths = static_cast<std::int64_t>(std::nearbyint(cd * 100));
        const std::int64_t magnitude = hundredths < 0 ? -hundredths : hundredths;
        *at++ = ',';
        if (hundredths < 0)
            *at++ = '-';
        at = std::to_chars(at, at + 24, magnitude / 100).ptr;
        *at++ = '.';
        *at++ = static_cast<char>('0' + magnitude / 10 % 10);
        *at++ = static_cast<char>('0' + magnitude % 10);
        *at++ = ',';
        at = stamina2 == 0 ? std::copy_n("INF", 3, at) : writeCutQuotient(at, speed2, stamina2);
    }
    out.append(text, at);
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
