#include "planner/mares_in_batches.h"

#include "dosage/totals_table.h"

#include <array>
#include <charconv>
#include <unordered_map>
#include <utility>
#include <mutex>
#include <new>
#include <optional>

namespace quindle {

namespace {

// A piece's rows with only the numbers and lines they use, and its own text:
// what it holds no longer changes as its worker reads on.
BestMares piecesOwn(const BestMares& part)
{
    BestMares own;
    std::vector<std::int64_t> numberAt(part.numbers.size(), -1), lineAt(part.lines.size(), -1);
    own.rows.reserve(part.rows.size());
    for (MareRow row : part.rows) {
        auto& number = numberAt[row.numbers];
        if (number < 0) {
            number = static_cast<std::int64_t>(own.numbers.size());
            own.numbers.push_back(part.numbers[row.numbers]);
        }
        auto& line = lineAt[row.lines];
        if (line < 0) {
            line = static_cast<std::int64_t>(own.lines.size());
            own.lines.push_back(part.lines[row.lines]);
        }
        row.numbers = static_cast<std::uint32_t>(number);
        row.lines = static_cast<std::uint32_t>(line);
        row.piece = 0;
        own.rows.push_back(row);
    }
    own.texts = part.texts; // the piece's one text, its padding after it
    return own;
}

// The rows so far, each set of numbers and of sire lines kept once.
class RowsSoFar {
public:
    explicit RowsSoFar(BestMares& rows) : rows_(rows) {}

    // Adds a piece's own rows after the rows so far.
    void append(BestMares&& piece)
    {
        std::vector<std::uint32_t> numberAt(piece.numbers.size()), lineAt(piece.lines.size());
        for (std::size_t i = 0; i < piece.numbers.size(); ++i) {
            const auto [number, fresh] = seen_.insert(piece.numbers[i].totals);
            if (fresh)
                rows_.numbers.push_back(std::move(piece.numbers[i]));
            numberAt[i] = number;
        }
        for (std::size_t i = 0; i < piece.lines.size(); ++i) {
            const auto [at, fresh] = lines_.try_emplace(keyOf(piece.lines[i]), rows_.lines.size());
            if (fresh)
                rows_.lines.push_back(piece.lines[i]);
            lineAt[i] = at->second;
        }
        const auto textFrom = static_cast<std::uint32_t>(rows_.texts.size());
        for (std::string& text : piece.texts)
            rows_.texts.push_back(std::move(text));
        for (MareRow row : piece.rows) {
            row.numbers = numberAt[row.numbers];
            row.lines = lineAt[row.lines];
            row.piece += textFrom;
            rows_.rows.push_back(row);
        }
    }

private:
    // The lines' names are views into the sire list or the stallion's record:
    // the same place is the same name.
    using Key = std::array<std::pair<const char*, std::size_t>, 4>;
    static Key keyOf(const std::array<std::string_view, 4>& line)
    {
        Key key;
        for (std::size_t i = 0; i < 4; ++i)
            key[i] = {line[i].data(), line[i].size()};
        return key;
    }
    struct KeyHash {
        std::size_t operator()(const Key& key) const
        {
            std::size_t h = 0;
            for (const auto& [data, size] : key)
                h = h * 1000003u ^ std::hash<const char*>()(data) ^ size;
            return h;
        }
    };

    BestMares& rows_;
    TotalsTable seen_;
    std::unordered_map<Key, std::uint32_t, KeyHash> lines_;
};

} // namespace

MaresBatch bestMaresInBatches(const std::string& path, std::shared_ptr<const SireIndex> sires,
                              const std::string& stallion, std::shared_ptr<const RecordStallion> fromFile,
                              const ChefTable& chefs, const std::vector<std::int32_t>* only, const MaresQuery& query,
                              const std::function<void(MaresBatch)>& grown)
{
    BestMares sofar;
    sofar.stallion = fromFile ? fromFile->name : stallion;
    sofar.fromFile = fromFile;
    sofar.sires = sires;
    // Each piece is made its own on the worker that read it; the text the
    // sink hands on in file order names it by its place here.
    std::mutex mutex;
    std::vector<std::optional<BestMares>> pieces;
    RowsSoFar rowsSoFar(sofar);
    bool outOfMemory = false;
    std::size_t handOnAt = 1; // rows: the first piece with any, then four times as many as last time
    MaresSink sink;
    sink.format = [&](const BestMares& part) {
        BestMares own = piecesOwn(part);
        const std::lock_guard lock(mutex);
        pieces.emplace_back(std::move(own));
        return std::to_string(pieces.size() - 1);
    };
    sink.write = [&](std::string_view text) {
        if (text.empty()) // the piece could not be made its own (no memory): its fault ends the reading
            return true;
        std::size_t number = 0;
        std::from_chars(text.data(), text.data() + text.size(), number);
        BestMares piece;
        {
            const std::lock_guard lock(mutex);
            piece = std::move(*pieces[number]);
            pieces[number].reset();
        }
        try {
            rowsSoFar.append(std::move(piece));
            if (sofar.rows.size() >= handOnAt) {
                auto copy = std::make_shared<const BestMares>(sofar);
                std::vector<std::uint32_t> shown = selectMares(*copy, query);
                grown({std::move(copy), std::move(shown)});
                handOnAt = 4 * sofar.rows.size();
            }
        } catch (const std::bad_alloc&) {
            outOfMemory = true; // the rows before this piece are kept; reading stops
            return false;
        }
        return true;
    };
    const BestMares ended = fromFile ? bestMares(path, sires, fromFile, chefs, only, 0, sink)
                                     : bestMares(path, sires, stallion, chefs, only, 0, sink);
    sofar.error = outOfMemory ? "there is not enough memory to rank every mare" : ended.error;
    auto whole = std::make_shared<const BestMares>(std::move(sofar));
    std::vector<std::uint32_t> shown = selectMares(*whole, query);
    return {std::move(whole), std::move(shown)};
}

} // namespace quindle
