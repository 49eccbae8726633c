#include "data/startup.h"

#include <cerrno>
#include <filesystem>
#include <new>
#include <optional>
#include <system_error>

#include "data/bucket_stamp.h"
#include "data/file_error.h"
#include "data/folder_lock.h"
#include "data/input_file.h"
#include "data/name_index_file.h"
#include "data/stamp.h"
#include "data/subdivide.h"
#include "data/system_paths.h"

namespace quindle {

namespace fs = std::filesystem;

namespace {

StartupResult missing(InputFile which, std::string path)
{
    StartupResult result;
    result.status = Outcome::Absent;
    result.missing = which;
    result.missingPath = std::move(path);
    return result;
}

// An input that start-up requires, or null when it is missing or cannot be
// opened: the player is told it is missing. One of the wrong kind throws on.
FilePtr openedOrNull(const std::string& path)
{
    try {
        return openInput(path);
    } catch (const FileError& e) {
        if (!e.notOpened())
            throw;
        return nullptr;
    }
}

// What stands at `path` when it is not a folder, for a message; empty for a folder.
std::string notAFolder(const std::string& path)
{
    std::error_code ec;
    const fs::file_status status = fs::status(fsPath(path), ec);
    if (ec && ec.value() == ELOOP)
        return "is a symbolic link that leads back to itself, not a folder";
    if (ec || status.type() == fs::file_type::directory || status.type() == fs::file_type::not_found)
        return {};
    if (fs::is_symlink(fs::symlink_status(fsPath(path), ec)) && status.type() != fs::file_type::regular)
        return "is a symbolic link to a device or other special file, not a folder";
    return status.type() == fs::file_type::regular ? "is a file, not a folder" : "is not a folder";
}

void ensureBucketFolder(const DataFolder& folder)
{
    std::error_code ec;
    if (fs::is_directory(fsPath(folder.bucketFolder()), ec))
        return;
    const std::string what = notAFolder(folder.bucketFolder());
    if (!what.empty())
        throw FileError(folder.bucketFolder(), 0,
                        what + "; Quindle keeps its bucket files in a folder of that name: move it away");
    fs::create_directory(fsPath(folder.bucketFolder()), ec);
    if (ec)
        throw FileError(folder.bucketFolder(), 0,
                        "the folder cannot be created (" + ec.message() +
                            "); Quindle keeps its bucket files there, so the data folder must be writable");
}

// A breeding file that must be cut into a folder Quindle cannot write to: the
// cause is the change of the breeding file, not the folder.
[[noreturn]] void cannotCut(const DataFolder& folder, bool changed, const FileError& e)
{
    throw FileError(
        folder.breedingFile(), 0,
        std::string(changed ? "has changed since it was cut into buckets" : "has not been cut into buckets yet") +
            ", and the bucket folder cannot be written to cut it (" + e.what() + ")");
}

bool isWriteFault(const DataFolder& folder, const FileError& e)
{
    return e.line() == 0 && e.path().rfind(folder.bucketFolder(), 0) == 0;
}

void split(const DataFolder& folder, const SplitObserver& observer, const std::string& stampText)
{
    struct EndsGuard {
        const SplitObserver& observer;
        ~EndsGuard()
        {
            if (observer.ends)
                observer.ends();
        }
    };
    if (observer.begins)
        observer.begins();
    EndsGuard guard{observer};
    // The name index is made in the same pass and put in place after the last
    // bucket, before the bucket folder's stamp says the cut is complete.
    NameIndexWriter index(folder, stampText);
    subdivide(folder.breedingFile(), folder, observer.progress, &index);
    index.commit();
}

enum class CutWhen { Stale, Always };
struct CutOutcome {
    std::optional<std::string> stamp; // the breeding file's, nullopt when it is missing
    bool cut = false;
};

// The one way the buckets are cut: under the bucket folder's lock, so one
// start-up at a time decides and splits and a second one waits and then finds
// the buckets current. The bucket folder's own stamp is removed first and
// written only by a split that finished: buckets not known to be complete are
// always cut again.
CutOutcome cutBuckets(const DataFolder& folder, const SplitObserver& observer, CutWhen when)
{
    ensureBucketFolder(folder);
    const FolderLock lock(folder.bucketFolder());
    CutOutcome outcome;
    outcome.stamp = stampTextOf(folder.breedingFile());
    if (!outcome.stamp)
        return outcome;
    // The record also says which breeding file they were cut from and how long
    // each file was, so a bucket cut short since is cut again.
    if (when == CutWhen::Stale && bucketsAsRecorded(folder, *outcome.stamp))
        return outcome;
    const bool changed = readStamp(folder.bucketStamp()).has_value();
    try {
        removeStamp(folder.bucketStamp());
        split(folder, observer, *outcome.stamp);
        stampBuckets(folder, *outcome.stamp);
    } catch (const FileError& e) {
        if (!isWriteFault(folder, e))
            throw;
        cannotCut(folder, changed, e);
    }
    outcome.cut = true;
    return outcome;
}

} // namespace

std::string missingFileText(const std::string& path) { return "Missing file:  " + path; }

void splitAgain(const DataFolder& folder)
{
    if (!cutBuckets(folder, {}, CutWhen::Always).stamp)
        throw FileError(folder.breedingFile(), 0, "is missing");
}

StartupResult runStartup(const DataFolder& folder, const std::string& stampPath, const SplitObserver& observer)
{
    StartupResult result;
    try {
        const std::string dataFolder = folder.dir().substr(0, folder.dir().size() - 1);
        if (const std::string what = notAFolder(dataFolder); !what.empty())
            throw FileError(dataFolder, 0, what + "; name the data folder that holds the game's files");
        const auto chefCount = countNonEmptyLines(folder.chefTable());
        if (!chefCount)
            return missing(InputFile::ChefTable, folder.chefTable());
        if (*chefCount > INT32_MAX)
            throw FileError(folder.chefTable(), 0, "has more rows than the table can hold");
        FilePtr chefFile = openedOrNull(folder.chefTable());
        if (!chefFile)
            return missing(InputFile::ChefTable, folder.chefTable());
        result.chefs = readChefRows(std::move(chefFile), folder.chefTable(), *chefCount);

        if (!openedOrNull(folder.sireList()))
            return missing(InputFile::SireList, folder.sireList());

        if (!stampTextOf(folder.breedingFile()))
            return missing(InputFile::BreedingFile, folder.breedingFile());

        const CutOutcome cut = cutBuckets(folder, observer, CutWhen::Stale);
        if (!cut.stamp)
            return missing(InputFile::BreedingFile, folder.breedingFile());
        const std::optional<std::string>& stampText = cut.stamp;
        result.subdivided = cut.cut;
        // The buckets carry their own stamp, so a working folder Quindle may not write
        // to (the program's own folder on Windows), or a stamp place that is no file
        // (a folder, a FIFO, a link to a device), is worth a warning, not a refusal.
        try {
            if (readStamp(stampPath) != stampText)
                writeStamp(stampPath, *stampText);
        } catch (const FileError& e) {
            result.warning = e.what();
        }
        result.stamp = *stampText;
        result.status = Outcome::Done;
    } catch (const FileError& e) {
        result = StartupResult{};
        result.error = e.what();
    } catch (const std::bad_alloc&) {
        result = StartupResult{};
        result.error = "there is not enough memory to start";
    } catch (const std::system_error& e) {
        result = StartupResult{};
        result.error = std::string("the system refused: ") + e.what();
    } catch (const std::exception& e) {
        result = StartupResult{};
        result.error = e.what();
    }
    return result;
}

} // namespace quindle
