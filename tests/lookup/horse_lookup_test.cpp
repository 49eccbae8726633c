// Finding a horse in its bucket, and what the window shows of it.
#include <gtest/gtest.h>

#include <filesystem>

#include "data/field_reader.h"
#include "data/bucket_stamp.h"
#include "data/subdivide.h"
#include "lookup/horse_lookup.h"
#include "support/temp_dir.h"

using namespace quindle;
using quindle::testing::breedingFile;
using quindle::testing::horseLines;
using quindle::testing::TempDir;
using quindle::testing::writeFile;

namespace {

// A data folder whose buckets are written directly, bucket by bucket, each time
// stamped as a split would stamp them.
struct Buckets {
    TempDir dir;
    DataFolder folder{dir.path().string()};
    Buckets()
    {
        std::filesystem::create_directory(folder.bucketFolder());
        for (const std::string& path : {folder.breedingFile(), folder.nameIndex(), folder.horseIndex()})
            writeFile(path, "");
        for (int b = 0; b < kBucketCount; ++b)
            writeFile(folder.bucketFile(b), "");
        stampBuckets(folder, "a good split");
    }
    void write(int bucket, const std::string& bytes)
    {
        writeFile(folder.bucketFile(bucket), bytes);
        stampBuckets(folder, "a good split");
    }
};

} // namespace

TEST(BucketForID, TenThousandPerBucketAndEverythingHighInFileNine)
{
    EXPECT_EQ(bucketForID(1), 0);
    EXPECT_EQ(bucketForID(9999), 0);
    EXPECT_EQ(bucketForID(10000), 1);
    EXPECT_EQ(bucketForID(89999), 8);
    EXPECT_EQ(bucketForID(90000), 9);
    EXPECT_EQ(bucketForID(250000), 9);
    EXPECT_EQ(bucketForID(999999), 9);
    EXPECT_EQ(bucketForID(0), 0);
}

TEST(FindHorse, FindsHorsesAtTheBucketBoundariesOfARealSplit)
{
    Buckets b;
    writeFile(b.folder.breedingFile(), breedingFile(100001));
    subdivide(b.folder.breedingFile(), b.folder, nullptr);
    stampBuckets(b.folder, "a good split");
    for (const int id : {1, 9999, 10000, 89999, 90000, 100001}) {
        const LookupResult r = findHorse(b.folder, id);
        ASSERT_EQ(r.status, Outcome::Done) << id << r.error;
        EXPECT_EQ(r.horse.id, id);
        EXPECT_EQ(r.horse.name, "HORSE " + std::to_string(id));
        EXPECT_EQ(r.horse.damDamSire, "DAMDAMSIRE " + std::to_string(id));
    }
    EXPECT_EQ(findHorse(b.folder, 100002).status, Outcome::Absent);
    EXPECT_EQ(findHorse(b.folder, 250000).status, Outcome::Absent);
}

TEST(FindHorse, AHorseInTheWrongBucketIsNotFound)
{
    Buckets b;
    b.write(0, horseLines(1) + horseLines(12000));
    b.write(1, horseLines(10000));
    EXPECT_EQ(findHorse(b.folder, 12000).status, Outcome::Absent);
    EXPECT_EQ(findHorse(b.folder, 10000).status, Outcome::Done);
}

TEST(FindHorse, TheFirstOfTwoEqualIdentifiersWins)
{
    Buckets b;
    b.write(0, horseLines(5, "FIRST") + horseLines(5, "SECOND"));
    const LookupResult r = findHorse(b.folder, 5);
    ASSERT_EQ(r.status, Outcome::Done);
    EXPECT_EQ(r.horse.name, "FIRST");
}

TEST(FindHorse, QuotedNamesQuotedIdentifiersAndLongRecordsAreRead)
{
    Buckets b;
    const std::string longName(kMaxLineBytes - 100, 'Q');
    std::string quotedId = horseLines(4);
    quotedId.replace(0, 1, "\" 4 \" "); // read as 4 by every reader, so the horses after it stay found
    b.write(0, horseLines(1, "\"WELL, WELL\"") + horseLines(2, longName) + horseLines(3) + quotedId + horseLines(5));
    EXPECT_EQ(findHorse(b.folder, 1).horse.name, "WELL, WELL");
    EXPECT_TRUE(findHorse(b.folder, 2).horse.name == longName);
    EXPECT_EQ(findHorse(b.folder, 3).status, Outcome::Done);
    EXPECT_EQ(findHorse(b.folder, 4).horse.name, "HORSE 4");
    EXPECT_EQ(findHorse(b.folder, 5).status, Outcome::Done);
}

TEST(FindHorse, BrokenBucketsFailWithTheFileNamedAndNeverShowAnotherHorse)
{
    Buckets b;
    const std::string horse = horseLines(1);
    struct Case {
        std::string bytes;
        std::int32_t id;
        std::string expected;
    } cases[] = {
        {horseLines(1) + horse.substr(0, 40), 2, FieldReader::kEndedText},
        {"x,NAME,4,Colt\r\n" + horse.substr(horse.find('\n') + 1), 2, "\"x\" is not a whole number"},
        {"1,NAME,4\r\n1,A,B,C,D\r\n2,E,F,G,H\r\n3,I,J,K,L\r\n", 1, "the line has 3 fields, 4 expected"},
        {"1,\"NAME,4,Colt\r\n1,A,B,C,D\r\n2,E,F,G,H\r\n3,I,J,K,L\r\n", 1, "a quoted field has no closing quote"},
        {horseLines(1) + horseLines(2, std::string(20 * kMaxLineBytes, 'L')), 3, lineTooLongText()},
    };
    for (const Case& c : cases) {
        b.write(0, c.bytes);
        const LookupResult r = findHorse(b.folder, c.id);
        EXPECT_EQ(r.status, Outcome::Failed) << c.expected;
        // The bucket is reported as damaged, without its lines, which mean nothing
        // to a player, and the next start cuts it again.
        EXPECT_NE(r.error.find(b.folder.bucketFile(0) + ": " + c.expected), std::string::npos) << r.error;
        EXPECT_NE(r.error.find("damaged since it was cut from breeding.txt"), std::string::npos) << r.error;
        EXPECT_EQ(r.error.find(", line "), std::string::npos) << r.error;
        EXPECT_FALSE(std::filesystem::exists(b.folder.bucketStamp()));
    }
    std::filesystem::remove(b.folder.bucketFile(3));
    const LookupResult missing = findHorse(b.folder, 30000);
    EXPECT_EQ(missing.status, Outcome::Failed);
    EXPECT_NE(missing.error.find("file3"), std::string::npos);
}

TEST(AgeSexText, BlankAgeYoBlankSex)
{
    EXPECT_EQ(ageSexText("4", "Mare"), " 4yo Mare");
    EXPECT_EQ(ageSexText("4", "Colt"), " 4yo Colt");
    EXPECT_EQ(ageSexText("", "Colt"), " yo Colt");
    EXPECT_EQ(ageSexText("5", "mare"), " 5yo mare");
}

TEST(AgeSexOrder, TheAgeAsANumberThenTheSex)
{
    EXPECT_TRUE(ageSexBefore("3", "Mare", "10", "Colt")); // not " 10yo" before " 3yo"
    EXPECT_FALSE(ageSexBefore("10", "Colt", "3", "Mare"));
    EXPECT_TRUE(ageSexBefore("4", "Colt", "4", "Filly"));
    EXPECT_FALSE(ageSexBefore("4", "Filly", "4", "Filly"));
}

TEST(SexColour, FourExactWords)
{
    EXPECT_EQ(sexColour("Mare"), kFemaleColour);
    EXPECT_EQ(sexColour("Filly"), kFemaleColour);
    EXPECT_EQ(sexColour("Horse"), kMaleColour);
    EXPECT_EQ(sexColour("Colt"), kMaleColour);
    EXPECT_EQ(sexColour("mare"), std::nullopt);
    EXPECT_EQ(sexColour("Gelding"), std::nullopt);
    EXPECT_EQ(sexColour("Mare "), std::nullopt);
}

TEST(LineageNames, InTheOrderOfTheLineageBoxes)
{
    HorseRecord h;
    h.sire = "S";
    h.sireSire = "SS";
    h.sireDamSire = "SDS";
    h.sireSireSire = "SSS";
    h.damSire = "DS";
    h.damSireSire = "DSS";
    h.damDamSire = "DDS";
    EXPECT_EQ(lineageNames(h), (std::array<std::string, 7>{"S", "SS", "DS", "SSS", "SDS", "DSS", "DDS"}));
}

TEST(FindInBucket, RecordsLongerThanTheReadBlockAreFoundWhole)
{
    Buckets b;
    const std::string bytes = horseLines(1) + horseLines(2, "A NAME LONGER THAN ANY BLOCK") + horseLines(3);
    b.write(0, bytes);
    for (const std::size_t block : {16u, 17u, 64u, 1u << 20}) {
        const LookupResult r = findInBucket(openInput(b.folder.bucketFile(0)), b.folder.bucketFile(0), 3, block);
        ASSERT_EQ(r.status, Outcome::Done) << block << r.error;
        EXPECT_EQ(r.horse.damDamSire, "DAMDAMSIRE 3");
        EXPECT_EQ(findInBucket(openInput(b.folder.bucketFile(0)), b.folder.bucketFile(0), 2, block).horse.name,
                  "A NAME LONGER THAN ANY BLOCK");
    }
}
