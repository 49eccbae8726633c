// quindle-cli profiles: the profile of every horse of the breeding file as CSV.
//
// The file is cut into pieces of whole horses; worker threads each read a piece
// with their own FieldReader and compute and format its rows, which are written
// in the order of the pieces. Rows, and the first bad field with its line, come out
// exactly as from one reader going through the file.
#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>
#include <new>
#include <vector>

#include "commands.h"
#include "data/field_reader.h"
#include "data/fold_case.h"
#include "data/file_error.h"
#include "data/pieces_in_order.h"
#include "data/record_chunks.h"
#include "data/records.h"
#include "data/startup.h"
#include "data/worker_threads.h"
#include "dosage/format.h"
#include "dosage/repeated_sires.h"
#include "search/foal_profiles.h"
#include "lookup/horse_lookup.h"
#include "export/number_columns.h"
#include "output.h"
#include "export/text_forms.h"
#include "startup_cli.h"

namespace quindle::cli {

namespace {

// Which horses get a row: those of an identifier range, or the foals of one sire.
struct RowFilter {
    std::int64_t first = INT32_MIN;
    std::int64_t last = INT32_MAX;
    std::optional<std::string> sire; // Latin-1, compared without case
    bool json = false;
    bool repeats = false; // a last column with the horse's repeated sires

    bool holds(const HorseView& horse) const
    {
        return horse.id >= first && horse.id <= last && (!sire || equalFolded(horse.sire, *sire));
    }
};

// Text that grows at its end without first filling the room it makes.
class RowText {
public:
    // Room for `count` more bytes at the end: write them, then commit their end.
    char* room(std::size_t count)
    {
        if (capacity_ - size_ < count)
            grow(size_ + count);
        return data_.get() + size_;
    }
    void commit(const char* end) { size_ = static_cast<std::size_t>(end - data_.get()); }
    std::string_view text() const { return {data_.get(), size_}; }
    void clear() { size_ = 0; }

private:
    void grow(std::size_t needed)
    {
        const std::size_t capacity = std::max({needed, capacity_ * 2, std::size_t{1} << 16});
        auto data = std::make_unique_for_overwrite<char[]>(capacity);
        std::copy_n(data_.get(), size_, data.get());
        data_ = std::move(data);
        capacity_ = capacity;
    }

    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0, capacity_ = 0;
};

// Turns the horses of a piece into CSV rows, keeping its storage from piece to piece.
class alignas(kCacheLineBytes) RowWriter {
public:
    RowWriter(const ChefTable& chefs, const RowFilter& filter) : chefs_(chefs), filter_(filter) {}

    // Appends the rows of the piece to `out`; throws FileError at a bad field,
    // after the rows of the horses before it.
    void append(const RecordChunk& chunk, const std::string& path, RowText& out)
    {
        FieldReader reader(chunk.bytes(), path, chunk.firstLine());
        while (!reader.atEnd()) {
            readHorseRecord(reader, horse_);
            if (!filter_.holds(horse_))
                continue;
            const std::string_view numbers = numbers_.text(groupTotalsOfViews(lineageViews(horse_), chefs_));
            if (filter_.json)
                appendJsonRow(numbers, out);
            else
                appendRow(numbers, out);
            ++rows_;
        }
    }
    std::int64_t rows() const { return rows_; }

private:
    // The names look into a piece, which is followed by padding, so they are
    // written in whole blocks; so are the numbers.
    void appendRow(std::string_view numbers, RowText& out) const
    {
        static_assert(RecordChunk::kPadding >= kCsvPadding);
        const std::string_view texts[] = {horse_.name, horse_.age, horse_.sex, horse_.sire, horse_.damSire};
        // The identifier, the numbers, the line end, and room for whole blocks.
        std::size_t longest = 11 + std::max(numbers.size(), NumberColumns::kReadable) + 1 + kCsvPadding;
        for (const std::string_view text : texts)
            longest += 1 + csvFieldBound(text.size());
        char* at = out.room(longest);
        at = std::to_chars(at, at + 11, horse_.id).ptr;
        for (const std::string_view text : texts) {
            *at++ = ',';
            at = writeCsvFieldPadded(at, text);
        }
        std::memcpy(at, numbers.data(), NumberColumns::kReadable);
        if (numbers.size() > NumberColumns::kReadable)
            std::memcpy(at, numbers.data(), numbers.size());
        at += numbers.size();
        if (filter_.repeats) {
            const std::string repeats = repeatsText(lineageViews(horse_));
            out.commit(at);
            at = out.room(2 + csvFieldBound(repeats.size()));
            *at++ = ',';
            at = writeCsvField(at, repeats);
        }
        *at++ = '\n';
        out.commit(at);
    }

    // The same columns as an object of JSON strings, for the few rows of `foals`.
    void appendJsonRow(std::string_view numbers, RowText& out) const
    {
        std::string row = "{\"id\":" + std::to_string(horse_.id);
        const std::pair<const char*, std::string_view> names[] = {{"name", horse_.name},
                                                                  {"age", horse_.age},
                                                                  {"sex", horse_.sex},
                                                                  {"sire", horse_.sire},
                                                                  {"damsire", horse_.damSire}};
        for (const auto& [key, value] : names)
            row += std::string(",\"") + key + "\":" + jsonString(latin1ToUtf8(value));
        const char* const keys[] = {"B", "I", "C", "S", "P", "total", "speed", "stamina", "cd", "di"};
        std::size_t at = 1; // after the leading comma
        for (const char* key : keys) {
            const std::size_t end = std::min(numbers.find(',', at), numbers.size());
            row += std::string(",\"") + key + "\":" + jsonString(numbers.substr(at, end - at));
            at = end + 1;
        }
        if (filter_.repeats)
            row += ",\"repeats\":" + repeatsJson(repeatedSires(lineageViews(horse_)));
        row += "}\n";
        char* room = out.room(row.size());
        std::memcpy(room, row.data(), row.size());
        out.commit(room + row.size());
    }

    const ChefTable& chefs_;
    const RowFilter& filter_;
    std::int64_t rows_ = 0;
    HorseView horse_; // looks into the piece being read
    NumberColumns numbers_;
};

constexpr const char* kOutOfMemory = "there is not enough memory to read the breeding file";

// Reads the pieces on worker threads, each into rows of its own, and writes
// the rows in file order; a bad field ends the output after the rows before it.
class Pipeline {
public:
    Pipeline(RecordChunker& chunker, const ChefTable& chefs, const RowFilter& filter, Out& out)
        : chunker_(chunker), chefs_(chefs), filter_(filter), out_(out)
    {
    }

    int run(std::size_t workers)
    {
        // One a worker, made by the worker: its memory is the worker's own.
        std::vector<std::optional<RowWriter>> writers(pieceWorkersFor(workers));
        std::vector<Piece> pieces(pieceSlotsFor(workers));
        PieceWork work;
        work.where = HandOn::InTurn; // each worker writes its own rows: they stay in its cache
        work.read = [&](const RecordChunk& chunk, std::size_t slot, std::size_t worker) {
            Piece& piece = pieces[slot];
            piece.text.clear();
            piece.error.reset();
            try {
                if (!writers[worker])
                    writers[worker].emplace(chefs_, filter_);
                writers[worker]->append(chunk, chunker_.path(), piece.text);
            } catch (const FileError& e) {
                piece.error = e.what();
            } catch (const std::bad_alloc&) {
                piece.error = kOutOfMemory; // the rows before it are written, then the command ends
            }
        };
        work.handOn = [&](const RecordChunk&, std::size_t slot) {
            const Piece& piece = pieces[slot];
            out_.writeLarge(piece.text.text());
            if (piece.error) {
                fail(*piece.error);
                return false;
            }
            return !out_.failed();
        };
        try {
            readPiecesInOrder(chunker_, workers, work);
        } catch (const FileError& e) { // the file could not be read on
            fail(e.what());
        } catch (const std::bad_alloc&) {
            fail(kOutOfMemory);
        }
        for (const std::optional<RowWriter>& writer : writers)
            rows_ += writer ? writer->rows() : 0;
        return status_;
    }
    std::int64_t rows() const { return rows_; }

private:
    struct alignas(kCacheLineBytes) Piece {
        RowText text;
        std::optional<std::string> error;
    };

    void fail(const std::string& error)
    {
        out_.flush();
        std::fflush(stdout);
        sayError(error);
        status_ = 1;
    }

    RecordChunker& chunker_;
    const ChefTable& chefs_;
    const RowFilter& filter_;
    Out& out_;
    std::int64_t rows_ = 0;
    int status_ = 0;
};

} // namespace

namespace {

// The rows of the horses the filter lets through, in file order; status -1
// when none was written.
int writeRows(const DataFolder& folder, const ChefTable& chefs, const RowFilter& filter)
{
    FilePtr file;
    try {
        file = openInput(folder.breedingFile());
    } catch (const FileError& e) {
        if (e.notOpened())
            std::fprintf(stderr, "%s\n", missingFileText(folder.breedingFile()).c_str());
        else
            sayError(e.what());
        return 2;
    }
    Out out;
    if (!filter.json)
        out.write(filter.repeats ? "id,name,age,sex,sire,damsire,B,I,C,S,P,total,speed,stamina,cd,di,repeats\n"
                                 : "id,name,age,sex,sire,damsire,B,I,C,S,P,total,speed,stamina,cd,di\n");
    RecordChunker chunker(std::move(file), folder.breedingFile());
    Pipeline pipeline(chunker, chefs, filter, out);
    // Past a few threads the pieces come no faster than one thread can cut them.
    const int status = pipeline.run(threadsFor(std::min<std::size_t>(8, chunker.piecesAtMost())));
    if (!out.finish())
        return outputFailed();
    return status == 0 && pipeline.rows() == 0 ? -1 : status;
}

} // namespace

int runProfiles(const DataFolder& folder, const std::string& from, const std::string& to)
{
    RowFilter filter;
    if ((!from.empty() && parseWholeNumber(from, INT32_MIN, INT32_MAX, filter.first) != NumberParse::Ok) ||
        (!to.empty() && parseWholeNumber(to, INT32_MIN, INT32_MAX, filter.last) != NumberParse::Ok)) {
        std::fprintf(stderr, "quindle-cli: --from and --to take a horse identifier\n");
        return 2;
    }
    const auto chefs = startUp(folder);
    if (!chefs)
        return 2;
    const int status = writeRows(folder, *chefs, filter);
    return status < 0 ? 0 : status;
}

int runFoals(const DataFolder& folder, const std::string& sire, bool json, bool averages)
{
    RowFilter filter;
    filter.sire = latin1Argument(sire);
    if (!filter.sire)
        return 2;
    if (filter.sire->empty()) {
        std::fprintf(stderr, "quindle-cli: foals needs the name of a sire\n");
        return 2;
    }
    filter.json = json;
    filter.repeats = true;
    const auto chefs = startUp(folder);
    if (!chefs)
        return 2;
    const int status = writeRows(folder, *chefs, filter);
    if (averages && status == 0) {
        try {
            const std::vector<FoalProfile> foals = foalProfiles(folder.breedingFile(), *chefs, *filter.sire);
            std::fprintf(stderr, "quindle-cli: %s\n", foalsSummary(foals.size(), averagesOf(foals)).c_str());
        } catch (const FileError& e) {
            std::fprintf(stderr, "quindle-cli: %s\n", e.what());
            return 1;
        }
    }
    return status < 0 ? 1 : status;
}

} // namespace quindle::cli
