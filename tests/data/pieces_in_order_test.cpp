// Pieces read on several threads come out as one reader cuts them: in file
// order, up to the first fault, whatever threads the system gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "data/file_error.h"
#include "data/pieces_in_order.h"
#include "support/refused_threads.h"
#include "support/temp_dir.h"

using namespace quindle;
using namespace quindle::testing;

namespace {

constexpr std::size_t kPiece = 4096; // a file of 2,000 horses is some 60 pieces

struct Pieces {
    std::vector<std::int64_t> lines; // the first line of each piece handed on
    std::string fault;
    std::set<std::thread::id> readers;
    int mostInFlight = 0; // pieces being read or waiting to be handed on at once
};

Pieces cutAlone(const std::string& path)
{
    Pieces out;
    RecordChunker chunker(openInput(path), path, kPiece);
    RecordChunk chunk;
    try {
        while (chunker.next(chunk))
            out.lines.push_back(chunk.firstLine());
    } catch (const FileError& e) {
        out.fault = e.what();
    }
    return out;
}

// Reading the piece that starts on `throwAt` throws; handing on the one on
// `stopAt` stops. With `firstLast`, the first piece is read once four later ones are.
Pieces readInOrder(const std::string& path, std::size_t workers, std::int64_t throwAt = 0, std::int64_t stopAt = 0,
                   bool firstLast = false)
{
    Pieces out;
    RecordChunker chunker(openInput(path), path, kPiece);
    std::vector<std::int64_t> slots(pieceSlotsFor(workers));
    std::atomic<int> read{0}, inFlight{0}, most{0};
    std::mutex mutex;
    PieceWork work;
    work.read = [&](const RecordChunk& chunk, std::size_t slot, std::size_t) {
        const int now = ++inFlight;
        for (int seen = most; seen < now && !most.compare_exchange_weak(seen, now);) {
        }
        {
            const std::lock_guard lock(mutex);
            out.readers.insert(std::this_thread::get_id());
        }
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (firstLast && chunk.firstLine() == 1 && read < 4 && std::chrono::steady_clock::now() < until)
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
        readPiecesInOrder(chunker, workers, work);
    } catch (const std::exception& e) {
        out.fault = e.what();
    }
    out.mostInFlight = most;
    return out;
}

} // namespace

TEST(PiecesInOrder, LaterPiecesReadFirstWaitInFileOrderAndAtMostOneMoreThanTheWorkers)
{
    TempDir dir;
    writeFile(dir.file("breeding.txt"), breedingFile(2000));
    const Pieces alone = cutAlone(dir.file("breeding.txt"));
    ASSERT_GT(alone.lines.size(), 20u);
    const Pieces four = readInOrder(dir.file("breeding.txt"), 4, 0, 0, true);
    EXPECT_EQ(four.lines, alone.lines);
    EXPECT_EQ(four.fault, "");
    EXPECT_EQ(four.mostInFlight, 5);
    EXPECT_GT(four.readers.size(), 1u);
    EXPECT_FALSE(four.readers.contains(std::this_thread::get_id())); // the calling thread only hands on
}

TEST(PiecesInOrder, AFaultOrAStopInAMiddlePieceEndsThereWithThePiecesBeforeHandedOn)
{
    TempDir dir;
    writeFile(dir.file("breeding.txt"), breedingFile(2000));
    const std::vector<std::int64_t> lines = cutAlone(dir.file("breeding.txt")).lines;
    for (const int allowed : {0, 8}) {
        const RefusedThreads refused(allowed);
        const Pieces broken = readInOrder(dir.file("breeding.txt"), 4, lines[5]);
        EXPECT_EQ(broken.lines, std::vector(lines.begin(), lines.begin() + 5)) << allowed;
        EXPECT_EQ(broken.fault, "broken piece");
        const Pieces stopped = readInOrder(dir.file("breeding.txt"), 4, 0, lines[5]);
        EXPECT_EQ(stopped.lines, std::vector(lines.begin(), lines.begin() + 6)) << allowed;
        EXPECT_EQ(stopped.fault, "");
    }
    // A line too long to cut: the pieces before it, then the chunker's fault.
    writeFile(dir.file("long.txt"), breedingFile(1000) + std::string(kMaxLineBytes + 1, 'x') + "\r\n");
    const Pieces alone = cutAlone(dir.file("long.txt"));
    ASSERT_NE(alone.fault, "");
    const Pieces four = readInOrder(dir.file("long.txt"), 4);
    EXPECT_EQ(four.lines, alone.lines);
    EXPECT_EQ(four.fault, alone.fault);
}

TEST(PiecesInOrder, RefusedThreadsLeaveTheirPiecesToTheOthersAndOnePieceStartsNone)
{
    TempDir dir;
    writeFile(dir.file("breeding.txt"), breedingFile(2000));
    const std::vector<std::int64_t> lines = cutAlone(dir.file("breeding.txt")).lines;
    for (const int allowed : {0, 1}) {
        const RefusedThreads refused(allowed);
        const Pieces some = readInOrder(dir.file("breeding.txt"), 4);
        EXPECT_EQ(some.lines, lines) << allowed;
        EXPECT_EQ(some.readers.size(), 1u);
        EXPECT_EQ(some.readers.contains(std::this_thread::get_id()), allowed == 0);
    }
    writeFile(dir.file("small.txt"), breedingFile(3));
    const RefusedThreads counted(8);
    const Pieces small = readInOrder(dir.file("small.txt"), 4);
    EXPECT_EQ(small.lines, std::vector<std::int64_t>{1});
    EXPECT_EQ(counted.asked(), 0);
}
