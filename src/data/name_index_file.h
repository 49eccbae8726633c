#pragma once
// The name index's two files, as the split writes them: what a search by name
// needs of every horse, made in the pass that cuts the buckets, so no search
// reads the breeding file. Each file is a first line "QUINDLE INDEX 2", a second
// line with the stamp of the breeding file it was made from, the body, and a
// last line "END", the number of horses, the number of bytes before that line
// and their checksum (16 hexadecimal digits), so a damaged body is never used:
//   index.names   the horses' names, one a line, in file order (a search
//                 sweeps them without looking at anything else)
//   index.horses  identifier, age, sex, Sire and Dam-Sire, one a line
// No field of the breeding file holds a line end, so lines are enough. The
// search reads them back (search/name_index.h) without trusting them.
#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

#include "data/checksum.h"
#include "data/data_folder.h"
#include "data/horse_sink.h"
#include "data/replacing_file.h"

namespace quindle {

// The first two lines of either file made from the breeding file of this stamp.
std::string nameIndexHeader(const std::string& stampText);

// Writes the index as the split hands it the horses, a piece at a time, so the
// split's memory stays flat. Nothing replaces the old index before commit().
class NameIndexWriter final : public HorseSink {
public:
    NameIndexWriter(const DataFolder& folder, const std::string& stampText);
    // Two texts: the names, and the other fields.
    void make(const HorseView& horse, SinkTexts& texts) const override
    {
        texts.resize(2);
        texts[0].append(horse.name).push_back('\n');
        std::string& h = texts[1];
        char id[12];
        h.append(id, static_cast<std::size_t>(std::to_chars(id, id + sizeof id, horse.id).ptr - id)).push_back('\n');
        h.append(horse.age).push_back('\n');
        h.append(horse.sex).push_back('\n');
        h.append(horse.sire).push_back('\n');
        h.append(horse.damSire).push_back('\n');
    }
    void add(SinkTexts& texts, std::int64_t horses) override;
    void commit(); // throws FileError

private:
    struct Output {
        ReplacingFile file;
        Checksum sum; // of everything written before the last line
        std::uint64_t bytes = 0;
    };
    static void write(Output& out, std::string_view text);
    Output names_, horses_;
    std::int64_t count_ = 0;
};

} // namespace quindle
