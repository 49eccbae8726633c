#include "commands.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

#include "app/look_up.h"
#include "main_state/main_boxes.h"
#include "main_state/mating.h"
#include "main_state/record_stallion.h"
#include "data/field_reader.h"
#include "data/latin1_text.h"
#include "data/sire_list.h"
#include "input/edit_filter.h"
#include "lookup/horse_lookup.h"
#include "output.h"
#include "export/text_forms.h"
#include "stallion_argument.h"
#include "startup_cli.h"

namespace quindle::cli {

namespace {

// The code point of the UTF-8 sequence at text[i] and its length; U+FFFD and
// one byte for anything that is not well-formed: a stray continuation byte, a
// cut sequence, an overlong form (so "\xC0\xB5" is no '5'), a surrogate or a
// value past U+10FFFF.
std::pair<char32_t, std::size_t> decodeUtf8(const std::string& text, std::size_t i)
{
    constexpr std::pair<char32_t, std::size_t> kInvalid{0xFFFD, 1};
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80)
        return {b, 1};
    const std::size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 0;
    if (length == 0 || b > 0xF4 || i + length > text.size())
        return kInvalid;
    char32_t c = b & (0x7Fu >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80)
            return kInvalid;
        c = c << 6 | (next & 0x3Fu);
    }
    constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kShortest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return kInvalid;
    return {c, length};
}

// Arguments are UTF-8; the filters take UTF-16.
std::u16string utf8ToUtf16(const std::string& text)
{
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto [c, length] = decodeUtf8(text, i);
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += length;
    }
    return out;
}

std::string utf16ToLatin1(const std::u16string& text)
{
    std::string out;
    for (const char16_t c : text)
        out += static_cast<char>(c); // only the name alphabet gets here
    return out;
}

std::string describeCharacter(char16_t c)
{
    char text[32];
    if (c >= 0x20 && c < 0x7F)
        std::snprintf(text, sizeof text, "'%c'", static_cast<char>(c));
    else
        std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    return text;
}

} // namespace

std::optional<std::string> latin1Argument(const std::string& arg)
{
    auto latin1 = utf8ToLatin1(arg);
    if (!latin1)
        std::fprintf(stderr, "quindle-cli: \"%s\": only Latin-1 letters can be in a name\n", arg.c_str());
    return latin1;
}

std::int32_t parseIdentifier(const std::string& text)
{
    const std::u16string raw = utf8ToUtf16(text);
    const EditOutcome cleaned = filterIdEdit(raw, static_cast<int>(raw.size()), u"");
    if (!cleaned.accepted || cleaned.text.empty() || cleaned.text.size() > 6)
        return 0;
    std::int32_t value = 0;
    for (const char16_t c : cleaned.text)
        value = value * 10 + (c - u'0');
    return value;
}

int runShow(const DataFolder& folder, const std::vector<std::string>& ids, bool json)
{
    std::vector<std::int32_t> values;
    for (const std::string& id : ids) {
        const std::int32_t value = parseIdentifier(id);
        if (value == 0) {
            std::fprintf(stderr, "quindle-cli: \"%s\" is not a horse identifier (1 to 6 digits, not 0)\n", id.c_str());
            return 2;
        }
        values.push_back(value);
    }
    const auto chefs = startUp(folder);
    if (!chefs)
        return 2;
    Out out;
    int status = 0;
    for (const std::int32_t id : values) {
        MainBoxes boxes;
        const GoOutcome outcome = goCuttingAgain(boxes, folder, *chefs, id).go;
        if (!outcome.error.empty())
            sayError(outcome.error);
        if (!outcome.found)
            status = 1;
        if (json) {
            // The horse's own fields for the named members, from the read that found it:
            // a second read could meet another split and answer with another file's horse.
            const HorseRecord* record = outcome.horse ? &*outcome.horse : nullptr;
            out.write(
                boxesJson(boxes,
                          "\"id\":" + std::to_string(id) + ",\"found\":" + (outcome.found ? "true" : "false") + ",",
                          namedMembersJson(boxes, *chefs, record)) +
                "\n");
        } else {
            out.write(identifierLine(id, outcome.found, !outcome.error.empty()));
            out.write(boxesPlain(boxes) + "\n");
        }
    }
    return out.finish() ? status : outputFailed();
}

std::optional<std::string> nameArgument(const std::string& arg)
{
    const std::u16string raw = utf8ToUtf16(arg);
    const EditOutcome pasted = filterNameEdit(raw, static_cast<int>(raw.size()), u"");
    if (!pasted.accepted) {
        std::string reason = "it is too long";
        for (const char16_t c : raw)
            if (c != u'\n' && c != u'\t' && c != u'\r' && !checkChars(std::u16string(1, toUpperAscii(c)))) {
                reason = describeCharacter(c) + " is not allowed in a name";
                break;
            }
        std::fprintf(stderr, "quindle-cli: \"%s\": %s\n", arg.c_str(), reason.c_str());
        return std::nullopt;
    }
    std::u16string name = pasted.text;
    while (!name.empty() && name.back() == u' ')
        name.pop_back(); // Submit removes trailing spaces
    return utf16ToLatin1(name);
}

void warnUnknownSires(const SireList& list, const std::vector<std::string>& names)
{
    // A sire line stays empty exactly when no entry carries the name: one look
    // through the list, neither copied nor sorted.
    std::vector<bool> known(names.size(), false);
    for (const SireListView& entry : list.entries)
        for (std::size_t i = 0; i < names.size(); ++i)
            known[i] = known[i] || entry.name == names[i];
    std::string unknown;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (!names[i].empty() && !known[i])
            unknown += (unknown.empty() ? "\"" : ", \"") + latin1ForMessage(names[i]) + "\"";
    if (unknown.empty())
        return;
    // Past a damaged entry nothing is read, so the name may be there all the same.
    std::fprintf(stderr, "quindle-cli: not in %s, so its sire line stays empty: %s\n",
                 list.error.empty() ? "QN_SireList" : "what could be read of QN_SireList", unknown.c_str());
}

int runMate(const DataFolder& folder, const std::vector<std::string>& args, bool json)
{
    if (args.empty() || args.size() > 3) {
        std::fprintf(stderr, "quindle-cli: mate takes one to three names: SIRE [DAMSIRE [DAMDAMSIRE]]\n");
        return 2;
    }
    std::int32_t stallionId = 0;
    if (isStallionId(args[0]) && (stallionId = stallionIdOf(args[0])) == 0)
        return 2;
    // A name no sire list can hold is refused before start-up; the others wait for the list.
    for (std::size_t i = stallionId ? 1 : 0; i < args.size(); ++i)
        if (!mayBeListed(args[i]) && !nameArgument(args[i]))
            return 2;
    const auto chefs = startUp(folder);
    if (!chefs)
        return 2;
    std::optional<RecordStallion> stallion;
    if (stallionId && !(stallion = stallionOfArgument(folder, stallionId)))
        return 2;
    // Read once, for the names, the warning and the sire lines alike.
    const SireList list = readSireList(folder.sireList());
    const auto listed = [&](std::string_view name) {
        return std::any_of(list.entries.begin(), list.entries.end(),
                           [&](const SireListView& entry) { return entry.name == name; });
    };
    MatingNames names;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i == 0 && stallion) {
            names[0] = stallion->name;
            continue;
        }
        const auto name = listedNameArgument(args[i], listed);
        if (!name)
            return 2;
        names[i] = *name;
    }
    // His own record gives his sire line: the list is not asked for it.
    warnUnknownSires(list, {stallion ? std::string() : names[0], names[1], names[2]});
    MainBoxes boxes;
    const std::string error = stallion ? submitStallionMating(boxes, *stallion, names, list, *chefs)
                                       : submitMating(boxes, names, list, *chefs);
    Out out;
    out.write(json ? boxesJson(boxes, "", namedMembersJson(boxes, *chefs, nullptr)) + "\n" : boxesPlain(boxes));
    if (!out.finish())
        return outputFailed();
    if (!error.empty()) {
        std::fprintf(stderr, "quindle-cli: the sire list could not be read to the end: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

} // namespace quindle::cli
