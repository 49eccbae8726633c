#include "data/sire_scan.h"

#include "data/field_reader.h"
#include "data/file_error.h"

namespace quindle {

SireLines scanSireList(const std::string& path, const std::string& sire, const std::string& damSire)
{
    SireLineScan<std::string> scan(sire, damSire);
    try {
        FilePtr file = openInput(path);
        FieldReader reader(std::move(file), path);
        while (scan.wantsMore() && !reader.atEnd())
            scan.take(readSireListEntry(reader));
    } catch (const FileError& e) {
        scan.lines().error = e.what();
    }
    return std::move(scan.lines());
}

SireLines scanSireList(const SireList& list, std::string_view sire, std::string_view damSire)
{
    SireLineScan<std::string> scan(sire, damSire);
    for (auto entry = list.entries.begin(); scan.wantsMore() && entry != list.entries.end(); ++entry)
        scan.take(*entry);
    if (scan.wantsMore())
        scan.lines().error = list.error;
    return std::move(scan.lines());
}

} // namespace quindle
