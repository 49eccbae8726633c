// Cutting the breeding file into its ten bucket files.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "data/file_error.h"
#include "data/subdivide.h"
#include "support/temp_dir.h"

using namespace quindle;
using quindle::testing::breedingFile;
using quindle::testing::readFile;
using quindle::testing::TempDir;
using quindle::testing::writeFile;

namespace {

struct Split {
    TempDir dir;
    DataFolder folder{dir.path().string()};
    std::vector<int> progress;

    explicit Split(const std::string& breeding)
    {
        std::filesystem::create_directory(folder.bucketFolder());
        writeFile(folder.breedingFile(), breeding);
    }
    SplitSummary run()
    {
        return subdivide(folder.breedingFile(), folder, [&](int v) { progress.push_back(v); });
    }
    std::string bucket(int b) const { return readFile(folder.bucketFile(b)); }
};

std::size_t lineCount(const std::string& text) { return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')); }

const std::vector<int> kAllProgress{2, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100};

} // namespace

TEST(Subdivide, NinetyThousandHorsesFillEveryBucketAndPutOneHorseInFileNine)
{
    const std::string breeding = breedingFile(90000);
    Split split(breeding);
    const SplitSummary summary = split.run();
    EXPECT_EQ(summary.horses, 90000);
    EXPECT_EQ(split.progress, kAllProgress);
    EXPECT_EQ(lineCount(split.bucket(0)), 39996u);
    for (int b = 1; b <= 8; ++b)
        EXPECT_EQ(lineCount(split.bucket(b)), 40000u) << "file" << b;
    EXPECT_EQ(split.bucket(9), quindle::testing::horseLines(90000));
    // Boundaries: 9,999 ends file0, 10,000 starts file1, 89,999 ends file8.
    EXPECT_EQ(split.bucket(0).substr(split.bucket(0).size() - quindle::testing::horseLines(9999).size()),
              quindle::testing::horseLines(9999));
    EXPECT_EQ(split.bucket(1).rfind(quindle::testing::horseLines(10000), 0), 0u);
    EXPECT_TRUE(split.bucket(8).ends_with(quindle::testing::horseLines(89999)));
    std::string joined;
    for (int b = 0; b < 10; ++b)
        joined += split.bucket(b);
    EXPECT_EQ(joined, breeding);
}

TEST(Subdivide, OneHundredThousandHorsesPutTenThousandAndOneInFileNine)
{
    Split split(breedingFile(100000));
    split.run();
    EXPECT_EQ(lineCount(split.bucket(9)), 40004u);
}

TEST(Subdivide, AShortFileFillsWhatItReachesAndLeavesTheRestEmpty)
{
    Split split(breedingFile(89999)); // 359,996 lines: file9 gets nothing
    EXPECT_EQ(split.run().horses, 89999);
    EXPECT_EQ(split.progress, kAllProgress);
    EXPECT_EQ(split.bucket(9), "");

    Split tiny(breedingFile(3));
    tiny.run();
    EXPECT_EQ(tiny.bucket(0), breedingFile(3));
    for (int b = 1; b < 10; ++b)
        EXPECT_EQ(tiny.bucket(b), "") << "file" << b;
    EXPECT_EQ(tiny.progress, kAllProgress);
}

TEST(Subdivide, LineEndsBecomeCrLfAndEmptyLinesAtTheEndAreDropped)
{
    Split split("L1\nL2\rL3\r\n\r\nL5\r\nL6\nL7\rL8\r\n\r\n\n\r");
    EXPECT_EQ(split.run().lines, 8);
    // The empty line inside the file is one of its lines and is kept.
    EXPECT_EQ(split.bucket(0), "L1\r\nL2\r\nL3\r\n\r\nL5\r\nL6\r\nL7\r\nL8\r\n");
}

TEST(Subdivide, LoneCarriageReturnsInsideLongCrLfRunsEndLines)
{
    std::string breeding = breedingFile(500);
    std::string expected = breeding;
    for (const char* name : {"HORSE 17,", "HORSE 250,", "HORSE 251,", "HORSE 499,"}) {
        breeding.replace(breeding.find(name), std::strlen(name), std::string(name) + "\r");
        expected.replace(expected.find(name), std::strlen(name), std::string(name) + "\r\n");
    }
    Split split(breeding);
    EXPECT_EQ(split.run().lines, 2004);
    EXPECT_EQ(split.bucket(0), expected);
}

TEST(Subdivide, LastLineWithoutLineEndGetsOne)
{
    const std::string horse = quindle::testing::horseLines(1);
    Split split(horse.substr(0, horse.size() - 2));
    split.run();
    EXPECT_EQ(split.bucket(0), horse);
}

TEST(Subdivide, ALastHorseOfThreeLinesIsAnErrorNamingTheLineCount)
{
    const std::string horses = breedingFile(2);
    Split split(horses.substr(0, horses.rfind("3,DAMDAMSIRE 2")));
    try {
        split.run();
        FAIL() << "accepted";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find("the file has 7 lines"), std::string::npos) << e.what();
    }
    EXPECT_NE(split.progress.back(), 100);
}

TEST(Subdivide, RunningTwiceGivesIdenticalBucketsRewrittenNotAppended)
{
    Split split(breedingFile(20001));
    split.run();
    std::vector<std::string> first;
    for (int b = 0; b < 10; ++b)
        first.push_back(split.bucket(b));
    split.run();
    for (int b = 0; b < 10; ++b)
        EXPECT_EQ(split.bucket(b), first[static_cast<std::size_t>(b)]);
}

TEST(Subdivide, LinesLongerThanTheReadBlockAreCopiedWhole)
{
    const std::string longName(3 << 20, 'X');
    const std::string horse = quindle::testing::horseLines(1, longName);
    Split split(horse);
    split.run();
    EXPECT_EQ(split.bucket(0), horse);
}

TEST(Subdivide, AMissingBucketFolderIsAnError)
{
    TempDir dir;
    DataFolder folder(dir.path().string());
    writeFile(folder.breedingFile(), breedingFile(1));
    EXPECT_THROW(subdivide(folder.breedingFile(), folder, nullptr), FileError);
}
