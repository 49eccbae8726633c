// The exact texts of the profile boxes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "dosage/format.h"
#include "dosage/profile_summary.h"
#include "export/text_forms.h"

using namespace quindle;

TEST(NumberText, PlainDecimalWithoutTrailingZeros)
{
    EXPECT_EQ(numberText(0), "0");
    EXPECT_EQ(numberText(-0.0), "0");
    EXPECT_EQ(numberText(8), "8");
    EXPECT_EQ(numberText(24), "24");
    EXPECT_EQ(numberText(0.5), "0.5");
    EXPECT_EQ(numberText(-0.5), "-0.5");
    EXPECT_EQ(numberText(8.5), "8.5");
    EXPECT_EQ(numberText(0.13), "0.13");
    EXPECT_EQ(numberText(2.4285714285714284), "2.42857142857143");
    EXPECT_EQ(numberText(1e-7), "0.0000001");
    EXPECT_EQ(numberText(1e20), "100000000000000000000");
    EXPECT_EQ(numberText(123456.5), "123456.5");
}

TEST(NumberText, HundredthsMatchFifteenSignificantDigits)
{
    // Whole numbers, halves and two-decimal values take a shorter road; it must
    // give what 15 significant digits give.
    std::mt19937 random(5);
    std::uniform_int_distribution<long long> hundredths(-99999999999, 99999999999);
    for (int i = 0; i < 20000; ++i) {
        const long long k = i < 2000 ? i - 1000 : hundredths(random);
        const double value = static_cast<double>(k) / 100;
        char expected[40];
        std::snprintf(expected, sizeof expected, "%.15g", value);
        ASSERT_EQ(numberText(value), expected == std::string("-0") ? "0" : expected) << k;
    }
    EXPECT_EQ(numberText(-0.05), "-0.05");
    EXPECT_EQ(numberText(-12.5), "-12.5");
    EXPECT_EQ(numberText(0.07), "0.07");
    EXPECT_EQ(numberText(0.1 + 0.2), "0.3"); // 15 significant digits
    EXPECT_EQ(numberText(0.125), "0.125");
}

namespace {
// numberText's rule spelled out with printf as the source of the 15 digits.
std::string plainDecimalByPrintf(double value)
{
    if (value == 0)
        return "0";
    char sci[64];
    std::snprintf(sci, sizeof sci, "%.14e", value);
    std::string text = sci;
    const bool negative = text[0] == '-';
    if (negative)
        text.erase(0, 1);
    const std::size_t e = text.find('e');
    const int exponent = std::stoi(text.substr(e + 1));
    std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
    digits.erase(std::max<std::size_t>(1, digits.find_last_not_of('0') + 1));
    std::string plain;
    if (exponent < 0)
        plain = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    else if (digits.size() <= static_cast<std::size_t>(exponent) + 1)
        plain = digits + std::string(static_cast<std::size_t>(exponent) + 1 - digits.size(), '0');
    else
        plain = digits.substr(0, static_cast<std::size_t>(exponent) + 1) + "." +
                digits.substr(static_cast<std::size_t>(exponent) + 1);
    return (negative ? "-" : "") + plain;
}
} // namespace

TEST(NumberText, AgreesWithPrintfOverEveryRoadAndMagnitude)
{
    std::mt19937_64 random(8);
    std::uniform_real_distribution<double> unit(-1, 1);
    std::uniform_int_distribution<int> power(-40, 40), small(1, 400);
    for (int i = 0; i < 100000; ++i) {
        double value = 0;
        switch (i % 4) {
        case 0:
            value = unit(random) * std::pow(10.0, power(random));
            break; // anything
        case 1:
            value = static_cast<double>(small(random)) / small(random);
            break; // a DI: Speed over Stamina
        case 2:
            value = std::round(unit(random) * 1e6) / 100;
            break; // two decimals, as CD
        case 3:
            value = std::round(unit(random) * 1e17);
            break; // large whole numbers
        }
        ASSERT_EQ(numberText(value), plainDecimalByPrintf(value)) << value;
    }
    EXPECT_EQ(numberText(1e300).size(), 301u);
    EXPECT_EQ(numberText(-5e-324), plainDecimalByPrintf(-5e-324));
}

TEST(SpeedText, PaddedToOneDecimal)
{
    EXPECT_EQ(speedText(0), "  0.0");
    EXPECT_EQ(speedText(8), "  8.0");
    EXPECT_EQ(speedText(8.5), "  8.5");
    EXPECT_EQ(speedText(9.5), "  9.5");
    EXPECT_EQ(speedText(10), " 10.0");
    EXPECT_EQ(speedText(12.5), " 12.5");
    EXPECT_EQ(speedText(24), " 24.0");
}

TEST(CdText, SignOrBlankThenTwoDecimals)
{
    EXPECT_EQ(cdText(0), " 0.00");
    EXPECT_EQ(cdText(2), " 2.00");
    EXPECT_EQ(cdText(-1), "-1.00");
    EXPECT_EQ(cdText(0.5), " 0.50");
    EXPECT_EQ(cdText(-0.5), "-0.50");
    EXPECT_EQ(cdText(0.13), " 0.13");
    EXPECT_EQ(cdText(-0.12), "-0.12");
    EXPECT_EQ(cdText(1.25), " 1.25");
    EXPECT_EQ(cdText(-2), "-2.00");
}

TEST(DiText, CutToFourCharactersNotRounded)
{
    auto di = [](double v) { return diText({DosageIndex::Kind::Finite, v}); };
    EXPECT_EQ(di(0), " 0.00");
    EXPECT_EQ(di(3), " 3.00");
    EXPECT_EQ(di(1.5), " 1.50");
    EXPECT_EQ(di(8.5 / 3.5), " 2.42");
    EXPECT_EQ(di(10.0 / 3), " 3.33");
    EXPECT_EQ(di(0.3), " 0.30");
    EXPECT_EQ(di(1.0 / 24), " 0.04");
    EXPECT_EQ(di(12), " 12.0");
    EXPECT_EQ(di(47), " 47.0");
    EXPECT_EQ(di(99.99), " 99.9");
    EXPECT_EQ(diText({DosageIndex::Kind::Infinite, 0}), "  INF");
    EXPECT_EQ(diText({DosageIndex::Kind::Absent, 0}), "   -- ");
}

TEST(DiText, HundredAndMoreShowsTheWholePart)
{
    auto di = [](double v) { return diText({DosageIndex::Kind::Finite, v}); };
    EXPECT_EQ(di(100), " 100");
    EXPECT_EQ(di(123.4), " 123");
    EXPECT_EQ(di(99.999999999999999), " 100"); // rounds to 100 at 15 digits
    EXPECT_EQ(di(65534), " 65534");
}

TEST(FormatProfile, NoPointsShowZerosAndDashes)
{
    const ProfileTexts t = formatProfile(computeProfile({}, ChefTable{}));
    for (int i = 0; i < 35; ++i)
        EXPECT_FALSE(t[static_cast<std::size_t>(i)].has_value()) << i;
    for (int g = 0; g < 5; ++g)
        EXPECT_EQ(t[static_cast<std::size_t>(35 + g)], "0");
    EXPECT_EQ(t[40], " 0");
    EXPECT_EQ(t[41], "   -- ");
    EXPECT_EQ(t[42], "   -- ");
    EXPECT_EQ(t[43], "  0.0");
    EXPECT_EQ(t[44], "  0.0");
}

TEST(FormatProfile, AllBrilliantShowsCdTwoAndInfiniteDi)
{
    AncestorNames names;
    names[0] = "B";
    const ProfileTexts t = formatProfile(computeProfile(names, ChefTable({{"B", {2, 0, 0, 0, 0}}})));
    EXPECT_EQ(t[0], "8");
    EXPECT_FALSE(t[1].has_value());
    EXPECT_EQ(t[35], "8");
    EXPECT_EQ(t[36], "0");
    EXPECT_EQ(t[40], " 8");
    EXPECT_EQ(t[41], " 2.00");
    EXPECT_EQ(t[42], "  INF");
    EXPECT_EQ(t[43], "  8.0");
    EXPECT_EQ(t[44], "  0.0");
}

TEST(FormatProfile, ContributionsLandInTheirGridBoxes)
{
    AncestorNames names{"A", "B", "C", "D", "E", "F", "G"};
    const ChefTable chefs({{"G", {0, 0, 0, 0, 1}}, {"C", {0, 0, 1, 0, 0}}, {"A", {1, 0, 0, 0, 0}}});
    const ProfileTexts t = formatProfile(computeProfile(names, chefs));
    EXPECT_EQ(t[0], "4");         // Sire, B
    EXPECT_EQ(t[5 * 2 + 2], "2"); // Dam-Sire, C
    EXPECT_EQ(t[5 * 6 + 4], "1"); // Dam's Dam-Sire, P
    EXPECT_EQ(t[40], " 7");
    EXPECT_EQ(t[43], "  5.0");
    EXPECT_EQ(t[44], "  2.0");
    EXPECT_EQ(t[42], " 2.50");
    EXPECT_EQ(t[41], " 0.86"); // X = 2 * (4 - 1) + 0 = 6, 6 / 7
}

// Random chef tables and pedigrees: the invariants the window relies on.
TEST(FormatProfile, InvariantsHoldForRandomProfiles)
{
    std::mt19937 random(20261208);
    auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const char* pool[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K (IRE)", "L  (GB)", "M", ""};
    for (int round = 0; round < 20000; ++round) {
        std::vector<ChefEntry> rows;
        const int count = below(8);
        for (int r = 0; r < count; ++r) {
            ChefEntry e{std::string(1, static_cast<char>('A' + below(13))), {}};
            for (auto& v : e.points)
                v = static_cast<std::int16_t>(below(5) - 1);
            rows.push_back(e);
        }
        const ChefTable chefs(rows);
        AncestorNames names;
        for (auto& n : names)
            n = pool[below(14)];
        const DosageProfile p = computeProfile(names, chefs);
        const ProfileTexts t = formatProfile(p);

        bool anyPresent = false;
        for (const auto& row : p.contribution)
            for (const auto& c : row) {
                anyPresent = anyPresent || c.has_value();
                if (c) {
                    ASSERT_GT(*c, 0);
                }
            }
        ASSERT_EQ(p.total == 0, !anyPresent);
        ASSERT_EQ(p.speed + p.stamina, p.total);
        if (p.total == 0) {
            ASSERT_EQ(t[41], "   -- ");
            ASSERT_EQ(t[42], "   -- ");
            continue;
        }
        ASSERT_GE(*p.cd, -2.0);
        ASSERT_LE(*p.cd, 2.0);
        ASSERT_EQ(t[41]->size(), 5u) << *t[41];
        if (p.di.kind != DosageIndex::Kind::Finite || p.di.value < 100) {
            ASSERT_EQ(t[42]->size(), 5u) << *t[42];
        }
    }
}

TEST(SummaryColumns, FromIntegersTheSameTextsAsTheBoxesOverEveryValueInRange)
{
    const auto boxes = [](const GroupTotals& totals) {
        const ProfileSummary summary = summariseProfile(profileOfTotals(totals));
        std::string out;
        for (const SummaryColumnInfo& column : kSummaryColumnTable) {
            out += ',';
            appendTrimmed(out, (summary.*column.member).text);
        }
        return out;
    };
    const auto fromIntegers = [](const GroupTotals& totals) {
        std::string out;
        appendSummaryColumns(totals, out);
        return out;
    };
    // Speed and Stamina are halves of 2(B + I) + C and C + 2(S + P), which share
    // C's parity; DI is their ratio. Every such pair up to 700.
    for (std::int32_t speed2 = 0; speed2 <= 700; ++speed2)
        for (std::int32_t stamina2 = speed2 % 2; stamina2 <= 700; stamina2 += 2) {
            const std::int32_t c = speed2 % 2;
            const GroupTotals totals{(speed2 - c) / 2, 0, c, (stamina2 - c) / 2, 0};
            ASSERT_EQ(fromIntegers(totals), boxes(totals)) << speed2 << " " << stamina2;
        }
    // The CD from every mix of small group totals, each sign and rounding.
    for (std::int32_t b = 0; b <= 14; ++b)
        for (std::int32_t i = 0; i <= 14; ++i)
            for (std::int32_t s = 0; s <= 14; ++s)
                for (std::int32_t p = 0; p <= 14; ++p)
                    for (const std::int32_t c : {0, 1, 2, 9}) {
                        const GroupTotals totals{b, i, c, s, p};
                        ASSERT_EQ(fromIntegers(totals), boxes(totals)) << b << i << c << s << p;
                    }
    // And totals up to what seven chefs of the largest points can give.
    std::mt19937 random(8);
    std::uniform_int_distribution<std::int32_t> any(0, 12 * 32767), few(0, 40);
    for (int n = 0; n < 100000; ++n) {
        GroupTotals totals;
        for (std::int32_t& total : totals)
            total = n % 2 ? any(random) : few(random) * (n % 3 ? 1 : 1000);
        ASSERT_EQ(fromIntegers(totals), boxes(totals));
    }
}
