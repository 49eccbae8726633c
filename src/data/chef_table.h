#pragma once
// The chefs-de-race table as loaded at start-up: rows in file order, and an index
// from a name to the first row that carries it, so a lookup costs one hash probe
// while the first row in file order still wins.
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/input_file.h"
#include "data/records.h"

namespace quindle {

class ChefTable {
public:
    ChefTable() : ChefTable(std::vector<ChefEntry>{}) {}
    explicit ChefTable(std::vector<ChefEntry> rows);

    const std::vector<ChefEntry>& rows() const { return rows_; }
    std::int32_t count() const { return static_cast<std::int32_t>(rows_.size()); }

    // The first row whose name equals `key` exactly, or null. Most names looked
    // up belong to no chef; the filter turns them away here, without a call.
    const ChefEntry* find(std::string_view key) const { return find(probe(key)); }

    // A name with its hash, worked out once for the filter and the lookup.
    struct Probe {
        std::string_view key;
        std::uint64_t hash;
    };
    static Probe probe(std::string_view key) { return {key, nameHash(key)}; }
    // False for most names that are no chef's, true for every chef's name: a
    // check without branches, so that many names can be checked side by side.
    bool mayHold(const Probe& p) const { return passesFilter(p.hash); }
    const ChefEntry* find(const Probe& p) const { return passesFilter(p.hash) ? findIndexed(p.key, p.hash) : nullptr; }
    // The same answer by scanning the rows in order (kept to measure the index against).
    const ChefEntry* findByScan(std::string_view key) const;

private:
    // One hash of a name for the filter and the slots, from its length and its
    // first, middle and last four bytes: fixed-size loads and no loop. Names
    // that differ only elsewhere share a hash, which costs a comparison of the
    // names, never a wrong answer.
    static std::uint64_t nameHash(std::string_view name)
    {
        const char* p = name.data();
        const std::size_t n = name.size();
        std::uint64_t ends = 0, middle = 0;
        if (n >= 4) {
            std::uint32_t first, centre, last;
            std::memcpy(&first, p, 4);
            std::memcpy(&centre, p + n / 2 - 2, 4);
            std::memcpy(&last, p + n - 4, 4);
            ends = first | std::uint64_t{last} << 32;
            middle = centre;
        } else if (n > 0) {
            ends = static_cast<unsigned char>(p[0]) | static_cast<unsigned>(static_cast<unsigned char>(p[n / 2])) << 8 |
                   static_cast<unsigned>(static_cast<unsigned char>(p[n - 1])) << 16;
        }
        // Independent products, worked out side by side, then mixed.
        std::uint64_t h = (ends ^ n * 0x9E3779B97F4A7C15ull) * 0xFF51AFD7ED558CCDull ^
                          (middle + 0x632BE59BD9B4E019ull) * 0xC4CEB9FE1A85EC53ull;
        h ^= h >> 31;
        h *= 0x9E3779B97F4A7C15ull;
        return h ^ h >> 29;
    }
    std::size_t filterBit(std::uint64_t hash) const { return (hash >> 40) & filterMask_; }
    static std::uint32_t slotHash(std::uint64_t hash) { return static_cast<std::uint32_t>(hash >> 16); }
    bool passesFilter(std::uint64_t hash) const { return filter_[filterBit(hash) / 64] >> (filterBit(hash) % 64) & 1; }
    const ChefEntry* findIndexed(std::string_view key, std::uint64_t hash) const;

    // Open addressing over a power-of-two table of row numbers and hash bits,
    // kept small and flat so a probe rarely leaves the cache.
    std::vector<ChefEntry> rows_;
    struct Slot {
        std::int32_t row = -1; // -1: empty
        std::uint32_t hash = 0;
    };
    std::vector<Slot> slots_;
    // One bit per class of names (some bits of the hash), set for the chefs'
    // names: most names looked up belong to no chef, and this turns them away
    // before the slots. About 32 bits a chef: few names slip through, and the
    // filter stays small enough to stay in the fastest cache.
    std::vector<std::uint64_t> filter_;
    std::size_t filterMask_ = 0;
};

// The number of lines of a file that hold at least one character (CR LF, LF and
// CR each end a line); nullopt when the file cannot be opened. A line longer
// than kMaxLineBytes throws FileError naming it.
std::optional<std::int64_t> countNonEmptyLines(const std::string& path);

// Reads `count` rows from an open ChefTable; throws FileError on a bad row.
ChefTable readChefRows(FilePtr file, const std::string& path, std::int64_t count);

} // namespace quindle
