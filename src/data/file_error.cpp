#include "data/file_error.h"

#include "data/latin1_text.h"

namespace quindle {

namespace {
std::string describe(const std::string& path, std::int64_t line, const std::string& problem)
{
    std::string text = path;
    if (line > 0)
        text += ", line " + std::to_string(line);
    return text + ": " + problem;
}
} // namespace

FileError::FileError(std::string path, std::int64_t line, std::string problem, Kind kind)
    : std::runtime_error(describe(path, line, problem)),
      path_(std::move(path)),
      line_(line),
      problem_(std::move(problem)),
      kind_(kind)
{
}

std::string quoteForMessage(std::string_view text)
{
    constexpr std::size_t maxShown = 40;
    std::string shown;
    for (std::size_t i = 0; i < text.size() && i < maxShown; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        // Controls, and the bytes that stand for controls in Latin-1, are
        // shown as escapes; the rest of the file's Latin-1 goes into the
        // message as the UTF-8 every message is written in.
        if (c < 32 || (c >= 127 && c < 0xA0)) {
            static const char hex[] = "0123456789ABCDEF";
            shown += "\\x";
            shown += hex[c >> 4];
            shown += hex[c & 15];
        } else {
            shown += latin1ToUtf8(text.substr(i, 1));
        }
    }
    if (text.size() > maxShown)
        shown += "...";
    return "\"" + shown + "\"";
}

} // namespace quindle
