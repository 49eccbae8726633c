#pragma once
// Start-up as the window runs it: the progress window during a split, the
// "File Error" warning for a missing file, a message for any other error.
#include <optional>
#include <string>

#include "data/chef_table.h"
#include "data/data_folder.h"

namespace quindle::ui {

// The chef table when the program may go on; nullopt after the message was shown.
std::optional<ChefTable> startUp(const DataFolder& folder, const std::string& stampPath);

} // namespace quindle::ui
