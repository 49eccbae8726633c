#pragma once
// Looking at text many bytes at a time, for the scans that see every byte of a
// large file. Every trick that needs the processor's 16-byte steps (SSE2) is
// written here, once, beside its plain twin: the twins give the same answers,
// which the tests check, and the benchmarks time one against the other.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quindle::byte_words {

#if defined(__SSE2__)
namespace sse2 {
inline __m128i load16(const char* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); }
// 0xFF in each byte of `b` that equals one of `wanted`.
inline __m128i equalAny(__m128i b, char c) { return _mm_cmpeq_epi8(b, _mm_set1_epi8(c)); }
template <class... Chars>
__m128i equalAny(__m128i b, char c, Chars... rest)
{
    return _mm_or_si128(equalAny(b, c), equalAny(b, rest...));
}
} // namespace sse2
#endif

// The first byte in [p, end) that equals one of `wanted`, or end: one byte a
// step...
template <class... Chars>
const char* findFirstOfByBytes(const char* p, const char* end, Chars... wanted)
{
    while (p < end && !((*p == wanted) || ...))
        ++p;
    return p;
}

// ...or sixteen where the processor allows it.
template <class... Chars>
const char* findFirstOf(const char* p, const char* end, Chars... wanted)
{
#if defined(__SSE2__)
    for (; end - p >= 16; p += 16)
        if (const int mask = _mm_movemask_epi8(sse2::equalAny(sse2::load16(p), wanted...)))
            return p + std::countr_zero(static_cast<unsigned>(mask));
#endif
    return findFirstOfByBytes(p, end, wanted...);
}

// The bytes among the 32 at `p` that equal one of `wanted` or have their high
// bit set (0x80 and up): bit i for p[i].
template <class... Chars>
std::uint32_t highOrEqualBits32(const char* p, Chars... wanted)
{
#if defined(__SSE2__)
    const auto half = [&](const char* at) {
        const __m128i b = sse2::load16(at);
        return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_or_si128(sse2::equalAny(b, wanted...), b)));
    };
    return half(p) | half(p + 16) << 16;
#else
    std::uint32_t found = 0;
    for (int i = 0; i < 32; ++i)
        found |= std::uint32_t{static_cast<unsigned char>(p[i]) >= 0x80 || ((p[i] == wanted) || ...)} << i;
    return found;
#endif
}

inline constexpr std::uint64_t kOnes = 0x0101010101010101ull;

// The bytes among the 64 at `p` that equal `c`: bit i for p[i].
inline std::uint64_t equalBits64(const char* p, char c)
{
#if defined(__SSE2__)
    std::uint64_t found = 0;
    for (int k = 0; k < 4; ++k)
        found |= std::uint64_t{static_cast<unsigned>(_mm_movemask_epi8(sse2::equalAny(sse2::load16(p + 16 * k), c)))}
                 << (16 * k);
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
