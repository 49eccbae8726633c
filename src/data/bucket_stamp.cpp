#include "data/bucket_stamp.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/input_file.h"
#include "data/place_table.h"
#include "data/replacing_file.h"
#include "data/stamp.h"
#include "data/system_paths.h"
#include "data/worker_threads.h"

namespace quindle {

namespace {

std::int64_t sizeOf(const std::string& path)
{
#ifdef _WIN32
    struct _stat64 status {};
    if (_wstat64(fsPath(path).c_str(), &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG)
        return -1;
#else
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return -1;
#endif
    return static_cast<std::int64_t>(status.st_size);
}

// Waits until the file (or folder) is on the disk, so a power cut after the
// stamp cannot leave buckets it vouches for empty.
void flushToDisk(const std::string& path, bool folder)
{
#ifdef _WIN32
    if (folder)
        return; // a rename on NTFS is journalled with its folder
    const int fd = _wopen(fsPath(path).c_str(), _O_RDWR | _O_BINARY);
    const bool flushed = fd >= 0 && _commit(fd) == 0;
#else
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (folder ? O_DIRECTORY : 0));
    // A file needs its bytes and its size, not its times: fdatasync.
    const bool flushed = fd >= 0 && (folder ? ::fsync(fd) : ::fdatasync(fd)) == 0;
#endif
    const int saved = errno;
    if (fd >= 0)
#ifdef _WIN32
        _close(fd);
#else
        ::close(fd);
#endif
    if (!flushed)
        throw FileError(path, 0, std::string("cannot be flushed to the disk: ") + std::strerror(saved));
}

std::string sizeLine(const char* name, std::int64_t size)
{
    return std::string(name) + " " + std::to_string(size) + "\n";
}

} // namespace

std::optional<std::string> fileIdentityOf(const std::string& path)
{
#ifdef _WIN32
    const HANDLE file = CreateFileW(fsPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(file, &info) != 0;
    CloseHandle(file);
    if (!known)
        return std::nullopt;
    return std::to_string(info.dwVolumeSerialNumber) + ":" +
           std::to_string((std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow);
#else
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return std::to_string(static_cast<std::uint64_t>(status.st_dev)) + ":" +
           std::to_string(static_cast<std::uint64_t>(status.st_ino));
#endif
}

namespace {

// A record is a few hundred bytes; anything far longer is not one.
constexpr std::size_t kLongestRecord = 8192;

// The first bytes of the stamp (up to kLongestRecord: a file that long holds no record).
std::string stampBytes(FilePtr file)
{
    std::string bytes(kLongestRecord, '\0');
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
    return bytes;
}

std::optional<BucketRecord> parseBucketRecord(std::string_view text)
{
    if (text.size() >= kLongestRecord)
        return std::nullopt;
    const std::size_t comma = text.find(',');
    if (comma == 0 || comma == std::string_view::npos || text.substr(comma, 2) != ",\n")
        return std::nullopt;
    BucketRecord record;
    record.stampText = text.substr(0, comma);
    std::string_view rest = text.substr(comma + 2);
    const auto line = [&](std::string_view name) -> std::optional<std::string_view> {
        const std::size_t end = rest.find('\n');
        if (end == std::string_view::npos || rest.substr(0, name.size() + 1) != std::string(name) + " ")
            return std::nullopt;
        const std::string_view value = rest.substr(name.size() + 1, end - name.size() - 1);
        rest.remove_prefix(end + 1);
        return value;
    };
    const auto size64 = [&](std::string_view name, std::int64_t& to) {
        const auto value = line(name);
        return value && parseWholeNumber(*value, 0, INT64_MAX, to) == NumberParse::Ok;
    };
    const auto identity = line("breeding");
    if (!identity)
        return std::nullopt;
    record.breedingIdentity = *identity;
    for (int b = 0; b < kBucketCount; ++b)
        if (!size64("file" + std::to_string(b), record.bucketSizes[static_cast<std::size_t>(b)]))
            return std::nullopt;
    if (!size64("index.names", record.nameIndexSize) || !size64("index.horses", record.horseIndexSize) || !rest.empty())
        return std::nullopt;
    return record;
}

// The stamp's text as every stamp holds it (see readStamp): a first character,
// then up to 4096 more before a comma.
bool holdsStampText(std::string_view bytes)
{
    constexpr std::size_t kLongestText = 4096;
    return bytes.size() > 1 && bytes.substr(1, kLongestText).find(',') != std::string_view::npos;
}

} // namespace

std::optional<BucketRecord> readBucketRecord(const DataFolder& folder)
{
    try {
        return parseBucketRecord(stampBytes(openInput(folder.bucketStamp())));
    } catch (const FileError&) {
        return std::nullopt; // missing, unreadable or not a regular file: no record
    }
}

void removeBucketStamp(const DataFolder& folder)
{
    if (removeFile(folder.bucketStamp()) != 0 && errno != ENOENT)
        throw FileError(folder.bucketStamp(), 0, std::string("cannot be removed: ") + std::strerror(errno));
}

void stampBuckets(const DataFolder& folder, const std::string& stampText)
{
    std::string content = stampText + ",\n";
    const auto identity = fileIdentityOf(folder.breedingFile());
    if (!identity)
        throw FileError(folder.breedingFile(), 0, std::string("cannot be examined: ") + std::strerror(errno));
    content += "breeding " + *identity + "\n";
    std::vector<std::pair<std::string, std::string>> files; // path, name in the record
    for (int b = 0; b < kBucketCount; ++b)
        files.emplace_back(folder.bucketFile(b), "file" + std::to_string(b));
    files.emplace_back(folder.nameIndex(), "index.names");
    files.emplace_back(folder.horseIndex(), "index.horses");
    // The tables of places go to the disk with them, though the record leaves
    // them out: a lookup checks a table against its bucket and the cut itself.
    std::vector<std::string> flushed;
    for (const auto& file : files)
        flushed.push_back(file.first);
    for (int b = 0; b < kBucketCount; ++b)
        if (sizeOf(folder.placeTable(b)) >= 0)
            flushed.push_back(folder.placeTable(b));
    // Flushed side by side, so the file system commits them together instead
    // of waiting for the disk once for each file (a third of the wait).
    runOnThreads(flushed.size(), [&](std::size_t i) { flushToDisk(flushed[i], false); });
    for (const auto& [path, name] : files) {
        const std::int64_t size = sizeOf(path);
        if (size < 0)
            throw FileError(path, 0, "is missing after the split");
        content += sizeLine(name.c_str(), size);
    }
    flushToDisk(folder.bucketFolder(), true); // the renames that put them in place
    ReplacingFile file(folder.bucketStamp());
    file.write(content.data(), content.size());
    file.commit();
}

BucketState readBucketState(const DataFolder& folder, const std::string& stampText)
{
    FilePtr file;
    try {
        file = openInput(folder.bucketStamp());
    } catch (const FileError& e) {
        if (!e.notOpened())
            throw;
        return {}; // never cut, or cut by a split that did not finish
    }
    const std::string bytes = stampBytes(std::move(file));
    BucketState state;
    state.stamped = holdsStampText(bytes);
    // The record also says which breeding file they were cut from and how long
    // each file was, so a bucket cut short since is cut again.
    const auto record = parseBucketRecord(bytes);
    if (!record || record->stampText != stampText || fileIdentityOf(folder.breedingFile()) != record->breedingIdentity)
        return state;
    // A table of places of an older version (no checksums of the horses), or
    // none, cannot vouch for what a lookup answers: such buckets are cut again.
    for (int b = 0; b < kBucketCount; ++b) {
        const std::int64_t size = record->bucketSizes[static_cast<std::size_t>(b)];
        if (sizeOf(folder.bucketFile(b)) != size || !placeTableFits(folder.placeTable(b), size, cutTagOf(stampText)))
            return state;
    }
    state.current =
        sizeOf(folder.nameIndex()) == record->nameIndexSize && sizeOf(folder.horseIndex()) == record->horseIndexSize;
    return state;
}

} // namespace quindle
