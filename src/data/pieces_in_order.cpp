#include "data/pieces_in_order.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <vector>

#include "data/worker_threads.h"

namespace quindle {

namespace {

class PiecePipeline {
public:
    PiecePipeline(RecordChunker& chunker, std::size_t readers, const PieceWork& work)
        : chunker_(chunker),
          work_(work),
          chunks_(pieceSlotsFor(readers)),
          slots_(chunks_.size()),
          readers_(readers > 0 ? readers + 1 : 0, [this](std::size_t thread) { read(thread - 1); })
    {
    }
    ~PiecePipeline()
    {
        {
            const std::lock_guard lock(mutex_);
            stopped_ = true;
        }
        changed_.notify_all();
        readers_.join();
    }
    PiecePipeline(const PiecePipeline&) = delete;
    PiecePipeline& operator=(const PiecePipeline&) = delete;

    void run()
    {
        if (readers_.started() == 0) {
            RecordChunk& chunk = chunks_[0];
            while (chunker_.next(chunk)) {
                work_.read(chunk, 0, 0);
                if (!work_.handOn(chunk, 0))
                    return;
            }
            return;
        }
        for (std::int64_t next = 0;; ++next) {
            const auto slot = static_cast<std::size_t>(next % ring());
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return slots_[slot].ready || next == piecesInFile_; });
                if (next == piecesInFile_)
                    return;
                if (slots_[slot].fault)
                    std::rethrow_exception(slots_[slot].fault); // the readers stop as the pipeline goes
            }
            const bool more = work_.handOn(chunks_[slot], slot);
            {
                const std::lock_guard lock(mutex_);
                slots_[slot].ready = false;
                ++handedOn_;
            }
            changed_.notify_all();
            if (!more)
                return;
        }
    }

private:
    struct Slot {
        bool ready = false;       // read, and not yet handed on
        std::exception_ptr fault; // what reading or cutting it threw
    };

    std::int64_t ring() const { return static_cast<std::int64_t>(slots_.size()); }

    // Cutting goes under a lock of its own, so that the handing on never
    // waits for the file to be read.
    void read(std::size_t worker)
    {
        for (;;) {
            std::size_t slot = 0;
            {
                const std::lock_guard cutting(cutMutex_);
                if (cutDone_)
                    return;
                {
                    // A slot is free again once its piece is handed on.
                    std::unique_lock lock(mutex_);
                    changed_.wait(lock, [&] { return stopped_ || cut_ - handedOn_ < ring(); });
                    if (stopped_)
                        return;
                }
                slot = static_cast<std::size_t>(cut_ % ring());
                try {
                    if (!chunker_.next(chunks_[slot])) {
                        cutDone_ = true;
                        endAt(cut_, nullptr);
                        return;
                    }
                } catch (...) { // FileError, or no memory for the piece
                    cutDone_ = true;
                    endAt(cut_ + 1, std::current_exception());
                    return;
                }
                ++cut_;
            }
            std::exception_ptr fault;
            try {
                work_.read(chunks_[slot], slot, worker);
            } catch (...) {
                fault = std::current_exception();
            }
            {
                const std::lock_guard lock(mutex_);
                slots_[slot].ready = true;
                slots_[slot].fault = fault;
                stopped_ = stopped_ || fault; // nothing after it is handed on: no more is cut
            }
            changed_.notify_all();
        }
    }

    // The file ends with piece `pieces` - 1: with `fault` when cutting it failed.
    void endAt(std::int64_t pieces, std::exception_ptr fault)
    {
        {
            const std::lock_guard lock(mutex_);
            piecesInFile_ = pieces;
            if (fault) {
                Slot& last = slots_[static_cast<std::size_t>((pieces - 1) % ring())];
                last.ready = true;
                last.fault = std::move(fault);
            }
        }
        changed_.notify_all();
    }

    RecordChunker& chunker_;
    const PieceWork& work_;
    std::vector<RecordChunk> chunks_;
    std::vector<Slot> slots_;

    std::mutex cutMutex_;
    std::int64_t cut_ = 0; // pieces cut so far
    bool cutDone_ = false;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::int64_t handedOn_ = 0;
    std::int64_t piecesInFile_ = -1; // known once the file is used up
    bool stopped_ = false;

    WorkerThreads readers_; // last: they start once the rest is ready
};

} // namespace

void readPiecesInOrder(RecordChunker& chunker, std::size_t workers, const PieceWork& work)
{
    // A file of one piece is read where it is handed on: no thread is worth starting.
    const std::size_t pieces = chunker.piecesAtMost();
    const std::size_t readers = workers < 2 || pieces < 2 ? 0 : std::min(workers, pieces);
    PiecePipeline pipeline(chunker, readers, work);
    pipeline.run();
}

} // namespace quindle
