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

constexpr std::size_t kBlockPlaces = 4096; // 48 KB of entries and 48 KB of sums a block

// Where the sums of the places in the file at `path` are kept until they are
// put after its entries.
std::string sumsOf(const std::string& path) { return path + ".sums"; }

// One sorted run of places in a pair of files (entries, and their sums), read
// back a block at a time.
struct Run {
    std::FILE* entries;
    std::FILE* sums;
    const std::string* path;
    std::int64_t next, end; // places not yet read
    std::vector<char> block{}, sumBlock{};
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
            sumBlock.resize(count * kPlaceSumBytes);
            if (readAt(entries, next * std::int64_t{kPlaceEntryBytes}, block.data(), block.size(), *path) !=
                    block.size() ||
                readAt(sums, next * std::int64_t{kPlaceSumBytes}, sumBlock.data(), sumBlock.size(), *path) !=
                    sumBlock.size())
                throw FileError(*path, 0, "ends before its runs do");
            next += static_cast<std::int64_t>(count);
            at = 0;
        }
        front = decodePlace(block.data() + at * kPlaceEntryBytes);
        decodePlaceSum(sumBlock.data() + at++ * kPlaceSumBytes, front);
        return true;
    }
};

void removeRunFiles(const std::string& path)
{
    removeFile(path);
    removeFile(sumsOf(path));
}

} // namespace

// Places in order, each identifier once, encoded a block at a time into a
// file and their sums into another: the table itself, whose sums then follow
// its entries, or the first run of one.
class SortedPlaces {
public:
    explicit SortedPlaces(const std::string& path) : path_(path), file_(path), sums_(sumsOf(path))
    {
        block_.reserve(kBlockPlaces * kPlaceEntryBytes);
        sumBlock_.reserve(kBlockPlaces * kPlaceSumBytes);
    }

    void put(const Place& place)
    {
        if (count_ > 0 && place.id == last_)
            return; // a later horse of the same identifier
        last_ = place.id;
        ++count_;
        char bytes[kPlaceEntryBytes + kPlaceSumBytes];
        encodePlace(place, bytes);
        encodePlaceSum(place, bytes + kPlaceEntryBytes);
        block_.insert(block_.end(), bytes, bytes + kPlaceEntryBytes);
        sumBlock_.insert(sumBlock_.end(), bytes + kPlaceEntryBytes, bytes + sizeof bytes);
        if (block_.size() == kBlockPlaces * kPlaceEntryBytes)
            flush();
    }
    std::int64_t count() const { return count_; }

    // Closes the file as a table: the sums after the entries, then the seal
    // for a bucket of `bucketSize` bytes.
    void commitTable(std::int64_t bucketSize, std::uint64_t cutTag)
    {
        flush();
        sums_.commit();
        {
            const FilePtr sums = openInput(sumsOf(path_));
            std::vector<char> block(kBlockPlaces * kPlaceSumBytes);
            while (const std::size_t got = readBlock(sums.get(), block.data(), block.size(), sumsOf(path_)))
                file_.write(block.data(), got);
        }
        removeFile(sumsOf(path_));
        char seal[kPlaceSealBytes];
        encodeSeal({bucketSize, cutTag, count_, sum_.value()}, seal);
        file_.write(seal, sizeof seal);
        file_.commit();
    }
    // Closes both files as a run, without a seal.
    void commitRun()
    {
        flush();
        file_.commit();
        sums_.commit();
    }

private:
    void flush()
    {
        sum_.add({block_.data(), block_.size()});
        file_.write(block_.data(), block_.size());
        sums_.write(sumBlock_.data(), sumBlock_.size());
        block_.clear();
        sumBlock_.clear();
    }

    std::string path_;
    ReplacingFile file_, sums_;
    std::vector<char> block_, sumBlock_;
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
    inOrder_.reset(); // its files, unless committed
    runs_.reset();
    runSums_.reset();
    // Committed and not yet merged or put after the entries: a split that
    // failed on the way.
    removeRunFiles(path_ + ".sorted");
    removeRunFiles(path_ + ".runs");
    removeFile(sumsOf(path_));
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

// What came in order so far is the first run, in files of its own.
void PlaceTableWriter::leaveOrder()
{
    inOrderPlaces_ = inOrder_->count();
    inOrder_->commitRun();
    inOrder_.reset();
}

void PlaceTableWriter::writeRun()
{
    std::sort(held_.begin(), held_.end(), before);
    if (!runs_) {
        runs_.emplace(path_ + ".runs");
        runSums_.emplace(sumsOf(path_ + ".runs"));
    }
    encoded_.resize(held_.size() * kPlaceEntryBytes);
    encodedSums_.resize(held_.size() * kPlaceSumBytes);
    for (std::size_t i = 0; i < held_.size(); ++i) {
        encodePlace(held_[i], encoded_.data() + i * kPlaceEntryBytes);
        encodePlaceSum(held_[i], encodedSums_.data() + i * kPlaceSumBytes);
    }
    runs_->write(encoded_.data(), encoded_.size());
    runSums_->write(encodedSums_.data(), encodedSums_.size());
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
    runSums_->commit();
    runs_.reset();
    runSums_.reset();
    std::vector<Place>().swap(held_); // room for the merge
    std::vector<char>().swap(encoded_);
    std::vector<char>().swap(encodedSums_);
    writeTable(bucketSize);
    removeRunFiles(path_ + ".sorted");
    removeRunFiles(path_ + ".runs");
    inOrderPlaces_ = -1;
}

// Merges the sorted runs: the smallest front of all runs goes next.
void PlaceTableWriter::writeTable(std::int64_t bucketSize)
{
    const std::string sortedPath = path_ + ".sorted", runsPath = path_ + ".runs";
    const FilePtr sorted = openInput(sortedPath), sortedSums = openInput(sumsOf(sortedPath));
    const FilePtr runsFile = openInput(runsPath), runSums = openInput(sumsOf(runsPath));
    std::vector<Run> runs;
    runs.push_back({sorted.get(), sortedSums.get(), &sortedPath, 0, inOrderPlaces_});
    std::int64_t start = 0;
    for (const std::int64_t end : runEnds_) {
        runs.push_back({runsFile.get(), runSums.get(), &runsPath, start, end});
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
