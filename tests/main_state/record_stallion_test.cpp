// A colt or horse of the breeding file as the Sire of a hypothetical foal.
#include <gtest/gtest.h>

#include <filesystem>

#include "main_state/record_stallion.h"
#include "data/startup.h"
#include "support/temp_dir.h"

using namespace quindle;
using quindle::testing::horseLines;
using quindle::testing::TempDir;
using quindle::testing::writeFile;

namespace {

struct Folder {
    TempDir dir;
    DataFolder folder{(dir.path() / "pdg").string()};
    Folder()
    {
        std::filesystem::create_directory(dir.path() / "pdg");
        writeFile(folder.chefTable(), "SIRE 1,2,0,0,0,0\r\nDS,0,0,3,0,0\r\nDS FIRST,0,1,0,0,0\r\n");
        // He is listed too, with other lines: his own record counts. DS stands
        // twice; with the Sire settled the scan stops at its first entry.
        writeFile(folder.sireList(), "YOUNG,LS,LDS,LSS\r\nDS,DS FIRST,X,Y\r\nDS,DS SECOND,X,Y\r\n");
        writeFile(folder.breedingFile(), horseLines(1, "YOUNG", "colt") + horseLines(2, "OLD", "HORSE") +
                                             horseLines(3, "SHE", "Filly") + horseLines(4, "\xC9T", "Gelding"));
        EXPECT_EQ(runStartup(folder, dir.file("Quindle.nnn"), {}).status, Outcome::Done);
    }
};

} // namespace

TEST(RecordStallion, HisOwnRecordGivesTheSiresSideAndTheDamsSideIsSubmittedAsEver)
{
    Folder data;
    const StallionLookup young = findStallion(data.folder, 1);
    ASSERT_EQ(young.status, Outcome::Done) << young.error;
    EXPECT_EQ(findStallion(data.folder, 2).status, Outcome::Done); // sex words in any letter case
    ChefTable chefs({{"SIRE 1", {2, 0, 0, 0, 0}}, {"DS FIRST", {0, 1, 0, 0, 0}}});

    // A mare shown: the blank Dam's Dam-Sire keeps hers.
    MainBoxes boxes;
    boxes.lineage = {"A", "B", "MARE DS", "C", "D", "E", "MARE DDS"};
    EXPECT_EQ(submitStallionMating(boxes, young.stallion, {"IGNORED", "DS", ""}, data.folder.sireList(), chefs), "");
    const std::array<std::string, 7> expected{"YOUNG",     "SIRE 1",   "DS",      "SIRESIRE 1",
                                              "DAMSIRE 1", "DS FIRST", "MARE DDS"};
    EXPECT_EQ(boxes.lineage, expected);
    EXPECT_EQ(boxes.ageSex, " New Foal");
    EXPECT_FALSE(boxes.profileTexts[kTotalBox].empty());

    // The list read whole answers the same.
    MainBoxes fromList;
    fromList.lineage = {"A", "B", "MARE DS", "C", "D", "E", "MARE DDS"};
    EXPECT_EQ(
        submitStallionMating(fromList, young.stallion, {"", "DS", ""}, readSireList(data.folder.sireList()), chefs),
        "");
    EXPECT_EQ(fromList, boxes);
    EXPECT_EQ(stallionOrigin(young.stallion), "from the breeding file, horse 1");
}

TEST(RecordStallion, AHorseThatIsNoColtOrHorseOrIsNotThereIsRefusedByName)
{
    Folder data;
    const StallionLookup filly = findStallion(data.folder, 3);
    EXPECT_EQ(filly.status, Outcome::Absent);
    EXPECT_EQ(filly.error, "horse 3 (SHE) is a Filly, not a colt or horse");
    EXPECT_EQ(findStallion(data.folder, 4).error, "horse 4 (\xC3\x89T) is a Gelding, not a colt or horse");
    const StallionLookup missing = findStallion(data.folder, 9);
    EXPECT_EQ(missing.status, Outcome::Absent);
    EXPECT_EQ(missing.error, "horse 9 is not in the breeding file");
}
