#pragma once
// Where a line of Quindle's files ends, written once for every reader: CR LF, a
// lone LF and a lone CR each end one line. The scans that see every byte of a
// large file look at the line ends of 64 bytes at a time, as bit masks.
#include <bit>
#include <cstddef>
#include <cstdint>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
    while (p < end && !isLineEnd(static_cast<unsigned char>(*p)))
        ++p;
    return p;
}

// ...or sixteen where the processor allows it.
inline const char* next(const char* p, const char* end)
{
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    for (; end - p >= 16; p += 16) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        if (const int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(b, cr), _mm_cmpeq_epi8(b, lf))))
            return p + std::countr_zero(static_cast<unsigned>(mask));
    }
#endif
    return nextByBytes(p, end);
}

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
