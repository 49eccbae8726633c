#pragma once
// The data folder the window remembers, read where the window keeps it (Qt's
// settings: ~/.config/quindle/quindle.conf on Linux, the registry key
// HKEY_CURRENT_USER\Software\quindle\quindle on Windows), so the command line
// starts on the same folder without Qt.
#include <optional>
#include <string>
#include <string_view>

namespace quindle {

// The value of `key` in the [General] part of a settings file's text, as Qt
// writes it: quotes and backslash escapes undone, a leading "@@" read as "@".
// Nothing when the key is absent or holds a list or another kind of value.
std::optional<std::string> settingsString(std::string_view fileText, std::string_view key);

// The folder the window remembered, or empty.
std::string rememberedDataFolder();

} // namespace quindle
