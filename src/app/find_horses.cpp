#include "app/find_horses.h"

#include "data/file_error.h"
#include "data/startup.h"

namespace quindle {

NameIndexRead readNameIndexCuttingAgain(const DataFolder& folder)
{
    NameIndexRead read;
    try {
        read.index = std::make_shared<const NameIndex>(loadNameIndex(folder, [&folder] { splitAgain(folder); }));
    } catch (const FileError& e) {
        read.status = Outcome::Failed;
        read.error = e.what();
    }
    return read;
}

HorsesFound findHorses(const NameIndex& index, std::string_view text, std::size_t limit)
{
    HorsesFound found;
    found.names = findNames(index, text, limit);
    found.status = found.names.total > 0 ? Outcome::Done : Outcome::Absent;
    return found;
}

} // namespace quindle
