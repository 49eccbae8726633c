#include "data/record_chunks.h"

#include <algorithm>

#include "data/file_error.h"

namespace quindle {

namespace {
bool isLineEnd(unsigned char c) { return c == '\r' || c == '\n'; }
} // namespace

LineCounts countLines(std::string_view bytes, char before)
{
    LineCounts total;
    if (bytes.empty())
        return total;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto first = p[0];
    const auto previous = static_cast<unsigned char>(before);
    total.ends += (first == '\r') | ((first == '\n') & (previous != '\r'));
    total.starts += !isLineEnd(first) & isLineEnd(previous);
    // Branch-free and in blocks short enough for byte-wide sums, so the compiler
    // runs it on whole vectors: this pass keeps the pieces flowing to the readers.
    for (std::size_t i = 1; i < bytes.size();) {
        const std::size_t stop = std::min(bytes.size(), i + 255);
        std::uint8_t ends = 0, starts = 0;
        for (; i < stop; ++i) {
            const unsigned char a = p[i - 1], b = p[i];
            ends += static_cast<std::uint8_t>((b == '\r') | ((b == '\n') & (a != '\r')));
            starts += static_cast<std::uint8_t>(((b != '\r') & (b != '\n')) & ((a == '\r') | (a == '\n')));
        }
        total.ends += ends;
        total.starts += starts;
    }
    return total;
}

RecordChunker::RecordChunker(FilePtr file, std::string path, std::size_t targetSize)
    : file_(std::move(file)), path_(std::move(path)), target_(std::max<std::size_t>(targetSize, 1))
{
}

std::size_t RecordChunker::readMore(RecordChunk& into, std::size_t count)
{
    if (into.storage_.size() < into.size_ + count)
        into.storage_.resize(into.size_ + count);
    const std::size_t got = std::fread(into.storage_.data() + into.size_, 1, count, file_.get());
    into.size_ += got;
    if (got < count && std::ferror(file_.get()))
        throw FileError(path_, 0, "the file could not be read");
    return got;
}

bool RecordChunker::next(RecordChunk& chunk)
{
    if (chunk.storage_.size() < carry_.size())
        chunk.storage_.resize(carry_.size());
    std::copy(carry_.begin(), carry_.end(), chunk.storage_.begin());
    chunk.size_ = carry_.size();
    carry_.clear();
    chunk.firstLine_ = line_;
    const char before = before_;
    std::size_t want = target_;
    for (;;) {
        if (!atEndOfFile_ && file_)
            atEndOfFile_ = readMore(chunk, want) < want;
        else
            atEndOfFile_ = true;
        if (atEndOfFile_)
            return chunk.size_ > 0; // the rest of the file, whatever it holds

        const std::string_view bytes = chunk.bytes();
        // The last horse start in the bytes, found from the end: the count of
        // non-empty lines before it is a multiple of four (the piece itself starts
        // at a horse start, or at the start of the file). Never a cut with no
        // non-empty line before it: the reader checks the first field of the file
        // for a byte-order mark, also after empty lines, so that field must stay
        // in the first piece.
        const LineCounts all = countLines(bytes, before);
        std::int64_t startsFromHere = 0;
        for (std::size_t at = bytes.size() - 1; at > 0; --at) {
            const auto c = static_cast<unsigned char>(bytes[at]);
            if (isLineEnd(c) || !isLineEnd(static_cast<unsigned char>(bytes[at - 1])))
                continue;
            ++startsFromHere;
            const std::int64_t startsBefore = all.starts - startsFromHere;
            if (startsBefore == 0 || startsBefore % 4 != 0)
                continue;
            const std::string_view rest(bytes.data() + at, bytes.size() - at);
            carry_.assign(rest);
            line_ += all.ends - countLines(rest, bytes[at - 1]).ends;
            before_ = bytes[at - 1];
            chunk.size_ = at;
            return true;
        }
        want = bytes.size(); // no horse starts here after the first: read as much again
    }
}

} // namespace quindle
