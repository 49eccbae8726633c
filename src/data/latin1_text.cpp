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

std::string latin1ForMessage(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 32 || (c >= 127 && c < 0xA0)) {
            static const char hex[] = "0123456789ABCDEF";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += latin1ToUtf8(bytes.substr(i, 1));
        }
    }
    return out;
}

} // namespace quindle
