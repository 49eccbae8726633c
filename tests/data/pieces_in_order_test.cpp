// Pieces read on several threads come out as one reader cuts them: in file
// order, up to the first fault, whatever threads the system gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

#include "data/file_error.h"
#include "data/pieces_in_order.h"
#include "support/refused_threads.h"
#include "support/temp_dir.h"

using namespace quindle;
using namespace quindle::testing;

namespace {

struct Pieces {
    std::vector<std::int64_t> lines; // the first line of each piece handed on
    std::string fault;
    std::set<std::thread::id> readers;
    int mostInFlight = 0; // pieces being read or waiting to be handed on at once
};

Pieces cutAlone(const std::string& path)
{
    Pieces out;
    RecordChunker chunker(openInput(path), path, 4096);
    RecordChunk chunk;
    try {
        while (chunker.next(chunk))
            out.lines.push_back(chunk.firstLine());
    } catch (const FileError& e) {
        out.fault = e.what();
    }
    return out;
}

// Four workers. Reading the piece on line `throwAt` throws, handing on the one
// on `stopAt` stops; with `firstLast` the first piece waits for all the others
// the workers can read meanwhile.
Pieces readInOrder(const std::string& path, HandOn where, std::int64_t throwAt = 0, std::int64_t stopAt = 0,
                   bool firstLast = false)
{
    Pieces out;
    RecordChunker chunker(openInput(path), path, 4096);
    std::vector<std::int64_t> slots(pieceSlotsFor(4));
    std::atomic<int> read{0}, inFlight{0}, most{0};
    std::mutex mutex;
    const int meanwhile = where == HandOn::InTurn ? 3 : 4;
    PieceWork work;
    work.where = where;
    work.read = [&](const RecordChunk& chunk, std::size_t slot, std::size_t) {
        for (int now = ++inFlight, seen = most; seen < now && !most.compare_exchange_weak(seen, now);) {
        }
        {
            const std::lock_guard lock(mutex);
            out.readers.insert(std::this_thread::get_id());
        }
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (firstLast && chunk.firstLine() == 1 && read < meanwhile && std::chrono::steady_clock::now() < until)
            std::this_thread::yield();
        if (chunk.firstLine() == throwAt)
            throw std::runtime_error("broken piece");
        slots[slot] = chunk.firstLine();
        ++read;
    };
    work.handOn = [&](const RecordChunk& chunk, std::size_t slot) {
        --inFlight;
        EXPECT_EQ(slots[slot], chunk.firstLine());
        out.lines.push_back(slots[slot]);
        return slots[slot] != stopAt;
    };
    try {
        readPiecesInOrder(chunker, 4, work);
    } catch (const std::exception& e) {
        out.fault = e.what();
    }
    out.mostInFlight = most;
    return out;
}

} // namespace

TEST(PiecesInOrder, LaterPiecesReadFirstWaitForTheFirstAndAtMostOneMoreThanTheWorkersAreHeld)
{
    TempDir dir;
    writeFile(dir.file("breeding.txt"), breedingFile(2000)); // some 60 pieces
    const std::vector<std::int64_t> lines = cutAlone(dir.file("breeding.txt")).lines;
    const Pieces four = readInOrder(dir.file("breeding.txt"), HandOn::OnTheCallingThread, 0, 0, true);
    EXPECT_EQ(four.lines, lines);
    EXPECT_EQ(four.fault, "");
    EXPECT_EQ(four.mostInFlight, 5);
    EXPECT_FALSE(four.readers.contains(std::this_thread::get_id())); // the calling thread only hands on
    const Pieces inTurn = readInOrder(dir.file("breeding.txt"), HandOn::InTurn, 0, 0, true);
    EXPECT_EQ(inTurn.lines, lines);
    EXPECT_EQ(inTurn.mostInFlight, 4); // one piece a worker
}

TEST(PiecesInOrder, AFaultOrAStopEndsAtItsPieceWithThoseBeforeHandedOnWhateverThreadsAreGiven)
{
    TempDir dir;
    writeFile(dir.file("breeding.txt"), breedingFile(2000));
    const std::vector<std::int64_t> lines = cutAlone(dir.file("breeding.txt")).lines;
    const std::vector<std::int64_t> five(lines.begin(), lines.begin() + 5);
    for (const HandOn where : {HandOn::OnTheCallingThread, HandOn::InTurn})
        for (const int allowed : {0, 1, 8}) {
            const RefusedThreads refused(allowed);
            const Pieces whole = readInOrder(dir.file("breeding.txt"), where);
            EXPECT_EQ(whole.lines, lines) << allowed;
            if (where == HandOn::OnTheCallingThread) {
                EXPECT_LE(whole.readers.size(), allowed == 0 ? 1u : std::min<std::size_t>(allowed, 4)) << allowed;
                EXPECT_EQ(whole.readers.contains(std::this_thread::get_id()), allowed == 0);
            }
            const Pieces broken = readInOrder(dir.file("breeding.txt"), where, lines[5]);
            EXPECT_EQ(broken.lines, five) << allowed;
            EXPECT_EQ(broken.fault, "broken piece");
            const Pieces stopped = readInOrder(dir.file("breeding.txt"), where, 0, lines[4]);
            EXPECT_EQ(stopped.lines, five) << allowed;
            EXPECT_EQ(stopped.fault, "");
        }
    // A line too long to cut: the pieces before it, then the chunker's fault.
    writeFile(dir.file("long.txt"), breedingFile(1000) + std::string(std::size_t{5} << 20, 'x') + "\r\n");
    const Pieces alone = cutAlone(dir.file("long.txt"));
    ASSERT_NE(alone.fault, "");
    for (const HandOn where : {HandOn::OnTheCallingThread, HandOn::InTurn}) {
        const Pieces four = readInOrder(dir.file("long.txt"), where);
        EXPECT_EQ(four.lines, alone.lines);
        EXPECT_EQ(four.fault, alone.fault);
    }
    // A file of one piece is read where it is handed on: no thread is asked for.
    writeFile(dir.file("small.txt"), breedingFile(3));
    const RefusedThreads counted(8);
    EXPECT_EQ(readInOrder(dir.file("small.txt"), HandOn::InTurn).lines, std::vector<std::int64_t>{1});
    EXPECT_EQ(counted.asked(), 0);
}
