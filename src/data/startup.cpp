#include "data/startup.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "data/file_error.h"
#include "data/folder_lock.h"
#include "data/input_file.h"
#include "data/stamp.h"
#include "data/subdivide.h"
#include "data/system_paths.h"

namespace quindle {

namespace fs = std::filesystem;

namespace {

StartupResult missing(InputFile which, std::string path)
{
    StartupResult result;
    result.status = StartupResult::Status::MissingFile;
    result.missing = which;
    result.missingPath = std::move(path);
    return result;
}

// True when the bucket folder, all ten bucket files and the name index are there.
bool bucketsPresent(const DataFolder& folder)
{
    std::error_code ec;
    for (int b = 0; b < kBucketCount; ++b)
        if (!fs::is_regular_file(fsPath(folder.bucketFile(b)), ec))
            return false;
    return fs::is_regular_file(folder.nameIndex(), ec) && fs::is_regular_file(folder.horseIndex(), ec);
}

void ensureBucketFolder(const DataFolder& folder)
{
    std::error_code ec;
    if (fs::is_directory(fsPath(folder.bucketFolder()), ec))
        return;
    fs::create_directory(fsPath(folder.bucketFolder()), ec);
    if (ec)
        throw FileError(folder.bucketFolder(), 0,
                        "the folder cannot be created (" + ec.message() +
                            "); Quindle keeps its bucket files there, so the data folder must be writable");
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
    subdivide(folder.breedingFile(), folder, observer.progress, stampText);
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
    if (when == CutWhen::Stale && readStamp(folder.bucketStamp()) == outcome.stamp && bucketsPresent(folder))
        return outcome;
    removeStamp(folder.bucketStamp());
    split(folder, observer, *outcome.stamp);
    writeStamp(folder.bucketStamp(), *outcome.stamp);
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
        const auto chefCount = countNonEmptyLines(folder.chefTable());
        if (!chefCount)
            return missing(InputFile::ChefTable, folder.chefTable());
        if (*chefCount > INT32_MAX)
            throw FileError(folder.chefTable(), 0, "has more rows than the table can hold");
        FilePtr chefFile = openForReading(folder.chefTable());
        if (!chefFile)
            return missing(InputFile::ChefTable, folder.chefTable());
        result.chefs = readChefRows(std::move(chefFile), folder.chefTable(), *chefCount);

        if (!openForReading(folder.sireList()))
            return missing(InputFile::SireList, folder.sireList());

        if (!stampTextOf(folder.breedingFile()))
            return missing(InputFile::BreedingFile, folder.breedingFile());

        const CutOutcome cut = cutBuckets(folder, observer, CutWhen::Stale);
        if (!cut.stamp)
            return missing(InputFile::BreedingFile, folder.breedingFile());
        const std::optional<std::string>& stampText = cut.stamp;
        result.subdivided = cut.cut;
        // The buckets carry their own stamp, so a working folder Quindle may not write
        // to (the program's own folder on Windows) is worth a warning, not a refusal.
        if (readStamp(stampPath) != stampText) {
            try {
                writeStamp(stampPath, *stampText);
            } catch (const FileError& e) {
                result.warning = e.what();
            }
        }
        result.stamp = *stampText;
        result.status = StartupResult::Status::Ready;
    } catch (const FileError& e) {
        result = StartupResult{};
        result.error = e.what();
    } catch (const std::exception& e) {
        result = StartupResult{};
        result.error = e.what();
    }
    return result;
}

} // namespace quindle
