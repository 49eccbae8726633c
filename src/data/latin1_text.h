#pragma once
// The breeding file's names are 8-bit Latin-1; what is written for other
// programs (CSV, JSON, the stable file, copied text) is UTF-8.
#include <string>
#include <string_view>

namespace quindle {

// Every byte becomes one character in UTF-8.
std::string latin1ToUtf8(std::string_view bytes);
// The same for a message: controls (and the Latin-1 bytes that stand for
// controls) become escapes such as \x00, so a name is shown whole, never cut
// short by a NUL nor garbled by a control, in a message box or a terminal.
std::string latin1ForMessage(std::string_view bytes);

} // namespace quindle
