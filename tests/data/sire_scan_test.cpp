// Completing the sire lines from QN_SireList.
#include <gtest/gtest.h>

#include "data/sire_scan.h"
#include "support/temp_dir.h"

using namespace quindle;
using quindle::testing::TempDir;
using quindle::testing::writeFile;

namespace {
struct ListFile {
    TempDir dir;
    std::string path = dir.file("QN_SireList");
    explicit ListFile(const std::string& bytes) { writeFile(path, bytes); }
};

// Scans the file, and the same list read whole, which must settle the same
// lines and report the same error.
SireLines scanBothWays(const std::string& path, const std::string& sire, const std::string& damSire)
{
    const SireLines file = scanSireList(path, sire, damSire);
    const SireLines whole = scanSireList(readSireList(path), sire, damSire);
    EXPECT_EQ(whole.sireSire, file.sireSire);
    EXPECT_EQ(whole.sireDamSire, file.sireDamSire);
    EXPECT_EQ(whole.sireSireSire, file.sireSireSire);
    EXPECT_EQ(whole.damSireSire, file.damSireSire);
    EXPECT_EQ(whole.foundMask, file.foundMask);
    EXPECT_EQ(whole.error, file.error);
    return file;
}
} // namespace

TEST(SireScan, FillsBothLinesAndStopsWhenBothAreSettled)
{
    ListFile list("A,AS,ADS,ASS\r\nB,BS,BDS,BSS\r\nthis line is never read\r\n");
    const SireLines lines = scanBothWays(list.path, "A", "B");
    EXPECT_EQ(lines.sireSire, "AS");
    EXPECT_EQ(lines.sireDamSire, "ADS");
    EXPECT_EQ(lines.sireSireSire, "ASS");
    EXPECT_EQ(lines.damSireSire, "BS");
    EXPECT_EQ(lines.foundMask, 3);
    EXPECT_EQ(lines.error, "");
}

TEST(SireScan, SameNameAsSireAndDamSireIsSettledByOneEntry)
{
    ListFile list("A,AS,ADS,ASS\r\nbroken\r\n");
    const SireLines lines = scanBothWays(list.path, "A", "A");
    EXPECT_EQ(lines.sireSire, "AS");
    EXPECT_EQ(lines.damSireSire, "AS");
    EXPECT_EQ(lines.foundMask, 3);
    EXPECT_EQ(lines.error, "");
}

TEST(SireScan, NamesNotInTheListStayUnsettled)
{
    ListFile list("A,AS,ADS,ASS\r\n\r\n");
    const SireLines lines = scanBothWays(list.path, "a", "Z");
    EXPECT_FALSE(lines.sireSire.has_value());
    EXPECT_FALSE(lines.damSireSire.has_value());
    EXPECT_EQ(lines.foundMask, 0);
    EXPECT_EQ(lines.error, "");
}

TEST(SireScan, BlankNamesAreNotLookedFor)
{
    ListFile list(",EMPTY,E,E\r\nB,BS,BDS,BSS\r\n");
    const SireLines lines = scanBothWays(list.path, "", "B");
    EXPECT_FALSE(lines.sireSire.has_value());
    EXPECT_EQ(lines.damSireSire, "BS");
    EXPECT_EQ(lines.foundMask, 3);
}

TEST(SireScan, DuplicatesOverwriteAndCountUntilTheStopRule)
{
    // The Sire twice (mask 1, then 2), the scan goes on; the Dam-Sire ends it.
    ListFile list("A,AS1,ADS1,ASS1\r\nA,AS2,ADS2,ASS2\r\nB,BS,BDS,BSS\r\nA,AS3,ADS3,ASS3\r\n");
    const SireLines lines = scanBothWays(list.path, "A", "B");
    EXPECT_EQ(lines.sireSire, "AS2");
    EXPECT_EQ(lines.damSireSire, "BS");
    EXPECT_EQ(lines.foundMask, 4);
}

TEST(SireScan, AShortLastEntryOrMissingFileIsReportedKeepingWhatWasSettled)
{
    ListFile list("A,AS,ADS,ASS\r\nC,CS\r\n");
    const SireLines lines = scanBothWays(list.path, "A", "B");
    EXPECT_EQ(lines.sireSire, "AS");
    EXPECT_NE(lines.error.find(list.path + ", line 2"), std::string::npos) << lines.error;

    const SireLines missing = scanBothWays(list.dir.file("gone"), "A", "B");
    EXPECT_NE(missing.error.find("gone"), std::string::npos);
    EXPECT_FALSE(missing.sireSire.has_value());
}
