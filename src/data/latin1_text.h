#pragma once
// The breeding file's names are 8-bit Latin-1; what is written for other
// programs (CSV, JSON, the stable file, copied text) is UTF-8.
#include <optional>
#include <string>
#include <string_view>

namespace quindle {

// Every byte becomes one character in UTF-8.
std::string latin1ToUtf8(std::string_view bytes);
// The other way: nullopt when the text is not UTF-8 or holds a character past U+00FF.
std::optional<std::string> utf8ToLatin1(std::string_view utf8);

} // namespace quindle
