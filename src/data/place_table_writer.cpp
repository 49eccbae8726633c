#include "data/place_table_writer.h"

#include <algorithm>
#include <queue>

#include "data/file_error.h"
#include "data/input_file.h"
#include "data/system_paths.h"

namespace quindle {

namespace {

// Offsets grow in bucket order, so ordering by identifier and then offset puts
// the first horse of each identifier first, as a stable sort would.
bool before(const Place& a, const Place& b) { return a.id != b.id ? a.id < b.id : a.offset < b.offset; }

constexpr std::size_t kBlockPlaces = 4096; // 48 KB a block

// The table's entries, encoded a block at a time, each identifier once.
class TableOut {
public:
    explicit TableOut(const std::string& path) : file_(path) { block_.reserve(kBlockPlaces * kPlaceEntryBytes); }

    void put(const Place& place)
    {
        if (count_ > 0 && place.id == last_)
            return; // a later horse of the same identifier
        last_ = place.id;
        ++count_;
        char bytes[kPlaceEntryBytes];
        encodePlace(place, bytes);
        block_.insert(block_.end(), bytes, bytes + kPlaceEntryBytes);
        if (block_.size() == kBlockPlaces * kPlaceEntryBytes)
            flush();
    }

    void commit(std::int64_t bucketSize, std::uint64_t cutTag)
    {
        flush();
        char seal[kPlaceSealBytes];
        encodeSeal({bucketSize, cutTag, count_, sum_.value()}, seal);
        file_.write(seal, sizeof seal);
        file_.commit();
    }

private:
    void flush()
    {
        sum_.add({block_.data(), block_.size()});
        file_.write(block_.data(), block_.size());
        block_.clear();
    }

    ReplacingFile file_;
    std::vector<char> block_;
    Checksum sum_;
    std::int64_t count_ = 0;
    std::int32_t last_ = 0;
};

// One sorted run of the file of runs, read back a block at a time.
struct Run {
    std::int64_t next, end; // places not yet read
    std::vector<char> block{};
    std::size_t at = 0, count = 0;
    Place front{};

    // Moves on to the run's next place; false when the run is used up.
    bool advance(std::FILE* file, const std::string& path)
    {
        if (at == count) {
            if (next == end)
                return false;
            count = static_cast<std::size_t>(std::min<std::int64_t>(end - next, std::int64_t{kBlockPlaces}));
            block.resize(count * kPlaceEntryBytes);
            if (readAt(file, next * std::int64_t{kPlaceEntryBytes}, block.data(), block.size(), path) != block.size())
                throw FileError(path, 0, "ends before its runs do");
            next += static_cast<std::int64_t>(count);
            at = 0;
        }
        front = decodePlace(block.data() + at++ * kPlaceEntryBytes);
        return true;
    }
};

} // namespace

PlaceTableWriter::PlaceTableWriter(std::string tablePath, std::uint64_t cutTag, std::size_t heldPlaces)
    : path_(std::move(tablePath)), cutTag_(cutTag), heldPlaces_(std::max<std::size_t>(heldPlaces, 1))
{
}

PlaceTableWriter::~PlaceTableWriter()
{
    if (!runEnds_.empty() && !runs_)
        removeFile(path_ + ".runs"); // committed, and not yet merged and removed
}

void PlaceTableWriter::add(std::int32_t id, std::int64_t offset)
{
    held_.push_back({id, offset});
    if (held_.size() == heldPlaces_)
        writeRun();
}

void PlaceTableWriter::writeRun()
{
    std::sort(held_.begin(), held_.end(), before);
    if (!runs_)
        runs_.emplace(path_ + ".runs");
    encoded_.resize(held_.size() * kPlaceEntryBytes);
    for (std::size_t i = 0; i < held_.size(); ++i)
        encodePlace(held_[i], encoded_.data() + i * kPlaceEntryBytes);
    runs_->write(encoded_.data(), encoded_.size());
    runEnds_.push_back((runEnds_.empty() ? 0 : runEnds_.back()) + static_cast<std::int64_t>(held_.size()));
    held_.clear();
}

void PlaceTableWriter::commit(std::int64_t bucketSize)
{
    if (runEnds_.empty()) {
        std::sort(held_.begin(), held_.end(), before);
        TableOut out(path_);
        for (const Place& place : held_)
            out.put(place);
        out.commit(bucketSize, cutTag_);
        return;
    }
    if (!held_.empty())
        writeRun();
    runs_->commit();
    runs_.reset();
    std::vector<Place>().swap(held_); // room for the merge
    std::vector<char>().swap(encoded_);
    writeTable(bucketSize);
    removeFile(path_ + ".runs");
    runEnds_.clear();
}

// Merges the sorted runs: the smallest front of all runs goes next.
void PlaceTableWriter::writeTable(std::int64_t bucketSize)
{
    const std::string runsPath = path_ + ".runs";
    const FilePtr in = openInput(runsPath);
    std::vector<Run> runs;
    std::int64_t start = 0;
    for (const std::int64_t end : runEnds_) {
        runs.push_back({start, end});
        start = end;
    }
    const auto later = [&](std::size_t a, std::size_t b) { return before(runs[b].front, runs[a].front); };
    std::priority_queue<std::size_t, std::vector<std::size_t>, decltype(later)> fronts(later);
    for (std::size_t i = 0; i < runs.size(); ++i)
        if (runs[i].advance(in.get(), runsPath))
            fronts.push(i);
    TableOut out(path_);
    while (!fronts.empty()) {
        const std::size_t i = fronts.top();
        fronts.pop();
        out.put(runs[i].front);
        if (runs[i].advance(in.get(), runsPath))
            fronts.push(i);
    }
    out.commit(bucketSize, cutTag_);
}

} // namespace quindle
