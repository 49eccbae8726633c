#pragma once
// A file written under a temporary name beside its final one and renamed into
// place only when complete, so anyone reading sees the old file or the new one,
// never half of one. The temporary file is created anew, exclusively: a link
// left under its name is removed, never followed. Only a regular file (or
// nothing) is replaced: a device, a FIFO or a folder under the name is refused
// before anything is written.
#include <cstddef>
#include <cstdint>
#include <string>

#include "data/input_file.h"

namespace quindle {

class ReplacingFile {
public:
    // Throws FileError naming `path` when it is there but not a regular file
    // (kind NotRegularFile), or when the temporary file cannot be created.
    explicit ReplacingFile(std::string path);
    ~ReplacingFile(); // removes the temporary file unless committed
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    void write(const char* bytes, std::size_t size); // throws FileError
    // Closes the file and renames it over `path`; throws FileError.
    void commit();

    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::string temporary_;
    FilePtr file_;
    std::int64_t written_ = 0, handedOver_ = 0; // bytes, and those handed to the disk
};

} // namespace quindle
