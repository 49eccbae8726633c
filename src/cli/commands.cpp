#include "commands.h"

#include <cstdio>
#include <optional>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/input_file.h"
#include "data/records.h"
#include "data/startup.h"
#include "input/edit_filter.h"
#include "input/mating.h"
#include "dosage/format.h"
#include "render.h"

namespace quindle::cli {

namespace {

// Large buffered writes to standard output.
class Out {
public:
    Out() { buffer_.reserve(1 << 16); }
    ~Out() { flush(); }
    void write(const std::string& text)
    {
        buffer_ += text;
        if (buffer_.size() >= (1 << 16))
            flush();
    }
    void flush()
    {
        std::fwrite(buffer_.data(), 1, buffer_.size(), stdout);
        buffer_.clear();
    }

private:
    std::string buffer_;
};

// The same start-up as the window; progress goes to a terminal only.
std::optional<ChefTable> startUp(const DataFolder& folder)
{
    const bool terminal = isatty(fileno(stderr));
    SplitObserver observer;
    if (terminal) {
        observer.begins = [] { std::fprintf(stderr, "Subdividing new breeding file - please wait...\n"); };
        observer.progress = [](int value) { std::fprintf(stderr, "\r%3d%%", value); };
        observer.ends = [] { std::fprintf(stderr, "\n"); };
    }
    StartupResult result = runStartup(folder, kStampFileName, observer);
    switch (result.status) {
    case StartupResult::Status::Ready:
        return std::move(result.chefs);
    case StartupResult::Status::MissingFile:
        std::fprintf(stderr, "%s\n", missingFileText(result.missingPath).c_str());
        return std::nullopt;
    case StartupResult::Status::Failed:
        std::fprintf(stderr, "quindle-cli: cannot start: %s\n", result.error.c_str());
        return std::nullopt;
    }
    return std::nullopt;
}

// Arguments are UTF-8; the filters take UTF-16.
std::u16string utf8ToUtf16(const std::string& text)
{
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        char32_t c = b;
        std::size_t length = 1;
        if (b >= 0xF0 && i + 3 < text.size())
            c = (b & 0x07u) << 18 | (text[i + 1] & 0x3Fu) << 12 | (text[i + 2] & 0x3Fu) << 6 | (text[i + 3] & 0x3Fu), length = 4;
        else if (b >= 0xE0 && i + 2 < text.size())
            c = (b & 0x0Fu) << 12 | (text[i + 1] & 0x3Fu) << 6 | (text[i + 2] & 0x3Fu), length = 3;
        else if (b >= 0xC0 && i + 1 < text.size())
            c = (b & 0x1Fu) << 6 | (text[i + 1] & 0x3Fu), length = 2;
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
        const GoOutcome outcome = go(boxes, folder, *chefs, id);
        if (!outcome.error.empty())
            std::fprintf(stderr, "quindle-cli: %s\n", outcome.error.c_str());
        if (!outcome.found)
            status = 1;
        if (json) {
            out.write(boxesJson(boxes, "\"id\":" + std::to_string(id) + ",\"found\":" +
                                           (outcome.found ? "true" : "false") + ",") +
                      "\n");
        } else {
            out.write("Identifier " + std::to_string(id) + (outcome.found ? "" : ": not found") + "\n");
            out.write(boxesPlain(boxes) + "\n");
        }
    }
    return status;
}

int runMate(const DataFolder& folder, const std::vector<std::string>& args, bool json)
{
    if (args.empty() || args.size() > 3) {
        std::fprintf(stderr, "quindle-cli: mate takes one to three names: SIRE [DAMSIRE [DAMDAMSIRE]]\n");
        return 2;
    }
    std::array<std::string, 3> names;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::u16string raw = utf8ToUtf16(args[i]);
        const EditOutcome pasted = filterNameEdit(raw, static_cast<int>(raw.size()), u"");
        if (!pasted.accepted) {
            std::string reason = "it is too long";
            for (const char16_t c : raw)
                if (c != u'\n' && c != u'\t' && c != u'\r' && !checkChars(std::u16string(1, toUpperAscii(c)))) {
                    reason = describeCharacter(c) + " is not allowed in a name";
                    break;
                }
            std::fprintf(stderr, "quindle-cli: \"%s\": %s\n", args[i].c_str(), reason.c_str());
            return 2;
        }
        std::u16string name = pasted.text;
        while (!name.empty() && name.back() == u' ')
            name.pop_back(); // Submit removes trailing spaces
        names[i] = utf16ToLatin1(name);
    }
    const auto chefs = startUp(folder);
    if (!chefs)
        return 2;
    MainBoxes boxes;
    const std::string error = submitMating(boxes, names, folder.sireList(), *chefs);
    Out out;
    out.write(json ? boxesJson(boxes) + "\n" : boxesPlain(boxes));
    out.flush();
    if (!error.empty()) {
        std::fprintf(stderr, "quindle-cli: the sire list could not be read to the end: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

int runProfiles(const DataFolder& folder, const std::string& from, const std::string& to)
{
    std::int64_t first = INT32_MIN, last = INT32_MAX;
    if ((!from.empty() && parseWholeNumber(from, INT32_MIN, INT32_MAX, first) != NumberParse::Ok) ||
        (!to.empty() && parseWholeNumber(to, INT32_MIN, INT32_MAX, last) != NumberParse::Ok)) {
        std::fprintf(stderr, "quindle-cli: --from and --to take a horse identifier\n");
        return 2;
    }
    const auto chefs = startUp(folder);
    if (!chefs)
        return 2;
    FilePtr file = openForReading(folder.breedingFile());
    if (!file) {
        std::fprintf(stderr, "%s\n", missingFileText(folder.breedingFile()).c_str());
        return 2;
    }
    Out out;
    out.write("id,name,age,sex,sire,damsire,B,I,C,S,P,total,speed,stamina,cd,di\n");
    try {
        FieldReader reader(std::move(file), folder.breedingFile());
        std::string row;
        HorseRecord horse; // reused: its strings keep their storage from horse to horse
        while (!reader.atEnd()) {
            readHorseRecord(reader, horse);
            if (horse.id < first || horse.id > last)
                continue;
            // The texts the window's showdosage would write for this pedigree.
            const ProfileTexts texts = formatProfile(computeProfile(lineageNames(horse), *chefs));
            row.clear();
            row += std::to_string(horse.id);
            for (const std::string* text : {&horse.name, &horse.age, &horse.sex, &horse.sire, &horse.damSire}) {
                row += ',';
                appendCsvField(row, *text);
            }
            for (const int box : {35, 36, 37, 38, 39, kTotalBox, kSpeedBox, kStaminaBox, kCdBox, kDiBox}) {
                row += ',';
                appendTrimmed(row, *texts[static_cast<std::size_t>(box)]);
            }
            row += '\n';
            out.write(row);
        }
    } catch (const FileError& e) {
        out.flush();
        std::fprintf(stderr, "quindle-cli: %s\n", e.what());
        return 1;
    }
    return 0;
}

} // namespace quindle::cli
