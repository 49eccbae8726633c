#include "planner/best_mares.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "boxes/mating.h"
#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/fold_case.h"
#include "data/record_chunks.h"
#include "data/records.h"
#include "lookup/horse_lookup.h"

namespace quindle {

namespace {

struct TotalsHash {
    std::size_t operator()(const GroupTotals& t) const
    {
        std::uint64_t h = 0;
        for (const std::int32_t v : t)
            h = (h ^ static_cast<std::uint32_t>(v)) * 0x9E3779B97F4A7C15ull;
        return static_cast<std::size_t>(h ^ h >> 32);
    }
};

struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
};

// What one worker has met: the sets of totals and of sire lines, which its
// rows point into until the workers' lists are joined.
struct Worker {
    std::unordered_map<GroupTotals, std::uint32_t, TotalsHash> seenTotals;
    std::vector<PlanNumbers> numbers;
    // The scan's answer for the stallion and a mare's Sire, and which lines it gives.
    struct Scanned {
        SireLineViews answer;
        std::uint32_t lines = 0;
    };
    std::unordered_map<std::string, Scanned, NameHash, std::equal_to<>> scans;
    std::vector<std::array<std::string_view, 4>> lines;
};

// The rows of one piece of the file.
struct Piece {
    std::string text;
    std::vector<MareRow> rows;
    std::size_t worker = 0;
    std::string error;
};

class MareReader {
public:
    MareReader(const SireIndex& sires, std::string_view stallion, const ChefTable& chefs,
               const std::vector<std::int32_t>* only, Worker& worker)
        : sires_(sires), stallion_(sires.find(stallion)), chefs_(chefs), only_(only), worker_(worker)
    {
    }

    void read(const RecordChunk& chunk, const std::string& path, Piece& piece)
    {
        FieldReader reader(chunk.bytes(), path, chunk.firstLine());
        while (!reader.atEnd()) {
            readHorseRecord(reader, horse_);
            if ((horse_.sex != "Mare" && horse_.sex != "Filly") ||
                (only_ && !std::binary_search(only_->begin(), only_->end(), horse_.id)))
                continue;
            add(piece);
        }
    }

private:
    void add(Piece& piece)
    {
        // A freshly started window holds no lineage; the submission fills it.
        AncestorViews lineage{};
        std::uint32_t lines = 0;
        mateLineage(
            lineage, std::array<std::string_view, 3>{stallion_.name, horse_.sire, horse_.damSire},
            [&](std::string_view sire, std::string_view damSire) { return scan(sire, damSire, lineage, lines); });
        const GroupTotals totals = groupTotalsOfViews(lineage, chefs_);
        const auto [at, fresh] =
            worker_.seenTotals.try_emplace(totals, static_cast<std::uint32_t>(worker_.numbers.size()));
        if (fresh)
            worker_.numbers.push_back(planNumbersOf(totals));

        MareRow row;
        row.id = horse_.id;
        std::int64_t age = 0;
        if (parseWholeNumber(horse_.age, INT32_MIN, INT32_MAX, age) == NumberParse::Ok)
            row.age = static_cast<std::int32_t>(age);
        row.numbers = at->second;
        row.lines = lines;
        row.text = piece.text.size();
        const std::string_view texts[] = {horse_.name, horse_.age, horse_.sex, horse_.sire, horse_.damSire};
        for (std::size_t i = 0; i < std::size(texts); ++i) {
            row.sizes[i] = static_cast<std::uint32_t>(texts[i].size());
            piece.text.append(texts[i]);
        }
        piece.rows.push_back(row);
    }

    // The list's answer for the stallion and her Sire, asked once per Sire.
    SireLineViews scan(std::string_view sire, std::string_view damSire, const AncestorViews& lineage,
                       std::uint32_t& lines)
    {
        auto found = worker_.scans.find(damSire);
        if (found == worker_.scans.end()) {
            Worker::Scanned scanned;
            scanned.answer = sires_.scan(sire == stallion_.name ? stallion_ : sires_.find(sire), sires_.find(damSire));
            // The lines this answer puts into an empty lineage, as mateLineage does.
            AncestorViews filled = lineage;
            mateLineage(filled, std::array<std::string_view, 3>{}, [&](auto, auto) { return scanned.answer; });
            scanned.lines = static_cast<std::uint32_t>(worker_.lines.size());
            worker_.lines.push_back({filled[1], filled[3], filled[4], filled[5]});
            found = worker_.scans.emplace(std::string(damSire), std::move(scanned)).first;
        }
        lines = found->second.lines;
        return found->second.answer;
    }

    const SireIndex& sires_;
    const SireIndex::Listed stallion_;
    const ChefTable& chefs_;
    const std::vector<std::int32_t>* only_;
    Worker& worker_;
    HorseView horse_;
};

double sortKey(double value) { return std::isnan(value) ? -std::numeric_limits<double>::infinity() : value; }

} // namespace

std::string_view BestMares::textOf(const MareRow& row, MareText which) const
{
    std::uint64_t at = row.text;
    for (int i = 0; i < static_cast<int>(which); ++i)
        at += row.sizes[static_cast<std::size_t>(i)];
    return {text.data() + at, row.sizes[static_cast<std::size_t>(which)]};
}

AncestorViews BestMares::lineage(const MareRow& row) const
{
    const auto& l = lines[row.lines];
    return {stallion, l[0], textOf(row, MareText::DamSire), l[1], l[2], l[3], textOf(row, MareText::DamDamSire)};
}

std::string_view BestMares::numberText(const MareRow& row, MareColumn column) const
{
    const int c = static_cast<int>(column) - kMareTextColumns + kPlanNameColumns;
    return planNumberText(numbersOf(row), static_cast<PlanColumn>(c));
}

BestMares bestMares(const std::string& path, std::shared_ptr<const SireIndex> sires, const std::string& stallion,
                    const ChefTable& chefs, const std::vector<std::int32_t>* only, unsigned workers)
{
    FilePtr file = openForReading(path);
    if (!file)
        throw FileError(path, 0, "cannot be opened");
    RecordChunker chunker(std::move(file), path);
    if (workers == 0) // past a few threads the pieces come no faster than one thread cuts them
        workers = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);

    BestMares out;
    out.stallion = stallion;
    out.sires = std::move(sires);
    std::vector<Worker> state(workers);
    std::vector<Piece> pieces;
    std::mutex mutex;
    bool done = false;
    auto work = [&](std::size_t w) {
        MareReader reader(*out.sires, out.stallion, chefs, only, state[w]);
        RecordChunk chunk;
        for (;;) {
            Piece piece;
            piece.worker = w;
            std::size_t number = 0;
            {
                const std::lock_guard lock(mutex);
                if (done)
                    return;
                try {
                    done = !chunker.next(chunk);
                } catch (const FileError& e) {
                    done = true;
                    piece.error = e.what();
                }
                if (done && piece.error.empty())
                    return;
                number = pieces.size();
                pieces.emplace_back();
            }
            if (piece.error.empty()) {
                try {
                    reader.read(chunk, chunker.path(), piece);
                } catch (const FileError& e) {
                    piece.error = e.what();
                }
            }
            const std::lock_guard lock(mutex);
            pieces[number] = std::move(piece);
        }
    };
    std::vector<std::thread> threads;
    for (std::size_t w = 1; w < workers; ++w)
        threads.emplace_back(work, w);
    work(0);
    for (auto& thread : threads)
        thread.join();

    // One list of numbers and of lines, then the rows in file order up to the first fault.
    std::vector<std::uint32_t> numbersFrom(workers), linesFrom(workers);
    for (std::size_t w = 0; w < workers; ++w) {
        numbersFrom[w] = static_cast<std::uint32_t>(out.numbers.size());
        linesFrom[w] = static_cast<std::uint32_t>(out.lines.size());
        out.numbers.insert(out.numbers.end(), std::make_move_iterator(state[w].numbers.begin()),
                           std::make_move_iterator(state[w].numbers.end()));
        out.lines.insert(out.lines.end(), state[w].lines.begin(), state[w].lines.end());
    }
    std::size_t rows = 0, bytes = 0;
    for (const Piece& piece : pieces) {
        rows += piece.rows.size();
        bytes += piece.text.size();
    }
    out.rows.reserve(rows);
    out.text.reserve(bytes + RecordChunk::kPadding);
    for (const Piece& piece : pieces) {
        for (MareRow row : piece.rows) {
            row.text += out.text.size();
            row.numbers += numbersFrom[piece.worker];
            row.lines += linesFrom[piece.worker];
            out.rows.push_back(row);
        }
        out.text += piece.text;
        if (!piece.error.empty()) {
            out.error = piece.error;
            break;
        }
    }
    // Names are copied out in whole blocks: the last may look past its end.
    out.text.append(RecordChunk::kPadding, '\0');
    return out;
}

std::vector<std::uint32_t> selectMares(const BestMares& mares, const MaresQuery& query)
{
    const auto& rows = mares.rows;
    const auto value = [&](const MareRow& row, MareColumn column) {
        return mares.numbersOf(row).values[static_cast<std::size_t>(column) - kMareTextColumns];
    };
    std::vector<std::uint32_t> shown;
    shown.reserve(rows.size());
    for (std::uint32_t i = 0; i < rows.size(); ++i) {
        const MareRow& row = rows[i];
        if ((query.minAge && !(row.age && *row.age >= *query.minAge)) ||
            (query.maxAge && !(row.age && *row.age <= *query.maxAge)))
            continue;
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
            const auto key = [&](const MareRow& row) -> double {
                if (column == MareColumn::Id)
                    return row.id;
                if (column == MareColumn::Age)
                    return row.age ? *row.age : -std::numeric_limits<double>::infinity();
                return sortKey(value(row, column));
            };
            std::vector<std::pair<double, std::uint32_t>> keyed(shown.size());
            for (std::size_t i = 0; i < shown.size(); ++i)
                keyed[i] = {key(rows[shown[i]]), shown[i]};
            std::stable_sort(keyed.begin(), keyed.end(), [down](const auto& a, const auto& b) {
                return down ? b.first < a.first : a.first < b.first;
            });
            for (std::size_t i = 0; i < shown.size(); ++i)
                shown[i] = keyed[i].second;
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
