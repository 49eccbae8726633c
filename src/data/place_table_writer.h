#pragma once
// Writes a bucket's table of places (see place_table.h) as the split writes the
// bucket. Memory stays flat however many horses a bucket holds. While the
// identifiers come in order, as in most breeding files, each place goes
// straight into the table. From the first one out of order on, at most
// kHeldPlaces places are held and sorted at a time, each such run kept in a
// file beside the table, and the runs (and what came in order before them) are
// merged into the table at the end. The sums of the places go into files of
// their own beside, and after the entries at the end.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/place_table.h"
#include "data/replacing_file.h"

namespace quindle {

class SortedPlaces;

inline constexpr std::size_t kHeldPlaces = std::size_t{1} << 18; // 4 MB

class PlaceTableWriter {
public:
    // The table goes to `tablePath` (under a temporary name until commit());
    // `heldPlaces` is how many places are held before a run is written out.
    PlaceTableWriter(std::string tablePath, std::uint64_t cutTag, std::size_t heldPlaces = kHeldPlaces);
    ~PlaceTableWriter(); // removes the files of runs, if there are any
    PlaceTableWriter(const PlaceTableWriter&) = delete;
    PlaceTableWriter& operator=(const PlaceTableWriter&) = delete;

    // A horse of the bucket, in bucket order: offsets only ever grow.
    void add(const Place& place);
    // Writes the table for a bucket of `bucketSize` bytes, the first horse of
    // each identifier kept, and renames it into place. Throws FileError.
    void commit(std::int64_t bucketSize);

private:
    void leaveOrder();
    void writeRun();
    void writeTable(std::int64_t bucketSize);

    std::string path_;
    std::uint64_t cutTag_;
    std::size_t heldPlaces_;
    std::unique_ptr<SortedPlaces> inOrder_; // while every place came in order
    std::int32_t lastId_ = 0;
    std::int64_t inOrderPlaces_ = -1; // written in order before the first out of order
    std::vector<Place> held_;
    std::optional<ReplacingFile> runs_, runSums_;
    std::vector<std::int64_t> runEnds_; // in places
    std::vector<char> encoded_, encodedSums_;
};

} // namespace quindle
