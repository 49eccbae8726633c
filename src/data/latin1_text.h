#pragma once
// The breeding file's names are 8-bit Latin-1; what is written for other
// programs (CSV, JSON, the stable file, copied text) is UTF-8.
#include <string>
#include <string_view>

namespace quindle {

// Every byte becomes one character in UTF-8.
std::string latin1ToUtf8(std::string_view bytes);

} // namespace quindle
