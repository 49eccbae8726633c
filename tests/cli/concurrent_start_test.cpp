// Several quindle-cli processes on one data folder at once, and splits killed at
// random moments: every answer must still be the breeding file's.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "data/startup.h"
#include "lookup/horse_lookup.h"
#include "sample_data.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

#ifndef _WIN32 // the processes are started through the shell

using namespace quindle;
using namespace quindle::testing;
namespace fs = std::filesystem;

namespace {

// Horses 1..count named "TAG id", written with a time `seconds` from now.
void writeBreeding(const DataFolder& folder, int count, const std::string& tag, int seconds)
{
    std::string text;
    for (int id = 1; id <= count; ++id)
        text += horseLines(id, tag + " " + std::to_string(id));
    writeFile(folder.breedingFile(), text);
    fs::last_write_time(folder.breedingFile(), fs::file_time_type::clock::now() + std::chrono::seconds(seconds));
}

} // namespace

TEST(ConcurrentStarts, SixProcessesAtOnceAlwaysAnswerFromTheCurrentFile)
{
    TempDir dir;
    const DataFolder folder(dir.file("pdg"));
    sample::writeDataFolder(folder.dir(), {10, 1});
    const std::string cli = std::string("'") + QUINDLE_CLI + "' --data-dir '" + folder.dir() + "' show --json ";
    for (int round = 0; round < 10; ++round) {
        const std::string tag = "ROUND" + std::to_string(round);
        writeBreeding(folder, 100000, tag, round);
        const ProcessResult r = runProcess(
            // The last two share a working folder, and so its stamp.
            "sh",
            {"-c", "for p in 1 2 3 4 5 5; do w=r" + std::to_string(round) + "p$p; mkdir -p $w && (cd $w && " + cli +
                       "1 9999 10000 45678 90000 100000 || echo FAILED) & done; wait"},
            dir.path().string());
        for (const int id : {1, 9999, 10000, 45678, 90000, 100000}) {
            const std::string name = "\"Text2\":\"" + tag + " " + std::to_string(id) + "\"";
            std::size_t answers = 0;
            for (std::size_t at = r.out.find(name); at != std::string::npos; at = r.out.find(name, at + 1))
                ++answers;
            EXPECT_EQ(answers, 6u) << "round " << round << ", horse " << id << "\n" << r.err;
        }
        EXPECT_EQ(r.out.find("FAILED"), std::string::npos) << r.err;
    }
}

TEST(ConcurrentStarts, ASplitKilledAtAnyMomentIsMendedByTheNextStart)
{
    TempDir dir;
    const DataFolder folder(dir.file("pdg"));
    sample::writeDataFolder(folder.dir(), {10, 1});
    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    SCOPED_TRACE("seed " + std::to_string(seed));
    int killed = 0;
    for (int attempt = 0; attempt < 12; ++attempt) {
        // Half the time the breeding file changes; half the time the stamp still
        // matches and a bucket file has gone.
        const bool changed = attempt % 2 == 0;
        if (changed)
            writeBreeding(folder, 200000, "ATTEMPT" + std::to_string(attempt), attempt);
        else
            fs::remove(folder.bucketFile(static_cast<int>(random() % 10)));
        // A whole split of 200,000 horses takes a few hundred milliseconds here.
        const std::string wait = "0." + std::to_string(random() % 400000 + 1000000).substr(1);
        const ProcessResult r =
            runProcess("sh",
                       {"-c", std::string("'") + QUINDLE_CLI + "' --data-dir '" + folder.dir() + "' show 1 & sleep " +
                                  wait + "; kill -9 $! 2>/dev/null; wait $!; echo status $?"},
                       dir.path().string());
        killed += r.out.find("status 137") != std::string::npos;

        const StartupResult next = runStartup(folder, dir.file("Quindle.nnn"), {});
        ASSERT_EQ(next.status, Outcome::Done) << next.error;
        // Every horse answers: the buckets hold the whole file, in order.
        std::string joined;
        for (int b = 0; b < 10; ++b)
            joined += readFile(folder.bucketFile(b));
        ASSERT_TRUE(joined == readFile(folder.breedingFile())) << "attempt " << attempt << ", waited " << wait;
        EXPECT_EQ(findHorse(folder, 123456).status, Outcome::Done);
    }
    EXPECT_GT(killed, 0) << "no split was caught before its end";
}

TEST(ConcurrentStarts, ABucketFolderSharedByTwoDataFoldersNeverAnswersWithTheOthersHorses)
{
    // B's bucket folder is A's, through a symlink. B looks horse 25000 up 200
    // times while A, started a moment later, cuts its own breeding file into it.
    TempDir dir;
    const DataFolder a(dir.file("a")), b(dir.file("b"));
    sample::writeDataFolder(a.dir(), {10, 1});
    sample::writeDataFolder(b.dir(), {10, 1});
    writeBreeding(a, 30000, "AAA", 0);
    writeBreeding(b, 30000, "BBB", 0);
    fs::create_directory(a.bucketFolder());
    fs::create_directory_symlink(a.bucketFolder(), b.bucketFolder());
    const auto cli = [&](const DataFolder& folder) {
        return std::string("'") + QUINDLE_CLI + "' --data-dir '" + folder.dir() + "' show --json ";
    };
    std::string many;
    for (int i = 0; i < 200; ++i)
        many += " 25000";
    const auto count = [](const std::string& text, const std::string& what) {
        std::size_t n = 0;
        for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    };
    // Alone, B answers from the shared folder with its own horse every time.
    const ProcessResult alone = runProcess("sh", {"-c", cli(b) + many}, dir.path().string());
    ASSERT_EQ(count(alone.out, "\"Text2\":\"BBB 25000\""), 200u) << alone.err;
    // How many of B's answers come before A cuts depends on the machine's load;
    // what never changes is that each one is B's horse or a named refusal.
    for (int round = 0; round < 8; ++round) {
        const ProcessResult r = runProcess(
            "sh", {"-c", cli(b) + many + " & sleep 0.05; " + cli(a) + "1 >/dev/null 2>&1; wait"}, dir.path().string());
        EXPECT_EQ(r.out.find("AAA"), std::string::npos) << "round " << round;
        const std::size_t own = count(r.out, "\"Text2\":\"BBB 25000\"");
        const std::size_t named = count(r.err, "the next start cuts it again");
        EXPECT_EQ(own + named, 200u) << "round " << round << "\n" << r.err;
    }
}
#endif
