#pragma once
// A stamp remembers which breeding file was cut into buckets: the file's
// modification time and size as text, then one comma, no line end. One lives in
// the working folder (Quindle.nnn, the one players know); the bucket folder keeps
// its own, written only after a split that finished, so buckets that are not
// known to be complete are always cut again.
#include <optional>
#include <string>

namespace quindle {

// The file's last-modification time in UTC, to the nanosecond, and its size:
// "YYYY-MM-DD HH:MM:SS.nnnnnnnnn UTC 1234 bytes" (no comma). A stamp of an
// older version, in local time, reads as different once. nullopt when the
// file is absent; FileError when it is not a regular file.
std::optional<std::string> stampTextOf(const std::string& path);

// The text stored in a stamp file: its first character, then every character up
// to the next comma. nullopt when the file is absent, unreadable, empty or holds
// no such comma (then the breeding file is taken as changed).
std::optional<std::string> readStamp(const std::string& stampPath);

// Replaces the stamp file with `text` and a comma. Written to a temporary file
// that is then renamed, so a stamp is never half written. Throws FileError.
void writeStamp(const std::string& stampPath, const std::string& text);

} // namespace quindle
