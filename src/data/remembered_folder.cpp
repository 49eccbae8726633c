#include "data/remembered_folder.h"

#include <cstdint>
#include <exception>
#include <vector>

#include "data/blanks.h"
#include "data/system_paths.h"

#ifdef _WIN32
#include <windows.h>

#include <filesystem>
#else
#include "data/input_file.h"
#endif

namespace quindle {

namespace {

std::string_view trimmed(std::string_view text) { return trimBlanks(text, " \t\r"); }

void appendUtf8(std::string& out, std::uint32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// One value as Qt escapes it: parts in double quotes keep their blanks and
// commas, a backslash starts an escape, and a comma outside quotes makes a list.
std::optional<std::string> unescaped(std::string_view value)
{
    std::string out;
    bool quoted = false;
    for (std::size_t i = 0; i < value.size();) {
        const char c = value[i++];
        if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            return std::nullopt;
        } else if (c != '\\' || i == value.size()) {
            out += c;
        } else {
            const char e = value[i++];
            const auto digits = [&](int base, std::size_t most) {
                std::uint32_t code = 0;
                for (std::size_t n = 0; n < most && i < value.size(); ++n, ++i) {
                    const char d = value[i];
                    const int digit = d >= '0' && d <= '9'   ? d - '0'
                                      : d >= 'a' && d <= 'f' ? d - 'a' + 10
                                      : d >= 'A' && d <= 'F' ? d - 'A' + 10
                                                             : 99;
                    if (digit >= base)
                        break;
                    code = code * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(digit);
                }
                appendUtf8(out, code & 0xFFFF);
            };
            switch (e) {
            case 'a':
                out += '\a';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'v':
                out += '\v';
                break;
            case 'x':
                digits(16, 4);
                break;
            default:
                if (e >= '0' && e <= '7') {
                    --i;
                    digits(8, 3);
                } else {
                    out += e; // \" \' \? \\ and anything else stand for themselves
                }
            }
        }
    }
    if (out.starts_with("@@"))
        return out.substr(1);
    if (out.starts_with('@'))
        return std::nullopt; // a value of another kind than text
    return out;
}

} // namespace

std::optional<std::string> settingsString(std::string_view fileText, std::string_view key)
{
    std::optional<std::string> found;
    bool general = true; // keys before any [section] are general ones too
    while (!fileText.empty()) {
        const std::size_t end = fileText.find('\n');
        const std::string_view line = trimmed(fileText.substr(0, end));
        fileText.remove_prefix(end == std::string_view::npos ? fileText.size() : end + 1);
        if (line.starts_with('[')) {
            general = line == "[General]";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (general && equals != std::string_view::npos && trimmed(line.substr(0, equals)) == key)
            found = unescaped(trimmed(line.substr(equals + 1)));
    }
    return found;
}

#ifdef _WIN32
std::string rememberedDataFolder()
{
    wchar_t value[2048];
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\quindle\\quindle", L"dataFolder", RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS)
        return {};
    return utf8Path(std::filesystem::path(value));
}
#else
std::string rememberedDataFolder()
{
    // Where Qt keeps a program's settings: $XDG_CONFIG_HOME, else ~/.config.
    std::string config = environmentValue("XDG_CONFIG_HOME");
    if (config.empty() || config[0] != '/') {
        const std::string home = environmentValue("HOME");
        if (home.empty())
            return {};
        config = home + "/.config";
    }
    std::vector<char> text;
    try {
        text = readWholeFile(config + "/quindle/quindle.conf", 0, 1 << 20);
    } catch (const std::exception&) {
        return {}; // unreadable: nothing is remembered
    }
    return settingsString(std::string_view(text.data(), text.size()), "dataFolder").value_or("");
}
#endif

} // namespace quindle
