#include "data/pieces_in_order.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <vector>

#include "data/worker_threads.h"

namespace quindle {

namespace {

struct alignas(kCacheLineBytes) Chunk {
    RecordChunk chunk; // cut beside the others being read
};

// The calling thread alone reads each piece and hands it on.
void readAlone(RecordChunker& chunker, const PieceWork& work)
{
    RecordChunk chunk;
    while (chunker.next(chunk)) {
        work.read(chunk, 0, 0);
        if (!work.handOn(chunk, 0))
            return;
    }
}

// The workers read, the calling thread hands on.
class CallerHandsOn {
public:
    CallerHandsOn(RecordChunker& chunker, std::size_t readers, const PieceWork& work)
        : chunker_(chunker),
          work_(work),
          chunks_(pieceSlotsFor(readers)),
          slots_(chunks_.size()),
          readers_(readers > 0 ? readers + 1 : 0, [this](std::size_t thread) { read(thread - 1); })
    {
    }
    ~CallerHandsOn()
    {
        {
            const std::lock_guard lock(mutex_);
            stopped_ = true;
        }
        changed_.notify_all();
        readers_.join();
    }
    CallerHandsOn(const CallerHandsOn&) = delete;
    CallerHandsOn& operator=(const CallerHandsOn&) = delete;

    // False when the system gave no thread: nothing is read then.
    bool run()
    {
        if (readers_.started() == 0)
            return false;
        for (std::int64_t next = 0;; ++next) {
            const auto slot = static_cast<std::size_t>(next % ring());
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [&] { return slots_[slot].ready || next == piecesInFile_; });
                if (next == piecesInFile_)
                    return true;
                if (slots_[slot].fault)
                    std::rethrow_exception(slots_[slot].fault); // the readers stop as the pipeline goes
            }
            const bool more = work_.handOn(chunks_[slot].chunk, slot);
            {
                const std::lock_guard lock(mutex_);
                slots_[slot].ready = false;
                ++handedOn_;
            }
            changed_.notify_all();
            if (!more)
                return true;
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
                    if (!chunker_.next(chunks_[slot].chunk)) {
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
                work_.read(chunks_[slot].chunk, slot, worker);
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
    std::vector<Chunk> chunks_;
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

// Each worker hands on what it read when its turn comes. The handing on keeps
// the turn's lock; the cutting has its own, so it goes on meanwhile.
class WorkersHandOn {
public:
    WorkersHandOn(RecordChunker& chunker, std::size_t workers, const PieceWork& work)
        : chunker_(chunker), work_(work), chunks_(workers)
    {
    }

    void run()
    {
        runOnThreads(chunks_.size(), [this](std::size_t worker) { read(worker); });
        if (fault_)
            std::rethrow_exception(fault_);
    }

private:
    void read(std::size_t worker)
    {
        RecordChunk& chunk = chunks_[worker].chunk;
        for (;;) {
            std::int64_t number = 0;
            std::exception_ptr fault;
            {
                const std::lock_guard cutting(cutMutex_);
                if (cutDone_ || stopped_)
                    return;
                number = cut_++;
                try {
                    if (!chunker_.next(chunk)) {
                        cutDone_ = true;
                        return;
                    }
                } catch (...) { // FileError, or no memory for the piece
                    cutDone_ = true;
                    fault = std::current_exception();
                }
            }
            if (!fault) {
                try {
                    work_.read(chunk, worker, worker);
                } catch (...) {
                    fault = std::current_exception();
                }
            }
            std::unique_lock lock(mutex_);
            turn_.wait(lock, [&] { return handedOn_ == number || stopped_; });
            if (stopped_)
                return;
            bool more = false;
            if (fault)
                fault_ = fault;
            else {
                try {
                    more = work_.handOn(chunk, worker);
                } catch (...) {
                    fault_ = std::current_exception();
                }
            }
            ++handedOn_;
            stopped_ = !more;
            turn_.notify_all();
            if (stopped_)
                return;
        }
    }

    RecordChunker& chunker_;
    const PieceWork& work_;
    std::vector<Chunk> chunks_; // one a worker

    std::mutex cutMutex_;
    std::int64_t cut_ = 0; // pieces cut so far
    bool cutDone_ = false;

    std::mutex mutex_;
    std::condition_variable turn_;
    std::int64_t handedOn_ = 0;
    std::atomic<bool> stopped_ = false; // set under mutex_, read by the cutting too
    std::exception_ptr fault_;          // the first, in file order
};

} // namespace

void readPiecesInOrder(RecordChunker& chunker, std::size_t workers, const PieceWork& work)
{
    // A file of one piece is read where it is handed on: no thread is worth starting.
    const std::size_t pieces = chunker.piecesAtMost();
    const std::size_t readers = workers < 2 || pieces < 2 ? 0 : std::min(workers, pieces);
    if (readers == 0)
        return readAlone(chunker, work);
    if (work.where == HandOn::InTurn)
        return WorkersHandOn(chunker, readers, work).run();
    if (!CallerHandsOn(chunker, readers, work).run())
        readAlone(chunker, work); // the system gave no thread
}

} // namespace quindle
