#include "input/sire_scan.h"

#include <cerrno>
#include <cstring>

#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/records.h"

namespace quindle {

SireLines scanSireList(const std::string& path, const std::string& sire, const std::string& damSire)
{
    SireLines out;
    if (sire.empty())
        out.foundMask = 1;
    if (damSire.empty())
        out.foundMask += 2;
    try {
        FilePtr file = openForReading(path);
        if (!file)
            throw FileError(path, 0, std::string("cannot be opened: ") + std::strerror(errno));
        FieldReader reader(std::move(file), path);
        while (out.foundMask <= 2 && !reader.atEnd()) {
            const SireListEntry entry = readSireListEntry(reader);
            if (!sire.empty() && entry.name == sire) {
                out.sireSire = entry.sire;
                out.sireDamSire = entry.damSire;
                out.sireSireSire = entry.sireSire;
                out.foundMask += 1;
            }
            if (!damSire.empty() && entry.name == damSire) {
                out.damSireSire = entry.sire;
                out.foundMask += 2;
            }
        }
    } catch (const FileError& e) {
        out.error = e.what();
    }
    return out;
}

} // namespace quindle
