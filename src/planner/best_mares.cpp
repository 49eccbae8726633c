#include "planner/best_mares.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <thread>

#include "main_state/mating.h"
#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/fold_case.h"
#include "data/pieces_in_order.h"
#include "data/record_chunks.h"
#include "data/records.h"
#include "dosage/number_order.h"
#include "dosage/totals_table.h"
#include "lookup/horse_lookup.h"

namespace quindle {

namespace {

// What one worker has met: the sets of totals and of sire lines, which its
// rows point into until the workers' lists are joined.
struct alignas(kCacheLineBytes) Worker {
    std::vector<PlanNumbers> numbers;
    TotalsTable seen; // numbers the sets of totals in `numbers`' order

    // What the sire list answers for the stallion and a mare's Sire: which
    // lines it gives, and the points of the foal's names that follow from the
    // two alone (all but her Sire and Dam-Sire), scored once.
    struct Scanned {
        std::uint32_t lines = 0;
        GroupTotals points{};
        bool sireScored = false; // her Sire's points are in `points` too: a blank or listed name is one name
    };
    std::vector<Scanned> scans;
    // By the mare's Sire: 0 blank, 1 a name the list does not hold, else 2 and
    // the name's number in the list. The scan of the list sees nothing else of
    // the name, so equal keys get equal answers. -1: not scanned yet.
    std::vector<std::int32_t> scanOfKey;
    std::vector<std::array<std::string_view, 4>> lines;

    std::uint32_t numbersOf(const GroupTotals& totals)
    {
        const auto [number, fresh] = seen.insert(totals);
        if (fresh)
            numbers.push_back(planNumbersOf(totals));
        return number;
    }
};

// The rows of one piece of the file.
struct alignas(kCacheLineBytes) Piece {
    std::string text;
    std::vector<MareRow> rows;
    std::size_t worker = 0;
    std::string error;
    std::string formatted; // what the sink made of the rows
};

constexpr const char* kNoMemory = "there is not enough memory to rank every mare";

class alignas(kCacheLineBytes) MareReader {
public:
    MareReader(const SireIndex& sires, std::string_view stallion, const RecordStallion* fromFile,
               const ChefTable& chefs, const std::vector<std::int32_t>* only, Worker& worker)
        : sires_(sires),
          stallion_(fromFile ? SireIndex::Listed{} : sires.find(stallion)),
          fromFile_(fromFile),
          chefs_(chefs),
          only_(only),
          worker_(worker)
    {
    }

    void read(const RecordChunk& chunk, const std::string& path, Piece& piece)
    {
        // About one horse in two is a filly or mare, each some 200 bytes, 40 of them kept.
        piece.rows.reserve(chunk.bytes().size() / 300);
        piece.text.reserve(chunk.bytes().size() / 8);
        FieldReader reader(chunk.bytes(), path, chunk.firstLine());
        while (!reader.atEnd()) {
            readHorseRecord(reader, horse_);
            if (!canBePlannedAsMare(horse_.sex) ||
                (only_ && !std::binary_search(only_->begin(), only_->end(), horse_.id)))
                continue;
            add(piece);
        }
    }

private:
    // Positions in the foal's lineage (AncestorViews order).
    enum Position { Sire, SireSire, DamSire, SireSireSire, SireDamSire, DamSireSire, DamDamSire };

    void add(Piece& piece)
    {
        // Her Sire is the foal's Dam-Sire, her Dam-Sire its Dam's Dam-Sire.
        const Worker::Scanned& scanned = scanOf(horse_.sire, horse_.damSire);
        GroupTotals totals = scanned.points;
        if (!scanned.sireScored)
            addPointsAt(totals, horse_.sire, DamSire, chefs_);
        addPointsAt(totals, horse_.damSire, DamDamSire, chefs_);

        MareRow row;
        row.id = horse_.id;
        row.numbers = worker_.numbersOf(totals);
        row.lines = scanned.lines;
        row.text = static_cast<std::uint32_t>(piece.text.size());
        const std::string_view texts[] = {horse_.name, horse_.age, horse_.sex, horse_.sire, horse_.damSire};
        for (std::size_t i = 0; i < std::size(texts); ++i) {
            row.sizes[i] = static_cast<std::uint32_t>(texts[i].size());
            piece.text.append(texts[i]);
        }
        piece.rows.push_back(row);
    }

    // The list's answer for the stallion and her Sire, asked once per Sire.
    const Worker::Scanned& scanOf(std::string_view sire, std::string_view damSire)
    {
        const SireIndex::Listed listed = sires_.find(sire);
        const std::size_t key = sire.empty() ? 0
                                : !listed.entries
                                    ? 1
                                    : 2 + static_cast<std::size_t>(listed.entries - sires_.stallion(0).entries);
        if (worker_.scanOfKey.empty())
            worker_.scanOfKey.assign(sires_.stallions().size() + 2, -1);
        if (worker_.scanOfKey[key] < 0)
            worker_.scanOfKey[key] = answer(listed, damSire);
        return worker_.scans[static_cast<std::size_t>(worker_.scanOfKey[key])];
    }

    // Submits the mating to an empty lineage, as a freshly started window
    // holds, and keeps what follows from the stallion and her Sire; returns
    // its place in the worker's list.
    std::int32_t answer(const SireIndex::Listed& sire, std::string_view damSire)
    {
        AncestorViews lineage{};
        if (fromFile_) // the Sire is settled by his record: the scan looks for her Sire alone
            mateStallionLineage(lineage, *fromFile_, std::array<std::string_view, 2>{sire.name, damSire},
                                [&](std::string_view, std::string_view) { return sires_.scan({}, sire); });
        else
            mateLineage(lineage, std::array<std::string_view, 3>{stallion_.name, sire.name, damSire},
                        [&](std::string_view, std::string_view) { return sires_.scan(stallion_, sire); });
        Worker::Scanned scanned;
        scanned.lines = static_cast<std::uint32_t>(worker_.lines.size());
        worker_.lines.push_back({lineage[SireSire], lineage[SireSireSire], lineage[SireDamSire], lineage[DamSireSire]});
        for (const Position p : {Sire, SireSire, SireSireSire, SireDamSire, DamSireSire})
            addPointsAt(scanned.points, lineage[p], p, chefs_);
        if ((scanned.sireScored = sire.name.empty() || sire.entries))
            addPointsAt(scanned.points, lineage[DamSire], DamSire, chefs_);
        worker_.scans.push_back(scanned);
        return static_cast<std::int32_t>(worker_.scans.size() - 1);
    }

    const SireIndex& sires_;
    const SireIndex::Listed stallion_;
    const RecordStallion* fromFile_;
    const ChefTable& chefs_;
    const std::vector<std::int32_t>* only_;
    Worker& worker_;
    HorseView horse_;
};

} // namespace

std::string_view BestMares::textOf(const MareRow& row, MareText which) const
{
    std::size_t at = row.text;
    for (int i = 0; i < static_cast<int>(which); ++i)
        at += row.sizes[static_cast<std::size_t>(i)];
    return {texts[row.piece].data() + at, row.sizes[static_cast<std::size_t>(which)]};
}

std::optional<std::int32_t> BestMares::age(const MareRow& row) const
{
    std::int64_t age = 0;
    if (parseWholeNumber(textOf(row, MareText::Age), INT32_MIN, INT32_MAX, age) != NumberParse::Ok)
        return std::nullopt;
    return static_cast<std::int32_t>(age);
}

AncestorViews BestMares::lineage(const MareRow& row) const
{
    const auto& l = lines[row.lines];
    const char* damSire = texts[row.piece].data() + row.text + row.sizes[0] + row.sizes[1] + row.sizes[2];
    return {stallion, l[0], {damSire, row.sizes[3]}, l[1], l[2], l[3], {damSire + row.sizes[3], row.sizes[4]}};
}

std::string_view BestMares::numberText(const MareRow& row, MareColumn column) const
{
    const int c = static_cast<int>(column) - kMareTextColumns + kPlanNameColumns;
    return planNumberText(numbersOf(row), static_cast<PlanColumn>(c));
}

namespace {

std::string formatPiece(const BestMares& out, Worker& state, Piece& piece, const MaresSink& sink);
void gatherPieces(BestMares& out, std::vector<Worker>& state, std::vector<Piece>& pieces);

BestMares rankMares(const std::string& path, std::shared_ptr<const SireIndex> sires, const std::string& stallion,
                    std::shared_ptr<const RecordStallion> fromFile, const ChefTable& chefs,
                    const std::vector<std::int32_t>* only, unsigned workers, const MaresSink& sink)
{
    FilePtr file = openInput(path);
    RecordChunker chunker(std::move(file), path);
    if (workers == 0) // past a few threads the pieces come no faster than one thread cuts them
        workers = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);

    BestMares out;
    out.stallion = stallion;
    out.fromFile = std::move(fromFile);
    out.sires = std::move(sires);
    std::vector<Worker> state(pieceWorkersFor(workers));
    std::vector<MareReader> readers;
    readers.reserve(state.size());
    for (Worker& worker : state)
        readers.emplace_back(*out.sires, out.stallion, out.fromFile.get(), chefs, only, worker);
    std::vector<Piece> slots(pieceSlotsFor(workers));
    std::vector<Piece> pieces; // every piece, in file order, when there is no sink
    PieceWork work;
    work.where = HandOn::InTurn; // each worker's piece stays in its cache until handed on
    work.read = [&](const RecordChunk& chunk, std::size_t slot, std::size_t w) {
        Piece& piece = slots[slot];
        piece = Piece();
        piece.worker = w;
        try {
            readers[w].read(chunk, chunker.path(), piece);
        } catch (const FileError& e) {
            piece.error = e.what();
        } catch (const std::bad_alloc&) {
            piece.error = kNoMemory;
        }
        // The piece is made into text on its worker, beside the others; only
        // the handing on waits for the pieces before it.
        if (sink)
            piece.formatted = formatPiece(out, state[w], piece, sink);
    };
    work.handOn = [&](const RecordChunk&, std::size_t slot) {
        Piece& piece = slots[slot];
        const bool fault = !piece.error.empty();
        if (sink) {
            const bool written = sink.write(piece.formatted);
            if (fault)
                out.error = piece.error;
            return written && !fault;
        }
        pieces.push_back(std::move(piece));
        return !fault;
    };
    try {
        readPiecesInOrder(chunker, workers, work);
    } catch (const FileError& e) { // the file could not be read on: the rows before it are kept
        out.error = e.what();
    } catch (const std::bad_alloc&) {
        out.error = kNoMemory;
    }

    if (!sink)
        gatherPieces(out, state, pieces);
    return out;
}

// A piece's rows made into text by the sink, with the lists of the worker that read it.
std::string formatPiece(const BestMares& out, Worker& state, Piece& piece, const MaresSink& sink)
{
    // The worker's own lists go with the piece: only this worker adds to them.
    BestMares part;
    part.stallion = out.stallion;
    part.fromFile = out.fromFile;
    part.sires = out.sires;
    part.numbers.swap(state.numbers);
    part.lines.swap(state.lines);
    part.rows.swap(piece.rows);
    piece.text.append(RecordChunk::kPadding, '\0');
    part.texts.push_back(std::move(piece.text));
    part.error = piece.error;
    std::string text;
    try {
        text = sink.format(part);
    } catch (const std::bad_alloc&) {
        piece.error = kNoMemory; // handed on all the same: the pieces after it wait for it
    }
    state.numbers.swap(part.numbers);
    state.lines.swap(part.lines);
    return text;
}

// One list of numbers and of lines, then the rows in file order up to the first fault.
void gatherPieces(BestMares& out, std::vector<Worker>& state, std::vector<Piece>& pieces)
{
    const std::size_t workers = state.size();
    std::vector<std::uint32_t> numbersFrom(workers), linesFrom(workers);
    for (std::size_t w = 0; w < workers; ++w) {
        numbersFrom[w] = static_cast<std::uint32_t>(out.numbers.size());
        linesFrom[w] = static_cast<std::uint32_t>(out.lines.size());
        out.numbers.insert(out.numbers.end(), std::make_move_iterator(state[w].numbers.begin()),
                           std::make_move_iterator(state[w].numbers.end()));
        out.lines.insert(out.lines.end(), state[w].lines.begin(), state[w].lines.end());
    }
    std::size_t rows = 0;
    for (const Piece& piece : pieces)
        rows += piece.rows.size();
    out.rows.reserve(rows);
    out.texts.reserve(pieces.size());
    for (Piece& piece : pieces) {
        const auto number = static_cast<std::uint32_t>(out.texts.size());
        for (MareRow row : piece.rows) {
            row.piece = number;
            row.numbers += numbersFrom[piece.worker];
            row.lines += linesFrom[piece.worker];
            out.rows.push_back(row);
        }
        std::vector<MareRow>().swap(piece.rows); // freed as they are copied: memory stays near one copy
        // Texts are copied out in whole blocks: the last may look past its end.
        piece.text.append(RecordChunk::kPadding, '\0');
        out.texts.push_back(std::move(piece.text));
        if (!piece.error.empty()) {
            out.error = piece.error;
            break;
        }
    }
}

} // namespace

BestMares bestMares(const std::string& path, std::shared_ptr<const SireIndex> sires, const std::string& stallion,
                    const ChefTable& chefs, const std::vector<std::int32_t>* only, unsigned workers,
                    const MaresSink& sink)
{
    return rankMares(path, std::move(sires), stallion, nullptr, chefs, only, workers, sink);
}

BestMares bestMares(const std::string& path, std::shared_ptr<const SireIndex> sires,
                    std::shared_ptr<const RecordStallion> stallion, const ChefTable& chefs,
                    const std::vector<std::int32_t>* only, unsigned workers, const MaresSink& sink)
{
    const std::string name = stallion->name;
    return rankMares(path, std::move(sires), name, std::move(stallion), chefs, only, workers, sink);
}

std::vector<std::uint32_t> selectMares(const BestMares& mares, const MaresQuery& query)
{
    const auto& rows = mares.rows;
    const auto value = [&](const MareRow& row, MareColumn column) {
        return summaryNumber(mares.numbersOf(row).summary,
                             static_cast<SummaryColumn>(static_cast<int>(column) - kMareTextColumns))
            .value;
    };
    std::vector<std::uint32_t> shown;
    shown.reserve(rows.size());
    for (std::uint32_t i = 0; i < rows.size(); ++i) {
        const MareRow& row = rows[i];
        if (query.minAge || query.maxAge) {
            const auto age = mares.age(row);
            if ((query.minAge && !(age && *age >= *query.minAge)) || (query.maxAge && !(age && *age <= *query.maxAge)))
                continue;
        }
        if (query.di && !query.di->holds(value(row, MareColumn::Di)))
            continue;
        if (query.cd && !query.cd->holds(value(row, MareColumn::Cd)))
            continue;
        if (query.minTotal && !(value(row, MareColumn::Total) >= *query.minTotal))
            continue;
        shown.push_back(i);
    }
    if (query.sortBy) {
        const MareColumn column = *query.sortBy;
        const bool down = query.descending;
        if (column == MareColumn::Id || column == MareColumn::Age || static_cast<int>(column) >= kMareTextColumns) {
            // A missing age sorts as a missing number does.
            const auto number = [&](std::uint32_t i) -> double {
                const MareRow& row = rows[i];
                if (column == MareColumn::Id)
                    return row.id;
                if (column == MareColumn::Age) {
                    const auto age = mares.age(row);
                    return age ? *age : std::numeric_limits<double>::quiet_NaN();
                }
                return value(row, column);
            };
            sortRowsByNumber(shown, number, down);
        } else {
            const auto which = static_cast<MareText>(static_cast<int>(column) - 1);
            const auto text = [&](std::uint32_t i) { return mares.textOf(rows[i], which); };
            std::stable_sort(shown.begin(), shown.end(), [&](std::uint32_t a, std::uint32_t b) {
                return down ? text(b) < text(a) : text(a) < text(b);
            });
        }
    }
    if (query.top && shown.size() > *query.top)
        shown.resize(*query.top);
    return shown;
}

std::optional<MareColumn> parseMareColumn(std::string_view key)
{
    for (int c = 0; c < kMareColumns; ++c)
        if (equalFolded(kMareColumnKeys[static_cast<std::size_t>(c)], key))
            return static_cast<MareColumn>(c);
    return std::nullopt;
}

} // namespace quindle
