// The planner for a mare and the best mares for a stallion as both front ends
// ask for them: who is planned, what the player is told, and when it stops.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/mare_plan.h"
#include "app/mares_for.h"
#include "data/startup.h"
#include "export/mare_csv.h"
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

    // A window asks for batches in its order: the same rows, the last batch in the order it shows.
    asked.stallion = "STUD";
    asked.onlyOf = nullptr;
    asked.batchQuery.sortBy = MareColumn::Age;
    asked.batchQuery.descending = true;
    std::size_t batches = 0;
    asked.grown = [&](const MaresBatch& batch) {
        ++batches;
        EXPECT_EQ(batch.shown, selectMares(*batch.mares, asked.batchQuery));
    };
    const MaresRanked inBatches = bestMaresFor(folder, chefs, sires, asked);
    ASSERT_EQ(inBatches.status, Outcome::Done) << inBatches.error;
    EXPECT_GE(batches, 1u);
    EXPECT_EQ(idsOf(*inBatches.mares), (std::vector<std::int32_t>{1, 2}));
    EXPECT_EQ(inBatches.shown, (std::vector<std::uint32_t>{1, 0})); // the mare of 6 before the filly of 2
}

TEST(MaresScoring, EachMareIsScoredByHerOwnSireWhetherTheListHoldsHimOrNot)
{
    TempDir dir;
    const DataFolder folder((dir.path() / "pdg").string());
    std::filesystem::create_directory(dir.path() / "pdg");
    writeFile(folder.chefTable(), "A,1,0,0,0,0\r\nX,0,2,0,0,0\r\nY,0,0,0,3,0\r\nZ,0,0,0,0,1\r\n");
    // B is listed, and his Sire X is a chef; X and Y are chefs the list does not hold.
    writeFile(folder.sireList(), "A,AS,ADS,ASS\r\nB,X,Y,Z\r\n");
    std::string breeding;
    const auto horse = [&](int id, const char* name, const char* age, const char* sex, const char* sire,
                           const char* damSire) {
        breeding += std::to_string(id) + "," + name + "," + age + "," + sex + "\r\n1," + sire + ",S,SD,SS\r\n1," +
                    damSire + ",DS,x,y\r\n0,DD,x,1,2\r\n";
    };
    horse(1, "M1", "7", "Mare", "X", "Y");
    horse(2, "M2", "3", "Filly", "Y", "");
    horse(3, "C3", "4", "Colt", "X", "Y");
    horse(4, "M4", "9", "Mare", "B", "Z");
    horse(5, "M5", "5", "Mare", "X", "");
    writeFile(folder.breedingFile(), breeding);
    const StartupResult started = runStartup(folder, dir.file("Quindle.nnn"), {});
    ASSERT_EQ(started.status, Outcome::Done) << started.error;
    const auto ranked = [&](const char* stallion) {
        MaresAsked asked;
        asked.stallion = stallion;
        return bestMaresFor(folder, started.chefs, std::make_shared<const SireIndex>(readSireList(folder.sireList())),
                            asked);
    };
    const MaresRanked byA = ranked("A");
    ASSERT_EQ(byA.status, Outcome::Done) << byA.error;
    std::string csv = kMareCsvHeader;
    MareCsvWriter writer(*byA.mares);
    for (const MareRow& row : byA.mares->rows)
        csv += writer.row(row);
    EXPECT_EQ(csv, "id,name,age,sex,damsire,damdamsire,B,I,C,S,P,total,speed,stamina,cd,di,repeats\n"
                   "1,M1,7,Mare,X,Y,4,4,0,3,0,11,8.0,3.0,0.82,2.66,\n"
                   "2,M2,3,Filly,Y,,4,0,0,6,0,10,4.0,6.0,0.20,0.66,\n"
                   "4,M4,9,Mare,B,Z,4,2,0,0,1,7,6.0,1.0,1.14,6.00,\n"
                   "5,M5,5,Mare,X,,4,4,0,0,0,8,8.0,0.0,1.50,INF,\n");

    // B stands past a damaged entry: not read, so not said to be missing from the list.
    writeFile(folder.sireList(), "A,AS,ADS,ASS\r\nBROKEN,X\r\nB,X,Y,Z\r\n");
    const MaresRanked past = ranked("B");
    EXPECT_EQ(past.status, Outcome::Absent);
    EXPECT_NE(past.error.find("B is not in what could be read of the sire list"), std::string::npos) << past.error;
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
