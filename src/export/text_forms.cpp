#include "export/text_forms.h"

#include <array>
#include <bit>
#include <cstring>
#include <cstdint>
#include <cstdio>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "dosage/profile.h"

namespace quindle {

std::string jsonString(std::string_view utf8)
{
    std::string out = "\"";
    for (const char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (b < 0x20 || b == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", b);
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string csvField(std::string_view utf8)
{
    if (utf8.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(utf8);
    std::string out = "\"";
    for (const char c : utf8) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

namespace {
// What a byte asks of a CSV field: kQuote, the field must be quoted; kRewrite, the
// byte is not written as it stands (a doubled quote, two bytes of UTF-8).
constexpr unsigned char kQuote = 1, kRewrite = 2;
constexpr auto kCsvByteClass = [] {
    std::array<unsigned char, 256> table{};
    table[','] = table['\r'] = table['\n'] = kQuote;
    table['"'] = kQuote | kRewrite;
    for (std::size_t b = 0x80; b < table.size(); ++b)
        table[b] = kRewrite;
    return table;
}();

// What the bytes of a field ask of it.
unsigned csvNeeds(std::string_view text)
{
    unsigned needs = 0;
    for (const char c : text)
        needs |= kCsvByteClass[static_cast<unsigned char>(c)];
    return needs;
}
} // namespace

unsigned detail::csvFieldNeeds(std::string_view latin1)
{
    static_assert(kQuote == 1 && kRewrite == 2);
    return csvNeeds(latin1);
}

char* writeCsvField(char* out, std::string_view latin1)
{
    const unsigned needs = csvNeeds(latin1);
    const bool quote = needs & kQuote;
    if (quote)
        *out++ = '"';
    if (!(needs & kRewrite)) {
        std::memcpy(out, latin1.data(), latin1.size());
        out += latin1.size();
    } else {
        for (const char c : latin1) {
            const auto b = static_cast<unsigned char>(c);
            if (c == '"')
                *out++ = '"';
            if (b < 0x80) {
                *out++ = c;
            } else {
                *out++ = static_cast<char>(0xC0 | (b >> 6));
                *out++ = static_cast<char>(0x80 | (b & 0x3F));
            }
        }
    }
    if (quote)
        *out++ = '"';
    return out;
}

char* writeCsvFieldPadded(char* out, std::string_view latin1)
{
#if defined(__SSE2__)
    static_assert(kCsvPadding == 32);
    const std::size_t n = latin1.size();
    if (n <= kCsvPadding) {
        const auto block = [&](std::size_t at) {
            return _mm_loadu_si128(reinterpret_cast<const __m128i*>(latin1.data() + at));
        };
        const __m128i low = block(0), high = block(16);
        // The bytes that ask something of a field, as kCsvByteClass has them: a
        // comma, a quote, CR, LF, and every byte from 0x80 (its high bit, which
        // movemask reads directly).
        static_assert([] {
            for (int b = 0; b < 256; ++b) {
                const bool asks = b == ',' || b == '"' || b == '\r' || b == '\n' || b >= 0x80;
                if ((kCsvByteClass[static_cast<std::size_t>(b)] != 0) != asks)
                    return false;
            }
            return true;
        }());
        const auto asks = [](__m128i b) {
            const auto is = [b](char c) { return _mm_cmpeq_epi8(b, _mm_set1_epi8(c)); };
            const __m128i special = _mm_or_si128(_mm_or_si128(is(','), is('"')), _mm_or_si128(is('\r'), is('\n')));
            return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_or_si128(special, b)));
        };
        const std::uint32_t inText = n == 32 ? ~std::uint32_t{0} : (std::uint32_t{1} << n) - 1;
        if (((asks(low) | asks(high) << 16) & inText) == 0) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), low);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), high);
            return out + n;
        }
    }
#endif
    return writeCsvField(out, latin1);
}

void appendCsvField(std::string& out, std::string_view latin1)
{
    const std::size_t size = out.size();
    out.resize(size + csvFieldBound(latin1.size()));
    out.resize(static_cast<std::size_t>(writeCsvField(out.data() + size, latin1) - out.data()));
}

void appendTrimmed(std::string& out, std::string_view text)
{
    std::size_t first = 0, end = text.size();
    while (first < end && text[first] == ' ')
        ++first;
    while (end > first && text[end - 1] == ' ')
        --end;
    out.append(text.data() + first, end - first);
}

std::string colourHex(Rgb colour)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.red, colour.green, colour.blue);
    return text;
}

std::string repeatsJson(const std::vector<RepeatedSire>& repeats)
{
    std::string out = "[";
    for (const RepeatedSire& repeat : repeats) {
        out +=
            (out.size() > 1 ? ",{\"name\":" : "{\"name\":") + jsonString(latin1ToUtf8(repeat.name)) + ",\"places\":[";
        for (std::size_t i = 0; i < repeat.places.size(); ++i)
            out += (i ? "," : "") + jsonString(repeat.places[i]);
        out += "],\"notation\":" + jsonString(latin1ToUtf8(repeat.notation)) + "}";
    }
    return out + "]";
}

std::string boxesJson(const MainBoxes& boxes, const std::string& prefix)
{
    auto member = [](const char* key, std::string_view latin1) {
        return jsonString(key) + ":" + jsonString(latin1ToUtf8(latin1));
    };
    std::string out = "{" + prefix;
    out += member("Text2", boxes.text2) + "," + member("AgeSex", boxes.ageSex);
    for (int position = 0; position < kPositions; ++position) {
        const std::string key = "Text" + std::to_string(3 + position);
        out += "," + member(key.c_str(), boxes.lineage[static_cast<std::size_t>(position)]);
    }
    out += "," + member("indicator", boxes.indicator) + ",\"PT\":[";
    for (std::size_t i = 0; i < boxes.pt.size(); ++i)
        out += (i ? "," : "") + jsonString(latin1ToUtf8(boxes.pt[i]));
    out += "],\"Text2Colour\":" + jsonString(colourHex(boxes.text2Colour));
    out += ",\"AgeSexColour\":" + jsonString(colourHex(boxes.ageSexColour));
    return out + ",\"repeats\":" + repeatsJson(repeatedSires(boxes.lineage)) + "}";
}

} // namespace quindle
