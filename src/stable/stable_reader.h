#pragma once
// Reads a list file's JSON straight into a Stable, event by event, without
// building the whole document: memory stays near the file's own size and time
// near linear, however the file is shaped. Members the program does not know
// are kept as they stand (each as a small document of its own).
#include <optional>
#include <string>
#include <string_view>

#include "stable/stable_file.h"

namespace quindle {

// The stable the text holds, or (in `why`) what is wrong with it, naming the
// horse, the member or the line and column.
std::optional<Stable> readStableText(std::string_view text, std::string& why);

} // namespace quindle
