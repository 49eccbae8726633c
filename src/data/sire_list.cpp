#include "data/sire_list.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "data/field_reader.h"
#include "data/file_error.h"

namespace quindle {

namespace {

// The whole of a regular file: anything else (a pipe, a device) could block or
// never end.
std::vector<char> readWholeFile(const std::string& path, std::size_t padding)
{
    FilePtr file = openForReading(path);
    if (!file)
        throw FileError(path, 0, std::string("cannot be opened: ") + std::strerror(errno));
    struct stat info {};
    if (fstat(fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode))
        throw FileError(path, 0, "is not a regular file");
    // Names are found by 32-bit offsets into the bytes.
    if (info.st_size > INT32_MAX)
        throw FileError(path, 0, "is larger than 2 GB");
    const auto size = static_cast<std::size_t>(info.st_size);
    std::vector<char> bytes(size + padding);
    const std::size_t read = std::fread(bytes.data(), 1, size, file.get());
    if (std::ferror(file.get()))
        throw FileError(path, 0, "cannot be read");
    bytes.resize(read + padding); // a file cut meanwhile is read as far as it goes
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
