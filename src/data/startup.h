#pragma once
// Start-up: load the chef table, check the three input files in their fixed
// order, and cut the breeding file into buckets when it changed since the stamp.
#include <string>

#include "data/bucket_cut.h"
#include "data/chef_table.h"
#include "data/data_folder.h"
#include "data/outcome.h"

namespace quindle {

enum class InputFile { ChefTable, SireList, BreedingFile };

struct StartupResult {
    Outcome status = Outcome::Failed; // Done: ready; Absent: a file is missing
    ChefTable chefs;                  // Done
    bool subdivided = false;          // Done: the breeding file was split
    InputFile missing{};              // Absent: the first missing file
    std::string missingPath;          //   and its path as opened
    std::string error;                // Failed: file, line and what is wrong
    std::string warning;              // Done, but the stamp could not be written
    std::string stamp;                // Done: the breeding file's stamp as it was cut
};

// Runs start-up against `folder`, with the stamp file at `stampPath`.
StartupResult runStartup(const DataFolder& folder, const std::string& stampPath, const SplitObserver& observer);

// Cuts the breeding file again, under the bucket folder's lock, making the
// buckets and the name index, and stamps the buckets: what the search asks for
// when it finds the index unusable after start-up. Throws FileError.
void splitAgain(const DataFolder& folder);

// "Missing file:  " (two blanks) followed by the path.
std::string missingFileText(const std::string& path);

} // namespace quindle
