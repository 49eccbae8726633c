#include "data/subdivide.h"

#include <cerrno>
#include <cstring>
#include <optional>
#include <string_view>

#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/input_file.h"
#include "data/record_chunks.h"
#include "data/records.h"
#include "data/replacing_file.h"

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
// written as they are. Without branches, so the compiler can vectorise it.
bool onlyCrLf(std::string_view bytes)
{
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    if (n == 0)
        return true;
    unsigned char bad = (b[0] == '\n') | (b[n - 1] == '\r');
    for (std::size_t start = 1; start < n && !bad; start += 4096) {
        const std::size_t stop = std::min(n, start + 4096);
        for (std::size_t i = start; i < stop; ++i)
            bad |= static_cast<unsigned char>(((b[i] == '\n') & (b[i - 1] != '\r')) |
                                              ((b[i - 1] == '\r') & (b[i] != '\n')));
    }
    return !bad;
}

// One horse's bytes with every line end (CR LF, LF, lone CR, none at the end of
// the file) written as CR LF. Fields never hold CR or LF, so each search stops
// within the horse.
void withCrLf(std::string_view horse, std::string& out)
{
    out.clear();
    const char* p = horse.data();
    const char* const end = p + horse.size();
    while (p < end) {
        const auto* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        const char* stop = lf ? lf : end;
        const auto* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(stop - p)));
        const char* lineEnd = cr ? cr : stop;
        out.append(p, lineEnd);
        if (lineEnd == end)
            break;
        out += "\r\n";
        p = lineEnd + (cr && cr + 1 < end && cr[1] == '\n' ? 2 : 1);
    }
    if (out.size() < 2 || out.compare(out.size() - 2, 2, "\r\n") != 0)
        out += "\r\n"; // the last line of a file without a line end
}

// The first and last identifier a lookup searches bucket b for.
std::string identifiersOf(int bucket)
{
    if (bucket == kBucketCount - 1)
        return std::to_string(std::int64_t{kHorsesPerBucket} * bucket) + " and up";
    return std::to_string(bucket == 0 ? 1 : std::int64_t{kHorsesPerBucket} * bucket) + " to " +
           std::to_string(std::int64_t{kHorsesPerBucket} * (bucket + 1) - 1);
}

} // namespace

SplitSummary subdivide(const std::string& breedingPath, const DataFolder& folder, const ProgressFn& progress)
{
    FilePtr in = openForReading(breedingPath);
    if (!in)
        throw FileError(breedingPath, 0, std::string("cannot be opened: ") + std::strerror(errno));

    // Pieces of whole horses, each read by the one field reader, which checks
    // every horse's shape: a horse the lookup could not read, or could never
    // find, stops the split at its line of the breeding file.
    RecordChunker chunker(std::move(in), breedingPath, kPieceSize);
    BucketWriter out(folder, progress);
    RecordChunk chunk;
    HorseView horse;
    std::string rewritten;
    std::int64_t horses = 0;
    while (chunker.next(chunk)) {
        const std::string_view bytes = chunk.bytes();
        const bool crlf = onlyCrLf(bytes);
        FieldReader reader(bytes, breedingPath, chunk.firstLine());
        std::size_t runStart = 0, runEnd = 0;
        std::int64_t runHorses = 0;
        const auto flush = [&] {
            if (runHorses > 0)
                out.write(bytes.data() + runStart, runEnd - runStart, runHorses);
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
                const std::int64_t lastLine = reader.line() - (bytes.back() == '\n' || bytes.back() == '\r');
                throw FileError(breedingPath, lastLine,
                                "the file has " + std::to_string(lastLine) + " lines, so its last horse has only " +
                                    std::to_string(lastLine - line + 1) + " of its 4 lines");
            }
            ++horses;
            if (horse.id < 1 || bucketOf(horse.id) != out.bucket())
                throw FileError(breedingPath, line,
                                "identifier " + std::to_string(horse.id) + " is out of place: this is horse " +
                                    std::to_string(horses) + " of the file, so it goes into QNsubBtxt/file" +
                                    std::to_string(out.bucket()) + ", where a lookup looks only for identifiers " +
                                    identifiersOf(out.bucket()));
            const auto end = static_cast<std::size_t>(reader.offset());
            if (crlf && bytes[end - 1] == '\n') {
                if (start != runEnd)
                    flush();
                if (runHorses == 0)
                    runStart = start;
                runEnd = end;
                if (++runHorses == out.roomLeft())
                    flush();
            } else {
                flush();
                withCrLf(bytes.substr(start, end - start), rewritten);
                out.write(rewritten.data(), rewritten.size(), 1);
            }
        }
        flush();
    }
    out.finish();
    return {horses * kLinesPerHorse, horses};
}

} // namespace quindle
