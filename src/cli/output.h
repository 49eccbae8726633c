#pragma once
// Large buffered writes to standard output that remember a failed write, so a
// full disk or a closed pipe ends the command with an error instead of a
// silently short answer.
#include <cstdio>
#include <string>
#include <string_view>

namespace quindle::cli {

class Out {
public:
    Out() { buffer_.reserve(kFlushAt); }
    ~Out() { flush(); }
    Out(const Out&) = delete;
    Out& operator=(const Out&) = delete;

    void write(std::string_view text)
    {
        buffer_ += text;
        if (buffer_.size() >= kFlushAt)
            flush();
    }
    // Writes large texts straight through, without copying them into the buffer.
    void writeLarge(std::string_view text)
    {
        flush();
        put(text);
    }
    void flush()
    {
        put(buffer_);
        buffer_.clear();
    }
    // Flushes everything to the system; false when any write failed.
    bool finish()
    {
        flush();
        failed_ |= std::fflush(stdout) != 0 || std::ferror(stdout);
        return !failed_;
    }
    bool failed() const { return failed_; }

private:
    static constexpr std::size_t kFlushAt = 1 << 16;
    void put(std::string_view text)
    {
        if (!text.empty() && !failed_)
            failed_ = std::fwrite(text.data(), 1, text.size(), stdout) != text.size();
    }

    std::string buffer_;
    bool failed_ = false;
};

// Writes "quindle-cli: MESSAGE" and a line end to standard error, the message
// whole whatever bytes it holds (printf's %s would stop at a NUL).
inline void sayError(std::string_view message)
{
    const std::string line = "quindle-cli: " + std::string(message) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

// Reports a failed write to standard error; returns the exit code for it.
inline int outputFailed()
{
    std::fprintf(stderr, "quindle-cli: the output could not be written in full\n");
    return 1;
}

} // namespace quindle::cli
