// How fields are read from all three comma-separated files.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <stdexcept>

#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/records.h"

using namespace quindle;

namespace {
FieldReader reader(std::string_view bytes) { return FieldReader(bytes, "test.txt"); }
} // namespace

TEST(FieldReader, SplitsOnCommasAndEveryKindOfLineEnd)
{
    auto r = reader("a,b\r\nc\nd\re");
    EXPECT_EQ(r.readText(), "a");
    EXPECT_EQ(r.readText(), "b");
    EXPECT_EQ(r.readText(), "c");
    EXPECT_EQ(r.readText(), "d");
    EXPECT_EQ(r.line(), 4);
    EXPECT_EQ(r.readText(), "e");
    EXPECT_TRUE(r.atEnd());
}

TEST(FieldReader, DropsBlanksAroundUnquotedFieldsButKeepsInnerOnes)
{
    auto r = reader("  STAR LANTERN  ,\tNORTH STAR (IRE)\t\r\n");
    EXPECT_EQ(r.readText(), "STAR LANTERN");
    EXPECT_EQ(r.readText(), "NORTH STAR (IRE)");
    EXPECT_TRUE(r.atEnd());
}

TEST(FieldReader, QuotedFieldsKeepCommasAndBlanks)
{
    auto r = reader("\"WELL, WELL \" , \" X\"\r\n");
    EXPECT_EQ(r.readText(), "WELL, WELL ");
    EXPECT_EQ(r.readText(), " X");
}

TEST(FieldReader, KeepsCaseAndEightBitBytes)
{
    auto r = reader("Caf\xE9 au Lait,mr. X\r\n");
    EXPECT_EQ(r.readText(), "Caf\xE9 au Lait");
    EXPECT_EQ(r.readText(), "mr. X");
}

TEST(FieldReader, TrailingCommaGivesOneEmptyFieldAtTheEnd)
{
    auto r = reader("a,");
    EXPECT_EQ(r.readText(), "a");
    EXPECT_EQ(r.readText(), "");
    EXPECT_THROW(r.readText(), FileError);
}

TEST(FieldReader, ReadingPastTheEndIsAnErrorNamingTheLine)
{
    auto r = reader("a\r\n");
    r.readText();
    try {
        r.readText();
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.line(), 2);
        EXPECT_STREQ(e.what(), "test.txt, line 2: the file ends where a field was expected");
    }
}

TEST(FieldReader, AtEndSkipsEmptyLinesOnly)
{
    auto r = reader("a\r\n\r\n\r\n");
    r.readText();
    EXPECT_TRUE(r.atEnd());
    auto blank = reader("a\r\n \r\n");
    blank.readText();
    EXPECT_FALSE(blank.atEnd()); // a line of blanks is not empty
}

TEST(FieldReader, WholeNumbersWithSignsAndRanges)
{
    auto r = reader("32767,-32768,+5,\" 7 \",2147483647,-2147483648\r\n");
    EXPECT_EQ(r.readInt16(), 32767);
    EXPECT_EQ(r.readInt16(), -32768);
    EXPECT_EQ(r.readInt16(), 5);
    EXPECT_EQ(r.readInt16(), 7);
    EXPECT_EQ(r.readInt32(), 2147483647);
    EXPECT_EQ(r.readInt32(), -2147483648);
}

TEST(FieldReader, BadNumbersAreErrorsWithTheTextShown)
{
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"40000", "test.txt, line 1: \"40000\" is out of range (-32768 to 32767)"},
        {"-32769", "test.txt, line 1: \"-32769\" is out of range (-32768 to 32767)"},
        {"abc", "test.txt, line 1: \"abc\" is not a whole number"},
        {"", "test.txt, line 1: \"\" is not a whole number"},
        {"1.5", "test.txt, line 1: \"1.5\" is not a whole number"},
        {"99999999999999999999999", "test.txt, line 1: \"99999999999999999999999\" is out of range (-32768 to 32767)"},
        {"-", "test.txt, line 1: \"-\" is not a whole number"},
    };
    for (const auto& c : cases) {
        const std::string bytes = std::string(c.text) + "\r\n";
        auto r = reader(bytes);
        try {
            r.readInt16();
            ADD_FAILURE() << "accepted " << c.text;
        } catch (const FileError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

TEST(FieldReader, UnterminatedOrTrailedQuotesAreErrors)
{
    auto open = reader("\"abc\r\ndef\"\r\n");
    EXPECT_THROW(open.readText(), FileError);
    auto trailing = reader("\"abc\"def,x\r\n");
    EXPECT_THROW(trailing.readText(), FileError);
    auto blanksAfter = reader("\"abc\"  ,x\r\n");
    EXPECT_EQ(blanksAfter.readText(), "abc");
    EXPECT_EQ(blanksAfter.readText(), "x");
}

TEST(FieldReader, NulBytesAreOrdinaryCharacters)
{
    const std::string bytes("a\0b,c\r\n", 7);
    auto r = reader(bytes);
    EXPECT_EQ(r.readText(), std::string("a\0b", 3));
    EXPECT_EQ(r.readText(), "c");
}

TEST(Records, EachLineMustHoldItsFieldCount)
{
    FieldReader shortLine("NAME,1,2,3,4\r\nNEXT,1,2,3,4,5\r\n", "ChefTable");
    try {
        readChefEntry(shortLine);
        FAIL() << "accepted five fields";
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "ChefTable, line 1: the line has 5 fields, 6 expected");
    }
    FieldReader longLine("NAME,1,2,3,4,5,6\r\n", "ChefTable");
    EXPECT_THROW(readChefEntry(longLine), FileError);
}

TEST(Records, HorseRecordTakesItsElevenFieldsFromFourLines)
{
    const std::string bytes = "7,\"WELL, WELL\",4,Filly\r\n"
                              "1,S,SS,SDS,SSS\r\n"
                              "2,DS,DSS,x,y\r\n"
                              "3,DDS,a,b,c\r\n";
    FieldReader r(bytes, "file0");
    const HorseRecord h = readHorseRecord(r);
    EXPECT_EQ(h.id, 7);
    EXPECT_EQ(h.name, "WELL, WELL");
    EXPECT_EQ(h.age, "4");
    EXPECT_EQ(h.sex, "Filly");
    EXPECT_EQ(h.sire, "S");
    EXPECT_EQ(h.sireSire, "SS");
    EXPECT_EQ(h.sireDamSire, "SDS");
    EXPECT_EQ(h.sireSireSire, "SSS");
    EXPECT_EQ(h.damSire, "DS");
    EXPECT_EQ(h.damSireSire, "DSS");
    EXPECT_EQ(h.damDamSire, "DDS");
    EXPECT_TRUE(r.atEnd());
}

TEST(FieldReader, ViewsAndCopiesGiveTheSameFieldsOfEveryLength)
{
    // Fields of 0 to 40 bytes, so every step of the scan (sixteen, eight and one
    // byte at a time) meets the end of a field, also at the end of the input.
    std::mt19937 random(4);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> fields;
        std::string bytes;
        const int count = 1 + static_cast<int>(random() % 6);
        for (int i = 0; i < count; ++i) {
            std::string field(random() % 41, 'x');
            for (char& c : field)
                c = "AB (\xE9"[random() % 5];
            const bool quoted = random() % 4 == 0;
            if (!quoted)
                field.erase(0, field.find_first_not_of(' ')), field.erase(field.find_last_not_of(' ') + 1);
            fields.push_back(field);
            bytes += (quoted ? "\"" + field + "\"" : field) + (i + 1 < count ? "," : random() % 2 ? "\r\n" : "");
        }
        FieldReader copies(bytes, "test.txt"), views(bytes, "test.txt");
        for (const std::string& field : fields) {
            EXPECT_EQ(copies.readText(), field) << bytes;
            EXPECT_EQ(views.readView(), field) << bytes;
            EXPECT_EQ(views.lastDelimiter(), copies.lastDelimiter());
        }
        EXPECT_TRUE(views.atEnd());
    }
}

TEST(FieldReader, ViewsAreOnlyForBytesInMemory)
{
    const std::string path = ::testing::TempDir() + "/quindle_view_test.txt";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("a,b\r\n", file);
    std::fclose(file);
    FieldReader fromFile(openForReading(path), path);
    EXPECT_THROW(fromFile.readView(), std::logic_error);
    std::remove(path.c_str());
}
