// A lookup through the table of places answers as the scan of the bucket does,
// whatever has become of the table.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
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

const std::vector<std::int32_t> kAsked = {1, 12, 40, 41, 0, 9999, 10000, 999999};

std::string breeding(bool swapFirstTwo)
{
    std::string text = swapFirstTwo ? horseLines(2) + horseLines(1) : horseLines(1) + horseLines(2);
    for (int id = 3; id <= 40; ++id)
        text += horseLines(id) + (id == 20 ? horseLines(12, "SECOND TWELVE") : "");
    text += horseLines(112);
    return text;
}

// A table's entries and seal, to be changed and written back whole and sealed.
struct Table {
    std::vector<Place> places;
    PlaceSeal seal;

    explicit Table(const std::string& bytes)
    {
        const std::size_t count = (bytes.size() - kPlaceSealBytes) / kPlaceEntryBytes;
        for (std::size_t i = 0; i < count; ++i)
            places.push_back(decodePlace(bytes.data() + i * kPlaceEntryBytes));
        EXPECT_TRUE(decodeSeal(bytes.data() + count * kPlaceEntryBytes, seal));
    }
    std::string bytes()
    {
        std::string out(places.size() * kPlaceEntryBytes + kPlaceSealBytes, '\0');
        for (std::size_t i = 0; i < places.size(); ++i)
            encodePlace(places[i], out.data() + i * kPlaceEntryBytes);
        seal.entries = static_cast<std::int64_t>(places.size());
        seal.entriesChecksum = checksumOf({out.data(), places.size() * kPlaceEntryBytes});
        encodeSeal(seal, out.data() + places.size() * kPlaceEntryBytes);
        return out;
    }
    Place& of(std::int32_t id)
    {
        for (Place& place : places)
            if (place.id == id)
                return place;
        throw std::logic_error("no such identifier");
    }
};

struct Cut {
    TempDir dir;
    DataFolder folder{dir.path().string()};
    Cut()
    {
        writeFile(folder.breedingFile(), breeding(false));
        cutBuckets(folder, {}, CutWhen::Always);
    }
    std::vector<LookupResult> answers() const
    {
        std::vector<LookupResult> results;
        for (const std::int32_t id : kAsked)
            results.push_back(findHorse(folder, id));
        return results;
    }
    // Changes the tables of the buckets the asked identifiers go to.
    void change(const std::function<void(std::string& bytes, std::int64_t bucketSize)>& how) const
    {
        for (const int b : {0, 1, 9}) {
            std::string bytes = readFile(folder.placeTable(b));
            how(bytes, static_cast<std::int64_t>(std::filesystem::file_size(folder.bucketFile(b))));
            writeFile(folder.placeTable(b), bytes);
        }
    }
    void reseal(const std::function<void(Table&, std::int64_t bucketSize)>& how) const
    {
        change([&](std::string& bytes, std::int64_t size) {
            Table table(bytes);
            how(table, size);
            bytes = table.bytes();
        });
    }
};

void expectSameAnswers(const std::vector<LookupResult>& got, const std::vector<LookupResult>& scanned,
                       const std::string& what)
{
    for (std::size_t i = 0; i < kAsked.size(); ++i) {
        EXPECT_EQ(got[i].status, scanned[i].status) << what << ", identifier " << kAsked[i];
        EXPECT_TRUE(got[i].horse == scanned[i].horse) << what << ", identifier " << kAsked[i];
        EXPECT_EQ(got[i].error, scanned[i].error) << what << ", identifier " << kAsked[i];
    }
}

} // namespace

TEST(PlaceLookup, AnswersAsTheScanWhateverBecameOfTheTable)
{
    Cut cut;
    std::vector<std::string> good;
    for (int b = 0; b < kBucketCount; ++b)
        good.push_back(readFile(cut.folder.placeTable(b)));
    const std::vector<LookupResult> withTables = cut.answers();
    for (int b = 0; b < kBucketCount; ++b)
        std::filesystem::remove(cut.folder.placeTable(b));
    const std::vector<LookupResult> scanned = cut.answers();
    ASSERT_EQ(scanned[1].horse.name, "HORSE 12"); // the first of the two
    ASSERT_EQ(scanned[3].status, Outcome::Absent);
    expectSameAnswers(withTables, scanned, "whole tables");

    const std::vector<std::pair<std::string, std::function<void()>>> damages = {
        {"missing",
         [&] {
             for (const int b : {0, 1, 9})
                 std::filesystem::remove(cut.folder.placeTable(b));
         }},
        {"a folder",
         [&] {
             for (const int b : {0, 1, 9}) {
                 std::filesystem::remove(cut.folder.placeTable(b));
                 std::filesystem::create_directory(cut.folder.placeTable(b));
             }
         }},
        {"empty", [&] { cut.change([](std::string& t, std::int64_t) { t.clear(); }); }},
        {"cut short", [&] { cut.change([](std::string& t, std::int64_t) { t.pop_back(); }); }},
        {"without its seal",
         [&] { cut.change([](std::string& t, std::int64_t) { t.resize(t.size() - kPlaceSealBytes); }); }},
        {"a seal byte changed", [&] { cut.change([](std::string& t, std::int64_t) { t[t.size() - 30] ^= 1; }); }},
        {"the last identifier changed",
         [&] {
             cut.change([](std::string& t, std::int64_t) {
                 if (t.size() > kPlaceSealBytes) // 40 becomes 41: still in order, but 40 is left out
                     ++t[t.size() - kPlaceSealBytes - kPlaceEntryBytes];
             });
         }},
        {"an entry too many",
         [&] { cut.change([](std::string& t, std::int64_t) { t.insert(0, kPlaceEntryBytes, '\0'); }); }},
        // Tables that would answer 40 "not found" if they were believed.
        {"for a bucket of another size",
         [&] {
             cut.reseal([](Table& t, std::int64_t) {
                 ++t.seal.bucketSize;
                 std::erase_if(t.places, [](const Place& place) { return place.id == 40; });
             });
         }},
        {"of another cut",
         [&] {
             cut.reseal([](Table& t, std::int64_t) {
                 t.seal.cutTag ^= 1;
                 std::erase_if(t.places, [](const Place& place) { return place.id == 40; });
             });
         }},
        {"out of order",
         [&] {
             cut.reseal([](Table& t, std::int64_t) {
                 if (t.places.size() > 9)
                     std::swap(t.places[0], t.places[9]);
             });
         }},
        {"an identifier twice",
         [&] {
             cut.reseal([](Table& t, std::int64_t) {
                 if (t.places.size() > 1)
                     t.places[1].id = t.places[0].id;
             });
         }},
        {"places at other horses",
         [&] {
             cut.reseal([](Table& t, std::int64_t) {
                 for (std::size_t i = 0; i + 1 < t.places.size(); ++i)
                     t.places[i].offset = t.places[i + 1].offset;
             });
         }},
        {"places beyond the end",
         [&] {
             cut.reseal([](Table& t, std::int64_t size) {
                 for (Place& place : t.places)
                     place.offset += size;
             });
         }},
        {"places inside lines",
         [&] {
             cut.reseal([](Table& t, std::int64_t) {
                 for (Place& place : t.places)
                     place.offset += 1;
             });
         }},
        {"a place inside a line that reads as the horse asked for",
         [&] {
             cut.reseal([](Table& t, std::int64_t) {
                 if (!t.places.empty()) // "12,HORSE 112,...": the last bytes of horse 112's line
                     t.of(12).offset = t.of(112).offset + 1;
             });
         }},
        {"places at the second line of their horse",
         [&] {
             cut.reseal([&](Table& t, std::int64_t) {
                 for (Place& place : t.places)
                     place.offset += static_cast<std::int64_t>(horseLines(place.id).find('\n') + 1);
             });
         }},
        {"left by a cut of an older breeding file",
         [&] {
             // The same horses with the first two swapped: buckets of the same
             // sizes, and the tables of the cut before put back beside them.
             writeFile(cut.folder.breedingFile(), breeding(true));
             cutBuckets(cut.folder, {}, CutWhen::Always);
             for (const int b : {0, 1, 9})
                 writeFile(cut.folder.placeTable(b), good[static_cast<std::size_t>(b)]);
         }},
    };
    for (const auto& [what, damage] : damages) {
        for (const int b : {0, 1, 9})
            std::filesystem::remove_all(cut.folder.placeTable(b));
        writeFile(cut.folder.breedingFile(), breeding(false));
        cutBuckets(cut.folder, {}, CutWhen::Always);
        damage();
        expectSameAnswers(cut.answers(), scanned, what);
        EXPECT_EQ(cut.answers()[0].horse.name, "HORSE 1") << what;
    }
}

TEST(PlaceLookup, AWholeTableOfThisBucketAndCutIsBelievedWithoutTheScan)
{
    // What shows the table is read at all: a whole, sealed table that leaves an
    // identifier out answers "not found", and one that places a horse answers it.
    Cut cut;
    cut.reseal([](Table& t, std::int64_t) {
        if (!t.places.empty() && t.places.front().id == 1)
            t.places.erase(t.places.begin() + 11); // identifier 12
    });
    EXPECT_EQ(findHorse(cut.folder, 12).status, Outcome::Absent);
    EXPECT_EQ(findHorse(cut.folder, 13).horse.name, "HORSE 13");
}
