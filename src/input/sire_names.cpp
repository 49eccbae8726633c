#include "input/sire_names.h"

#include <algorithm>

#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/records.h"
#include "input/edit_filter.h"

namespace quindle {

SireNames readSireNames(const std::string& path)
{
    SireNames out;
    try {
        FilePtr file = openInput(path);
        FieldReader reader(std::move(file), path);
        while (!reader.atEnd()) {
            SireListEntry entry = readSireListEntry(reader);
            if (!entry.name.empty())
                out.names.push_back(std::move(entry.name));
        }
    } catch (const FileError& e) {
        out.error = e.what();
    }
    std::sort(out.names.begin(), out.names.end());
    out.names.erase(std::unique(out.names.begin(), out.names.end()), out.names.end());
    return out;
}

bool containsName(const std::vector<std::string>& sorted, const std::string& name)
{
    return std::binary_search(sorted.begin(), sorted.end(), name);
}

} // namespace quindle
