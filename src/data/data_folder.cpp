#include "data/data_folder.h"

#include "data/system_paths.h"

namespace quindle {

namespace {
#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif
} // namespace

DataFolder::DataFolder(std::string dir) : dir_(std::move(dir))
{
    if (dir_.empty())
        dir_.assign(1, '.');
    if (dir_.back() != '/' && dir_.back() != kSeparator)
        dir_ += kSeparator;
}

DataFolder DataFolder::platformDefault()
{
#ifdef _WIN32
    return DataFolder("C:\\PDG\\");
#else
    const std::string home = environmentValue("HOME");
    return DataFolder((home.empty() ? std::string(".") : home) + "/pdg/");
#endif
}

std::string DataFolder::bucketStamp() const { return bucketFolder() + kSeparator + kStampFileName; }

std::string DataFolder::nameIndex() const { return bucketFolder() + kSeparator + "index.names"; }

std::string DataFolder::horseIndex() const { return bucketFolder() + kSeparator + "index.horses"; }

std::string DataFolder::bucketFile(int bucket) const
{
    return bucketFolder() + kSeparator + "file" + static_cast<char>('0' + bucket);
}

} // namespace quindle
