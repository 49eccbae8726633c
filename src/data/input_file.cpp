#include "data/input_file.h"

#include "data/file_error.h"

namespace quindle {

FilePtr openForReading(const std::string& path)
{
    return FilePtr(std::fopen(path.c_str(), "rb"));
}

ByteInput::ByteInput(FilePtr file, std::string path, std::size_t blockSize)
    : file_(std::move(file)), path_(std::move(path)), buffer_(blockSize)
{
}

ByteInput::ByteInput(std::string_view bytes, std::string path)
    : path_(std::move(path)), pos_(bytes.data()), end_(bytes.data() + bytes.size())
{
}

bool ByteInput::refill()
{
    if (!file_)
        return false;
    const std::size_t got = std::fread(buffer_.data(), 1, buffer_.size(), file_.get());
    if (got == 0) {
        if (std::ferror(file_.get())) {
            failed_ = true;
            throw FileError(path_, 0, "the file could not be read");
        }
        return false;
    }
    pos_ = buffer_.data();
    end_ = pos_ + got;
    return true;
}

} // namespace quindle
