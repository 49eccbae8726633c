#pragma once
// Where the split hands every horse it has read and checked, so that what else
// is made from the breeding file (the name index) is made in the same pass
// without the split knowing what it is for.
#include "data/records.h"

namespace quindle {

class HorseSink {
public:
    virtual ~HorseSink() = default;
    // Every horse of the breeding file, once, in file order, on the thread that
    // called the split; the views are good only during the call. A FileError
    // thrown here ends the split.
    virtual void add(const HorseView& horse) = 0;
};

} // namespace quindle
