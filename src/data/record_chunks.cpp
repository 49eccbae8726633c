#include "data/record_chunks.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <limits>

#include "data/byte_words.h"
#include "data/file_error.h"
#include "data/input_file.h"
#include "data/line_ends.h"

namespace quindle {

using line_ends::isLineEnd;

LineCounts countLines(std::string_view bytes, char before)
{
    LineCounts total;
    const char* p = bytes.data();
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    bool afterCr = before == '\r', afterEnd = isLineEnd(static_cast<unsigned char>(before));
    // Sixty-four bytes a step, as bit masks: this pass sees every byte of the
    // file and keeps the pieces flowing to the readers.
    for (; i + 64 <= n; i += 64) {
        const line_ends::Bits found = line_ends::bits64(p + i);
        const std::uint64_t ends = found.any();
        total.ends += byte_words::countBits(found.ends(afterCr));
        total.starts += byte_words::countBits(~ends & (ends << 1 | std::uint64_t{afterEnd}));
        afterCr = found.cr >> 63;
        afterEnd = ends >> 63;
    }
    const LineCounts rest = detail::countLinesByBytes(bytes.substr(i), i > 0 ? bytes[i - 1] : before);
    total.ends += rest.ends;
    total.starts += rest.starts;
    return total;
}

namespace detail {
LineCounts countLinesByBytes(std::string_view bytes, char before)
{
    LineCounts total;
    bool afterCr = before == '\r', afterEnd = isLineEnd(static_cast<unsigned char>(before));
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        total.ends += line_ends::endsLine(c, afterCr);
        total.starts += !isLineEnd(c) && afterEnd;
        afterCr = c == '\r';
        afterEnd = isLineEnd(c);
    }
    return total;
}
} // namespace detail

RecordChunker::RecordChunker(FilePtr file, std::string path, std::size_t targetSize)
    : file_(std::move(file)), path_(std::move(path)), target_(std::max<std::size_t>(targetSize, 1))
{
    // A piece may run past its target by a horse, so a file of n targets
    // gives at most n + 1 pieces; a size not known leaves the count open.
    std::error_code failed;
    const std::uintmax_t size = std::filesystem::file_size(path_, failed);
    piecesAtMost_ = failed ? std::numeric_limits<std::size_t>::max() : static_cast<std::size_t>(size / target_) + 1;
}

std::size_t RecordChunker::readMore(RecordChunk& into, std::size_t count)
{
    if (into.storage_.size() < into.size_ + count + RecordChunk::kPadding)
        into.storage_.resize(into.size_ + count + RecordChunk::kPadding);
    const std::size_t got = readBlock(file_.get(), into.storage_.data() + into.size_, count, path_);
    into.size_ += got;
    return got;
}

void RecordChunker::cutAt(RecordChunk& chunk, std::size_t at, std::int64_t ends, bool textBefore)
{
    const std::string_view bytes = chunk.bytes();
    const std::string_view rest(bytes.data() + at, bytes.size() - at);
    carry_.assign(rest);
    line_ += ends - countLines(rest, bytes[at - 1]).ends;
    before_ = bytes[at - 1];
    seenText_ = seenText_ || textBefore;
    chunk.size_ = at;
}

bool RecordChunker::next(RecordChunk& chunk)
{
    if (chunk.storage_.size() < carry_.size() + RecordChunk::kPadding)
        chunk.storage_.resize(carry_.size() + RecordChunk::kPadding);
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
        std::size_t lastLineStart = 0; // the last place a line starts, found first
        std::int64_t startsBeforeLast = 0;
        for (std::size_t at = bytes.size() - 1; at > 0; --at) {
            const auto c = static_cast<unsigned char>(bytes[at]), previous = static_cast<unsigned char>(bytes[at - 1]);
            if (!line_ends::startsLine(previous, c))
                continue; // not the start of a line
            startsFromHere += !isLineEnd(c);
            const std::int64_t startsBefore = all.starts - startsFromHere;
            if (lastLineStart == 0)
                lastLineStart = at, startsBeforeLast = startsBefore;
            // Empty lines after a whole horse are a place to cut too, so a long
            // run of them never makes a piece long.
            if ((startsBefore == 0 && !seenText_) || startsBefore % 4 != 0)
                continue;
            cutAt(chunk, at, all.ends, startsBefore > 0);
            return true;
        }
        if (bytes.size() > target_ + 2 * kLongestHorse) {
            // No horse ends in more bytes than any horse can hold: a line is too
            // long, or empty lines break a horse. Memory stays bounded either way:
            // the first is an error here; for the second, the first horse after
            // the leading empty lines is broken within kLongestHorse bytes, so
            // the reader of this piece meets the break before a cut at the last
            // line start.
            LineWalk(path_, line_, before).walk(bytes);
            const std::size_t firstText = std::min(bytes.find_first_not_of("\r\n"), bytes.size());
            if (firstText > target_ && !seenText_)
                throw FileError(path_, line_,
                                "the file starts with more than " + std::to_string(target_) + " bytes of empty lines");
            cutAt(chunk, lastLineStart, all.ends, startsBeforeLast > 0);
            return true;
        }
        want = bytes.size(); // no horse starts here after the first: read as much again
    }
}

} // namespace quindle
