#pragma once
// Reading a file in pieces of whole horses on worker threads and handing the
// pieces on in file order, written once: the split, the profiles and the best
// mares each say only what reading a piece makes and where it goes.
//
// The workers cut the pieces one after the other and read each beside the
// others. Who hands them on, piece after piece in file order, is the caller's
// choice (HandOn). Without a thread (a file of one piece, fewer than two
// workers asked for, or the system refusing them all) the calling thread reads
// each piece and hands it on; a thread the system refuses leaves its pieces to
// the others.
#include <cstddef>
#include <functional>

#include "data/record_chunks.h"

namespace quindle {

enum class HandOn {
    // The workers only read, each on a thread of its own, while the calling
    // thread hands the pieces on. At most workers + 1 pieces are read and not
    // yet handed on: a worker waits until the piece before it in its slot has
    // gone.
    OnTheCallingThread,
    // Each worker, the calling thread one of them, hands on the piece it read
    // when its turn comes, and reads the next: one piece a worker, its slot
    // the worker's own, read into the memory of the one before.
    InTurn,
};

struct PieceWork {
    // Reads the piece in `chunk` into what the caller keeps for `slot`, with
    // the state of worker `worker`: no two pieces of the same slot, nor of the
    // same worker, are read at once. What it throws ends the reading at this
    // piece: the pieces before it are handed on, it is not, and the exception
    // reaches the caller of readPiecesInOrder.
    std::function<void(const RecordChunk& chunk, std::size_t slot, std::size_t worker)> read;
    // Hands on what read() left in `slot`, one piece at a time, in file order.
    // False stops the reading; what it throws ends it and reaches the caller of
    // readPiecesInOrder.
    std::function<bool(const RecordChunk& chunk, std::size_t slot)> handOn;
    HandOn where = HandOn::OnTheCallingThread;
};

// What the caller keeps for each slot and each worker goes on cache lines of
// its own (alignas), or two workers writing beside each other slow each other.
inline constexpr std::size_t kCacheLineBytes = 64;

// How many slots and workers the caller keeps state for: `slot` of PieceWork
// stays below the first, `worker` below the second.
inline std::size_t pieceSlotsFor(std::size_t workers) { return workers + 1; }
inline std::size_t pieceWorkersFor(std::size_t workers) { return workers > 0 ? workers : 1; }

// Every piece `chunker` cuts, read by up to `workers` workers and handed on in
// file order, until the file is used up or handOn stops it. A fault of the
// chunker (FileError, no memory for a piece) is a fault of the piece it was
// cutting.
void readPiecesInOrder(RecordChunker& chunker, std::size_t workers, const PieceWork& work);

} // namespace quindle
