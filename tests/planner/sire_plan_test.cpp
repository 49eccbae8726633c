// The mating planner's rows, and the filters and order shared by the window and the command line.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "main_state/mating.h"
#include "data/startup.h"
#include "planner/plan_query.h"
#include "planner/sire_plan.h"
#include "support/temp_dir.h"

using namespace quindle;
using quindle::testing::horseLines;
using quindle::testing::TempDir;
using quindle::testing::writeFile;

namespace {

// Names listed twice and three times, a blank name, names the name box would
// refuse, a quoted name with a comma, and entries before and after each other.
const char* const kList = "A,AS,ADS,ASS\r\n"
                          "B,BS,BDS,BSS\r\n"
                          "A,AS2,ADS2,ASS2\r\n"
                          ",BLANK,BLANK,BLANK\r\n"
                          "B,BS2,BDS2,BSS2\r\n"
                          "Dancer 2nd,CS,CDS,CSS\r\n"
                          "\"ONE, TWO\",OS,ODS,OSS\r\n"
                          "A,AS3,ADS3,ASS3\r\n"
                          "B,BS3,BDS3,BSS3\r\n";

std::shared_ptr<const SireIndex> indexOf(const std::string& path)
{
    return std::make_shared<const SireIndex>(readSireList(path));
}

ChefTable chefs(std::vector<ChefEntry> rows) { return ChefTable(std::move(rows)); }

} // namespace

TEST(SirePlan, TheIndexScansEveryPairOfNamesExactlyAsTheFileIsScanned)
{
    TempDir dir;
    const std::string path = dir.file("QN_SireList");
    writeFile(path, kList);
    const auto index = indexOf(path);
    const std::vector<std::string> names{"", "A", "B", "Dancer 2nd", "ONE, TWO", "BLANK", "NOT LISTED"};
    for (const std::string& sire : names)
        for (const std::string& damSire : names) {
            const SireLines file = scanSireList(path, sire, damSire);
            const SireLineViews memory = index->scan(sire, damSire);
            SCOPED_TRACE(sire + " / " + damSire);
            EXPECT_EQ(memory.foundMask, file.foundMask);
            EXPECT_EQ(memory.sireSire.has_value(), file.sireSire.has_value());
            EXPECT_EQ(memory.sireSire.value_or(""), file.sireSire.value_or(""));
            EXPECT_EQ(memory.sireDamSire.value_or(""), file.sireDamSire.value_or(""));
            EXPECT_EQ(memory.sireSireSire.value_or(""), file.sireSireSire.value_or(""));
            EXPECT_EQ(memory.damSireSire.has_value(), file.damSireSire.has_value());
            EXPECT_EQ(memory.damSireSire.value_or(""), file.damSireSire.value_or(""));
        }
}

TEST(SirePlan, OneRowPerDistinctStallionInListOrderEachAsASubmissionShowsIt)
{
    TempDir dir;
    const std::string path = dir.file("QN_SireList");
    writeFile(path, kList);
    const ChefTable table = chefs({{"A", {4, 0, 0, 0, 0}}, {"BS", {0, 0, 0, 0, 2}}, {"OS", {0, 1, 0, 0, 0}}});
    const MareLines mare{"B", "Dancer 2nd"};
    const Plan plan = planMatings(indexOf(path), mare, table);

    ASSERT_EQ(plan.rows.size(), 4u);
    const char* expected[] = {"A", "B", "Dancer 2nd", "ONE, TWO"};
    for (std::size_t i = 0; i < plan.rows.size(); ++i) {
        const PlanRow& row = plan.rows[i];
        EXPECT_EQ(plan.name(row, RowName::Sire), expected[i]);
        // The same foal submitted into a fresh window, sire list read from the file.
        MainBoxes boxes;
        EXPECT_EQ(submitMating(boxes, {expected[i], mare.damSire, mare.damDamSire}, path, table), "");
        EXPECT_EQ(plan.name(row, RowName::SireSire), boxes.lineage[1]);
        EXPECT_EQ(plan.name(row, RowName::SireDamSire), boxes.lineage[4]);
        EXPECT_EQ(plan.name(row, RowName::SireSireSire), boxes.lineage[3]);
        EXPECT_EQ(plan.name(row, RowName::DamSireSire), boxes.lineage[5]);
        for (const SummaryColumnInfo& column : kSummaryColumnTable)
            EXPECT_EQ((plan.numbersOf(row).summary.*column.member).text,
                      boxes.profileTexts[static_cast<std::size_t>(column.box)])
                << expected[i] << ", box " << column.box;
    }
    // A: 4 x 4 B points, the Dam-Sire's sire BS (the first B entry wins the
    // scan, which stops there) 2 P points: DI (16) / (2) = 8.
    EXPECT_EQ(plan.cell(plan.rows[0], PlanColumn::Di), "8.00");
    EXPECT_EQ(plan.cell(plan.rows[0], PlanColumn::Total), "18");
}

// Chef rows for every name of the list, each group's points different, and one
// for a blank name: whatever position a name takes, its chef row is the one a
// submission finds, with one lookup of the list's names for all the mares.
TEST(SirePlan, EveryNameScoresAsASubmissionScoresItForEveryMare)
{
    TempDir dir;
    const std::string path = dir.file("QN_SireList");
    writeFile(path, kList);
    std::vector<ChefEntry> rows{{"", {0, 0, 0, 1, 0}}};
    std::int16_t points = 1;
    for (const char* name : {"A",    "AS",    "ADS", "ASS",  "B",    "BS",         "BDS", "BSS",  "AS2",  "ADS2",
                             "ASS2", "BLANK", "BS2", "BDS2", "BSS2", "Dancer 2nd", "CS",  "CDS",  "CSS",  "ONE, TWO",
                             "OS",   "ODS",   "OSS", "AS3",  "ADS3", "ASS3",       "BS3", "BDS3", "BSS3", "M"}) {
        rows.push_back(
            {name, {points, static_cast<std::int16_t>(points % 3), 0, static_cast<std::int16_t>(points % 5), 1}});
        ++points;
    }
    const ChefTable table = chefs(rows);
    const ListChefs listChefs(indexOf(path), table);
    for (const std::string damSire : {"", "A", "B", "Dancer 2nd", "M"})
        for (const std::string damDamSire : {"", "ADS", "M"}) {
            const MareLines mare{damSire, damDamSire};
            const Plan plan = planMatings(listChefs, mare);
            ASSERT_EQ(plan.rows.size(), 4u);
            for (const PlanRow& row : plan.rows) {
                const std::string sire(plan.name(row, RowName::Sire));
                MainBoxes boxes;
                submitMating(boxes, {sire, damSire, damDamSire}, path, table);
                for (const SummaryColumnInfo& column : kSummaryColumnTable)
                    EXPECT_EQ((plan.numbersOf(row).summary.*column.member).text,
                              boxes.profileTexts[static_cast<std::size_t>(column.box)])
                        << sire << " with " << damSire << " / " << damDamSire << ", box " << column.box;
            }
        }
}

TEST(SirePlan, AListCutShortGivesTheRowsReadBeforeTheFaultAndNamesIt)
{
    TempDir dir;
    const std::string path = dir.file("QN_SireList");
    writeFile(path, "A,AS,ADS,ASS\r\nB,BS,BDS,BSS\r\nC,\"CS\r\n");
    const Plan plan = planMatings(indexOf(path), {}, ChefTable());
    ASSERT_EQ(plan.rows.size(), 2u);
    EXPECT_EQ(plan.name(plan.rows[1], RowName::Sire), "B");
    EXPECT_NE(plan.sires->error().find("line 3"), std::string::npos) << plan.sires->error();
    EXPECT_NE(indexOf(dir.file("missing"))->error().find("cannot be opened"), std::string::npos);
}

TEST(SirePlan, FiltersAndOrderFollowTheNumbersShown)
{
    TempDir dir;
    const std::string path = dir.file("QN_SireList");
    // Foals: P without stamina (DI INF), Q balanced, R without points (--), S all stamina, T equal to Q.
    writeFile(path, "PP,,,\r\nQQ,,,\r\nRR,,,\r\nSS \xC9T\xC9,,,\r\nTT,,,\r\n");
    const ChefTable table = chefs(
        {{"PP", {2, 0, 0, 0, 0}}, {"QQ", {1, 0, 0, 0, 1}}, {"SS \xC9T\xC9", {0, 0, 0, 0, 3}}, {"TT", {1, 0, 0, 0, 1}}});
    const Plan plan = planMatings(indexOf(path), {}, table);
    auto sires = [&plan](const PlanQuery& query) {
        std::string out;
        for (const std::uint32_t i : selectRows(plan, query))
            out += std::string(plan.name(plan.rows[i], RowName::Sire).substr(0, 2)) + " ";
        return out;
    };
    EXPECT_EQ(sires({}), "PP QQ RR SS TT ");
    PlanQuery byDi;
    byDi.sortBy = PlanColumn::Di;
    EXPECT_EQ(sires(byDi), "RR SS QQ TT PP "); // "--" below all, INF above, ties in list order
    byDi.descending = true;
    EXPECT_EQ(sires(byDi), "PP QQ TT SS RR ");
    byDi.top = 2;
    EXPECT_EQ(sires(byDi), "PP QQ ");

    PlanQuery filtered;
    filtered.di = parseRange("1:");
    EXPECT_EQ(sires(filtered), "PP QQ TT "); // INF has no upper bound to pass
    filtered.di = parseRange(":1");
    EXPECT_EQ(sires(filtered), "QQ SS TT "); // "--" is in no range
    filtered.di.reset();
    filtered.minTotal = 12;
    EXPECT_EQ(sires(filtered), "SS ");
    filtered.minTotal.reset();
    filtered.nameContains = "\xE9t"; // Latin-1 letters without case
    EXPECT_EQ(sires(filtered), "SS ");

    EXPECT_FALSE(parseRange("1"));
    EXPECT_FALSE(parseRange("a:2"));
    EXPECT_FALSE(parseRange("3:2"));
    EXPECT_TRUE(parseRange("0:INF"));
    EXPECT_EQ(parseColumn("DI"), PlanColumn::Di);
    EXPECT_EQ(parseColumn("siredamsire"), PlanColumn::SireDamSire);
    EXPECT_FALSE(parseColumn("name"));
}

TEST(SirePlan, TheMareIsAFillyOrAMareOfTheBreedingFile)
{
    TempDir dir;
    const DataFolder folder((dir.path() / "pdg").string());
    std::filesystem::create_directory(dir.path() / "pdg");
    writeFile(folder.chefTable(), "X,1,0,0,0,0\r\n");
    writeFile(folder.sireList(), "A,B,C,D\r\n");
    writeFile(folder.breedingFile(),
              horseLines(1, "SHE", "Mare") + horseLines(2, "H\xC9", "Colt") + horseLines(3, "YOUNG", "Filly"));
    ASSERT_EQ(runStartup(folder, dir.file("Quindle.nnn"), {}).status, Outcome::Done);

    const MareLookup mare = findMare(folder, 1);
    ASSERT_EQ(mare.status, MareLookup::Status::Found);
    EXPECT_EQ(mare.lines.damSire, "SIRE 1");
    EXPECT_EQ(mare.lines.damDamSire, "DAMSIRE 1");
    EXPECT_EQ(findMare(folder, 3).status, MareLookup::Status::Found);
    const MareLookup colt = findMare(folder, 2);
    EXPECT_EQ(colt.status, MareLookup::Status::NotFemale);
    EXPECT_NE(colt.message.find("horse 2 (H\xC3\x89) is a Colt, not a filly or mare"), std::string::npos)
        << colt.message;
    EXPECT_EQ(findMare(folder, 4).status, MareLookup::Status::NotFound);
}
