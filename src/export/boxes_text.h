#pragma once
// The main window's boxes as plain text: what `quindle-cli show` prints and
// what the window copies.
#include <string>
#include <string_view>

#include "boxes/main_boxes.h"

namespace quindle {

// 8-bit names are Latin-1; every byte becomes one character in UTF-8.
std::string latin1ToUtf8(std::string_view bytes);
// A readable pedigree chart and profile grid, in UTF-8.
std::string boxesPlain(const MainBoxes& boxes);

} // namespace quindle
