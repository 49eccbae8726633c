// The tables of places the split writes beside the buckets, read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "data/place_table.h"
#include "data/place_table_writer.h"
#include "data/subdivide.h"
#include "support/temp_dir.h"

using namespace quindle;
using quindle::testing::horseLines;
using quindle::testing::readFile;
using quindle::testing::TempDir;
using quindle::testing::writeFile;

namespace {

std::string withLineEnds(std::string crlf, const std::string& end)
{
    std::string out;
    for (std::size_t at = 0, next; at < crlf.size(); at = next + 2) {
        next = crlf.find("\r\n", at);
        out += crlf.substr(at, next - at) + end;
    }
    return out;
}

} // namespace

TEST(PlaceTables, EveryHorseOfASplitIsFoundAtTheFirstPlaceOfItsIdentifierWhateverTheLineEnds)
{
    // Identifiers out of order, and two of them twice.
    const std::vector<std::pair<int, std::string>> horses = {
        {3, ""}, {1, ""}, {7, "FIRST SEVEN"}, {2, ""}, {7, "SECOND SEVEN"}, {9999, ""}, {5, "FIRST"}, {5, "SECOND"}};
    for (const std::string end : {"\r\n", "\n", "\r"}) {
        TempDir dir;
        const DataFolder folder(dir.path().string());
        std::filesystem::create_directory(folder.bucketFolder());
        std::string breeding;
        for (std::size_t i = 0; i < horses.size(); ++i) // CR LF and the other line end, turn about
            breeding += withLineEnds(horseLines(horses[i].first, horses[i].second), i % 2 ? end : "\r\n");
        writeFile(folder.breedingFile(), breeding);
        subdivide(folder.breedingFile(), folder, nullptr, nullptr, "this cut");

        std::map<int, std::string> first; // what the bucket holds at each identifier's first place
        for (auto it = horses.rbegin(); it != horses.rend(); ++it)
            first[it->first] = horseLines(it->first, it->second);
        for (const auto& [id, lines] : first) {
            const int b = bucketOf(id);
            const std::string bucket = readFile(folder.bucketFile(b));
            const auto size = static_cast<std::int64_t>(bucket.size());
            const PlaceAnswer found = lookUpPlace(folder.placeTable(b), id, size, cutTagOf("this cut"));
            ASSERT_EQ(found.kind, PlaceAnswer::Kind::At) << id << " with " << end.size() << "-byte line ends";
            const std::string there = bucket.substr(static_cast<std::size_t>(found.place.offset), lines.size());
            EXPECT_EQ(there, lines) << id;
            EXPECT_EQ(found.place.length, std::ssize(lines)) << id;
            EXPECT_EQ(found.place.sum, checksumOf(there)) << id;
        }
    }
}

TEST(PlaceTables, PlacesInOrderOrNotAndInRunsOfAnySizeMakeTheSameTableAndLeaveNothingBehind)
{
    // Identifiers in no order, many twice or more; the same in order; and in
    // order but for the last.
    std::vector<std::int32_t> random;
    for (std::uint32_t state = 11; random.size() < 500;) {
        state = state * 1103515245u + 12345u;
        random.push_back(static_cast<std::int32_t>((state >> 16) % 400 + 1));
    }
    std::vector<std::int32_t> ordered = random;
    std::sort(ordered.begin(), ordered.end());
    std::vector<std::int32_t> lastOut;
    for (const std::int32_t id : ordered) // not a copy: GCC 12 at -O3 warns wrongly of one
        lastOut.push_back(id);
    lastOut.push_back(1);
    for (const std::vector<std::int32_t>* list : {&random, &ordered, &lastOut}) {
        const std::vector<std::int32_t>& ids = *list;
        TempDir dir;
        const std::string path = dir.file("file9.places");
        std::map<std::int32_t, std::int64_t> first;
        for (std::size_t i = 0; i < ids.size(); ++i)
            first.emplace(ids[i], 10 * static_cast<std::int64_t>(i));
        std::string one;
        for (const std::size_t held : {std::size_t{100000}, std::size_t{7}, std::size_t{1}}) {
            {
                PlaceTableWriter writer(path, 42, held);
                for (std::size_t i = 0; i < ids.size(); ++i)
                    writer.add({ids[i], 10 * static_cast<std::int64_t>(i), 10, i});
                writer.commit(10000);
            }
            const std::string table = readFile(path);
            if (one.empty())
                one = table;
            EXPECT_EQ(table, one) << "runs of " << held;
            EXPECT_EQ(table.size(), kPlaceSealBytes + first.size() * (kPlaceEntryBytes + kPlaceSumBytes));
            for (const auto& [id, offset] : first) {
                const PlaceAnswer found = lookUpPlace(path, id, 10000, 42);
                ASSERT_EQ(found.kind, PlaceAnswer::Kind::At) << id;
                EXPECT_EQ(found.place.offset, offset) << id;
            }
            EXPECT_EQ(lookUpPlace(path, 401, 10000, 42).kind, PlaceAnswer::Kind::Absent);
            EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "runs of " << held;
        }
    }
}
