#include "data/place_table_writer.h"

#include <algorithm>
#include <filesystem>
#include <queue>
#include <system_error>

#include "data/file_error.h"
#include "data/input_file.h"
#include "data/system_paths.h"

namespace quindle {

namespace {

// Offsets grow in bucket order, so ordering by identifier and then offset puts
// the first horse of each identifier first, as a stable sort would.
bool before(const Place& a, const Place& b) { return a.id != b.id ? a.id < b.id : a.offset < b.offset; }

constexpr std::size_t kBlockPlaces = 4096; // 96 KB a block

// One sorted run of places in a file, read back a block at a time.
struct Run {
    std::FILE* file;
    const std::string* path;
    std::int64_t next, end; // places not yet read
    std::vector<char> block{};
    std::size_t at = 0, count = 0;
    Place front{};

    // Moves on to the run's next place; false when the run is used up.
    bool advance()
    {
        if (at == count) {
            if (next == end)
                return false;
            count = static_cast<std::size_t>(std::min<std::int64_t>(end - next, std::int64_t{kBlockPlaces}));
            block.resize(count * kPlaceEntryBytes);
            if (readAt(file, next * std::int64_t{kPlaceEntryBytes}, block.data(), block.size(), *path) != block.size())
                throw FileError(*path, 0, "ends before its runs do");
            next += static_cast<std::int64_t>(count);
            at = 0;
        }
        front = decodePlace(block.data() + at++ * kPlaceEntryBytes);
        return true;
    }
};

} // namespace

// Places in order, encoded a block at a time into a file, each identifier once:
// the table itself, or the first run of one.
class SortedPlaces {
public:
    explicit SortedPlaces(const std::string& path) : file_(path) { block_.reserve(kBlockPlaces * kPlaceEntryBytes); }

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
    std::int64_t count() const { return count_; }

    // Closes the file as a table, sealed for a bucket of `bucketSize` bytes.
    void commitTable(std::int64_t bucketSize, std::uint64_t cutTag)
    {
        flush();
        char seal[kPlaceSealBytes];
        encodeSeal({bucketSize, cutTag, count_, sum_.value()}, seal);
        file_.write(seal, sizeof seal);
        file_.commit();
    }
    // Closes the file as a run, without a seal.
    void commitRun()
    {
        flush();
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

PlaceTableWriter::PlaceTableWriter(std::string tablePath, std::uint64_t cutTag, std::size_t heldPlaces)
    : path_(std::move(tablePath)),
      cutTag_(cutTag),
      heldPlaces_(std::max<std::size_t>(heldPlaces, 1)),
      inOrder_(std::make_unique<SortedPlaces>(path_ + ".sorted"))
{
}

PlaceTableWriter::~PlaceTableWriter()
{
    inOrder_.reset(); // its file, unless committed
    runs_.reset();
    // Committed and not yet merged: a split that failed on the way.
    if (inOrderPlaces_ >= 0) {
        removeFile(path_ + ".sorted");
        removeFile(path_ + ".runs");
    }
}

void PlaceTableWriter::add(const Place& place)
{
    if (inOrder_) {
        if (place.id >= lastId_) {
            lastId_ = place.id;
            inOrder_->put(place);
            return;
        }
        leaveOrder();
    }
    held_.push_back(place);
    if (held_.size() == heldPlaces_)
        writeRun();
}

// What came in order so far is the first run, in a file of its own.
void PlaceTableWriter::leaveOrder()
{
    inOrderPlaces_ = inOrder_->count();
    inOrder_->commitRun();
    inOrder_.reset();
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
    if (inOrder_) {
        inOrder_->commitTable(bucketSize, cutTag_);
        inOrder_.reset();
        std::error_code ec;
        std::filesystem::rename(fsPath(path_ + ".sorted"), fsPath(path_), ec);
        if (ec) {
            removeFile(path_ + ".sorted");
            throw FileError(path_, 0, "could not be replaced: " + ec.message());
        }
        return;
    }
    writeRun(); // at least the place that came out of order
    runs_->commit();
    runs_.reset();
    std::vector<Place>().swap(held_); // room for the merge
    std::vector<char>().swap(encoded_);
    writeTable(bucketSize);
    removeFile(path_ + ".sorted");
    removeFile(path_ + ".runs");
    inOrderPlaces_ = -1;
}

// Merges the sorted runs: the smallest front of all runs goes next.
void PlaceTableWriter::writeTable(std::int64_t bucketSize)
{
    const std::string sortedPath = path_ + ".sorted", runsPath = path_ + ".runs";
    const FilePtr sorted = openInput(sortedPath);
    const FilePtr runsFile = openInput(runsPath);
    std::vector<Run> runs;
    runs.push_back({sorted.get(), &sortedPath, 0, inOrderPlaces_});
    std::int64_t start = 0;
    for (const std::int64_t end : runEnds_) {
        runs.push_back({runsFile.get(), &runsPath, start, end});
        start = end;
    }
    const auto later = [&](std::size_t a, std::size_t b) { return before(runs[b].front, runs[a].front); };
    std::priority_queue<std::size_t, std::vector<std::size_t>, decltype(later)> fronts(later);
    for (std::size_t i = 0; i < runs.size(); ++i)
        if (runs[i].advance())
            fronts.push(i);
    SortedPlaces out(path_);
    while (!fronts.empty()) {
        const std::size_t i = fronts.top();
        fronts.pop();
        out.put(runs[i].front);
        if (runs[i].advance())
            fronts.push(i);
    }
    out.commitTable(bucketSize, cutTag_);
}

} // namespace quindle
