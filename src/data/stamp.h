#pragma once
// The stamp file remembers the modification time of the breeding file that was
// last cut into buckets: the time as text, then one comma, no line end.
#include <optional>
#include <string>

namespace quindle {

// The file's last-modification time in local time, to the second, as
// "YYYY-MM-DD HH:MM:SS"; nullopt when the time cannot be read (no such file).
std::optional<std::string> stampTextOf(const std::string& path);

// The text stored in a stamp file: its first character, then every character up
// to the next comma. nullopt when the file is absent, unreadable, empty or holds
// no such comma (then the breeding file is taken as changed).
std::optional<std::string> readStamp(const std::string& stampPath);

// Replaces the stamp file with `text` and a comma. Written to a temporary file
// that is then renamed, so a stamp is never half written. Throws FileError.
void writeStamp(const std::string& stampPath, const std::string& text);

} // namespace quindle
