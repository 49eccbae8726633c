#pragma once
// Where a damaged file of the player's is moved so that nothing of it is lost:
// beside it as FILE.damaged, then FILE.damaged-2, ... whichever is free first.
#include <string>

namespace quindle {

// The first of FILE.damaged, FILE.damaged-2, ... that is free.
std::string asidePath(const std::string& path);

// Renames `path` to `aside`; false when it could not be.
bool moveAside(const std::string& path, const std::string& aside);

} // namespace quindle
