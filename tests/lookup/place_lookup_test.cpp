// A lookup through the table of places answers as the scan of the bucket does,
// whatever has become of the table, or refuses; a changed byte of the bucket is
// a refusal, never an altered horse or "not found".
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "data/bucket_cut.h"
#include "data/place_table.h"
#include "lookup/horse_lookup.h"
#include "support/temp_dir.h"

using namespace quindle;
using quindle::testing::horseLines;
using quindle::testing::readFile;
using quindle::testing::TempDir;
using quindle::testing::writeFile;

namespace {

// 12 twice, and the first two swapped in another cut of the same horses.
std::string breeding(bool swapFirstTwo)
{
    std::string text = swapFirstTwo ? horseLines(2) + horseLines(1) : horseLines(1) + horseLines(2);
    for (int id = 3; id <= 40; ++id)
        text += horseLines(id) + (id == 20 ? horseLines(12, "SECOND TWELVE") : "");
    return text + horseLines(112);
}

// The tables of the buckets these go to: file0, file1 (empty) and file9 (empty).
const std::vector<std::int32_t> kAsked = {1, 12, 40, 41, 0, 9999, 10000, 999999};
const int kTables[] = {0, 1, 9};

// A table's places and seal, changed and written back whole and sealed.
struct Table {
    std::vector<Place> places;
    PlaceSeal seal;
    Place& of(std::int32_t id)
    {
        return *std::find_if(places.begin(), places.end(), [&](auto& p) { return p.id == id; });
    }
    void drop(std::int32_t id)
    {
        std::erase_if(places, [&](const Place& p) { return p.id == id; });
    }
};

// The bytes of a table of `places`, sealed.
std::string tableOf(const std::vector<Place>& places, PlaceSeal seal)
{
    const std::size_t n = places.size();
    std::string out(n * (kPlaceEntryBytes + kPlaceSumBytes) + kPlaceSealBytes, '\0');
    for (std::size_t i = 0; i < n; ++i) {
        encodePlace(places[i], out.data() + i * kPlaceEntryBytes);
        encodePlaceSum(places[i], out.data() + n * kPlaceEntryBytes + i * kPlaceSumBytes);
    }
    seal.entries = static_cast<std::int64_t>(n);
    seal.entriesChecksum = checksumOf(std::string_view(out).substr(0, n * kPlaceEntryBytes));
    encodeSeal(seal, out.data() + out.size() - kPlaceSealBytes);
    return out;
}

struct Cut {
    TempDir dir;
    DataFolder folder{dir.path().string()};
    void cut(bool swapFirstTwo = false) const
    {
        writeFile(folder.breedingFile(), breeding(swapFirstTwo));
        cutBuckets(folder, {}, CutWhen::Always);
    }
    std::vector<LookupResult> answers() const
    {
        std::vector<LookupResult> results;
        for (const std::int32_t id : kAsked)
            results.push_back(findHorse(folder, id));
        return results;
    }
    void change(void (*how)(std::string& bytes)) const
    {
        for (const int b : kTables) {
            std::string bytes = readFile(folder.placeTable(b));
            how(bytes);
            writeFile(folder.placeTable(b), bytes);
        }
    }
    void reseal(void (*how)(Table&, std::int64_t bucketSize)) const
    {
        for (const int b : kTables) {
            const std::string bytes = readFile(folder.placeTable(b));
            const std::size_t count = (bytes.size() - kPlaceSealBytes) / (kPlaceEntryBytes + kPlaceSumBytes);
            Table t;
            for (std::size_t i = 0; i < count; ++i) {
                t.places.push_back(decodePlace(bytes.data() + i * kPlaceEntryBytes));
                decodePlaceSum(bytes.data() + count * kPlaceEntryBytes + i * kPlaceSumBytes, t.places.back());
            }
            ASSERT_TRUE(decodeSeal(bytes.data() + bytes.size() - kPlaceSealBytes, t.seal));
            if (!t.places.empty())
                how(t, static_cast<std::int64_t>(std::filesystem::file_size(folder.bucketFile(b))));
            writeFile(folder.placeTable(b), tableOf(t.places, t.seal));
        }
    }
};

bool refused(const LookupResult& r) { return r.status == Outcome::Failed && r.damaged; }

// Every answer is the scan's; with `mayRefuse`, an answer may instead be a
// refusal of damage, and one at least is.
void expectSameAnswers(const Cut& cut, const std::vector<LookupResult>& scanned, const std::string& what,
                       bool mayRefuse = false)
{
    const std::vector<LookupResult> got = cut.answers();
    int refusals = 0;
    for (std::size_t i = 0; i < kAsked.size(); ++i) {
        if (mayRefuse && refused(got[i])) {
            ++refusals;
            continue;
        }
        EXPECT_EQ(got[i].status, scanned[i].status) << what << ", identifier " << kAsked[i];
        EXPECT_TRUE(got[i].horse == scanned[i].horse) << what << ", identifier " << kAsked[i];
        EXPECT_EQ(got[i].error, scanned[i].error) << what << ", identifier " << kAsked[i];
    }
    if (mayRefuse) {
        EXPECT_GT(refusals, 0) << what;
    }
}

} // namespace

TEST(PlaceLookup, AnswersAsTheScanWhateverBecameOfTheTable)
{
    Cut cut;
    cut.cut();
    const std::string good = readFile(cut.folder.placeTable(0));
    for (int b = 0; b < kBucketCount; ++b)
        std::filesystem::remove(cut.folder.placeTable(b));
    const std::vector<LookupResult> scanned = cut.answers();
    ASSERT_EQ(scanned[1].horse.name, "HORSE 12"); // the first of the two
    ASSERT_EQ(scanned[3].status, Outcome::Absent);
    cut.cut();
    expectSameAnswers(cut, scanned, "whole tables");

    using Bytes = std::string;
    const std::vector<std::pair<std::string, void (*)(Bytes&)>> changed = {
        {"empty", [](Bytes& t) { t.clear(); }},
        {"cut short", [](Bytes& t) { t.pop_back(); }},
        {"without its seal", [](Bytes& t) { t.resize(t.size() - kPlaceSealBytes); }},
        {"a seal byte changed", [](Bytes& t) { t[t.size() - 30] ^= 1; }},
        {"an entry too many", [](Bytes& t) { t.insert(0, kPlaceEntryBytes, '\0'); }},
        // 40 becomes 41: still in order before 112, but 40 is left out.
        {"an identifier changed",
         [](Bytes& t) {
             if (t.size() > kPlaceSealBytes) // file0's
                 t[39 * kPlaceEntryBytes] += 1;
         }},
    };
    for (const auto& [what, how] : changed) {
        cut.cut();
        cut.change(how);
        expectSameAnswers(cut, scanned, what);
    }
    using Size = std::int64_t;
    const std::vector<std::pair<std::string, void (*)(Table&, Size)>> resealed = {
        // Tables that would answer 40 "not found" if they were believed.
        {"for a bucket of another size", [](Table& t, Size) { ++t.seal.bucketSize, t.drop(40); }},
        {"of another cut", [](Table& t, Size) { t.seal.cutTag ^= 1, t.drop(40); }},
        {"out of order", [](Table& t, Size) { std::swap(t.places[0], t.places[9]); }},
        // 40 moved to where the search for it never looks.
        {"out of order off the search's path",
         [](Table& t, Size) { std::rotate(t.places.begin() + 5, t.places.begin() + 39, t.places.begin() + 40); }},
        {"an identifier twice", [](Table& t, Size) { t.places[1].id = t.places[0].id; }},
        {"places beyond the end", [](Table& t, Size size) { t.of(12).offset += size, t.of(40).offset += size; }},
    };
    for (const auto& [what, how] : resealed) {
        cut.cut();
        cut.reseal(how);
        expectSameAnswers(cut, scanned, what);
    }
    // Places whose bytes are not the horse the checksum was taken of: to the
    // lookup that is the bucket changed, and it refuses rather than guess.
    const std::vector<std::pair<std::string, void (*)(Table&, Size)>> moved = {
        {"places at the next horse", [](Table& t, Size) { t.of(12).offset = t.of(13).offset; }},
        {"a place inside a line", [](Table& t, Size) { t.of(1).offset += 1, t.of(40).offset += 3; }},
        // "12,HORSE 112,...": the end of a line that reads as the horse asked for.
        {"a place inside a line that reads as it", [](Table& t, Size) { t.of(12).offset = t.of(112).offset + 1; }},
        {"a place at a horse's second line",
         [](Table& t, Size) { t.of(12).offset += static_cast<Size>(horseLines(12).find('\n') + 1); }},
    };
    for (const auto& [what, how] : moved) {
        cut.cut();
        cut.reseal(how);
        expectSameAnswers(cut, scanned, what, true);
    }

    cut.cut();
    for (const int b : kTables)
        std::filesystem::remove(cut.folder.placeTable(b));
    expectSameAnswers(cut, scanned, "missing");
    for (const int b : kTables)
        std::filesystem::create_directory(cut.folder.placeTable(b));
    expectSameAnswers(cut, scanned, "a folder in its place");
    for (const int b : kTables)
        std::filesystem::remove(cut.folder.placeTable(b));
    // A cut of the same horses, the first two swapped: buckets of the same
    // sizes, with the table of the cut before put back beside them.
    cut.cut(true);
    writeFile(cut.folder.placeTable(0), good);
    expectSameAnswers(cut, scanned, "left by a cut of an older breeding file");
}

TEST(PlaceLookup, AWholeTableOfThisBucketAndCutIsBelievedWithoutTheScan)
{
    // What shows the table is read at all: a whole, sealed table that leaves an
    // identifier out answers "not found", and one that places a horse answers it.
    Cut cut;
    cut.cut();
    cut.reseal([](Table& t, std::int64_t) { t.drop(12); });
    EXPECT_EQ(findHorse(cut.folder, 12).status, Outcome::Absent);
    EXPECT_EQ(findHorse(cut.folder, 13).horse.name, "HORSE 13");
}

TEST(PlaceLookup, AChangedByteOfABucketIsARefusalNamingItAndTheNextStartCutsItAgain)
{
    Cut cut;
    const std::string bucket = cut.folder.bucketFile(0);
    const std::vector<std::pair<std::string, void (*)(std::string&)>> changes = {
        {"a letter of the name", [](std::string& b) { b[b.find("HORSE 13") + 1] ^= 1; }},
        {"a digit of the identifier", [](std::string& b) { b[b.find("\n13,") + 1] = '9'; }},
    };
    for (const auto& [what, how] : changes) {
        cut.cut();
        std::string bytes = readFile(bucket);
        how(bytes);
        writeFile(bucket, bytes);
        const LookupResult r = findHorse(cut.folder, 13);
        EXPECT_EQ(r.status, Outcome::Failed) << what;
        EXPECT_TRUE(r.damaged) << what;
        EXPECT_NE(r.error.find(bucket + ": horse 13 at byte "), std::string::npos) << what << ": " << r.error;
        cutBuckets(cut.folder, {}, CutWhen::Stale);
        EXPECT_EQ(findHorse(cut.folder, 13).horse.name, "HORSE 13") << what;
    }
}

TEST(PlaceLookup, TheEntryOfATwiceUsedIdentifierNeverAnswersWithTheSecondHorse)
{
    Cut cut;
    cut.cut();
    const std::string bucket = readFile(cut.folder.bucketFile(0));
    const std::string second = horseLines(12, "SECOND TWELVE");
    const Place secondPlace{12, static_cast<std::int64_t>(bucket.find(second)),
                            static_cast<std::int32_t>(second.size()), checksumOf(second)};
    ASSERT_EQ(findHorse(cut.folder, 12).horse.name, "HORSE 12");

    // The entry's bytes changed to place the second horse: its checksum is the first's.
    std::string table = readFile(cut.folder.placeTable(0));
    const std::size_t at = 11 * kPlaceEntryBytes; // 1 to 11 come before
    ASSERT_EQ(decodePlace(table.data() + at).id, 12);
    Place changed = decodePlace(table.data() + at);
    changed.offset = secondPlace.offset;
    encodePlace(changed, table.data() + at);
    writeFile(cut.folder.placeTable(0), table);
    const LookupResult r = findHorse(cut.folder, 12);
    EXPECT_TRUE(refused(r)) << r.horse.name;

    // A whole entry for the second horse beside the first, on the search's path.
    cut.cut();
    static Place secondEntry;
    secondEntry = secondPlace;
    cut.reseal([](Table& t, std::int64_t) {
        const auto first = std::find_if(t.places.begin(), t.places.end(), [](auto& p) { return p.id == 12; });
        ASSERT_EQ(first - t.places.begin(), 11);
        t.places.insert(first + 1, secondEntry);
    });
    EXPECT_EQ(findHorse(cut.folder, 12).horse.name, "HORSE 12");
}
