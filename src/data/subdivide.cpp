#include "data/subdivide.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "data/file_error.h"
#include "data/input_file.h"
#include "data/records.h"

namespace quindle {

namespace {

constexpr std::size_t kBlockSize = std::size_t{1} << 20;

std::int64_t bucketCapacity(int bucket)
{
    if (bucket == 0)
        return kLinesInFirstBucket;
    return bucket < kBucketCount - 1 ? kLinesPerBucket : INT64_MAX;
}

int progressAfterClosing(int bucket) { return bucket == 0 ? 10 : 10 * bucket + 10; }

// Writes the buckets one after the other, moving on when one holds its lines.
class BucketWriter {
public:
    BucketWriter(const DataFolder& folder, const ProgressFn& progress) : folder_(folder), progress_(progress)
    {
        open(0);
        report(2);
    }

    // Writes `count` whole lines, already ending in CR LF, held in `bytes`.
    // The caller never passes more lines than roomLeft().
    void writeLines(const char* bytes, std::size_t size, std::int64_t count)
    {
        put(bytes, size);
        written_ += count;
        if (written_ == bucketCapacity(bucket_))
            next();
    }
    std::int64_t roomLeft() const { return bucketCapacity(bucket_) - written_; }

    // Closes the current bucket and writes every later one empty.
    void finish()
    {
        while (bucket_ < kBucketCount - 1)
            next();
        report(100);
        close();
    }

private:
    void open(int bucket)
    {
        bucket_ = bucket;
        written_ = 0;
        path_ = folder_.bucketFile(bucket);
        file_.reset(std::fopen(path_.c_str(), "wb"));
        if (!file_)
            throw FileError(path_, 0, std::string("cannot be created: ") + std::strerror(errno));
    }
    void put(const char* bytes, std::size_t size)
    {
        if (size && std::fwrite(bytes, 1, size, file_.get()) != size)
            throw FileError(path_, 0, std::string("could not be written: ") + std::strerror(errno));
    }
    void close()
    {
        std::FILE* file = file_.release();
        if (std::fclose(file) != 0)
            throw FileError(path_, 0, std::string("could not be written: ") + std::strerror(errno));
    }
    void next()
    {
        close();
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
    FilePtr file_;
    std::string path_;
    int bucket_ = 0;
    std::int64_t written_ = 0;
};

// Reads the breeding file in large blocks and hands whole lines to the writer.
// Runs of lines that already end in CR LF go out in one write; any other line end
// (LF, lone CR, none at the end of the file) is rewritten as CR LF. Empty lines are
// held back until a line with text follows, so empty lines at the end are dropped.
class LineCopier {
public:
    LineCopier(BucketWriter& out) : out_(out) {}

    // Handles the complete lines in [data, data + size); returns the bytes used.
    // With `atEof`, the remainder is the last line, without a line end.
    std::size_t feed(const char* data, std::size_t size, bool atEof)
    {
        const char* const end = data + size;
        const char* p = data;
        // The usual case: every whole line of the block is clean and fits the bucket.
        if (pendingEmpty_ == 0) {
            const char* last = end;
            while (last > p && last[-1] != '\n')
                --last;
            const std::int64_t lines = cleanLines(p, last);
            if (lines > 0 && lines <= out_.roomLeft()) {
                out_.writeLines(p, static_cast<std::size_t>(last - p), lines);
                lines_ += lines;
                p = last;
            }
        }
        while (p < end) {
            const char* runEnd = p;
            if (pendingEmpty_ == 0) {
                const std::int64_t lines = cleanRun(p, end, runEnd);
                if (lines > 0) {
                    out_.writeLines(p, static_cast<std::size_t>(runEnd - p), lines);
                    lines_ += lines;
                    p = runEnd;
                    continue;
                }
            }
            // One line at a time up to where the run scan stopped, and at least one.
            do {
                const char* next = copyOneLine(p, end, atEof);
                if (!next)
                    return static_cast<std::size_t>(p - data); // wait for more bytes
                p = next;
            } while (p < runEnd);
        }
        return static_cast<std::size_t>(p - data);
    }

    std::int64_t lines() const { return lines_; }

private:
    // The number of lines in [p, q), which starts a line and ends after a line feed,
    // when every one of them has text and ends in CR LF and no other CR occurs;
    // else -1. Written without branches in the loop so the compiler can vectorise it.
    static std::int64_t cleanLines(const char* p, const char* q)
    {
        const auto n = static_cast<std::size_t>(q - p);
        if (n < 3 || p[0] == '\r' || p[0] == '\n')
            return -1;
        const auto* b = reinterpret_cast<const unsigned char*>(p);
        std::size_t lf = 0, cr = 0;
        unsigned bad = 0;
        // Byte-wide counters over short chunks keep the vector lanes narrow.
        for (std::size_t start = 1; start < n; start += 255) {
            const std::size_t stop = std::min(n, start + 255);
            unsigned char lfChunk = 0, crChunk = 0, badChunk = 0;
            for (std::size_t i = start; i < stop; ++i) {
                const unsigned char isLf = b[i] == '\n', isCr = b[i] == '\r';
                lfChunk += isLf;
                crChunk += isCr;
                badChunk |= static_cast<unsigned char>((isLf & (b[i - 1] != '\r')) | (isCr & (b[i - 1] == '\n')));
            }
            lf += lfChunk;
            cr += crChunk;
            bad |= badChunk;
        }
        return bad || lf != cr ? -1 : static_cast<std::int64_t>(lf);
    }

    // The longest run of non-empty lines from p that all end in CR LF, hold no
    // other CR and fit into the current bucket; sets runEnd past it. Returns 0
    // with runEnd past the lines scanned when the run held a lone CR.
    std::int64_t cleanRun(const char* p, const char* end, const char*& runEnd)
    {
        const std::int64_t room = out_.roomLeft();
        const char* q = p;
        std::int64_t lines = 0;
        while (lines < room) {
            const char* lf = static_cast<const char*>(std::memchr(q, '\n', static_cast<std::size_t>(end - q)));
            if (!lf || lf - q < 2 || lf[-1] != '\r')
                break;
            q = lf + 1;
            ++lines;
        }
        runEnd = q;
        if (std::count(p, q, '\r') != lines)
            return 0; // a lone CR inside: take these lines one by one
        return lines;
    }

    // Copies the line at p; returns where the next one starts, or null when the
    // line is not complete yet.
    const char* copyOneLine(const char* p, const char* end, bool atEof)
    {
        const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        const char* lineEnd = lf ? lf : end;
        const char* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(lineEnd - p)));
        if (cr && cr + 1 == end && !atEof)
            return nullptr; // a CR at the end of the block: the LF may follow in the next one
        if (!lf && !cr && !atEof)
            return nullptr; // an unfinished line

        const char* textEnd;
        const char* next;
        if (cr && cr + 1 == lf)
            textEnd = cr, next = lf + 1;
        else if (cr)
            textEnd = cr, next = cr + 1; // a lone CR ends the line
        else if (lf)
            textEnd = lf, next = lf + 1;
        else
            textEnd = end, next = end; // the last line, without a line end

        if (textEnd == p) {
            ++pendingEmpty_; // held back until text follows
            return next;
        }
        for (; pendingEmpty_ > 0; --pendingEmpty_) {
            out_.writeLines("\r\n", 2, 1);
            ++lines_;
        }
        line_.assign(p, textEnd);
        line_ += "\r\n";
        out_.writeLines(line_.data(), line_.size(), 1);
        ++lines_;
        return next;
    }

    BucketWriter& out_;
    std::int64_t pendingEmpty_ = 0;
    std::int64_t lines_ = 0;
    std::string line_;
};

} // namespace

SplitSummary subdivide(const std::string& breedingPath, const DataFolder& folder, const ProgressFn& progress)
{
    FilePtr in = openForReading(breedingPath);
    if (!in)
        throw FileError(breedingPath, 0, std::string("cannot be opened: ") + std::strerror(errno));

    BucketWriter out(folder, progress);
    LineCopier copier(out);
    std::vector<char> buffer(kBlockSize);
    std::size_t held = 0; // bytes of an unfinished line kept at the start of the buffer
    for (;;) {
        if (held == buffer.size())
            buffer.resize(buffer.size() * 2); // a line longer than the buffer
        const std::size_t got = std::fread(buffer.data() + held, 1, buffer.size() - held, in.get());
        if (got == 0 && std::ferror(in.get()))
            throw FileError(breedingPath, 0, "could not be read");
        const bool atEof = (got == 0);
        const std::size_t size = held + got;
        const std::size_t used = copier.feed(buffer.data(), size, atEof);
        held = size - used;
        if (atEof)
            break;
        std::memmove(buffer.data(), buffer.data() + used, held);
    }

    const std::int64_t lines = copier.lines();
    if (lines % kLinesPerHorse != 0)
        throw FileError(breedingPath, lines,
                        "the file has " + std::to_string(lines) + " lines, so its last horse has only " +
                            std::to_string(lines % kLinesPerHorse) + " of its 4 lines");
    out.finish();
    return {lines, lines / kLinesPerHorse};
}

} // namespace quindle
