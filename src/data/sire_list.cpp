#include "data/sire_list.h"

#include <cstdint>

#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/input_file.h"
#include "data/record_chunks.h"

namespace quindle {

SireList readSireList(const std::string& path)
{
    SireList list;
    try {
        // Names are found by 32-bit offsets into the bytes.
        list.bytes = readWholeFile(path, SireList::kPadding, INT32_MAX - SireList::kPadding);
        const std::string_view text(list.bytes.data(), list.bytes.size() - SireList::kPadding);
        // Room for every line at once: growing by steps would touch twice the memory.
        list.entries.reserve(static_cast<std::size_t>(countLines(text, '\n').ends) + 1);
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
