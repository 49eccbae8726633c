#include "data/subdivide.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/input_file.h"
#include "data/line_ends.h"
#include "data/record_chunks.h"
#include "data/records.h"
#include "data/replacing_file.h"
#include "search/name_index.h"

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

// Writes the buckets one after the other, moving on when one holds its horses.
// Each is written under a temporary name and renamed into place when complete,
// so a lookup running meanwhile reads a whole bucket, the old one or the new.
class BucketWriter {
public:
    BucketWriter(const DataFolder& folder, const ProgressFn& progress) : folder_(folder), progress_(progress)
    {
        open(0);
        report(2);
    }

    // Writes `horses` whole horses, their lines ending in CR LF, held in `bytes`.
    // The caller never passes more horses than roomLeft().
    void write(const char* bytes, std::size_t size, std::int64_t horses)
    {
        file_->write(bytes, size);
        written_ += horses;
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
        file_->commit();
        file_.reset();
    }

private:
    void open(int bucket)
    {
        bucket_ = bucket;
        written_ = 0;
        file_.emplace(folder_.bucketFile(bucket));
    }
    void next()
    {
        file_->commit();
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
    std::optional<ReplacingFile> file_;
    int bucket_ = 0;
    std::int64_t written_ = 0;
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
// file) written as CR LF, into `buffer` (grown, never shrunk: no filling of
// fresh memory for every run).
std::string_view withCrLf(std::string_view horses, std::vector<char>& buffer)
{
    if (buffer.size() < 2 * horses.size() + 2) // a line end at most doubles
        buffer.resize(2 * horses.size() + 2);
    char* out = buffer.data();
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
    return {buffer.data(), static_cast<std::size_t>(out - buffer.data())};
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

const char* nextLineEnd(const char* p, const char* end, bool sixteenBytesAStep)
{
    return sixteenBytesAStep ? line_ends::next(p, end) : line_ends::nextByBytes(p, end);
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

SplitSummary subdivide(const std::string& breedingPath, const DataFolder& folder, const ProgressFn& progress,
                       const std::string& stampText)
{
    FilePtr in = openForReading(breedingPath);
    if (!in)
        throw FileError(breedingPath, 0, std::string("cannot be opened: ") + std::strerror(errno));

    // Pieces of whole horses, each read by the one field reader, which checks
    // every horse's shape: a horse the lookup could not read, or could never
    // find, stops the split at its line of the breeding file.
    RecordChunker chunker(std::move(in), breedingPath, kPieceSize);
    BucketWriter out(folder, progress);
    NameIndexWriter index(folder, stampText);
    RecordChunk chunk;
    HorseView horse;
    std::vector<char> buffer;
    std::int64_t horses = 0;
    while (chunker.next(chunk)) {
        const std::string_view bytes = chunk.bytes();
        const bool crlf = onlyCrLf(bytes);
        FieldReader reader(bytes, breedingPath, chunk.firstLine());
        std::size_t runStart = 0, runEnd = 0;
        std::int64_t runHorses = 0;
        // Runs of horses go out in one write, as they are when their line ends
        // are all CR LF, else rewritten in one pass.
        const auto flush = [&] {
            if (runHorses == 0)
                return;
            const std::string_view run = bytes.substr(runStart, runEnd - runStart);
            if (crlf && run.back() == '\n') {
                out.write(run.data(), run.size(), runHorses);
            } else {
                const std::string_view rewritten = withCrLf(run, buffer);
                out.write(rewritten.data(), rewritten.size(), runHorses);
            }
            runHorses = 0;
        };
        while (!reader.atEnd()) {
            const auto start = static_cast<std::size_t>(reader.offset());
            const std::int64_t line = reader.line();
            try {
                readHorseRecord(reader, horse);
            } catch (const FileError& e) {
                if (e.problem() != FieldReader::kEndedText)
                    throw;
                const std::int64_t lastLine =
                    reader.line() - line_ends::isLineEnd(static_cast<unsigned char>(bytes.back()));
                throw FileError(breedingPath, lastLine,
                                "the file has " + std::to_string(lastLine) + " lines, so its last horse has only " +
                                    std::to_string(lastLine - line + 1) + " of its 4 lines");
            }
            ++horses;
            index.add(horse);
            if (horse.id < 1 || bucketOf(horse.id) != out.bucket())
                throw FileError(breedingPath, line,
                                "identifier " + std::to_string(horse.id) + " is out of place: this is horse " +
                                    std::to_string(horses) + " of the file, so it goes into QNsubBtxt/file" +
                                    std::to_string(out.bucket()) + ", where a lookup looks only for identifiers " +
                                    identifiersOf(out.bucket()));
            const auto end = static_cast<std::size_t>(reader.offset());
            if (start != runEnd)
                flush(); // empty lines were skipped
            if (runHorses == 0)
                runStart = start;
            runEnd = end;
            if (++runHorses == out.roomLeft())
                flush();
        }
        flush();
    }
    out.finish();
    index.commit();
    return {horses * kLinesPerHorse, horses};
}

} // namespace quindle
