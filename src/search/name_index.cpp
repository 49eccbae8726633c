#include "search/name_index.h"

#include <cstdio>
#include <cstring>

#include "data/checksum.h"
#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/input_file.h"
#include "data/name_index_file.h"
#include "data/stamp.h"

namespace quindle {

namespace {

// Sixteen lower-case hexadecimal digits, as the writer puts them.
NumberParse parseHex(std::string_view text, std::int64_t& value)
{
    std::uint64_t v = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v, 16);
    if (text.size() != 16 || error != std::errc() || end != text.data() + text.size() ||
        text.find_first_of("ABCDEF") != std::string_view::npos)
        return NumberParse::NotANumber;
    value = static_cast<std::int64_t>(v);
    return NumberParse::Ok;
}

// The whole file, or nullopt when it cannot be read whole.
std::optional<std::string> readWhole(const std::string& path)
{
    FilePtr file;
    try {
        file = openInput(path);
    } catch (const FileError&) {
        return std::nullopt; // made again
    }
    // The size of the file opened, not of a name: the path is UTF-8, which
    // std::filesystem would read in the code page on Windows.
    const std::int64_t size = fileLength(file.get());
    if (size < 0 || size > UINT32_MAX)
        return std::nullopt;
    std::string text(static_cast<std::size_t>(size), '\0');
    if (std::fread(text.data(), 1, text.size(), file.get()) != text.size() || std::fgetc(file.get()) != EOF)
        return std::nullopt;
    return text;
}

// The body of an index file of this stamp and its number of horses, the body
// moved to the front of `text`; nullopt when it is not one. The last line,
// "END horses bytes checksum", must match everything before it, byte for byte.
std::optional<std::size_t> bodyOf(std::string& text, const std::string& stampText)
{
    const std::string header = nameIndexHeader(stampText);
    if (text.size() < header.size() + 5 || text.compare(0, header.size(), header) != 0 || text.back() != '\n')
        return std::nullopt;
    const std::size_t last = text.rfind('\n', text.size() - 2) + 1; // the header ends in one
    if (last < header.size() || text.compare(last, 4, "END ") != 0)
        return std::nullopt;
    std::int64_t numbers[3] = {};
    std::string_view rest(text.data() + last + 4, text.size() - last - 5);
    for (int i = 0; i < 3; ++i) {
        const std::size_t blank = i < 2 ? rest.find(' ') : rest.size();
        if (blank == std::string_view::npos ||
            (i < 2 ? parseWholeNumber(rest.substr(0, blank), 0, UINT32_MAX, numbers[i]) : parseHex(rest, numbers[i])) !=
                NumberParse::Ok)
            return std::nullopt;
        rest.remove_prefix(i < 2 ? blank + 1 : blank);
    }
    if (static_cast<std::uint64_t>(numbers[1]) != last ||
        static_cast<std::uint64_t>(numbers[2]) != checksumOf(std::string_view(text).substr(0, last)))
        return std::nullopt;
    text.erase(last);
    text.erase(0, header.size());
    return static_cast<std::size_t>(numbers[0]);
}

} // namespace

IndexedHorse NameIndex::horse(std::size_t i) const
{
    IndexedHorse h;
    h.name = name(i);
    const char* p = horses_.data() + horseStart_[i];
    std::string_view id;
    std::string_view* fields[] = {&id, &h.age, &h.sex, &h.sire, &h.damSire};
    for (std::string_view* field : fields) {
        const auto left = static_cast<std::size_t>(horses_.data() + horses_.size() - p);
        const char* end = static_cast<const char*>(std::memchr(p, '\n', left)); // every line was checked to end
        *field = {p, static_cast<std::size_t>(end - p)};
        p = end + 1;
    }
    std::int64_t value = 0;
    parseWholeNumber(id, INT32_MIN, INT32_MAX, value); // checked when the index was read
    h.id = static_cast<std::int32_t>(value);
    return h;
}

std::string_view NameIndex::sire(std::size_t i) const
{
    const char* p = horses_.data() + horseStart_[i];
    const char* const end = horses_.data() + horses_.size();
    for (int line = 0; line < 3; ++line) // identifier, age, sex: every line was checked to end
        p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p))) + 1;
    const char* sireEnd = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
    return {p, static_cast<std::size_t>(sireEnd - p)};
}

std::size_t NameIndex::bytes() const
{
    return names_.capacity() + horses_.capacity() + 4 * (nameStart_.capacity() + horseStart_.capacity());
}

std::optional<NameIndex> readNameIndex(const DataFolder& folder, const std::string& stampText)
{
    auto names = readWhole(folder.nameIndex());
    auto horses = names ? readWhole(folder.horseIndex()) : std::nullopt;
    if (!horses)
        return std::nullopt;
    const auto count = bodyOf(*names, stampText);
    if (!count || bodyOf(*horses, stampText) != count)
        return std::nullopt;

    NameIndex index;
    index.nameStart_.reserve(*count + 1);
    index.nameStart_.push_back(0);
    for (std::size_t at = 0; (at = names->find('\n', at)) != std::string::npos;)
        index.nameStart_.push_back(static_cast<std::uint32_t>(++at));
    if (index.nameStart_.size() != *count + 1)
        return std::nullopt;

    // Each horse: its identifier, then four lines.
    index.horseStart_.reserve(*count);
    const char* p = horses->data();
    const char* const end = p + horses->size();
    for (std::size_t i = 0; i < *count; ++i) {
        index.horseStart_.push_back(static_cast<std::uint32_t>(p - horses->data()));
        const char* lineEnd = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
        std::int64_t id = 0;
        if (!lineEnd ||
            parseWholeNumber({p, static_cast<std::size_t>(lineEnd - p)}, INT32_MIN, INT32_MAX, id) != NumberParse::Ok)
            return std::nullopt;
        p = lineEnd + 1;
        for (int line = 0; line < 4; ++line) {
            lineEnd = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
            if (!lineEnd)
                return std::nullopt;
            p = lineEnd + 1;
        }
    }
    if (p != end)
        return std::nullopt;
    index.names_ = std::move(*names);
    index.horses_ = std::move(*horses);
    return index;
}

NameIndex loadNameIndex(const DataFolder& folder, const CutAgain& cutAgain)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        const auto stampText = stampTextOf(folder.breedingFile());
        if (!stampText)
            throw FileError(folder.breedingFile(), 0, "is missing");
        if (auto index = readNameIndex(folder, *stampText))
            return std::move(*index);
        if (attempt == 0)
            cutAgain();
    }
    throw FileError(folder.nameIndex(), 0, "could not be made from the breeding file");
}

} // namespace quindle
