#pragma once
// The chefs-de-race table as loaded at start-up: rows in file order, and an index
// from a name to the first row that carries it, so a lookup costs one hash probe
// while the first row in file order still wins.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/input_file.h"
#include "data/records.h"

namespace quindle {

class ChefTable {
public:
    ChefTable() = default;
    explicit ChefTable(std::vector<ChefEntry> rows);

    const std::vector<ChefEntry>& rows() const { return rows_; }
    std::int32_t count() const { return static_cast<std::int32_t>(rows_.size()); }

    // The first row whose name equals `key` exactly, or null.
    const ChefEntry* find(std::string_view key) const;
    // The same answer by scanning the rows in order (kept to measure the index against).
    const ChefEntry* findByScan(std::string_view key) const;

private:
    // Open addressing over a power-of-two table of row numbers (-1 = empty slot),
    // kept small and flat so a probe rarely leaves the cache.
    std::vector<ChefEntry> rows_;
    std::vector<std::int32_t> slots_;
    std::vector<std::uint32_t> slotHash_;
    // One bit per class of names (length and three of its bytes), set for the
    // chefs' names: most names looked up belong to no chef, and this turns them
    // away before the hash.
    std::vector<std::uint64_t> filter_;
};

// The number of lines of a file that hold at least one character (CR LF, LF and
// CR each end a line); nullopt when the file cannot be opened.
std::optional<std::int64_t> countNonEmptyLines(const std::string& path);

// Reads `count` rows from an open ChefTable; throws FileError on a bad row.
ChefTable readChefRows(FilePtr file, const std::string& path, std::int64_t count);

} // namespace quindle
