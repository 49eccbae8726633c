// quindle-cli profiles: the profile of every horse of the breeding file as CSV.
//
// The file is cut into pieces of whole horses; worker threads each read a piece
// with their own FieldReader, compute and format its rows, and write them in
// the order of the pieces. Rows, and the first bad field with its line, come out
// exactly as from one reader going through the file.
#include <algorithm>
#include <charconv>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "commands.h"
#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/record_chunks.h"
#include "data/records.h"
#include "data/startup.h"
#include "dosage/format.h"
#include "lookup/horse_lookup.h"
#include "output.h"
#include "render.h"
#include "startup_cli.h"

namespace quindle::cli {

namespace {

struct IdRange {
    std::int64_t first = INT32_MIN;
    std::int64_t last = INT32_MAX;
};

// Turns the horses of a piece into CSV rows, keeping its storage from piece to piece.
class RowWriter {
public:
    RowWriter(const ChefTable& chefs, IdRange range) : chefs_(chefs), range_(range) {}

    // Appends the rows of the piece to `out`; throws FileError at a bad field,
    // after the rows of the horses before it.
    void append(const RecordChunk& chunk, const std::string& path, std::string& out)
    {
        FieldReader reader(chunk.bytes(), path, chunk.firstLine());
        while (!reader.atEnd()) {
            readHorseRecord(reader, horse_);
            if (horse_.id < range_.first || horse_.id > range_.last)
                continue;
            formatSummary(computeProfileOfViews(lineageViews(horse_), chefs_), summary_);
            appendRow(out);
        }
    }

private:
    void appendRow(std::string& out) const
    {
        char id[16];
        out.append(id, std::to_chars(id, id + sizeof id, horse_.id).ptr);
        for (const std::string_view text : {horse_.name, horse_.age, horse_.sex, horse_.sire, horse_.damSire}) {
            out += ',';
            appendCsvField(out, text);
        }
        for (const int box : {35, 36, 37, 38, 39, kTotalBox, kSpeedBox, kStaminaBox, kCdBox, kDiBox}) {
            out += ',';
            appendTrimmed(out, summary_[static_cast<std::size_t>(box - kGroupTotalBox)]);
        }
        out += '\n';
    }

    const ChefTable& chefs_;
    IdRange range_;
    HorseView horse_; // looks into the piece being read
    SummaryTexts summary_;
};

// Hands out pieces in file order and lets their rows through in the same order.
class Pipeline {
public:
    Pipeline(RecordChunker& chunker, const ChefTable& chefs, IdRange range, Out& out)
        : chunker_(chunker), chefs_(chefs), range_(range), out_(out)
    {
    }

    int run(unsigned workers)
    {
        std::vector<std::thread> threads;
        for (unsigned i = 1; i < workers; ++i)
            threads.emplace_back([this] { work(); });
        work();
        for (auto& thread : threads)
            thread.join();
        return status_;
    }

private:
    void work()
    {
        RowWriter rows(chefs_, range_);
        RecordChunk chunk;
        std::string text;
        for (;;) {
            std::int64_t piece = 0;
            std::optional<std::string> error;
            {
                const std::lock_guard lock(readMutex_);
                if (readDone_)
                    return;
                try {
                    if (!chunker_.next(chunk)) {
                        readDone_ = true;
                        return;
                    }
                } catch (const FileError& e) {
                    readDone_ = true;
                    error = e.what();
                }
                piece = nextPiece_++;
            }
            text.clear();
            if (!error) {
                try {
                    rows.append(chunk, chunker_.path(), text);
                } catch (const FileError& e) {
                    error = e.what();
                }
            }
            std::unique_lock lock(writeMutex_);
            turn_.wait(lock, [&] { return nextToWrite_ == piece || stopped_; });
            if (stopped_)
                return;
            out_.writeLarge(text);
            if (error) {
                out_.flush();
                std::fflush(stdout);
                std::fprintf(stderr, "quindle-cli: %s\n", error->c_str());
                status_ = 1;
            }
            stopped_ = error.has_value() || out_.failed();
            ++nextToWrite_;
            turn_.notify_all();
            if (stopped_) {
                const std::lock_guard readLock(readMutex_);
                readDone_ = true;
                return;
            }
        }
    }

    RecordChunker& chunker_;
    const ChefTable& chefs_;
    IdRange range_;
    Out& out_;

    std::mutex readMutex_;
    bool readDone_ = false;
    std::int64_t nextPiece_ = 0;

    std::mutex writeMutex_;
    std::condition_variable turn_;
    std::int64_t nextToWrite_ = 0;
    bool stopped_ = false;
    int status_ = 0;
};

} // namespace

int runProfiles(const DataFolder& folder, const std::string& from, const std::string& to)
{
    IdRange range;
    if ((!from.empty() && parseWholeNumber(from, INT32_MIN, INT32_MAX, range.first) != NumberParse::Ok) ||
        (!to.empty() && parseWholeNumber(to, INT32_MIN, INT32_MAX, range.last) != NumberParse::Ok)) {
        std::fprintf(stderr, "quindle-cli: --from and --to take a horse identifier\n");
        return 2;
    }
    const auto chefs = startUp(folder);
    if (!chefs)
        return 2;
    FilePtr file = openForReading(folder.breedingFile());
    if (!file) {
        std::fprintf(stderr, "%s\n", missingFileText(folder.breedingFile()).c_str());
        return 2;
    }
    Out out;
    out.write("id,name,age,sex,sire,damsire,B,I,C,S,P,total,speed,stamina,cd,di\n");
    RecordChunker chunker(std::move(file), folder.breedingFile());
    Pipeline pipeline(chunker, *chefs, range, out);
    // Past a few threads the pieces come no faster than one thread can cut them.
    const unsigned workers = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
    const int status = pipeline.run(workers);
    return out.finish() ? status : outputFailed();
}

} // namespace quindle::cli
