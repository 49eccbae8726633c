#pragma once
// Looking at text eight bytes at a time, for the scans that see every byte of a
// large file: which bytes of a word equal a given byte.
#include <cstdint>
#include <cstring>

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

} // namespace quindle::byte_words
