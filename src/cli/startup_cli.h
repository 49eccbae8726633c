#pragma once
// The start-up every command runs first: the same as the window's, with its
// messages on standard error.
#include <optional>

#include "data/chef_table.h"
#include "data/data_folder.h"

namespace quindle::cli {

// The chef table when the data folder is ready; null after printing why not.
std::optional<ChefTable> startUp(const DataFolder& folder);

// True once startUp has come back ready: a failure from then on ends the command
// with 1 (not fully read or written), before it with 2 (a start-up error).
bool startedUp();

// With --state-folder the stamp file is kept in the state folder, as the window keeps it.
void keepStampInStateFolder(bool yes);

} // namespace quindle::cli
