#pragma once
// The name index: what a search by name needs of every horse, made by the split
// in the same pass that cuts the buckets, so no search reads the breeding file.
// Two files beside the buckets, each a first line "QUINDLE INDEX 2", a second
// line with the stamp of the breeding file it was made from, the body, and a
// last line "END", the number of horses, the number of bytes before that line
// and their checksum (16 hexadecimal digits), so a damaged body is never used:
//   index.names   the horses' names, one a line, in file order (a search
//                 sweeps them without looking at anything else)
//   index.horses  identifier, age, sex, Sire and Dam-Sire, one a line
// No field of the breeding file holds a line end, so lines are enough. An
// index is never trusted: any file that is missing, cut short, out of shape
// or made from another breeding file is made again from the breeding file.
#include <charconv>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/checksum.h"
#include "data/data_folder.h"
#include "data/records.h"
#include "data/replacing_file.h"

namespace quindle {

// Writes the index as the split reads the horses, a block at a time, so the
// split's memory stays flat. Nothing replaces the old index before commit().
class NameIndexWriter {
public:
    NameIndexWriter(const DataFolder& folder, const std::string& stampText);
    void add(const HorseView& horse)
    {
        names_.text.append(horse.name).push_back('\n');
        std::string& h = horses_.text;
        char id[12];
        h.append(id, static_cast<std::size_t>(std::to_chars(id, id + sizeof id, horse.id).ptr - id)).push_back('\n');
        h.append(horse.age).push_back('\n');
        h.append(horse.sex).push_back('\n');
        h.append(horse.sire).push_back('\n');
        h.append(horse.damSire).push_back('\n');
        ++count_;
        if (h.size() >= kBlock)
            flush();
    }
    void commit(); // throws FileError

private:
    static constexpr std::size_t kBlock = std::size_t{1} << 16;
    struct Output {
        ReplacingFile file;
        std::string text;
        Checksum sum; // of everything written before the last line
        std::uint64_t bytes = 0;
    };
    void flush();
    Output names_, horses_;
    std::int64_t count_ = 0;
};

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

// The index of the data folder's breeding file as it is now: read, or when it
// cannot be used, the breeding file cut again (buckets and index, under the
// bucket folder's lock) and the new index read. Throws FileError when the
// breeding file is missing or bad, or no usable index can be made.
NameIndex loadNameIndex(const DataFolder& folder);

} // namespace quindle
