#include "data/chef_table.h"

#include <cstring>

#include "data/field_reader.h"
#include "data/input_file.h"

namespace quindle {

ChefTable::ChefTable(std::vector<ChefEntry> rows) : rows_(std::move(rows))
{
    firstRow_.reserve(rows_.size());
    for (std::int32_t i = 0; i < count(); ++i)
        firstRow_.try_emplace(rows_[static_cast<std::size_t>(i)].name, i); // keeps the first
}

const ChefEntry* ChefTable::find(std::string_view key) const
{
    const auto it = firstRow_.find(key);
    return it == firstRow_.end() ? nullptr : &rows_[static_cast<std::size_t>(it->second)];
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
