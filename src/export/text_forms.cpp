#include "export/text_forms.h"

#include <array>
#include <bit>
#include <cstring>
#include <cstdint>
#include <cstdio>

#include "dosage/format.h"
#include "data/byte_words.h"
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
    static_assert(kCsvPadding == 32);
    const std::size_t n = latin1.size();
    if (n <= kCsvPadding) {
        // The bytes that ask something of a field, as kCsvByteClass has them: a
        // comma, a quote, CR, LF, and every byte from 0x80.
        static_assert([] {
            for (int b = 0; b < 256; ++b) {
                const bool asks = b == ',' || b == '"' || b == '\r' || b == '\n' || b >= 0x80;
                if ((kCsvByteClass[static_cast<std::size_t>(b)] != 0) != asks)
                    return false;
            }
            return true;
        }());
        const std::uint32_t inText = n == 32 ? ~std::uint32_t{0} : (std::uint32_t{1} << n) - 1;
        if ((byte_words::highOrEqualBits32(latin1.data(), ',', '"', '\r', '\n') & inText) == 0) {
            std::memcpy(out, latin1.data(), kCsvPadding);
            return out + n;
        }
    }
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

std::string boxesJson(const MainBoxes& boxes, const std::string& prefix, const std::string& suffix)
{
    auto member = [](const char* key, std::string_view latin1) {
        return jsonString(key) + ":" + jsonString(latin1ToUtf8(latin1));
    };
    std::string out = "{" + prefix;
    out += member("Text2", boxes.horseName) + "," + member("AgeSex", boxes.ageSex);
    for (int position = 0; position < kPositions; ++position) {
        const std::string key = "Text" + std::to_string(3 + position);
        out += "," + member(key.c_str(), boxes.lineage[static_cast<std::size_t>(position)]);
    }
    out += "," + member("indicator", boxes.indicator) + ",\"PT\":[";
    for (std::size_t i = 0; i < boxes.profileTexts.size(); ++i)
        out += (i ? "," : "") + jsonString(latin1ToUtf8(boxes.profileTexts[i]));
    out += "],\"Text2Colour\":" + jsonString(colourHex(boxes.horseColour));
    out += ",\"AgeSexColour\":" + jsonString(colourHex(boxes.ageSexColour));
    return out + ",\"repeats\":" + repeatsJson(repeatedSires(boxes.lineage)) + suffix + "}";
}

std::string namedMembersJson(const MainBoxes& boxes, const ChefTable& chefs, const HorseRecord* horse)
{
    const auto text = [](std::string_view latin1) { return jsonString(latin1ToUtf8(latin1)); };
    if (boxes.indicator == kNotFoundText)
        return R"(,"name":null,"age":null,"sex":null,"pedigree":null,"profile":null)";
    std::string out = ",\"name\":" + (horse ? text(horse->name) : "null");
    // An age the file writes in digits is a number; anything else stays its text.
    const bool digits = horse && !horse->age.empty() &&
                        horse->age.find_first_not_of("0123456789") == std::string::npos && horse->age.size() < 10;
    out += ",\"age\":" + (!horse ? "null" : digits ? std::to_string(std::stoi(horse->age)) : text(horse->age));
    out += ",\"sex\":" + (horse ? text(horse->sex) : "null");
    static constexpr const char* kPlaces[kPositions] = {"sire",        "sireSire",    "damSire",   "sireSireSire",
                                                        "sireDamSire", "damSireSire", "damDamSire"};
    out += ",\"pedigree\":{";
    for (int place = 0; place < kPositions; ++place)
        out += std::string(place ? "," : "") + "\"" + kPlaces[place] +
               "\":" + text(boxes.lineage[static_cast<std::size_t>(place)]);
    const DosageProfile profile = computeProfile(boxes.lineage, chefs);
    out += "},\"profile\":{";
    static constexpr const char* kGroupNames[kGroups] = {"B", "I", "C", "S", "P"};
    for (int g = 0; g < kGroups; ++g)
        out += std::string(g ? "," : "") + "\"" + kGroupNames[g] +
               "\":" + std::to_string(profile.groupTotal[static_cast<std::size_t>(g)]);
    out += ",\"total\":" + std::to_string(profile.total) + ",\"speed\":" + numberText(profile.speed) +
           ",\"stamina\":" + numberText(profile.stamina) + ",\"cd\":" + (profile.cd ? numberText(*profile.cd) : "null");
    switch (profile.di.kind) {
    case DosageIndex::Kind::Absent:
        out += ",\"di\":null}";
        break;
    case DosageIndex::Kind::Infinite:
        out += ",\"di\":\"INF\"}";
        break;
    case DosageIndex::Kind::Finite:
        out += ",\"di\":" + numberText(profile.di.value) + "}";
        break;
    }
    return out;
}

} // namespace quindle
