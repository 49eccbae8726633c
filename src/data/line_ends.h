#pragma once
// Where a line of Quindle's files ends, written once for every reader: CR LF, a
// lone LF and a lone CR each end one line. The scans that see every byte of a
// large file look at the line ends of 64 bytes at a time, as bit masks.
#include <cstddef>
#include <cstdint>

#include "data/byte_words.h"

namespace quindle::line_ends {

inline bool isLineEnd(int c) { return c == '\r' || c == '\n'; }
// True when byte `c` ends a line, given whether the byte before it was a CR:
// the LF of a CR LF belongs to the line end the CR began.
inline bool endsLine(int c, bool afterCr) { return c == '\r' || (c == '\n' && !afterCr); }
// True when a line starts at byte `c`, the byte before it being `previous`.
inline bool startsLine(int previous, int c) { return isLineEnd(previous) && !(previous == '\r' && c == '\n'); }

// The size of the line end at `p` (2 for CR LF, else 1); `p` is a CR or LF before `end`.
inline std::size_t sizeAt(const char* p, const char* end) { return *p == '\r' && p + 1 < end && p[1] == '\n' ? 2 : 1; }

// The first CR or LF in [p, end), or end: one byte a step...
inline const char* nextByBytes(const char* p, const char* end)
{
    return byte_words::findFirstOfByBytes(p, end, '\r', '\n');
}

// ...or sixteen where the processor allows it.
inline const char* next(const char* p, const char* end) { return byte_words::findFirstOf(p, end, '\r', '\n'); }

// The CRs and LFs among the 64 bytes at `p`: bit i for p[i].
struct Bits {
    std::uint64_t cr = 0, lf = 0;
    std::uint64_t any() const { return cr | lf; }
    // The bytes that end a line: every CR, and every LF not right after a CR
    // (`afterCr`: the byte before p was one).
    std::uint64_t ends(bool afterCr) const { return cr | (lf & ~(cr << 1 | std::uint64_t{afterCr})); }
};

inline Bits bits64(const char* p) { return {byte_words::equalBits64(p, '\r'), byte_words::equalBits64(p, '\n')}; }

} // namespace quindle::line_ends
