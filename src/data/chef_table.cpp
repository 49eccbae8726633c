#include "data/chef_table.h"

#include <cstring>

#include "data/field_reader.h"
#include "data/input_file.h"

namespace quindle {

namespace {
// Eight bytes a step, then mixed well so that similar names spread out.
std::uint32_t hashName(std::string_view name)
{
    std::uint64_t h = 0x9E3779B97F4A7C15ull ^ name.size();
    std::size_t i = 0;
    for (; i + 8 <= name.size(); i += 8) {
        std::uint64_t chunk;
        std::memcpy(&chunk, name.data() + i, 8);
        h = (h ^ chunk) * 0xFF51AFD7ED558CCDull;
        h ^= h >> 32;
    }
    // The last bytes in fixed-size loads (overlapping what came before), which the
    // processor serves far faster than a copy of a variable length.
    const char* p = name.data();
    const std::size_t n = name.size();
    std::uint64_t tail = 0;
    if (n >= 8) {
        std::memcpy(&tail, p + n - 8, 8);
    } else if (n >= 4) {
        std::uint32_t low, high;
        std::memcpy(&low, p, 4);
        std::memcpy(&high, p + n - 4, 4);
        tail = low | std::uint64_t{high} << 32;
    } else if (n > 0) {
        tail = static_cast<unsigned char>(p[0]) | static_cast<unsigned>(static_cast<unsigned char>(p[n / 2])) << 8 |
               static_cast<unsigned>(static_cast<unsigned char>(p[n - 1])) << 16;
    }
    h = (h ^ tail) * 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 29;
    h *= 0xFF51AFD7ED558CCDull;
    return static_cast<std::uint32_t>(h >> 32);
}
constexpr std::size_t kFilterBits = std::size_t{1} << 16;

// Independent products, so they are worked out side by side.
std::size_t filterBit(std::string_view name)
{
    const std::size_t n = name.size();
    if (n == 0)
        return 0;
    const auto first = static_cast<unsigned char>(name[0]), middle = static_cast<unsigned char>(name[n / 2]),
               last = static_cast<unsigned char>(name[n - 1]);
    return (n * 0x9E37u ^ first * 0x85EBu ^ middle * 0xC2B3u ^ last * 0x27D5u) & (kFilterBits - 1);
}
} // namespace

ChefTable::ChefTable(std::vector<ChefEntry> rows) : rows_(std::move(rows))
{
    filter_.assign(kFilterBits / 64, 0);
    for (const ChefEntry& row : rows_) {
        const std::size_t bit = filterBit(row.name);
        filter_[bit / 64] |= std::uint64_t{1} << (bit % 64);
    }
    // At most a quarter full, so a name that is no chef (most names) is
    // usually settled by its first slot.
    std::size_t size = 16;
    while (size < rows_.size() * 4)
        size *= 2;
    slots_.assign(size, -1);
    slotHash_.assign(size, 0);
    for (std::int32_t i = 0; i < count(); ++i) {
        const std::string& name = rows_[static_cast<std::size_t>(i)].name;
        const std::uint32_t h = hashName(name);
        std::size_t slot = h & (size - 1);
        for (; slots_[slot] >= 0; slot = (slot + 1) & (size - 1))
            if (slotHash_[slot] == h && rows_[static_cast<std::size_t>(slots_[slot])].name == name)
                break; // an earlier row has this name: the first one wins
        if (slots_[slot] < 0) {
            slots_[slot] = i;
            slotHash_[slot] = h;
        }
    }
}

const ChefEntry* ChefTable::find(std::string_view key) const
{
    if (slots_.empty())
        return nullptr;
    const std::size_t bit = filterBit(key);
    if (!(filter_[bit / 64] >> (bit % 64) & 1))
        return nullptr;
    const std::size_t mask = slots_.size() - 1;
    const std::uint32_t h = hashName(key);
    for (std::size_t slot = h & mask; slots_[slot] >= 0; slot = (slot + 1) & mask) {
        const ChefEntry& row = rows_[static_cast<std::size_t>(slots_[slot])];
        if (slotHash_[slot] == h && row.name == key)
            return &row;
    }
    return nullptr;
}

const ChefEntry* ChefTable::findByScan(std::string_view key) const
{
    for (const auto& row : rows_)
        if (row.name == key)
            return &row;
    return nullptr;
}

std::optional<std::int64_t> countNonEmptyLines(const std::string& path)
{
    FilePtr file = openForReading(path);
    if (!file)
        return std::nullopt;
    ByteInput in(std::move(file), path);
    std::int64_t count = 0;
    bool lineHasText = false;
    bool lastWasCr = false;
    for (std::string_view block = in.window(); !block.empty(); block = in.window()) {
        for (const char c : block) {
            if (c == '\n' && lastWasCr) {
                lastWasCr = false; // second half of CR LF
                continue;
            }
            lastWasCr = (c == '\r');
            if (c == '\r' || c == '\n') {
                count += lineHasText;
                lineHasText = false;
            } else {
                lineHasText = true;
            }
        }
        in.consume(block.size());
    }
    return count + lineHasText;
}

ChefTable readChefRows(FilePtr file, const std::string& path, std::int64_t count)
{
    FieldReader reader(std::move(file), path);
    std::vector<ChefEntry> rows;
    rows.reserve(static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i)
        rows.push_back(readChefEntry(reader));
    return ChefTable(std::move(rows));
}

} // namespace quindle
