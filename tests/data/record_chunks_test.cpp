// Reading the breeding file in pieces must give exactly what one reader gives:
// the same horses, and the same first fault on the same line.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/record_chunks.h"
#include "data/records.h"
#include "support/temp_dir.h"

using namespace quindle;
using namespace quindle::testing;

namespace {

struct ReadResult {
    std::vector<HorseRecord> horses;
    std::string error; // empty when the whole file was read
};

ReadResult readWhole(const std::string& path)
{
    ReadResult result;
    try {
        FieldReader reader(openInput(path), path);
        while (!reader.atEnd())
            result.horses.push_back(readHorseRecord(reader));
    } catch (const FileError& e) {
        result.error = e.what();
    }
    return result;
}

ReadResult readInPieces(const std::string& path, std::size_t target, std::string* joined = nullptr)
{
    ReadResult result;
    RecordChunker chunker(openInput(path), path, target);
    RecordChunk chunk;
    try {
        while (chunker.next(chunk)) {
            if (joined)
                *joined += chunk.bytes();
            // The padding after a piece may be read by block-wise scans; under
            // AddressSanitizer this read fails if it is missing.
            const char* end = chunk.bytes().data() + chunk.bytes().size();
            volatile char touched = 0;
            for (std::size_t i = 0; i < RecordChunk::kPadding; ++i)
                touched = static_cast<char>(touched ^ end[i]);
            // As the profiles are read: views into the piece, not copies.
            FieldReader reader(chunk.bytes(), path, chunk.firstLine());
            HorseView view;
            while (!reader.atEnd()) {
                readHorseRecord(reader, view);
                result.horses.push_back({view.id, std::string(view.name), std::string(view.age), std::string(view.sex),
                                         std::string(view.sire), std::string(view.sireSire),
                                         std::string(view.sireDamSire), std::string(view.sireSireSire),
                                         std::string(view.damSire), std::string(view.damSireSire),
                                         std::string(view.damDamSire)});
            }
        }
    } catch (const FileError& e) {
        result.error = e.what();
    }
    return result;
}

// The file with its CR LF line ends replaced by `lineEnd`.
std::string withLineEnds(const std::string& text, const std::string& lineEnd)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\r\n") == 0) {
            out += lineEnd;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

enum class Expect { Sound, Broken };

void expectSameAsOneReader(const std::string& text, const std::string& what, Expect expect = Expect::Sound)
{
    TempDir dir;
    const std::string path = dir.file("breeding.txt");
    writeFile(path, text);
    const ReadResult whole = readWhole(path);
    EXPECT_EQ(whole.error.empty(), expect == Expect::Sound) << what << ": " << whole.error;
    for (const std::size_t target : {1, 2, 7, 64, 300, 1 << 16}) {
        std::string joined;
        const ReadResult pieces = readInPieces(path, target, &joined);
        EXPECT_EQ(pieces.error, whole.error) << what << ", pieces of " << target;
        EXPECT_EQ(pieces.horses, whole.horses) << what << ", pieces of " << target;
        if (whole.error.empty()) {
            EXPECT_EQ(joined, text) << what << ", pieces of " << target;
        }
    }
}

std::string sampleHorses()
{
    std::string text = horseLines(1, "\"WELL, WELL\"") + horseLines(2, "  PADDED  ");
    for (int id = 3; id <= 40; ++id)
        text += horseLines(id);
    return text;
}

} // namespace

TEST(RecordChunks, SoundFilesGiveTheSameHorsesWithEveryLineEnd)
{
    const std::string text = sampleHorses();
    for (const std::string lineEnd : {"\r\n", "\n", "\r"}) {
        const std::string file = withLineEnds(text, lineEnd);
        expectSameAsOneReader(file, "plain");
        expectSameAsOneReader(file + lineEnd + lineEnd + lineEnd, "empty lines at the end");
        expectSameAsOneReader(file.substr(0, file.size() - lineEnd.size()), "no line end at the end");
        expectSameAsOneReader(lineEnd + lineEnd + file, "empty lines at the start");
    }
    std::string spaced;
    for (int id = 1; id <= 30; ++id)
        spaced += horseLines(id) + std::string(static_cast<std::size_t>(id % 4), '\n') + (id % 3 ? "" : "\r\r\n");
    expectSameAsOneReader(spaced, "empty lines between horses");
    expectSameAsOneReader("", "an empty file");
    expectSameAsOneReader("\r\n\r\n", "only empty lines");
}

TEST(RecordChunks, TheFirstFaultComesOutOnTheSameLine)
{
    const std::string text = sampleHorses();
    const std::size_t third = text.find("\r\n3,HORSE 3,");
    std::string emptyInside = text;
    emptyInside.insert(text.find("\r\n", third + 2) + 2, "\r\n"); // after the first line of horse 3
    expectSameAsOneReader(emptyInside, "an empty line inside a horse", Expect::Broken);

    std::string blankInside = text;
    blankInside.insert(text.find("\r\n", third + 2) + 2, "   \r\n");
    expectSameAsOneReader(blankInside, "a line of blanks inside a horse", Expect::Broken);

    expectSameAsOneReader(text + "41,LAST,3,Colt\r\n1,A,B,C,D\r\n", "a short last horse", Expect::Broken);

    std::string badNumber = text;
    badNumber.replace(text.find("\r\n20,") + 2, 2, "2O");
    expectSameAsOneReader(badNumber, "a bad identifier", Expect::Broken);

    std::string extraField = text;
    extraField.insert(text.find(",X,Y,Z", text.find("\r\n30,")) + 6, ",W");
    expectSameAsOneReader(extraField, "a line with a field too many", Expect::Broken);

    std::string openQuote = text;
    openQuote.insert(text.find("\r\n35,") + 5, "\"");
    expectSameAsOneReader(openQuote, "a quote left open", Expect::Broken);

    expectSameAsOneReader("\xEF\xBB\xBF" + text, "a byte-order mark", Expect::Broken);
    expectSameAsOneReader("\n\r\n\xEF\xBB\xBF" + text, "empty lines, then a byte-order mark", Expect::Broken);
}

TEST(RecordChunks, RandomCutsAndLineCountsAddUp)
{
    std::mt19937 random(3);
    const char alphabet[] = {'A', ',', ' ', '\r', '\n', '\r', '\n', 'B'};
    for (int round = 0; round < 200; ++round) {
        std::string text(static_cast<std::size_t>(random() % 200), 'x');
        for (char& c : text)
            c = alphabet[random() % sizeof alphabet];
        const std::size_t cut = text.empty() ? 0 : random() % text.size();
        const LineCounts whole = countLines(text, '\n');
        const LineCounts head = countLines(std::string_view(text).substr(0, cut), '\n');
        const LineCounts tail = countLines(std::string_view(text).substr(cut), cut ? text[cut - 1] : '\n');
        EXPECT_EQ(whole.ends, head.ends + tail.ends) << round;
        EXPECT_EQ(whole.starts, head.starts + tail.starts) << round;

        // Against the plain definition: CR LF, CR and LF each end a line.
        std::int64_t ends = 0, starts = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const bool end = text[i] == '\r' || text[i] == '\n';
            ends += text[i] == '\r' || (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'));
            starts += !end && (i == 0 || text[i - 1] == '\r' || text[i - 1] == '\n');
        }
        EXPECT_EQ(whole.ends, ends) << round;
        EXPECT_EQ(whole.starts, starts) << round;
    }
}

TEST(RecordChunks, AFileThatCannotBeReadIsReported)
{
    TempDir dir;
    FilePtr folder(std::fopen(dir.path().string().c_str(), "rb"));
    if (!folder)
        GTEST_SKIP() << "this system does not open a folder as a file";
    RecordChunker chunker(std::move(folder), dir.path().string());
    RecordChunk chunk;
    EXPECT_THROW(chunker.next(chunk), FileError);
}

TEST(RecordChunks, TheFuzzersInputsGiveTheSameAsOneReader)
{
    // Inputs grown by fuzz/fuzz_record_chunks.cpp: the first byte sets the piece size.
    const std::filesystem::path folder = std::filesystem::path(QUINDLE_FUZZ_CORPUS) / "fuzz_record_chunks";
    int replayed = 0;
    TempDir dir;
    const std::string path = dir.file("breeding.txt");
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string input = readFile(entry.path().string());
        if (input.empty())
            continue;
        writeFile(path, input.substr(1));
        const ReadResult whole = readWhole(path);
        const ReadResult pieces = readInPieces(path, 1 + static_cast<unsigned char>(input[0]) % 64);
        EXPECT_EQ(pieces.error, whole.error) << entry.path();
        EXPECT_EQ(pieces.horses, whole.horses) << entry.path();
        ++replayed;
    }
    EXPECT_GT(replayed, 10);
}

TEST(RecordChunks, LongRunsOfEmptyLinesAndLongLinesKeepPiecesSmall)
{
    const std::string horses = sampleHorses(), empties(3 << 20, '\n');
    const std::string brokenHorse = horseLines(41).substr(0, horseLines(41).rfind("3,"));
    const std::string texts[] = {horses + empties + horses + withLineEnds(empties, "\r\n"),
                                 horses + brokenHorse + empties + horses,
                                 horses + horseLines(41, std::string(3 << 20, 'N')) + horses};
    TempDir dir;
    for (const std::string& text : texts) {
        writeFile(dir.file("b"), text);
        const ReadResult whole = readWhole(dir.file("b")), pieces = readInPieces(dir.file("b"), 300);
        EXPECT_EQ(pieces.error, whole.error);
        EXPECT_TRUE(pieces.horses == whole.horses);
        RecordChunker chunker(openInput(dir.file("b")), dir.file("b"), 300);
        RecordChunk chunk;
        std::size_t longest = 0;
        try {
            while (chunker.next(chunk))
                longest = std::max(longest, chunk.bytes().size());
        } catch (const FileError&) {
        }
        EXPECT_LE(longest, 600 + 16 * (kMaxLineBytes + 2)) << whole.error;
    }
    // Empty lines before the first horse cannot be cut (the first field is
    // checked for a byte-order mark), so a long run of them is refused.
    writeFile(dir.file("b"), empties + horses);
    EXPECT_EQ(readInPieces(dir.file("b"), 300).error,
              dir.file("b") + ", line 1: the file starts with more than 300 bytes of empty lines");
}
