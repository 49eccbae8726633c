#include "data/chef_table.h"

#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/input_file.h"

namespace quindle {

ChefTable::ChefTable(std::vector<ChefEntry> rows) : rows_(std::move(rows))
{
    std::size_t filterBits = 1024;
    while (filterBits < rows_.size() * 32 && filterBits < (std::size_t{1} << 24))
        filterBits *= 2;
    filter_.assign(filterBits / 64, 0);
    filterMask_ = filterBits - 1;
    // At most a quarter full, so a name that is no chef (most names) is
    // usually settled by its first slot.
    std::size_t size = 16;
    while (size < rows_.size() * 4)
        size *= 2;
    slots_.assign(size, Slot{});
    for (std::int32_t i = 0; i < count(); ++i) {
        const std::string& name = rows_[static_cast<std::size_t>(i)].name;
        const std::uint64_t hash = nameHash(name);
        filter_[filterBit(hash) / 64] |= std::uint64_t{1} << (filterBit(hash) % 64);
        const auto h = slotHash(hash);
        std::size_t slot = hash & (size - 1);
        for (; slots_[slot].row >= 0; slot = (slot + 1) & (size - 1))
            if (slots_[slot].hash == h && rows_[static_cast<std::size_t>(slots_[slot].row)].name == name)
                break; // an earlier row has this name: the first one wins
        if (slots_[slot].row < 0)
            slots_[slot] = {i, h};
    }
}

const ChefEntry* ChefTable::findIndexed(std::string_view key, std::uint64_t hash) const
{
    const std::size_t mask = slots_.size() - 1;
    const auto h = slotHash(hash);
    for (std::size_t slot = hash & mask; slots_[slot].row >= 0; slot = (slot + 1) & mask) {
        if (slots_[slot].hash != h)
            continue;
        const ChefEntry& row = rows_[static_cast<std::size_t>(slots_[slot].row)];
        if (row.name == key)
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
    FilePtr file;
    try {
        file = openInput(path);
    } catch (const FileError& e) {
        if (!e.notOpened())
            throw;
        return std::nullopt;
    }
    return countLinesWithText(file.get(), path);
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
