// Repeated sires on hand-made pedigrees.
#include <gtest/gtest.h>

#include <algorithm>

#include "dosage/repeated_sires.h"

using namespace quindle;

namespace {

// Seven different names, so only what a test puts in repeats.
AncestorViews distinct() { return {"A1", "B2", "C2", "D3", "E3", "F3", "G3"}; }

} // namespace

TEST(RepeatedSiresTest, EveryPairOfPlacesIsWrittenSireSideFirstThenByGeneration)
{
    // Places in lineage order: Sire, Sire's Sire, Dam-Sire, Sire's Sire's Sire,
    // Sire's Dam-Sire, Dam-Sire's Sire, Dam's Dam-Sire.
    const struct {
        int a, b;
        const char* notation;
    } pairs[] = {
        {0, 1, "WIND CAP 1S x 2S"}, {0, 2, "WIND CAP 1S x 2D"}, {0, 3, "WIND CAP 1S x 3S"}, {0, 4, "WIND CAP 1S x 3S"},
        {0, 5, "WIND CAP 1S x 3D"}, {0, 6, "WIND CAP 1S x 3D"}, {1, 2, "WIND CAP 2S x 2D"}, {1, 3, "WIND CAP 2S x 3S"},
        {1, 4, "WIND CAP 2S x 3S"}, {1, 5, "WIND CAP 2S x 3D"}, {1, 6, "WIND CAP 2S x 3D"}, {2, 3, "WIND CAP 3S x 2D"},
        {2, 4, "WIND CAP 3S x 2D"}, {2, 5, "WIND CAP 2D x 3D"}, {2, 6, "WIND CAP 2D x 3D"}, {3, 4, "WIND CAP 3S x 3S"},
        {3, 5, "WIND CAP 3S x 3D"}, {3, 6, "WIND CAP 3S x 3D"}, {4, 5, "WIND CAP 3S x 3D"}, {4, 6, "WIND CAP 3S x 3D"},
        {5, 6, "WIND CAP 3D x 3D"},
    };
    for (const auto& pair : pairs) {
        AncestorViews lineage = distinct();
        lineage[static_cast<std::size_t>(pair.a)] = lineage[static_cast<std::size_t>(pair.b)] = "WIND CAP";
        SCOPED_TRACE(std::to_string(pair.a) + "," + std::to_string(pair.b));
        const auto repeats = repeatedSires(lineage);
        ASSERT_EQ(repeats.size(), 1u);
        EXPECT_EQ(repeats[0].name, "WIND CAP");
        EXPECT_EQ(repeats[0].notation, pair.notation);
        EXPECT_EQ(repeatsText(lineage), pair.notation);
        // The window marks exactly the two boxes.
        std::vector<int> boxes = repeats[0].positions;
        std::sort(boxes.begin(), boxes.end());
        EXPECT_EQ(boxes, (std::vector<int>{pair.a, pair.b}));
    }
}

TEST(RepeatedSiresTest, SeveralNamesFollowTheirFirstPlaceAndEmptyOrNearNamesNeverRepeat)
{
    // RED CAP as Sire's Sire, Dam-Sire and Sire's Dam-Sire; STORM as Sire's Sire's
    // Sire and Dam's Dam-Sire; blanks in two places.
    const AncestorViews lineage{"ZED", "RED CAP", "RED CAP", "STORM", "RED CAP", "", "STORM"};
    const auto repeats = repeatedSires(lineage);
    ASSERT_EQ(repeats.size(), 2u);
    EXPECT_EQ(repeats[0].notation, "RED CAP 2S x 3S x 2D");
    EXPECT_EQ(repeats[0].places, (std::vector<std::string>{"2S", "3S", "2D"}));
    EXPECT_EQ(repeats[0].positions, (std::vector<int>{1, 4, 2}));
    EXPECT_EQ(repeats[1].notation, "STORM 3S x 3D");
    EXPECT_EQ(repeatsText(lineage), "RED CAP 2S x 3S x 2D; STORM 3S x 3D");

    // Empty places, and names that differ in case or by a blank, are not repeats.
    EXPECT_TRUE(repeatedSires(AncestorViews{"", "", "", "", "", "", ""}).empty());
    EXPECT_EQ(repeatsText(AncestorViews{"Wind Cap", "WIND CAP", "WIND CAP ", "", "", "X", "Y"}), "");
    // Names of one length and first letter are told apart by the rest.
    EXPECT_EQ(repeatsText(AncestorViews{"WIND CAP", "WIND CAT", "WEND CAP", "", "", "WIND CAT", "W"}),
              "WIND CAT 2S x 3D");
    EXPECT_EQ(repeatsText(AncestorViews{"WIND CAP", "WIND CAT", "WEND CAP", "", "", "WIND CAB", "W"}), "");
    // A name in every place.
    const std::array<std::string, 7> all{"ONE", "ONE", "ONE", "ONE", "ONE", "ONE", "ONE"};
    EXPECT_EQ(repeatsText(repeatedSires(all)), "ONE 1S x 2S x 3S x 3S x 2D x 3D x 3D");
}
