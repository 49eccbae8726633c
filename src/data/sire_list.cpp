#include "data/sire_list.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cstdint>
#include <cstdio>

#include "data/field_reader.h"
#include "data/file_error.h"

namespace quindle {

namespace {

// The whole file and `padding` zero bytes. openForReading refuses what is not a
// regular file, which could block or never end.
std::vector<char> readWholeFile(const std::string& path, std::size_t padding)
{
    FilePtr file = openForReading(path);
    if (!file)
        throw FileError(path, 0, std::string("cannot be opened: ") + std::strerror(errno));
    std::vector<char> bytes;
    // The size as a hint, for one allocation; the reading goes to the real end.
    if (std::fseek(file.get(), 0, SEEK_END) == 0) {
        const long size = std::ftell(file.get());
        if (size > 0 && size < INT32_MAX)
            bytes.reserve(static_cast<std::size_t>(size) + padding);
        std::rewind(file.get());
    }
    std::vector<char> block(1 << 16);
    while (const std::size_t read = std::fread(block.data(), 1, block.size(), file.get())) {
        // Names are found by 32-bit offsets into the bytes.
        if (bytes.size() + read > INT32_MAX)
            throw FileError(path, 0, "is larger than 2 GB");
        bytes.insert(bytes.end(), block.data(), block.data() + read);
    }
    if (std::ferror(file.get()))
        throw FileError(path, 0, "cannot be read");
    bytes.resize(bytes.size() + padding);
    return bytes;
}

} // namespace

SireList readSireList(const std::string& path)
{
    SireList list;
    try {
        list.bytes = readWholeFile(path, SireList::kPadding);
        const std::string_view text(list.bytes.data(), list.bytes.size() - SireList::kPadding);
        // Room for every line at once: growing by steps would touch twice the memory.
        list.entries.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
        FieldReader reader(text, path);
        SireListView entry;
        while (!reader.atEnd()) {
            readSireListEntry(reader, entry);
            list.entries.push_back(entry);
        }
    } catch (const FileError& e) {
        list.error = e.what();
    }
    return list;
}

} // namespace quindle
