#include "data/startup.h"

#include <new>
#include <optional>
#include <system_error>

#include "data/file_error.h"
#include "data/folder_lock.h"
#include "data/input_file.h"
#include "data/stamp.h"
#include "data/system_paths.h"

namespace quindle {

namespace {

// The inputs in the order a player is told of their faults: the data folder,
// the chef table (read into `chefs`), the sire list, the breeding file. The
// first one missing or unopenable, if any; a fault of another kind throws.
std::optional<InputFile> readInputs(const DataFolder& folder, ChefTable& chefs)
{
    const std::string dataFolder = folder.dir().substr(0, folder.dir().size() - 1);
    if (const std::string what = notAFolder(dataFolder); !what.empty())
        throw FileError(dataFolder, 0, what + "; name the data folder that holds the game's files");
    StartupInputs inputs;
    try {
        inputs = openStartupInputs(folder);
    } catch (const FileError& e) {
        if (!e.notOpened())
            throw;
        return InputFile::ChefTable;
    }
    chefs = readChefRows(std::move(inputs.chefTable), folder.chefTable(), inputs.chefRows);
    if (const auto& fault = inputs.sireListFault) {
        if (!fault->notOpened())
            throw *fault;
        return InputFile::SireList;
    }
    // Named before the bucket folder is looked at (or made).
    if (!stampTextOf(folder.breedingFile()))
        return InputFile::BreedingFile;
    return std::nullopt;
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
        std::optional<InputFile> missing = readInputs(folder, result.chefs);
        CutOutcome cut;
        if (!missing) {
            cut = cutBuckets(folder, observer, CutWhen::Stale);
            if (!cut.stamp)
                missing = InputFile::BreedingFile; // gone since it was looked at
        }
        if (missing) {
            result = StartupResult{};
            result.status = Outcome::Absent;
            result.missing = *missing;
            result.missingPath = *missing == InputFile::ChefTable  ? folder.chefTable()
                                 : *missing == InputFile::SireList ? folder.sireList()
                                                                   : folder.breedingFile();
            return result;
        }
        result.subdivided = cut.cut;
        // The buckets carry their own stamp, so a working folder Quindle may not write
        // to (the program's own folder on Windows), or a stamp place that is no file
        // (a folder, a FIFO, a link to a device), is worth a warning, not a refusal.
        try {
            // Two start-ups at once write the copy one after the other, not into each other's way.
            const FolderLock lock(folder.bucketFolder());
            if (readStamp(stampPath) != cut.stamp)
                writeStamp(stampPath, *cut.stamp);
        } catch (const FileError& e) {
            result.warning = std::string(e.what()) + " (this copy of the breeding file's stamp is there for the "
                                                     "player to read: the data is read as usual)";
        }
        result.stamp = *cut.stamp;
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
