#pragma once
// Errors found while reading or writing one of Quindle's files. The text always
// names the file, and the line when there is one, so a player can find and mend it.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace quindle {

class FileError : public std::runtime_error {
public:
    // What kind of fault: one the file holds, or one of the three ways a file
    // to read fails to open (openInput).
    enum class Kind { Content, Missing, NotRegularFile, Unreadable };

    FileError(std::string path, std::int64_t line, std::string problem, Kind kind = Kind::Content);

    Kind kind() const { return kind_; }
    // Nothing could be read: the file is missing or cannot be opened. (One of
    // the wrong kind, a folder say, is named for what it is instead.)
    bool notOpened() const { return kind_ == Kind::Missing || kind_ == Kind::Unreadable; }
    const std::string& path() const { return path_; }
    // 0 when the problem is not tied to one line (a file that cannot be opened, say).
    std::int64_t line() const { return line_; }
    const std::string& problem() const { return problem_; }

private:
    std::string path_;
    std::int64_t line_;
    std::string problem_;
    Kind kind_;
};

// Quotes a field for an error message, keeping the message short and printable.
std::string quoteForMessage(std::string_view text);

} // namespace quindle
