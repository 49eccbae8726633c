#pragma once
// The main window's boxes as plain text: what `quindle-cli show` prints and
// what the window copies.
#include <cstdint>
#include <string>
#include <string_view>

#include "main_state/main_boxes.h"
#include "data/latin1_text.h"

namespace quindle {

// The line above a horse looked up by its identifier: "Identifier 5",
// "Identifier 7: not found", or when its bucket could not be read
// "Identifier 7: could not be looked up".
std::string identifierLine(std::int32_t id, bool found, bool failed = false);

// A readable pedigree chart and profile grid, in UTF-8.
std::string boxesPlain(const MainBoxes& boxes);

} // namespace quindle
