#pragma once
// The name index read back: the two files the split writes beside the buckets
// (data/name_index_file.h). An index is never trusted: any file that is
// missing, cut short, out of shape or made from another breeding file is made
// again from the breeding file.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/data_folder.h"

namespace quindle {

// One horse as the index holds it.
struct IndexedHorse {
    std::int32_t id = 0;
    std::string_view name, age, sex, sire, damSire;
};

class NameIndex {
public:
    std::size_t size() const { return horseStart_.size(); }
    // Horse `i` of the file (0-based).
    std::string_view name(std::size_t i) const
    {
        return {names_.data() + nameStart_[i], nameStart_[i + 1] - nameStart_[i] - 1};
    }
    IndexedHorse horse(std::size_t i) const;
    // Only its Sire, for a pass over every horse.
    std::string_view sire(std::size_t i) const;
    // The names one a line, for a sweep; nameStart(i) is where horse i's begins.
    std::string_view names() const { return names_; }
    std::uint32_t nameStart(std::size_t i) const { return nameStart_[i]; }
    // Bytes held, for the figures of the search's memory.
    std::size_t bytes() const;

private:
    friend std::optional<NameIndex> readNameIndex(const DataFolder& folder, const std::string& stampText);
    std::string names_, horses_;
    std::vector<std::uint32_t> nameStart_; // one more than there are horses
    // Where each horse's identifier begins in horses_: read again when asked
    // for, which spares the memory of keeping them apart.
    std::vector<std::uint32_t> horseStart_;
};

// The index made from the breeding file of this stamp; nullopt when either file
// is missing, unreadable, cut short, out of shape or of another stamp.
std::optional<NameIndex> readNameIndex(const DataFolder& folder, const std::string& stampText);

// Cuts the breeding file again (buckets and index, under the bucket folder's
// lock); throws FileError. The search never cuts by itself: whoever holds the
// data folder says how (start-up's cutAgain, say).
using CutAgain = std::function<void()>;

// The index of the data folder's breeding file as it is now: read, or when it
// cannot be used, cut again by `cutAgain` and the new index read. Throws
// FileError when the breeding file is missing or bad, or no usable index can be
// made.
NameIndex loadNameIndex(const DataFolder& folder, const CutAgain& cutAgain);

} // namespace quindle
