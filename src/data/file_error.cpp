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
    return "\"" + latin1ForMessage(text.substr(0, maxShown)) + (text.size() > maxShown ? "..." : "") + "\"";
}

} // namespace quindle
