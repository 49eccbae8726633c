#include "data/subdivide.h"

#include <algorithm>
#include <exception>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/input_file.h"
#include "data/line_ends.h"
#include "data/pieces_in_order.h"
#include "data/place_table_writer.h"
#include "data/record_chunks.h"
#include "data/records.h"
#include "data/replacing_file.h"
#include "data/worker_threads.h"

namespace quindle {

namespace {

constexpr std::size_t kPieceSize = std::size_t{1} << 20;

std::int64_t bucketCapacity(int bucket)
{
    if (bucket == 0)
        return kHorsesPerBucket - 1; // identifiers start at 1
    return bucket < kBucketCount - 1 ? kHorsesPerBucket : INT64_MAX;
}

int progressAfterClosing(int bucket) { return bucket == 0 ? 10 : 10 * bucket + 10; }

// Writes the buckets one after the other, moving on when one holds its horses,
// and beside each its table of places. Each is written under a temporary name
// and renamed into place when complete, so a lookup running meanwhile reads a
// whole bucket, the old one or the new.
class BucketWriter {
public:
    BucketWriter(const DataFolder& folder, const ProgressFn& progress, std::uint64_t cutTag)
        : folder_(folder), progress_(progress), cutTag_(cutTag)
    {
        open(0);
        report(2);
    }

    // Writes whole horses, their lines ending in CR LF, held in `bytes`: one
    // for each of `places`, which says where each starts in `bytes`. The caller
    // never passes more horses than roomLeft(). Each place also holds the
    // length of its horse's bytes and their checksum, which a lookup checks
    // before it answers.
    void write(const char* bytes, std::size_t size, std::span<const Place> places)
    {
        file_->write(bytes, size);
        for (const Place& place : places)
            places_->add({place.id, size_ + place.offset, place.length, place.sum});
        size_ += static_cast<std::int64_t>(size);
        written_ += std::ssize(places);
        if (written_ == bucketCapacity(bucket_))
            next();
    }
    std::int64_t roomLeft() const { return bucketCapacity(bucket_) - written_; }
    int bucket() const { return bucket_; }

    // Closes the current bucket and writes every later one empty.
    void finish()
    {
        while (bucket_ < kBucketCount - 1)
            next();
        report(100);
        commit();
        file_.reset();
        places_.reset();
    }

private:
    void open(int bucket)
    {
        bucket_ = bucket;
        written_ = 0;
        size_ = 0;
        file_.emplace(folder_.bucketFile(bucket));
        places_.emplace(folder_.placeTable(bucket), cutTag_);
    }
    void commit()
    {
        file_->commit();
        places_->commit(size_);
    }
    void next()
    {
        commit();
        report(progressAfterClosing(bucket_));
        open(bucket_ + 1);
    }
    void report(int value)
    {
        if (progress_)
            progress_(value);
    }

    const DataFolder& folder_;
    const ProgressFn& progress_;
    const std::uint64_t cutTag_;
    std::optional<ReplacingFile> file_;
    std::optional<PlaceTableWriter> places_;
    int bucket_ = 0;
    std::int64_t written_ = 0; // horses
    std::int64_t size_ = 0;    // bytes
};

// True when every line end in `bytes` is CR LF: then whole runs of horses are
// written as they are. Sixty-four bytes a step as bit masks: every LF must
// follow a CR, and every CR be followed by an LF.
bool onlyCrLf(std::string_view bytes)
{
    const char* p = bytes.data();
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    bool afterCr = false;
    for (; i + 64 <= n; i += 64) {
        const line_ends::Bits found = line_ends::bits64(p + i);
        if (found.lf != (found.cr << 1 | std::uint64_t{afterCr}))
            return false;
        afterCr = found.cr >> 63;
    }
    return detail::onlyCrLfByBytes(bytes.substr(i), afterCr);
}

// Whole horses with every line end (CR LF, LF, lone CR, none at the end of the
// file) written as CR LF from `out` on, which must have room for twice their
// bytes and two more (a line end at most doubles); returns the end.
char* appendWithCrLf(std::string_view horses, char* out)
{
    const char* p = horses.data();
    const char* const end = p + horses.size();
    while (p < end) {
        const char* lineEnd = line_ends::next(p, end);
        std::memcpy(out, p, static_cast<std::size_t>(lineEnd - p));
        out += lineEnd - p;
        *out++ = '\r';
        *out++ = '\n';
        if (lineEnd == end)
            break; // the last line of a file without a line end
        p = lineEnd + line_ends::sizeAt(lineEnd, end);
    }
    return out;
}

// The same into `buffer` (grown, never shrunk: no filling of fresh memory for
// every run).
std::string_view withCrLf(std::string_view horses, std::vector<char>& buffer)
{
    if (buffer.size() < 2 * horses.size() + 2)
        buffer.resize(2 * horses.size() + 2);
    const char* end = appendWithCrLf(horses, buffer.data());
    return {buffer.data(), static_cast<std::size_t>(end - buffer.data())};
}

} // namespace

namespace detail {
bool onlyCrLfByBytes(std::string_view bytes, bool afterCr)
{
    for (const char c : bytes) {
        if ((c == '\n') != afterCr)
            return false;
        afterCr = c == '\r';
    }
    return !afterCr;
}

bool wholeRunsAsTheyAre(std::string_view bytes) { return onlyCrLf(bytes); }

std::string_view rewrittenWithCrLf(std::string_view horses, std::vector<char>& buffer)
{
    return withCrLf(horses, buffer);
}
} // namespace detail

namespace {

// The first and last identifier a lookup searches bucket b for.
std::string identifiersOf(int bucket)
{
    if (bucket == kBucketCount - 1)
        return std::to_string(std::int64_t{kHorsesPerBucket} * bucket) + " and up";
    return std::to_string(bucket == 0 ? 1 : std::int64_t{kHorsesPerBucket} * bucket) + " to " +
           std::to_string(std::int64_t{kHorsesPerBucket} * (bucket + 1) - 1);
}

} // namespace

namespace {

// One piece of the breeding file, read: its horses, or the fault that ended it.
struct alignas(kCacheLineBytes) ReadPiece {
    struct Horse {
        HorseView view;         // into chunk
        std::size_t start, end; // its bytes in chunk, line ends included
        std::int64_t line;      // its first line in the breeding file
        std::uint64_t sum = 0;  // checksumOf its bytes, when the piece is written as it is
    };
    std::vector<Horse> horses;
    SinkTexts texts; // what the sink made of the horses
    bool crlf = false;
    std::exception_ptr fault; // after the horses, in file order
};

// Reads every horse of a piece with the one field reader, which checks its
// shape, and has the sink make its text of each.
void readPiece(const RecordChunk& chunk, ReadPiece& piece, const std::string& breedingPath, const HorseSink* sink)
{
    piece.horses.clear();
    for (std::string& text : piece.texts)
        text.clear(); // keeping its room for the next piece
    piece.fault = nullptr;
    const std::string_view bytes = chunk.bytes();
    piece.crlf = onlyCrLf(bytes);
    FieldReader reader(bytes, breedingPath, chunk.firstLine());
    try {
        while (!reader.atEnd()) {
            ReadPiece::Horse horse{{}, static_cast<std::size_t>(reader.offset()), 0, reader.line()};
            try {
                readHorseRecord(reader, horse.view);
            } catch (const FileError& e) {
                if (e.problem() != FieldReader::kEndedText)
                    throw;
                const std::int64_t lastLine =
                    reader.line() - line_ends::isLineEnd(static_cast<unsigned char>(bytes.back()));
                throw FileError(breedingPath, lastLine,
                                "the file has " + std::to_string(lastLine) + " lines, so its last horse has only " +
                                    std::to_string(lastLine - horse.line + 1) + " of its 4 lines");
            }
            horse.end = static_cast<std::size_t>(reader.offset());
            // Taken here, beside the reading, rather than on the one writing thread.
            if (piece.crlf)
                horse.sum = checksumOf(bytes.substr(horse.start, horse.end - horse.start));
            piece.horses.push_back(horse);
            if (sink)
                sink->make(horse.view, piece.texts);
        }
    } catch (const FileError&) {
        piece.fault = std::current_exception();
    }
}

// Puts read pieces, in file order, into the buckets and hands their horses on.
class PieceWriter {
public:
    PieceWriter(const std::string& breedingPath, const DataFolder& folder, const ProgressFn& progress, HorseSink* sink,
                std::uint64_t cutTag)
        : breedingPath_(breedingPath), out_(folder, progress, cutTag), sink_(sink)
    {
    }

    void write(const RecordChunk& chunk, ReadPiece& piece)
    {
        if (sink_)
            sink_->add(piece.texts, std::ssize(piece.horses));
        const std::string_view bytes = chunk.bytes();
        std::size_t runStart = 0, runEnd = 0;
        // Runs of horses go out in one write, as they are when their line ends
        // are all CR LF, else rewritten in one pass; `run_` holds where each
        // horse starts in the piece, then where it starts in what is written.
        const auto flush = [&] {
            if (run_.empty())
                return;
            const std::string_view run = bytes.substr(runStart, runEnd - runStart);
            if (piece.crlf && run.back() == '\n') {
                for (Place& place : run_)
                    place.offset -= static_cast<std::int64_t>(runStart);
                out_.write(run.data(), run.size(), run_);
            } else {
                if (buffer_.size() < 2 * run.size() + 2)
                    buffer_.resize(2 * run.size() + 2);
                char* out = buffer_.data();
                for (std::size_t i = 0; i < run_.size(); ++i) {
                    const auto start = static_cast<std::size_t>(run_[i].offset);
                    const std::size_t end = i + 1 < run_.size() ? static_cast<std::size_t>(run_[i + 1].offset) : runEnd;
                    char* const from = out;
                    run_[i].offset = from - buffer_.data();
                    out = appendWithCrLf(bytes.substr(start, end - start), out);
                    run_[i].length = static_cast<std::int32_t>(out - from);
                    run_[i].sum = checksumOf({from, static_cast<std::size_t>(out - from)});
                }
                out_.write(buffer_.data(), static_cast<std::size_t>(out - buffer_.data()), run_);
            }
            run_.clear();
        };
        for (const ReadPiece::Horse& horse : piece.horses) {
            ++horses_;
            const std::int32_t id = horse.view.id;
            if (id < 1 || bucketOf(id) != out_.bucket())
                throw FileError(breedingPath_, horse.line,
                                "identifier " + std::to_string(id) + " is out of place: this is horse " +
                                    std::to_string(horses_) + " of the file, so it goes into QNsubBtxt/file" +
                                    std::to_string(out_.bucket()) + ", where a lookup looks only for identifiers " +
                                    identifiersOf(out_.bucket()));
            if (horse.start != runEnd)
                flush(); // empty lines were skipped
            if (run_.empty())
                runStart = horse.start;
            runEnd = horse.end;
            run_.push_back({id, static_cast<std::int64_t>(horse.start),
                            static_cast<std::int32_t>(horse.end - horse.start), horse.sum});
            if (std::ssize(run_) == out_.roomLeft())
                flush();
        }
        flush();
        if (piece.fault)
            std::rethrow_exception(piece.fault);
    }

    SplitSummary finish()
    {
        out_.finish();
        return {horses_ * kLinesPerHorse, horses_};
    }

private:
    const std::string& breedingPath_;
    BucketWriter out_;
    HorseSink* sink_;
    std::vector<char> buffer_;
    std::vector<Place> run_;
    std::int64_t horses_ = 0;
};

} // namespace

SplitSummary subdivide(const std::string& breedingPath, const DataFolder& folder, const ProgressFn& progress,
                       HorseSink* sink, const std::string& cutStamp)
{
    FilePtr in = openInput(breedingPath);

    // Pieces of whole horses, each read by the one field reader, which checks
    // every horse's shape: a horse the lookup could not read, or could never
    // find, stops the split at its line of the breeding file.
    RecordChunker chunker(std::move(in), breedingPath, kPieceSize);
    PieceWriter writer(breedingPath, folder, progress, sink, cutTagOf(cutStamp));
    // Reading the horses is most of the work and goes on in worker threads; the
    // calling thread writes the pieces in file order (and reports progress).
    const std::size_t workers = threadsFor(std::min<std::size_t>(4, chunker.piecesAtMost()));
    std::vector<ReadPiece> pieces(pieceSlotsFor(workers));
    PieceWork work;
    work.read = [&](const RecordChunk& chunk, std::size_t slot, std::size_t) {
        readPiece(chunk, pieces[slot], breedingPath, sink);
    };
    work.handOn = [&](const RecordChunk& chunk, std::size_t slot) {
        writer.write(chunk, pieces[slot]); // throws at the first fault, in file order
        return true;
    };
    readPiecesInOrder(chunker, workers, work);
    return writer.finish();
}

} // namespace quindle
