#pragma once
// A 64-bit checksum of bytes, fed in any pieces, for files Quindle writes and
// must not trust when it reads them back. Four lanes of eight bytes a step keep
// it near the speed of memory; each step is a bijection of its lane, so a
// change of any single byte always changes the sum. Not for adversaries.
#include <cstdint>
#include <cstring>
#include <string_view>

namespace quindle {

class Checksum {
public:
    void add(std::string_view bytes)
    {
        const char* p = bytes.data();
        std::size_t n = bytes.size();
        length_ += n;
        if (tailSize_ > 0) {
            const std::size_t take = n < kBlock - tailSize_ ? n : kBlock - tailSize_;
            std::memcpy(tail_ + tailSize_, p, take);
            tailSize_ += take;
            p += take;
            n -= take;
            if (tailSize_ < kBlock)
                return;
            block(tail_);
            tailSize_ = 0;
        }
        for (; n >= kBlock; p += kBlock, n -= kBlock)
            block(p);
        std::memcpy(tail_, p, n);
        tailSize_ = n;
    }

    std::uint64_t value() const
    {
        Checksum last = *this;
        std::memset(last.tail_ + tailSize_, 0, kBlock - tailSize_);
        last.block(last.tail_);
        std::uint64_t sum = last.lanes_[0];
        for (int i = 1; i < 4; ++i)
            sum = (sum ^ last.lanes_[i]) * kPrime;
        return (sum ^ length_) * kPrime;
    }

private:
    static constexpr std::size_t kBlock = 32;
    static constexpr std::uint64_t kPrime = 0x9E3779B97F4A7C15ull | 1;

    void block(const char* p)
    {
        for (int i = 0; i < 4; ++i) {
            std::uint64_t word;
            std::memcpy(&word, p + 8 * i, 8);
            lanes_[i] = (lanes_[i] ^ word) * kPrime;
        }
    }

    std::uint64_t lanes_[4] = {0x243F6A8885A308D3ull, 0x13198A2E03707344ull, 0xA4093822299F31D0ull,
                               0x082EFA98EC4E6C89ull};
    char tail_[kBlock] = {};
    std::size_t tailSize_ = 0;
    std::uint64_t length_ = 0;
};

inline std::uint64_t checksumOf(std::string_view bytes)
{
    Checksum sum;
    sum.add(bytes);
    return sum.value();
}

} // namespace quindle
