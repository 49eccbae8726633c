// The numbers behind the pictures: the common scale, the CD's place, the crop
// of a stallion in bins, the profile read back from the boxes, and the
// comparison's marks and text.
#include <gtest/gtest.h>

#include "main_state/shown_profile.h"
#include "compare/comparison.h"
#include "dosage/chart_scale.h"
#include "dosage/format.h"
#include "search/foal_crop.h"

using namespace quindle;

namespace {

FoalProfile foalWith(GroupTotals totals)
{
    FoalProfile foal;
    foal.profile = profileOfTotals(totals);
    return foal;
}

CandidateShown candidateWith(GroupTotals totals, AncestorNames lineage = {})
{
    CandidateShown c;
    c.profile = profileOfTotals(totals);
    summariseProfile(*c.profile, c.summary);
    c.lineage = std::move(lineage);
    return c;
}

} // namespace

TEST(ChartNumbers, TheScaleIsTheLargestGroupRoundedUpToFourAndTheCdStandsOnItsScale)
{
    EXPECT_EQ(commonScale(std::vector<GroupTotals>{}), 4);
    EXPECT_EQ(commonScale(GroupTotals{0, 0, 0, 0, 0}), 4);
    EXPECT_EQ(commonScale(std::vector<GroupTotals>{{1, 2, 3, 0, 0}, {0, 9, 0, 0, 0}}), 12);
    EXPECT_EQ(commonScale(GroupTotals{8, 0, 0, 0, 0}), 8);
    EXPECT_DOUBLE_EQ(cdPlace(-2), 0);
    EXPECT_DOUBLE_EQ(cdPlace(0), 0.5);
    EXPECT_DOUBLE_EQ(cdPlace(1), 0.75);
    EXPECT_DOUBLE_EQ(cdPlace(2), 1);
}

TEST(FoalCrop, EveryFoalFallsInOneDiAndOneCdBarAndTheCountsAddUp)
{
    // Foals of known DI and CD, at the edges of bins and in the bars of their own.
    const std::vector<FoalProfile> foals{
        foalWith({0, 0, 4, 0, 0}),  // DI 1, CD 0
        foalWith({4, 0, 0, 0, 0}),  // INF, CD 2
        foalWith({0, 0, 0, 0, 0}),  // no points: "--" twice
        foalWith({0, 0, 0, 0, 4}),  // DI 0, CD -2
        foalWith({2, 0, 0, 0, 0}),  // INF, CD 2
        foalWith({3, 1, 0, 0, 0}),  // INF, CD 1.75
        foalWith({1, 0, 0, 1, 0}),  // DI 1, CD 0.5
        foalWith({12, 4, 0, 0, 1}), // DI 16 in the last bin
    };
    const FoalCrop crop = cropOf(foals);
    EXPECT_EQ(crop.foals, 8);
    EXPECT_EQ(crop.diInfinite, 3);
    EXPECT_EQ(crop.diNone, 1);
    EXPECT_EQ(crop.cdNone, 1);
    EXPECT_EQ(crop.di[0], 1);           // DI 0
    EXPECT_EQ(crop.di[2], 2);           // DI 1.0 and 1.0: a bin's lower edge is in it
    EXPECT_EQ(crop.di[kDiBins - 1], 1); // DI 16
    EXPECT_EQ(crop.cd[0], 1);           // -2
    EXPECT_EQ(crop.cd[8], 1);           // 0
    EXPECT_EQ(crop.cd[10], 1);          // 0.5
    EXPECT_EQ(crop.cd[kCdBins - 1], 3); // 1.75, 2 and 2
    int di = crop.diInfinite + crop.diNone, cd = crop.cdNone;
    for (const int n : crop.di)
        di += n;
    for (const int n : crop.cd)
        cd += n;
    EXPECT_EQ(di, 8);
    EXPECT_EQ(cd, 8);

    const CropPlace place = placeOf(foals[6].profile);
    EXPECT_EQ(place.di, CropPlace::Di::Bin);
    EXPECT_EQ(place.diBin, 2);
    EXPECT_EQ(place.cdBin, 10);
    EXPECT_EQ(placeOf(foals[2].profile).di, CropPlace::Di::None);
    EXPECT_FALSE(placeOf(foals[2].profile).cdBin.has_value());
}

TEST(ShownProfile, TheBoxesGiveBackTheProfileTheyShowAndNothingWhenEmptyOrNotNumbers)
{
    MainBoxes boxes;
    EXPECT_FALSE(profileOfBoxes(boxes).has_value());
    const DosageProfile profile = profileOfTotals({3, 1, 4, 1, 5});
    const ProfileTexts texts = formatProfile(profile);
    for (int i = 0; i < kProfileBoxes; ++i)
        boxes.profileTexts[static_cast<std::size_t>(i)] = texts[static_cast<std::size_t>(i)].value_or("");
    const auto read = profileOfBoxes(boxes);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->groupTotal, profile.groupTotal);
    EXPECT_EQ(read->cd, profile.cd);
    EXPECT_EQ(read->di, profile.di);
    boxes.profileTexts[kGroupTotalBox + 2] = "4x";
    EXPECT_FALSE(profileOfBoxes(boxes).has_value());
}

TEST(Comparison, BestRowsFollowTheTargetAndNamesSharedBetweenCandidatesAreMarked)
{
    const std::vector<CandidateShown> shown{
        candidateWith({4, 2, 0, 0, 0}, {"ALPHA", "BETA (IRE)", "", "", "", "", ""}), // DI INF, CD 1.67, total 6
        candidateWith({2, 2, 4, 2, 2}, {"GAMMA", "BETA", "", "", "", "", ""}),       // DI 1, CD 0, total 12
        candidateWith({1, 1, 2, 3, 1}, {"DELTA", "", "", "", "", "", ""}),           // DI 0.6, CD -0.25, total 8
        candidateWith({0, 0, 0, 0, 0}, {"ALPHA", "", "", "", "", "", ""}),           // no points
    };
    CompareTarget target;
    target.di = ValueRange{0.9, 1.5};
    target.cd = ValueRange{std::nullopt, -0.5};
    const auto best = bestOfRows(shown, target);
    EXPECT_EQ(best[static_cast<int>(CompareRow::Total)], (std::vector<bool>{false, true, false, false}));
    EXPECT_EQ(best[static_cast<int>(CompareRow::Di)], (std::vector<bool>{false, true, false, false}));
    EXPECT_EQ(best[static_cast<int>(CompareRow::Cd)], (std::vector<bool>{false, false, true, false}));
    // Without a target nothing is best for DI and CD; the "--" candidate never is.
    const auto open = bestOfRows(shown, {});
    EXPECT_EQ(open[static_cast<int>(CompareRow::Di)], (std::vector<bool>(4, false)));
    EXPECT_EQ(open[static_cast<int>(CompareRow::Cd)], (std::vector<bool>(4, false)));
    // INF is inside a range without an upper bound, tied with every finite DI there.
    target.di = ValueRange{0.75, std::nullopt};
    EXPECT_EQ(bestOfRows(shown, target)[static_cast<int>(CompareRow::Di)],
              (std::vector<bool>{true, true, false, false}));
    // Two that show the same DI (0.7857 and 0.7895, both "0.78") are alike for the target.
    const std::vector<CandidateShown> alike{candidateWith({0, 7, 8, 2, 8}), candidateWith({0, 4, 7, 0, 6})};
    ASSERT_EQ(alike[0].summary.di.text, alike[1].summary.di.text);
    target.di = ValueRange{1.0, std::nullopt};
    EXPECT_EQ(bestOfRows(alike, target)[static_cast<int>(CompareRow::Di)], (std::vector<bool>{true, true}));
    // A candidate alone (beside one without points) is the best of nothing.
    const std::vector<CandidateShown> alone{shown[1], shown[3]};
    for (const auto& row : bestOfRows(alone, target))
        EXPECT_EQ(row, (std::vector<bool>{false, false}));

    const auto shared = sharedNames(shown);
    EXPECT_TRUE(shared[0][0]); // ALPHA stands in the fourth too
    EXPECT_TRUE(shared[0][1]); // BETA (IRE) is BETA
    EXPECT_TRUE(shared[1][1]);
    EXPECT_FALSE(shared[1][0]);
    EXPECT_FALSE(shared[2][0]);
    EXPECT_FALSE(shared[0][2]); // blanks are nobody
}

TEST(Comparison, TheTextHasTheNamesInChartOrderThenTheNumbersAndCsvQuotesCommas)
{
    std::vector<CandidateShown> shown{
        candidateWith({2, 2, 4, 2, 2}, {"S", "SS", "DS", "SSS", "SDS", "DSS", "DDS"}),
    };
    shown[0].label = "WELL, WELL (5)";
    // A mating is titled by its names; one without a dam's dam-sire ends at the dam-sire.
    EXPECT_EQ(matingLabel({"RED CAP", "OLD GREY", "NORTH STAR"}), "RED CAP x OLD GREY / NORTH STAR");
    EXPECT_EQ(matingLabel({"RED CAP", "OLD GREY", ""}), "RED CAP x OLD GREY");
    const std::string text = comparisonTabText(shown);
    EXPECT_EQ(text.substr(0, text.find("B\t")),
              "\tWELL, WELL (5)\nSire\tS\nSire's Sire\tSS\nSire's Sire's Sire\tSSS\nSire's Dam-Sire\tSDS\n"
              "Dam-Sire\tDS\nDam-Sire's Sire\tDSS\nDam's Dam-Sire\tDDS\n");
    EXPECT_NE(text.find("Total\t12\nSpeed\t"), std::string::npos);
    EXPECT_NE(text.find("\nCD\t0.00\nDI\t1.00\n"), std::string::npos);
    EXPECT_EQ(comparisonCsv(shown).substr(0, 19), ",\"WELL, WELL (5)\"\r\n");
}
