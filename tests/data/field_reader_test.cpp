// How fields are read from all three comma-separated files.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <span>
#include <stdexcept>

#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/records.h"
#include "support/temp_dir.h"

using namespace quindle;

namespace {
FieldReader reader(std::string_view bytes) { return FieldReader(bytes, "test.txt"); }

// The fields left, each with its line, or the fault that stops them.
std::string restOf(FieldReader& r)
{
    std::string rest;
    try {
        while (!r.atEnd())
            rest += std::to_string(r.line()) + ":" + r.readText() + "|";
    } catch (const FileError& e) {
        rest += e.what();
    }
    return rest;
}

// Reads lines of counts[i] fields twice: taking each line whole where
// lookAtPlainLine allows it, and field by field. Wherever a line is taken
// whole, its fields, the line count and what follows must be exactly what
// reading field by field gives. Returns how many lines were taken whole.
int takeLinesBothWays(std::string_view bytes, std::span<const std::size_t> counts)
{
    FieldReader fast(bytes, "test.txt", 3), slow(bytes, "test.txt", 3);
    int taken = 0;
    bool fault = false;
    for (const std::size_t count : counts) {
        std::array<std::string_view, 8> looked;
        if (fast.lookAtPlainLine(std::span(looked).first(count))) {
            ++taken;
            fast.takePlainLine();
            for (std::size_t i = 0; i < count; ++i) {
                EXPECT_EQ(slow.readText(), looked[i]) << bytes;
                EXPECT_EQ(slow.lastDelimiter() == FieldReader::Delimiter::Comma, i + 1 < count) << bytes;
            }
            EXPECT_EQ(fast.lastDelimiter(), FieldReader::Delimiter::LineEnd);
        } else {
            // Not plain: both read the fields one by one, as a record would.
            try {
                for (std::size_t i = 0; i < count; ++i)
                    EXPECT_EQ(fast.readText(), slow.readText()) << bytes;
            } catch (const FileError&) {
                fault = true;
            }
            break;
        }
        EXPECT_EQ(fast.line(), slow.line()) << bytes;
    }
    if (!fault) {
        EXPECT_EQ(restOf(fast), restOf(slow)) << bytes;
    }
    return taken;
}
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

TEST(FieldReader, WholeNumbersOfAnyLengthAgreeWithTheirDefinition)
{
    // The definition: a sign, then digits only; the value, however many leading
    // zeros it has, must lie in the range.
    const auto expected = [](std::string text, std::int64_t& value) {
        const bool negative = !text.empty() && text[0] == '-';
        if (!text.empty() && (text[0] == '-' || text[0] == '+'))
            text.erase(0, 1);
        if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
            return NumberParse::NotANumber;
        text.erase(0, std::min(text.find_first_not_of('0'), text.size() - 1));
        if (text.size() > 15)
            return NumberParse::OutOfRange;
        value = negative ? -std::stoll(text) : std::stoll(text);
        return value >= INT32_MIN && value <= INT32_MAX ? NumberParse::Ok : NumberParse::OutOfRange;
    };
    std::mt19937 random(8);
    for (int round = 0; round < 50000; ++round) {
        std::string text(random() % 25, '0');
        for (char& c : text)
            c = "0000123456789+-x"[random() % 16];
        if (random() % 2)
            text = std::string(random() % 15, '0') + std::to_string(static_cast<std::int32_t>(random()));
        std::int64_t want = 0, got = 0;
        const NumberParse outcome = expected(text, want);
        ASSERT_EQ(parseWholeNumber(text, INT32_MIN, INT32_MAX, got), outcome) << text;
        if (outcome == NumberParse::Ok) {
            ASSERT_EQ(got, want) << text;
        }
    }
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
        // The file's Latin-1 reaches the message as UTF-8; its controls as escapes.
        {"CAF\xC9 \x85", "test.txt, line 1: \"CAF\xC3\x89 \\x85\" is not a whole number"},
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
    const quindle::testing::TempDir dir;
    const std::string path = dir.file("views.txt");
    quindle::testing::writeFile(path, "a,b\r\n");
    FieldReader fromFile(openInput(path), path);
    EXPECT_THROW(fromFile.readView(), std::logic_error);
}

TEST(FieldReader, PlainLinesAreTakenWholeOnlyWhenFieldByFieldGivesTheSame)
{
    std::array<std::string_view, 3> three;
    const auto plain = [&](std::string_view bytes) {
        FieldReader r(bytes, "test.txt", 2); // not the first line: that one is checked for a byte-order mark
        return r.lookAtPlainLine(three);
    };
    EXPECT_TRUE(plain("a,B C,\r\nnext"));
    EXPECT_EQ(three[0], "a");
    EXPECT_EQ(three[1], "B C");
    EXPECT_EQ(three[2], "");
    EXPECT_TRUE(plain(",,\n"));
    EXPECT_FALSE(plain("a,b,c"));       // no line end: the last line
    EXPECT_FALSE(plain("a,b\r\n"));     // too few fields
    EXPECT_FALSE(plain("a,b,c,d\r\n")); // too many
    EXPECT_FALSE(plain(" a,b,c\r\n"));  // blanks around a field are dropped field by field
    EXPECT_FALSE(plain("a,b\t,c\r\n"));
    EXPECT_FALSE(plain("a,b,c \r\n"));
    EXPECT_FALSE(plain("\"a\",\" b, \",\"\"\r\n")); // a comma inside quotes: field by field
    EXPECT_TRUE(plain("\"a\",\" b \",\"\"\r\n"));   // whole fields in quotes: the bytes between them
    EXPECT_EQ(three[1], " b ");
    EXPECT_EQ(three[2], "");
    EXPECT_FALSE(plain("a, \"b\",c\r\n")); // a blank before the quote
    EXPECT_FALSE(plain("a,\"b\" ,c\r\n")); // and after it
    EXPECT_FALSE(plain("a,\"b\"c\",d\r\n") || plain("a,\"b,c\r\n") || plain("a,\",c\r\n"));
    FieldReader first("a,b,c\r\n", "test.txt");
    EXPECT_FALSE(first.lookAtPlainLine(three));

    // Random runs of lines over the 64-byte steps of the scan, looked at one
    // after the other by one reader.
    std::mt19937 random(12);
    int taken = 0, looks = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string bytes;
        std::vector<std::size_t> counts(1 + random() % 8);
        for (std::size_t& count : counts) {
            count = 1 + random() % 5;
            const std::size_t written = random() % 8 == 0 ? 1 + random() % 5 : count; // sometimes the wrong count
            for (std::size_t i = 0; i < written; ++i) {
                std::string field(random() % 30, 'x');
                for (char& c : field)
                    c = random() % 80 == 0 ? " \t\"\r\n,"[random() % 6]
                                           : "AB(\xE9"
                                             "AB(\xE9"
                                             "A "[random() % 10];
                if (random() % 4 == 0)
                    field = "\"" + field + "\""; // most quoted fields read whole
                bytes += field + (i + 1 < written ? "," : "");
            }
            bytes += std::array<const char*, 4>{"\r\n", "\n", "\r", "\r\n"}[random() % 4];
        }
        const int takenHere = takeLinesBothWays(bytes, counts);
        taken += takenHere;
        looks += takenHere + (takenHere < static_cast<int>(counts.size())); // up to the first line not plain
        ASSERT_FALSE(HasFailure());
    }
    EXPECT_GT(taken, looks / 3); // many lines are plain
}

TEST(FieldReader, PlainLinesAgreeWhereverAQuoteBlankCommaOrLineEndMeetsAStep)
{
    // Each field shape, as the first, middle and last of three fields, moved
    // byte by byte over the first two 64-byte steps of the line by a field of
    // letters, of blanks between letters or of blanks in quotes, with each line
    // end. A line holding the shape is taken whole, read field by field, or
    // either (a quote inside a field that does not start with one).
    enum class Taken { Whole, ByFields, Either };
    struct Shape {
        const char* text;
        Taken taken;
    };
    using enum Taken;
    const Shape shapes[] = {{"b", Whole},           {"\"b c\"", Whole},    {"\"\"", Whole},        {"", Whole},
                            {" b", ByFields},       {"b ", ByFields},      {"\tb", ByFields},      {"b\t", ByFields},
                            {"\"b\" ", ByFields},   {" \"b\"", ByFields},  {"\"b", ByFields},      {"\"", ByFields},
                            {"\"b\"c\"", ByFields}, {"\"b,c\"", ByFields}, {"\"b\nc\"", ByFields}, {"b\"", Either},
                            {"b\"\"c", Either}};
    for (const Shape& shape : shapes)
        for (const char* lineEnd : {"\r\n", "\n", "\r"})
            for (std::size_t pad = 2; pad < 132; ++pad)
                for (const std::string& filler : {std::string(pad, 'A'), "A" + std::string(pad - 2, ' ') + "A",
                                                  "\"" + std::string(pad - 2, ' ') + "\""})
                    for (const std::string& line : {filler + "," + shape.text + ",z",
                                                    shape.text + ("," + filler) + ",z", filler + ",z," + shape.text}) {
                        const std::string bytes = line + lineEnd + "n,e,xt\r\n";
                        const std::size_t counts[] = {3, 3};
                        const int taken = takeLinesBothWays(bytes, counts);
                        if (shape.taken != Either) {
                            ASSERT_EQ(taken, shape.taken == Whole ? 2 : 0) << bytes;
                        }
                        ASSERT_FALSE(HasFailure()) << bytes;
                    }
}

TEST(FieldReader, PlainLinesAreOnlyForBytesInMemory)
{
    const quindle::testing::TempDir dir;
    const std::string path = dir.file("plain.txt");
    quindle::testing::writeFile(path, "a\r\nb,c\r\n");
    FieldReader fromFile(openInput(path), path);
    EXPECT_EQ(fromFile.readText(), "a");
    std::array<std::string_view, 2> two;
    EXPECT_FALSE(fromFile.lookAtPlainLine(two));
    EXPECT_EQ(fromFile.readText(), "b");
}
