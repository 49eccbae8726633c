#pragma once
// Start-up: load the chef table, check the three input files in their fixed
// order, and cut the breeding file into buckets when it changed since the stamp.
#include <functional>
#include <string>

#include "data/chef_table.h"
#include "data/data_folder.h"

namespace quindle {

enum class InputFile { ChefTable, SireList, BreedingFile };

// Hooks for the window that shows the progress of a split.
struct SplitObserver {
    std::function<void()> begins;
    std::function<void(int)> progress;
    std::function<void()> ends; // also called when the split fails
};

struct StartupResult {
    enum class Status { Ready, MissingFile, Failed };
    Status status = Status::Failed;
    ChefTable chefs;         // Ready
    bool subdivided = false; // Ready: the breeding file was split
    InputFile missing{};     // MissingFile: the first missing file
    std::string missingPath; //   and its path as opened
    std::string error;       // Failed: file, line and what is wrong
    std::string warning;     // Ready, but the stamp could not be written
    std::string stamp;       // Ready: the breeding file's stamp as it was cut
};

// Runs start-up against `folder`, with the stamp file at `stampPath`.
StartupResult runStartup(const DataFolder& folder, const std::string& stampPath, const SplitObserver& observer);

// Cuts the breeding file again, under the bucket folder's lock, and stamps the
// buckets: for a name index found unusable after start-up. Throws FileError.
void splitAgain(const DataFolder& folder);

// "Missing file:  " (two blanks) followed by the path.
std::string missingFileText(const std::string& path);

} // namespace quindle
