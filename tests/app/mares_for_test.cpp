// The planner for a mare and the best mares for a stallion as both front ends
// ask for them: who is planned, what the player is told, and when it stops.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/mare_plan.h"
#include "app/mares_for.h"
#include "data/startup.h"
#include "support/temp_dir.h"

using namespace quindle;
using namespace quindle::testing;

namespace {

// A filly (1), a mare (2) and a colt (3), and a sire list of two stallions.
struct MaresFixture : ::testing::Test {
    TempDir dir;
    DataFolder folder{(dir.path() / "pdg").string()};
    ChefTable chefs{std::vector<ChefEntry>{}};
    std::shared_ptr<const SireIndex> sires;

    void SetUp() override
    {
        std::filesystem::create_directory(dir.path() / "pdg");
        writeFile(folder.chefTable(), "X,1,0,0,0,0\r\n");
        writeFile(folder.sireList(), "STUD,SS,SDS,SSS\r\nOTHER,OS,ODS,OSS\r\n");
        writeFile(folder.breedingFile(), horseLines(1, "FIRST FILLY", "Filly", "2") +
                                             horseLines(2, "SECOND MARE", "Mare", "6") + horseLines(3, "", "Colt"));
        ASSERT_EQ(runStartup(folder, dir.file("Quindle.nnn"), {}).status, Outcome::Done);
        sires = std::make_shared<const SireIndex>(readSireList(folder.sireList()));
    }
};

std::vector<std::int32_t> idsOf(const BestMares& mares)
{
    std::vector<std::int32_t> ids;
    for (const MareRow& row : mares.rows)
        ids.push_back(row.id);
    return ids;
}

} // namespace

TEST_F(MaresFixture, TheBestMaresAreEveryMareOrThePlayersOwnAndAnUnlistedStallionIsRefusedFirst)
{
    MaresAsked asked;
    asked.stallion = "STUD";
    const MaresRanked all = bestMaresFor(folder, chefs, sires, asked);
    ASSERT_EQ(all.status, Outcome::Done) << all.error;
    EXPECT_EQ(idsOf(*all.mares), (std::vector<std::int32_t>{1, 2}));
    EXPECT_TRUE(all.warnings.empty());

    // Her own: the mare kept under another name is told and left out, the colt passed over.
    Stable mine;
    mine.add(1, "FIRST FILLY");
    mine.add(2, "A MARE SINCE RENAMED");
    mine.add(3, "HORSE 3");
    bool askedForList = false;
    MaresChosen told;
    asked.onlyOf = [&] {
        askedForList = true;
        return std::optional<Stable>(mine);
    };
    asked.chosen = [&](const MaresChosen& chosen) { told = chosen; };
    const MaresRanked own = bestMaresFor(folder, chefs, sires, asked);
    ASSERT_EQ(own.status, Outcome::Done) << own.error;
    EXPECT_EQ(idsOf(*own.mares), std::vector<std::int32_t>{1});
    ASSERT_EQ(told.leftOut.size(), 1u);
    EXPECT_NE(told.leftOut[0].find("SECOND MARE"), std::string::npos) << told.leftOut[0];
    EXPECT_EQ(told.only, std::vector<std::int32_t>{1});

    // A list that cannot be read stops the ranking without a word of its own.
    asked.onlyOf = [] { return std::optional<Stable>(); };
    const MaresRanked stopped = bestMaresFor(folder, chefs, sires, asked);
    EXPECT_EQ(stopped.status, Outcome::Absent);
    EXPECT_TRUE(stopped.error.empty());
    EXPECT_EQ(stopped.mares, nullptr);

    // A stallion the list does not hold: said before the player's list is read.
    askedForList = false;
    asked.onlyOf = [&] {
        askedForList = true;
        return std::optional<Stable>(mine);
    };
    asked.stallion = "NOBODY";
    const MaresRanked unlisted = bestMaresFor(folder, chefs, sires, asked);
    EXPECT_EQ(unlisted.status, Outcome::Absent);
    EXPECT_EQ(unlisted.error, "NOBODY is not in the sire list");
    EXPECT_FALSE(askedForList);
}

TEST_F(MaresFixture, APlanIsForAFillyOrMareByHerIdentifierOrForHerLinesTyped)
{
    const MarePlan hers = planForMare(folder, chefs, MareAsked{2, {}});
    ASSERT_EQ(hers.status, Outcome::Done) << hers.error;
    EXPECT_EQ(hers.mare.id, 2);
    EXPECT_EQ(hers.mare.name, "SECOND MARE");
    ASSERT_NE(hers.plan, nullptr);
    EXPECT_EQ(hers.plan->rows.size(), 2u);
    EXPECT_EQ(hers.plan->mare->damSire, "SIRE 2"); // her Sire is the foal's Dam-Sire

    const MarePlan typed = planForMare(folder, chefs, MareAsked{0, {"STUD", ""}}, sires);
    ASSERT_EQ(typed.status, Outcome::Done);
    EXPECT_EQ(typed.mare.id, 0);
    EXPECT_EQ(typed.plan->mare->damSire, "STUD");

    // A colt, and an identifier no horse has: no plan, and the reason.
    for (const std::int32_t id : {3, 99}) {
        const MarePlan none = planForMare(folder, chefs, MareAsked{id, {}});
        EXPECT_EQ(none.status, Outcome::Absent) << id;
        EXPECT_FALSE(none.error.empty()) << id;
        EXPECT_EQ(none.plan, nullptr) << id;
    }
}
