#include "data/bucket_cut.h"

#include <filesystem>
#include <system_error>

#include "data/bucket_stamp.h"
#include "data/file_error.h"
#include "data/folder_lock.h"
#include "data/name_index_file.h"
#include "data/stamp.h"
#include "data/subdivide.h"
#include "data/system_paths.h"

namespace quindle {

namespace fs = std::filesystem;

namespace {

void ensureBucketFolder(const std::string& bucketFolder)
{
    std::error_code ec;
    if (fs::is_directory(fsPath(bucketFolder), ec))
        return;
    const std::string what = notAFolder(bucketFolder);
    if (!what.empty())
        throw FileError(bucketFolder, 0,
                        what + "; Quindle keeps its bucket files in a folder of that name: move it away");
    fs::create_directory(fsPath(bucketFolder), ec);
    if (ec)
        throw FileError(bucketFolder, 0,
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
    // The name index is made in the same pass and put in place after the last
    // bucket, before the bucket folder's stamp says the cut is complete.
    NameIndexWriter index(folder, stampText);
    subdivide(folder.breedingFile(), folder, observer.progress, &index, stampText);
    index.commit();
}

} // namespace

CutOutcome cutBuckets(const DataFolder& folder, const SplitObserver& observer, CutWhen when)
{
    ensureBucketFolder(folder.bucketFolder());
    const FolderLock lock(folder.bucketFolder());
    CutOutcome outcome;
    outcome.stamp = stampTextOf(folder.breedingFile());
    if (!outcome.stamp)
        return outcome;
    const BucketState state = readBucketState(folder, *outcome.stamp);
    if (when == CutWhen::Stale && state.current)
        return outcome;
    try {
        removeBucketStamp(folder);
        split(folder, observer, *outcome.stamp);
        stampBuckets(folder, *outcome.stamp);
    } catch (const FileError& e) {
        // A bucket folder Quindle cannot write to: the cause the player can act
        // on is the change of the breeding file, not the folder.
        if (e.line() != 0 || e.path().rfind(folder.bucketFolder(), 0) != 0)
            throw;
        throw FileError(folder.breedingFile(), 0,
                        std::string(state.stamped ? "has changed since it was cut into buckets"
                                                  : "has not been cut into buckets yet") +
                            ", and the bucket folder cannot be written to cut it (" + e.what() + ")");
    }
    outcome.cut = true;
    return outcome;
}

} // namespace quindle
