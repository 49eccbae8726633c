// Cutting the breeding file into its ten bucket files.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "data/file_error.h"
#include "data/input_file.h"
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

std::size_t lineCount(const std::string& text)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

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

// Every line end of one horse replaced by `lineEnd`.
std::string horseWithLineEnds(int id, const std::string& lineEnd)
{
    std::string horse = quindle::testing::horseLines(id);
    for (std::size_t at = horse.find("\r\n"); at != std::string::npos; at = horse.find("\r\n", at + lineEnd.size()))
        horse.replace(at, 2, lineEnd);
    return horse;
}

TEST(Subdivide, EveryLineEndStyleBecomesCrLfAndEmptyLinesBetweenHorsesAreDropped)
{
    using quindle::testing::horseLines;
    Split split(horseWithLineEnds(1, "\n") + "\r\n\n" + horseWithLineEnds(2, "\r") + "\r" + horseLines(3) +
                horseWithLineEnds(4, "\n") + "\r\n\n\r");
    EXPECT_EQ(split.run().horses, 4);
    EXPECT_EQ(split.bucket(0), breedingFile(4));

    // Long stretches of each style, whole pieces of them, and a few horses of
    // another style inside a CR LF stretch.
    for (const std::string lineEnd : {"\n", "\r", "\r\n"}) {
        std::string breeding;
        for (int id = 1; id <= 30000; ++id)
            breeding += id % 997 == 0 ? horseWithLineEnds(id, "\r") : horseWithLineEnds(id, lineEnd);
        Split styled(breeding);
        styled.run();
        const std::string expected = breedingFile(30000);
        std::string joined;
        for (int b = 0; b < 10; ++b)
            joined += styled.bucket(b);
        EXPECT_TRUE(joined == expected) << "line ends " << (lineEnd == "\n" ? "LF" : lineEnd == "\r" ? "CR" : "CR LF");
    }
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

// The message of the error a split of `breeding` ends with, or "" when it ends well.
std::string splitError(const std::string& breeding)
{
    Split split(breeding);
    try {
        split.run();
    } catch (const FileError& e) {
        EXPECT_EQ(e.path(), split.folder.breedingFile()); // never a bucket's line
        return "line " + std::to_string(e.line()) + ": " + e.problem();
    }
    return "";
}

TEST(Subdivide, LongLinesUpToTheLimitAreCopiedWholeAndLongerOnesNamed)
{
    const std::string longest(kMaxLineBytes - 20, 'X');
    const std::string horse = quindle::testing::horseLines(1, longest);
    Split split(horse + quindle::testing::horseLines(2));
    split.run();
    EXPECT_TRUE(split.bucket(0) == horse + quindle::testing::horseLines(2));

    // Longer lines end the split there, however long they are, in any field.
    const std::string tooLong(kMaxLineBytes + 1, 'X');
    EXPECT_EQ(splitError(breedingFile(3) + quindle::testing::horseLines(4, tooLong)),
              "line 13: the line is longer than 65536 bytes");
    EXPECT_EQ(splitError(breedingFile(1) + std::string(5 << 20, ' ')), "line 5: the line is longer than 65536 bytes");
}

TEST(Subdivide, HorsesOutOfPlaceAreRefusedAtTheirLineOfTheBreedingFile)
{
    using quindle::testing::horseLines;
    std::string out = breedingFile(20005);
    out.replace(out.find("\r\n10000,") + 2, 5, "30000");
    EXPECT_EQ(splitError(out), "line 39997: identifier 30000 is out of place: this is horse 10000 of the file, so it "
                               "goes into QNsubBtxt/file1, where a lookup looks only for identifiers 10000 to 19999");
    EXPECT_EQ(splitError(horseLines(0)),
              "line 1: identifier 0 is out of place: this is horse 1 of the file, so it goes into QNsubBtxt/file0, "
              "where a lookup looks only for identifiers 1 to 9999");

    // Horses swapped within one bucket, and identifiers in quotes and blanks, are found.
    std::string swapped = breedingFile(2) + horseLines(4) + horseLines(3);
    swapped.replace(0, 1, "\" 1 \"");
    EXPECT_EQ(splitError(swapped), "");
}

TEST(Subdivide, AMissingBucketFolderIsAnError)
{
    TempDir dir;
    DataFolder folder(dir.path().string());
    writeFile(folder.breedingFile(), breedingFile(1));
    EXPECT_THROW(subdivide(folder.breedingFile(), folder, nullptr), FileError);
}

TEST(Subdivide, TheFirstFaultOfTheFileIsReportedWhateverPieceHoldsIt)
{
    // Pieces of about a megabyte are read side by side; faults in several of
    // them are still reported as one reader going through the file meets them.
    const auto fileWith = [](int outOfPlace, int notANumber) {
        std::string breeding;
        for (int id = 1; id <= 40000; ++id) {
            std::string horse = quindle::testing::horseLines(id);
            if (id == outOfPlace)
                horse.replace(0, std::to_string(id).size(), "5");
            if (id == notANumber)
                horse.replace(0, std::to_string(id).size(), "x");
            breeding += horse;
        }
        return breeding;
    };
    const auto faultOf = [](const std::string& breeding) {
        Split split(breeding);
        try {
            split.run();
        } catch (const FileError& e) {
            return std::string(e.what());
        }
        return std::string("no fault");
    };
    const std::string path = "breeding.txt, line ";
    EXPECT_NE(faultOf(fileWith(15000, 25000)).find(path + "59997: identifier 5 is out of place"), std::string::npos);
    EXPECT_NE(faultOf(fileWith(35000, 25000)).find(path + "99997: \"x\" is not a whole number"), std::string::npos);
}
