// A profile's summary: its texts are the boxes', its numbers the ones those
// texts show, and lists sort on them in one order.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

#include "dosage/format.h"
#include "dosage/number_order.h"
#include "dosage/profile_summary.h"

using namespace quindle;

namespace {

// What a player reads in a box: the number, INF, or nothing (NaN) for "--".
double numberRead(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (text == "INF")
        return std::numeric_limits<double>::infinity();
    if (text == "--")
        return std::numeric_limits<double>::quiet_NaN();
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_TRUE(error == std::errc() && end == text.data() + text.size()) << text;
    return value;
}

} // namespace

TEST(ProfileSummary, TextsAreTheBoxesAndNumbersAreWhatTheyShow)
{
    // Every mix of these totals: DIs below 1, between 10 and 100 and beyond 100,
    // INF, no points, and many DIs whose digits run on past the cut.
    const std::int32_t steps[] = {0, 1, 2, 3, 7, 16, 33, 160, 4001};
    int checked = 0;
    GroupTotals totals{};
    for (const std::int32_t b : steps)
        for (const std::int32_t i : steps)
            for (const std::int32_t c : steps)
                for (const std::int32_t s : steps)
                    for (const std::int32_t p : steps) {
                        totals = {b, i, c, s, p};
                        const DosageProfile profile = profileOfTotals(totals);
                        const ProfileTexts boxes = formatProfile(profile);
                        const ProfileSummary summary = summariseProfile(profile);
                        for (const SummaryColumnInfo& column : kSummaryColumnTable) {
                            const SummaryNumber& number = summary.*column.member;
                            ASSERT_EQ(boxes[static_cast<std::size_t>(column.box)], number.text)
                                << "box " << column.box << " of " << b << " " << i << " " << c << " " << s << " " << p;
                            const double read = numberRead(number.text);
                            ASSERT_TRUE(number.value == read || (std::isnan(read) && std::isnan(number.value)))
                                << column.key << " " << number.value << " shown as '" << number.text << "'";
                        }
                        ++checked;
                    }
    EXPECT_EQ(checked, 9 * 9 * 9 * 9 * 9);
    EXPECT_EQ(summariseProfile(profileOfTotals({40, 0, 0, 0, 1})).di.text, " 40.0");
    EXPECT_EQ(summariseProfile(profileOfTotals({401, 0, 0, 0, 2})).di.text, " 200");
}

TEST(ProfileSummary, ColumnsSortWithInfAboveAndMissingBelowKeepingShownTies)
{
    // Rows 0 and 3 both show a DI of 2.42 (17 / 7 and 109 / 45): they keep their
    // order whichever way the column is sorted.
    const std::vector<GroupTotals> rows{
        {8, 0, 1, 3, 0}, {4, 0, 0, 0, 0}, {0, 0, 0, 0, 0}, {54, 0, 1, 22, 0}, {3, 0, 0, 1, 0}};
    std::vector<ProfileSummary> summaries;
    for (const GroupTotals& totals : rows)
        summaries.push_back(summariseProfile(profileOfTotals(totals)));
    ASSERT_EQ(summaries[0].di.text, " 2.42");
    ASSERT_EQ(summaries[3].di.text, " 2.42");
    ASSERT_EQ(summaries[1].di.text, "  INF");
    ASSERT_EQ(summaries[2].di.text, kNoPointsText);
    const auto di = [&](std::uint32_t row) { return summaries[row].di.value; };

    std::vector<std::uint32_t> order{0, 1, 2, 3, 4};
    sortRowsByNumber(order, di, false);
    EXPECT_EQ(order, (std::vector<std::uint32_t>{2, 0, 3, 4, 1}));
    order = {0, 1, 2, 3, 4};
    sortRowsByNumber(order, di, true);
    EXPECT_EQ(order, (std::vector<std::uint32_t>{1, 4, 0, 3, 2}));
    // An earlier order of the tied rows stays too.
    order = {3, 2, 1, 0, 4};
    sortRowsByNumber(order, di, true);
    EXPECT_EQ(order, (std::vector<std::uint32_t>{1, 4, 3, 0, 2}));
}
