#include "lookup/horse_lookup.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/input_file.h"
#include "data/system_paths.h"

namespace quindle {

int bucketForID(std::int32_t id) { return bucketOf(id); }

namespace {

// The identifier of a record from its first line. Digits up to the first comma
// are read at once; anything else (blanks, quotes, a sign) goes through the one
// field reader, so the lookup reads an identifier exactly as every reader does.
std::int32_t leadingIdentifier(std::string_view line, const std::string& path, std::int64_t lineNo)
{
    const std::size_t comma = line.find(',');
    std::int32_t value = 0;
    if (comma != std::string_view::npos && comma > 0 &&
        line.find_first_not_of("0123456789") == comma && parseLeadingInt32(line.substr(0, comma), line, value))
        return value;
    FieldReader reader(line, path, lineNo);
    return reader.readInt32();
}

// Scans a bucket file record by record; only the matching record is decoded.
class BucketScanner {
public:
    BucketScanner(FilePtr file, std::string path, std::size_t blockSize)
        : file_(std::move(file)), path_(std::move(path)), buffer_(std::max<std::size_t>(blockSize, 16))
    {
    }

    LookupResult find(std::int32_t id)
    {
        for (;;) {
            std::size_t ends[kLinesPerHorse];
            if (!findRecordEnds(ends)) {
                if (pos_ == size_)
                    return {};
                throw FileError(path_, line_, "the file ends inside a record");
            }
            const char* record = buffer_.data() + pos_;
            const std::string_view firstLine(record, ends[0] - pos_);
            if (leadingIdentifier(firstLine, path_, line_) == id) {
                const std::string_view bytes(record, ends[kLinesPerHorse - 1] + 1 - pos_);
                FieldReader reader(bytes, path_, line_);
                LookupResult result;
                result.status = LookupResult::Status::Found;
                result.horse = readHorseRecord(reader);
                return result;
            }
            pos_ = ends[kLinesPerHorse - 1] + 1;
            line_ += kLinesPerHorse;
        }
    }

private:
    // Finds the line feeds that end the four lines of the record at pos_,
    // reading more of the file as needed; false at the end of the file.
    bool findRecordEnds(std::size_t (&ends)[kLinesPerHorse])
    {
        for (;;) {
            std::size_t from = pos_;
            int found = 0;
            for (; found < kLinesPerHorse; ++found) {
                const void* lf = std::memchr(buffer_.data() + from, '\n', size_ - from);
                if (!lf)
                    break;
                ends[found] = static_cast<std::size_t>(static_cast<const char*>(lf) - buffer_.data());
                from = ends[found] + 1;
            }
            if (found == kLinesPerHorse)
                return true;
            if (!readMore())
                return false;
        }
    }

    bool readMore()
    {
        if (eof_)
            return false;
        std::memmove(buffer_.data(), buffer_.data() + pos_, size_ - pos_);
        size_ -= pos_;
        pos_ = 0;
        if (size_ == buffer_.size()) {
            // The split copies no line longer than kMaxLineBytes.
            if (size_ > kLinesPerHorse * (kMaxLineBytes + 2))
                throw FileError(path_, line_, "a record is longer than four of the longest lines");
            buffer_.resize(buffer_.size() * 2); // a record longer than the buffer
        }
        const std::size_t got = std::fread(buffer_.data() + size_, 1, buffer_.size() - size_, file_.get());
        if (got == 0) {
            if (std::ferror(file_.get()))
                throw FileError(path_, 0, "the file could not be read");
            eof_ = true;
            return false;
        }
        size_ += got;
        return true;
    }

    FilePtr file_;
    std::string path_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;
    std::size_t size_ = 0;
    std::int64_t line_ = 1;
    bool eof_ = false;
};

} // namespace

LookupResult findInBucket(FilePtr file, const std::string& path, std::int32_t id, std::size_t blockSize)
{
    LookupResult result;
    try {
        if (!file)
            throw FileError(path, 0, std::string("cannot be opened: ") + std::strerror(errno));
        return BucketScanner(std::move(file), path, blockSize).find(id);
    } catch (const FileError& e) {
        result.status = LookupResult::Status::Failed;
        result.error = e.what();
    }
    return result;
}

LookupResult findHorse(const DataFolder& folder, std::int32_t id)
{
    const std::string path = folder.bucketFile(bucketForID(id));
    try {
        FilePtr file = openForReading(path);
        if (!file)
            throw FileError(path, 0, std::string("cannot be opened: ") + std::strerror(errno));
        return BucketScanner(std::move(file), path, std::size_t{1} << 20).find(id);
    } catch (const FileError& e) {
        // The split checked every horse it wrote, so the bucket was damaged after
        // it: its lines mean nothing to a player, and the next start cuts it anew.
        removeFile(folder.bucketStamp());
        LookupResult result;
        result.status = LookupResult::Status::Failed;
        result.error = path + ": " + e.problem() +
                       " (the bucket file has been damaged since it was cut from breeding.txt; the next start cuts it "
                       "again)";
        return result;
    }
}

std::array<std::string, 7> lineageNames(const HorseRecord& h)
{
    std::array<std::string, 7> names;
    const auto views = lineageViews(h);
    for (std::size_t i = 0; i < names.size(); ++i)
        names[i] = views[i];
    return names;
}

std::string ageSexText(const std::string& age, const std::string& sex) { return " " + age + "yo " + sex; }

bool isFemale(const std::string& sex) { return sex == "Mare" || sex == "Filly"; }

std::optional<Rgb> sexColour(const std::string& sex)
{
    if (isFemale(sex))
        return kFemaleColour;
    if (sex == "Horse" || sex == "Colt")
        return kMaleColour;
    return std::nullopt;
}

} // namespace quindle
