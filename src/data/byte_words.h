#pragma once
// Looking at text eight bytes at a time, for the scans that see every byte of a
// large file: which bytes of a word equal a given byte.
#include <cstddef>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quindle::byte_words {

inline constexpr std::uint64_t kOnes = 0x0101010101010101ull;
inline constexpr std::uint64_t kHighs = 0x8080808080808080ull;

inline std::uint64_t load(const char* at)
{
    std::uint64_t word;
    std::memcpy(&word, at, 8);
    return word;
}

// The high bit of each byte of `word` that equals `c`. Nonzero exactly when one
// does; on a little-endian machine the lowest bit set marks the first of them.
inline std::uint64_t bytesEqual(std::uint64_t word, char c)
{
    const std::uint64_t x = word ^ (kOnes * static_cast<unsigned char>(c));
    return (x - kOnes) & ~x & kHighs;
}

// The bytes among the 64 at `p` that equal `c`: bit i for p[i].
inline std::uint64_t equalBits64(const char* p, char c)
{
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(c);
    std::uint64_t found = 0;
    for (int k = 0; k < 4; ++k) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        found |= std::uint64_t{static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(b, wanted)))} << (16 * k);
    }
    return found;
#else
    std::uint64_t found = 0;
    for (int i = 0; i < 64; ++i)
        found |= std::uint64_t{p[i] == c} << i;
    return found;
#endif
}

// The number of bits set in `word`, in a few arithmetic steps: without a
// popcount instruction (not every x86-64 processor has one) std::popcount
// becomes a library call.
inline int countBits(std::uint64_t word)
{
    word -= (word >> 1) & 0x5555555555555555ull;
    word = (word & 0x3333333333333333ull) + ((word >> 2) & 0x3333333333333333ull);
    word = (word + (word >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<int>((word * kOnes) >> 56);
}

} // namespace quindle::byte_words
