#pragma once
// Reads a list file's JSON straight into a Stable, event by event, without
// building the whole document: memory stays near the file's own size and time
// near linear, however the file is shaped. Members the program does not know
// are kept as they stand (each as a small document of its own).
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "stable/stable_file.h"

namespace quindle {

// The stable the text holds, or (in `why`) what is wrong with it, naming the
// horse, the member or the line and column.
std::optional<Stable> readStableText(std::string_view text, std::string& why);

// The first place where a kept file's JSON nests deeper or holds more values
// than any such file does (so no reader or writer of it runs out of stack);
// nullopt when it does neither. The other kept files are read with it too.
std::optional<std::string> jsonTooComplex(std::string_view text);
// "line L, column C" of the byte at `offset`, counted in characters.
std::string jsonPlaceOf(std::string_view text, std::size_t offset);

} // namespace quindle
