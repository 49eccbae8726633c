#pragma once
// Where the split hands every horse it has read and checked, so that what else
// is made from the breeding file (the name index) is made in the same pass
// without the split knowing what it is for. The split reads its pieces on
// several threads; a sink makes its text of each horse there, beside the
// reading, and gets the texts back piece by piece in file order, so that the
// thread that writes the buckets only writes.
#include <cstdint>
#include <string>
#include <vector>

#include "data/records.h"

namespace quindle {

// What a sink made of the horses of one piece: as many texts as it wants.
using SinkTexts = std::vector<std::string>;

class HorseSink {
public:
    virtual ~HorseSink() = default;
    // Every horse of a piece, in file order, on the thread that read the piece
    // (other pieces are read at the same time), into `texts`, which the split
    // hands over empty for each piece. The view is good only during the call.
    virtual void make(const HorseView& horse, SinkTexts& texts) const = 0;
    // What make() gave for the `horses` horses of each piece, on the thread
    // that called the split, piece after piece in file order, before the piece
    // is written. A FileError thrown here ends the split.
    virtual void add(SinkTexts& texts, std::int64_t horses) = 0;
};

} // namespace quindle
