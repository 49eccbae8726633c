// Completing the sire lines from QN_SireList.
#include <gtest/gtest.h>

#include "data/sire_scan.h"
#include "support/temp_dir.h"

using namespace quindle;
using quindle::testing::TempDir;
using quindle::testing::writeFile;

namespace {
struct SireList {
    TempDir dir;
    std::string path = dir.file("QN_SireList");
    explicit SireList(const std::string& bytes) { writeFile(path, bytes); }
};
} // namespace

TEST(SireScan, FillsBothLinesAndStopsWhenBothAreSettled)
{
    SireList list("A,AS,ADS,ASS\r\nB,BS,BDS,BSS\r\nthis line is never read\r\n");
    const SireLines lines = scanSireList(list.path, "A", "B");
    EXPECT_EQ(lines.sireSire, "AS");
    EXPECT_EQ(lines.sireDamSire, "ADS");
    EXPECT_EQ(lines.sireSireSire, "ASS");
    EXPECT_EQ(lines.damSireSire, "BS");
    EXPECT_EQ(lines.foundMask, 3);
    EXPECT_EQ(lines.error, "");
}

TEST(SireScan, SameNameAsSireAndDamSireIsSettledByOneEntry)
{
    SireList list("A,AS,ADS,ASS\r\nbroken\r\n");
    const SireLines lines = scanSireList(list.path, "A", "A");
    EXPECT_EQ(lines.sireSire, "AS");
    EXPECT_EQ(lines.damSireSire, "AS");
    EXPECT_EQ(lines.foundMask, 3);
    EXPECT_EQ(lines.error, "");
}

TEST(SireScan, NamesNotInTheListStayUnsettled)
{
    SireList list("A,AS,ADS,ASS\r\n\r\n");
    const SireLines lines = scanSireList(list.path, "a", "Z");
    EXPECT_FALSE(lines.sireSire.has_value());
    EXPECT_FALSE(lines.damSireSire.has_value());
    EXPECT_EQ(lines.foundMask, 0);
    EXPECT_EQ(lines.error, "");
}

TEST(SireScan, BlankNamesAreNotLookedFor)
{
    SireList list(",EMPTY,E,E\r\nB,BS,BDS,BSS\r\n");
    const SireLines lines = scanSireList(list.path, "", "B");
    EXPECT_FALSE(lines.sireSire.has_value());
    EXPECT_EQ(lines.damSireSire, "BS");
    EXPECT_EQ(lines.foundMask, 3);
}

TEST(SireScan, DuplicatesOverwriteAndCountUntilTheStopRule)
{
    // The Sire twice (mask 1, then 2), the scan goes on; the Dam-Sire ends it.
    SireList list("A,AS1,ADS1,ASS1\r\nA,AS2,ADS2,ASS2\r\nB,BS,BDS,BSS\r\nA,AS3,ADS3,ASS3\r\n");
    const SireLines lines = scanSireList(list.path, "A", "B");
    EXPECT_EQ(lines.sireSire, "AS2");
    EXPECT_EQ(lines.damSireSire, "BS");
    EXPECT_EQ(lines.foundMask, 4);
}

TEST(SireScan, AShortLastEntryOrMissingFileIsReportedKeepingWhatWasSettled)
{
    SireList list("A,AS,ADS,ASS\r\nC,CS\r\n");
    const SireLines lines = scanSireList(list.path, "A", "B");
    EXPECT_EQ(lines.sireSire, "AS");
    EXPECT_NE(lines.error.find(list.path + ", line 2"), std::string::npos) << lines.error;

    const SireLines missing = scanSireList(list.dir.file("gone"), "A", "B");
    EXPECT_NE(missing.error.find("gone"), std::string::npos);
    EXPECT_FALSE(missing.sireSire.has_value());
}
