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
// The same for a message: controls (and the Latin-1 bytes that stand for
// controls) become escapes such as \x00, so a name is shown whole, never cut
// short by a NUL nor garbled by a control, in a message box or a terminal.
std::string latin1ForMessage(std::string_view bytes);

} // namespace quindle
