// The season a data folder keeps: written whole and read back, a damaged file
// kept aside, entries of a mare whose ID now holds another horse marked, two
// writers at once, and the plan made under the rules kept.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <vector>

#include "app/kept_season.h"
#include "app/kept_season_plan.h"
#include "data/startup.h"
#include "planner/season.h"
#include "support/temp_dir.h"

using namespace quindle;
using namespace quindle::testing;

namespace {

struct KeptSeasonFixture : ::testing::Test {
    TempDir dir;
    DataFolder folder{(dir.path() / "pdg").string()};
    std::string file = dir.file("season.json");
    ChefTable chefs;

    // Mares 1 and 2, colt 3, and a sire list of three stallions: A, E and I.
    void startUp()
    {
        std::filesystem::create_directory(dir.path() / "pdg");
        writeFile(folder.chefTable(), "X,1,0,0,0,0\r\n");
        writeFile(folder.sireList(), "A,B,C,D\r\nE,F,G,H\r\nI,J,K,L\r\n");
        writeFile(folder.breedingFile(), horseLines(1, "FIRST MARE", "Mare", "5") +
                                             horseLines(2, "SECOND MARE", "Mare", "6") +
                                             horseLines(3, "A COLT", "Colt", "2"));
        StartupResult started = runStartup(folder, dir.file("Quindle.nnn"), {});
        ASSERT_EQ(started.status, Outcome::Done);
        chefs = std::move(started.chefs);
    }
};

KeptSeason everything()
{
    KeptSeason s;
    s.diMin = "1.00";
    s.cdMax = "1.25";
    s.minTotal = 12;
    s.sortBy = "di";
    s.descending = false;
    s.namedTarget = "Classic distances";
    s.perMare = 7;
    s.fromStable = false;
    s.ids = "1 2";
    s.useRoster = true;
    s.onePerMare = true;
    s.bookForAll = 2;
    s.noRepeats = true;
    s.lock({1, "FIRST MARE", "A"});
    s.ruleOut(std::string("I"));
    s.ruleOut(KeptPair{2, "SECOND MARE", "E"});
    s.decide({{2, "SECOND \xC9", "#3"}, false}); // a Latin-1 name, a stallion of the breeding file
    return s;
}

} // namespace

TEST_F(KeptSeasonFixture, WhatIsKeptReadsBackAsItWasWithTheMembersItDoesNotKnow)
{
    KeptSeasonBook book;
    ASSERT_EQ(book.openFile(file, folder.dir()).status, Outcome::Done);
    EXPECT_FALSE(book.kept()) << "no file yet";
    ASSERT_EQ(book.change([](KeptSeason& s) {
                      s = everything();
                      return true;
                  })
                  .status,
              Outcome::Done);

    KeptSeasonBook again;
    ASSERT_EQ(again.openFile(file, folder.dir()).status, Outcome::Done);
    EXPECT_TRUE(again.kept());
    EXPECT_EQ(again.season(), everything());

    // A member written by hand (or a later Quindle) survives a change.
    std::string text = readFile(file);
    text.insert(text.find('{') + 1, "\"note\": \"for the spring\",");
    writeFile(file, text);
    ASSERT_EQ(again.change([](KeptSeason& s) { return s.clearDecision(2); }).status, Outcome::Done);
    EXPECT_NE(readFile(file).find("for the spring"), std::string::npos);
    EXPECT_TRUE(again.season().decisions.empty());
    EXPECT_EQ(again.season().locks.size(), 1u) << "read again before the change";

    // A change that changes nothing writes nothing.
    const auto before = std::filesystem::last_write_time(file);
    EXPECT_EQ(again.change([](KeptSeason&) { return false; }).status, Outcome::Absent);
    EXPECT_EQ(std::filesystem::last_write_time(file), before);

    // Clearing the season leaves the target.
    ASSERT_EQ(again
                  .change([](KeptSeason& s) {
                      s.clearRules();
                      return true;
                  })
                  .status,
              Outcome::Done);
    KeptSeasonBook cleared;
    cleared.openFile(file, folder.dir());
    EXPECT_TRUE(cleared.season().locks.empty() && cleared.season().ruledOut.empty() &&
                cleared.season().ruledOutPairs.empty());
    EXPECT_EQ(cleared.season().diMin, "1.00");
}

TEST_F(KeptSeasonFixture, ADamagedFileIsKeptAsideNamedAndNotWrittenOver)
{
    const std::vector<std::string> damaged{
        "{\"target\": ",                             // cut short
        std::string(40, '[') + std::string(40, ']'), // nested too deep
        keptSeasonText(everything(), "x")
            .replace(keptSeasonText(everything(), "x").find("\"dam\": 1"), 8,
                     "\"dam\": 0"), // no horse ID
    };
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        SCOPED_TRACE(i);
        writeFile(file, damaged[i]);
        KeptSeasonBook book;
        const KeptOpen opened = book.openFile(file, folder.dir());
        ASSERT_EQ(opened.status, Outcome::Failed);
        ASSERT_FALSE(book.keptAside().empty());
        EXPECT_NE(opened.message.find(file), std::string::npos) << opened.message;
        EXPECT_NE(opened.message.find(book.keptAside()), std::string::npos) << opened.message;
        EXPECT_EQ(readFile(book.keptAside()), damaged[i]);
        EXPECT_FALSE(std::filesystem::exists(file)) << "nothing written until the player acts";
        EXPECT_EQ(book.season(), KeptSeason{});
        // The player's first change starts a new file; the copy stays as it was.
        ASSERT_EQ(book.change([](KeptSeason& s) {
                          s.ruleOut(std::string("A"));
                          return true;
                      })
                      .status,
                  Outcome::Done);
        EXPECT_EQ(readFile(book.keptAside()), damaged[i]);
        std::filesystem::remove(file);
    }
    EXPECT_TRUE(std::filesystem::exists(file + ".damaged-3")) << "each copy under a name of its own";
}

TEST_F(KeptSeasonFixture, AMareWhoseIdNowHoldsAnotherHorseIsMarkedAndNeverRepointed)
{
    startUp();
    KeptSeason s;
    s.decide({{1, "OLD NAME", "A"}, true});   // the breeding file now gives ID 1 to FIRST MARE
    s.lock({2, "SECOND MARE", "E"});          // still her
    s.ruleOut(KeptPair{9, "GONE MARE", "I"}); // no horse 9 now
    KeptSeasonBook book;
    book.openFile(file, folder.dir());
    ASSERT_EQ(book.change([&](KeptSeason& kept) {
                      kept = s;
                      return true;
                  })
                  .status,
              Outcome::Done);
    const std::string text = readFile(file);

    const std::vector<MarkedEntry> marked = markKept(book.season(), folder);
    ASSERT_EQ(marked.size(), 2u);
    EXPECT_EQ(marked[0].kind, MarkedEntry::Kind::RuledOutPair);
    EXPECT_FALSE(marked[0].nameNow.has_value());
    EXPECT_EQ(marked[1].kind, MarkedEntry::Kind::Decision);
    EXPECT_EQ(marked[1].nameNow, "FIRST MARE");
    EXPECT_NE(marked[1].message.find("OLD NAME"), std::string::npos);
    EXPECT_NE(marked[1].message.find("FIRST MARE"), std::string::npos);
    EXPECT_EQ(readFile(file), text) << "marking writes nothing";

    // The marked decision does not steer the plan: mare 1 is planned as if undecided.
    const auto sires = std::make_shared<const SireIndex>(readSireList(folder.sireList()));
    const SeasonPlan season = planSeason({1, 2}, folder, sires, chefs, PlanQuery{});
    KeptSeason rules = book.season();
    rules.bookForAll = 1;
    const KeptPlan plan = planKeptSeason(season, *sires, rules, marked);
    ASSERT_EQ(plan.plan.mares.size(), 2u);
    EXPECT_FALSE(plan.mares[0].locked);
    EXPECT_EQ(plan.plan.mares[1].outcome, MareAssignment::Outcome::Locked);
    EXPECT_EQ(plan.plan.mares[1].stallion, sires->numberOf("E"));
    EXPECT_EQ(plan.plan.mares[0].stallion, sires->numberOf("A")) << "the head of her list, E being booked";
    // A later change leaves the marked entry as it was kept.
    ASSERT_EQ(book.change([](KeptSeason& kept) { return kept.unlock(2); }).status, Outcome::Done);
    KeptSeasonBook reread;
    reread.openFile(file, folder.dir());
    ASSERT_NE(reread.season().decisionOf(1), nullptr);
    EXPECT_EQ(reread.season().decisionOf(1)->pair.damName, "OLD NAME");
}

TEST_F(KeptSeasonFixture, TwoWritersAtOnceKeepBothChanges)
{
    KeptSeasonBook first, second;
    first.openFile(file, folder.dir());
    second.openFile(file, folder.dir()); // has not seen what the first keeps
    ASSERT_EQ(first
                  .change([](KeptSeason& s) {
                      s.lock({1, "M", "A"});
                      return true;
                  })
                  .status,
              Outcome::Done);
    ASSERT_EQ(second
                  .change([](KeptSeason& s) {
                      s.ruleOut(std::string("E"));
                      return true;
                  })
                  .status,
              Outcome::Done);
    KeptSeasonBook read;
    read.openFile(file, folder.dir());
    EXPECT_NE(read.season().lockOf(1), nullptr);
    EXPECT_TRUE(read.season().isRuledOut(std::string("E")));

    // Four of them deciding as fast as they can.
    std::vector<std::thread> writers;
    for (int part = 0; part < 4; ++part)
        writers.emplace_back([this, part] {
            KeptSeasonBook book;
            book.openFile(file, folder.dir());
            for (int dam = part * 15 + 1; dam <= part * 15 + 15; ++dam)
                EXPECT_EQ(book.change([dam](KeptSeason& s) {
                                  s.decide({{dam, "M", "A"}, true});
                                  return true;
                              })
                              .status,
                          Outcome::Done);
        });
    for (std::thread& writer : writers)
        writer.join();
    read.openFile(file, folder.dir());
    EXPECT_EQ(read.season().decisions.size(), 60u);
    EXPECT_NE(read.season().lockOf(1), nullptr);
}

TEST_F(KeptSeasonFixture, RulesThatCannotStandAreToldAndTheRestIsPlanned)
{
    startUp();
    const auto sires = std::make_shared<const SireIndex>(readSireList(folder.sireList()));
    const SeasonPlan season = planSeason({1, 2}, folder, sires, chefs, PlanQuery{});
    ASSERT_EQ(season.dams.size(), 2u);
    KeptSeason rules;
    rules.bookForAll = 1;
    rules.lock({1, "FIRST MARE", "NOBODY"}); // not in the sire list
    rules.locks.push_back({2, "SECOND MARE", "E"});
    rules.ruledOutPairs.push_back({2, "SECOND MARE", "E"}); // locked and ruled out at once, as a file may hold
    rules.ruledOut.push_back("I");
    const KeptPlan plan = planKeptSeason(season, *sires, rules, {});
    ASSERT_EQ(plan.told.size(), 2u);
    EXPECT_NE(plan.told[0].find("NOBODY is not in the sire list"), std::string::npos) << plan.told[0];
    EXPECT_NE(plan.told[1].find("horse 2 (SECOND MARE)"), std::string::npos) << plan.told[1];
    EXPECT_NE(plan.told[1].find("ruled out"), std::string::npos) << plan.told[1];
    // Both still planned, each to a stallion the rules leave her: A and E for mare 1, A alone for mare 2.
    EXPECT_EQ(plan.plan.planned(), 2u);
    EXPECT_EQ(plan.plan.mares[1].stallion, sires->numberOf("A"));
    EXPECT_EQ(plan.plan.mares[0].stallion, sires->numberOf("E"));
}
