// The dosage profile computed from seven names and the chef table.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "dosage/profile.h"

using namespace quindle;

namespace {

ChefTable table(std::vector<ChefEntry> rows) { return ChefTable(std::move(rows)); }

AncestorNames onlyAt(int position, const std::string& name)
{
    AncestorNames names;
    names[static_cast<std::size_t>(position)] = name;
    return names;
}

} // namespace

TEST(NormaliseName, CutsAtTheFirstParenthesisAndDropsTheBlanksBeforeIt)
{
    EXPECT_EQ(normaliseName("Star Lantern (IRE)"), "Star Lantern");
    EXPECT_EQ(normaliseName("Star Lantern  (IRE)"), "Star Lantern");
    EXPECT_EQ(normaliseName("Star Lantern(IRE)"), "Star Lantern");
    EXPECT_EQ(normaliseName("Star Lantern (IRE) (2)"), "Star Lantern");
    EXPECT_EQ(normaliseName("Star Lantern "), "Star Lantern ");
    EXPECT_EQ(normaliseName("(IRE)"), "");
    EXPECT_EQ(normaliseName(""), "");
    EXPECT_EQ(normaliseName("Star\t(IRE)"), "Star\t"); // only the space counts as a blank
}

TEST(FindChef, ExactCaseSensitiveFirstMatch)
{
    const ChefTable chefs = table({{"Star Lantern", {1, 0, 0, 0, 0}}, {"Star Lantern", {0, 2, 0, 0, 0}}});
    EXPECT_EQ(findChef("Star Lantern (IRE)", chefs), &chefs.rows()[0]);
    EXPECT_EQ(findChef("star lantern", chefs), nullptr);
    EXPECT_EQ(findChef("Star Lantern ", chefs), nullptr);
    EXPECT_EQ(findChef("", chefs), nullptr);
    const ChefTable withEmpty = table({{"", {1, 0, 0, 0, 0}}});
    EXPECT_EQ(findChef("(IRE)", withEmpty), &withEmpty.rows()[0]);
}

TEST(ComputeProfile, NoChefGivesNothingAtAll)
{
    const DosageProfile p = computeProfile({"A", "B", "C", "D", "E", "F", "G"}, table({{"Z", {2, 2, 2, 2, 2}}}));
    for (const auto& row : p.contribution)
        for (const auto& c : row)
            EXPECT_FALSE(c.has_value());
    EXPECT_EQ(p.total, 0);
    EXPECT_EQ(p.speed, 0);
    EXPECT_EQ(p.stamina, 0);
    EXPECT_EQ(p.cdNumerator, 0);
    EXPECT_FALSE(p.cd.has_value());
    EXPECT_EQ(p.di.kind, DosageIndex::Kind::Absent);
}

TEST(ComputeProfile, SireWithOnlyIntermediatePointsHasInfiniteDI)
{
    const DosageProfile p = computeProfile(onlyAt(0, "X"), table({{"X", {0, 2, 0, 0, 0}}}));
    EXPECT_EQ(p.contribution[0][1], 8);
    EXPECT_FALSE(p.contribution[0][0].has_value());
    EXPECT_EQ(p.groupTotal[1], 8);
    EXPECT_EQ(p.total, 8);
    EXPECT_EQ(p.speed, 8);
    EXPECT_EQ(p.stamina, 0);
    EXPECT_EQ(p.cdNumerator, 8);
    EXPECT_EQ(p.cd, 1.0);
    EXPECT_EQ(p.di.kind, DosageIndex::Kind::Infinite);
}

TEST(ComputeProfile, WeightsFollowTheGeneration)
{
    const ChefTable chefs = table({{"X", {1, 1, 0, 0, 0}}});
    const DosageProfile p = computeProfile(onlyAt(1, "X"), chefs);
    EXPECT_EQ(p.contribution[1][0], 2);
    EXPECT_EQ(p.contribution[1][1], 2);
    EXPECT_EQ(p.total, 4);
    EXPECT_EQ(p.cdNumerator, 6);
    EXPECT_EQ(p.cd, 1.5);
    for (int position = 3; position < 7; ++position)
        EXPECT_EQ(computeProfile(onlyAt(position, "X"), chefs).contribution[static_cast<std::size_t>(position)][0], 1);
}

TEST(ComputeProfile, ClassicOnlyIsBalanced)
{
    const DosageProfile p = computeProfile(onlyAt(0, "X"), table({{"X", {0, 0, 2, 0, 0}}}));
    EXPECT_EQ(p.groupTotal[2], 8);
    EXPECT_EQ(p.speed, 4);
    EXPECT_EQ(p.stamina, 4);
    EXPECT_EQ(p.cdNumerator, 0);
    EXPECT_EQ(p.cd, 0.0);
    EXPECT_EQ(p.di, (DosageIndex{DosageIndex::Kind::Finite, 1.0}));
}

TEST(ComputeProfile, ZeroAndNegativeValuesAreAbsentNotZero)
{
    const DosageProfile p = computeProfile(onlyAt(0, "X"), table({{"X", {0, -2, 1, 0, -32768}}}));
    EXPECT_FALSE(p.contribution[0][0].has_value());
    EXPECT_FALSE(p.contribution[0][1].has_value());
    EXPECT_EQ(p.contribution[0][2], 4);
    EXPECT_FALSE(p.contribution[0][4].has_value());
    EXPECT_EQ(p.total, 4);
}

TEST(ComputeProfile, SameChefAtTwoPositionsEarnsAtEach)
{
    AncestorNames names;
    names[0] = "X (IRE)";
    names[1] = "X";
    const DosageProfile p = computeProfile(names, table({{"X", {1, 0, 0, 0, 2}}}));
    EXPECT_EQ(p.contribution[0][0], 4);
    EXPECT_EQ(p.contribution[1][0], 2);
    EXPECT_EQ(p.contribution[0][4], 8);
    EXPECT_EQ(p.contribution[1][4], 4);
    EXPECT_EQ(p.groupTotal[0], 6);
    EXPECT_EQ(p.groupTotal[4], 12);
}

TEST(ComputeProfile, LargestValuesDoNotOverflow)
{
    AncestorNames names;
    names.fill("X");
    const DosageProfile p = computeProfile(names, table({{"X", {32767, 32767, 32767, 32767, 32767}}}));
    EXPECT_EQ(p.groupTotal[0], 32767 * 12);
    EXPECT_EQ(p.total, 32767 * 60);
    EXPECT_EQ(p.cd, 0.0);
}

TEST(CenterOfDistribution, RoundsHalvesAsTheTableShows)
{
    EXPECT_EQ(centerOfDistribution(1, 8), 0.13);
    EXPECT_EQ(centerOfDistribution(-1, 8), -0.12);
    EXPECT_EQ(centerOfDistribution(1, 3), 0.33);
    EXPECT_EQ(centerOfDistribution(2, 3), 0.67);
    EXPECT_EQ(centerOfDistribution(-1, 24), -0.04);
    EXPECT_EQ(centerOfDistribution(16, 8), 2.0);
    EXPECT_EQ(centerOfDistribution(-16, 8), -2.0);
    EXPECT_EQ(centerOfDistribution(0, 5), 0.0);
}

TEST(ComputeProfile, GroupTotalsAloneAndTheProfileOfTotalsAgreeWithTheWholeProfile)
{
    // Summaries of many horses take only the group totals and derive the rest
    // from them: both roads must give the window's numbers.
    const ChefTable chefs = table({{"A", {1, 0, 2, 0, 0}},
                                   {"B", {0, 3, 0, -1, 0}},
                                   {"C", {0, 0, 0, 0, 4}},
                                   {"D", {2, 2, 2, 2, 2}},
                                   {"E", {0, 0, 0, 5, 0}},
                                   {"F", {7, 0, 0, 0, 0}}});
    std::mt19937 random(3);
    for (int round = 0; round < 2000; ++round) {
        AncestorNames names;
        for (auto& name : names)
            name = std::string(1, "ABCDEFGX"[random() % 8]) + (random() % 2 ? " (USA)" : "");
        const DosageProfile whole = computeProfile(names, chefs);
        AncestorViews views;
        std::copy(names.begin(), names.end(), views.begin());
        ASSERT_EQ(groupTotalsOfViews(views, chefs), whole.groupTotal);
        const DosageProfile summary = profileOfTotals(whole.groupTotal);
        EXPECT_EQ(summary.total, whole.total);
        EXPECT_EQ(summary.speed, whole.speed);
        EXPECT_EQ(summary.stamina, whole.stamina);
        EXPECT_EQ(summary.cdNumerator, whole.cdNumerator);
        EXPECT_EQ(summary.cd, whole.cd);
        EXPECT_EQ(summary.di, whole.di);
    }
}
