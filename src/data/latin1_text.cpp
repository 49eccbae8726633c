#include "data/latin1_text.h"

namespace quindle {

std::string latin1ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (b >> 6));
            out += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return out;
}

std::optional<std::string> utf8ToLatin1(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out += static_cast<char>(b);
            continue;
        }
        // U+0080 to U+00FF are the two-byte forms led by C2 and C3; every
        // other lead, and a lead without its one continuation, is not Latin-1.
        if ((b != 0xC2 && b != 0xC3) || i + 1 == utf8.size())
            return std::nullopt;
        const auto next = static_cast<unsigned char>(utf8[++i]);
        if ((next & 0xC0) != 0x80)
            return std::nullopt;
        out += static_cast<char>(((b & 0x03) << 6) | (next & 0x3F));
    }
    return out;
}

} // namespace quindle
