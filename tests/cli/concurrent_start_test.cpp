// Several quindle-cli processes on one data folder at once, and splits killed at
// random moments: every answer must still be the breeding file's.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

#include "data/startup.h"
#include "lookup/horse_lookup.h"
#include "sample_data.h"
#include "support/temp_dir.h"

using namespace quindle;
using namespace quindle::testing;
namespace fs = std::filesystem;

extern char** environ;

namespace {

// Starts quindle-cli in `workDir` with its output into `outFile`.
pid_t startCli(const std::vector<std::string>& args, const std::string& workDir, const std::string& outFile)
{
    std::vector<char*> argv{const_cast<char*>(QUINDLE_CLI)};
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, QUINDLE_CLI, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return failed ? -1 : pid;
}

int waitFor(pid_t pid)
{
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Horses 1..count whose names carry `tag`, so buckets of another file show.
std::string taggedBreedingFile(int count, const std::string& tag)
{
    std::string text;
    for (int id = 1; id <= count; ++id)
        text += horseLines(id, tag + " " + std::to_string(id));
    return text;
}

struct DataSet {
    TempDir dir;
    DataFolder folder{dir.file("pdg")};
    DataSet() { sample::writeDataFolder(folder.dir(), {10, 1}); }
    void writeBreeding(const std::string& bytes, int secondsLater)
    {
        writeFile(folder.breedingFile(), bytes);
        fs::last_write_time(folder.breedingFile(), fs::file_time_type::clock::now() + std::chrono::seconds(secondsLater));
    }
};

} // namespace

TEST(ConcurrentStarts, SixProcessesFromFreshFoldersAlwaysAnswerFromTheCurrentFile)
{
    constexpr int kHorses = 100000, kProcesses = 6;
    const std::vector<int> ids{1, 9999, 10000, 45678, 90000, kHorses};
    DataSet data;
    for (int round = 0; round < 10; ++round) {
        const std::string tag = "ROUND" + std::to_string(round);
        data.writeBreeding(taggedBreedingFile(kHorses, tag), round);
        std::vector<pid_t> pids;
        for (int p = 0; p < kProcesses; ++p) {
            const std::string work = data.dir.file("work-" + std::to_string(round) + "-" + std::to_string(p));
            fs::create_directories(work);
            std::vector<std::string> args{"--data-dir", data.folder.dir(), "show", "--json"};
            for (const int id : ids)
                args.push_back(std::to_string(id));
            pids.push_back(startCli(args, work, work + "/out"));
            ASSERT_GT(pids.back(), 0);
        }
        for (int p = 0; p < kProcesses; ++p) {
            const std::string work = data.dir.file("work-" + std::to_string(round) + "-" + std::to_string(p));
            EXPECT_EQ(waitFor(pids[static_cast<std::size_t>(p)]), 0) << "round " << round << ", process " << p;
            const std::string out = readFile(work + "/out");
            for (const int id : ids)
                EXPECT_NE(out.find("\"Text2\":\"" + tag + " " + std::to_string(id) + "\""), std::string::npos)
                    << "round " << round << ", process " << p << ", horse " << id;
        }
    }
}

TEST(ConcurrentStarts, ASplitKilledAtAnyMomentIsMendedByTheNextStart)
{
    constexpr int kHorses = 200000;
    DataSet data;
    const std::string work = data.dir.file("work");
    fs::create_directories(work);
    const std::vector<std::string> show1{"--data-dir", data.folder.dir(), "show", "1"};
    std::random_device device;
    const unsigned seed = device();
    std::mt19937 random(seed);
    SCOPED_TRACE("seed " + std::to_string(seed));

    // How long a whole split takes here, to kill within it.
    data.writeBreeding(taggedBreedingFile(kHorses, "FIRST"), 0);
    const auto begin = std::chrono::steady_clock::now();
    ASSERT_EQ(waitFor(startCli(show1, work, work + "/out")), 0);
    const auto splitTime = std::chrono::steady_clock::now() - begin;

    int killed = 0;
    for (int attempt = 0; attempt < 12; ++attempt) {
        // Half the time the breeding file changes; half the time the stamp still
        // matches and a bucket file has gone.
        const bool changed = attempt % 2 == 0;
        const std::string tag = "ATTEMPT" + std::to_string(attempt);
        if (changed)
            data.writeBreeding(taggedBreedingFile(kHorses, tag), attempt + 1);
        else
            fs::remove(data.folder.bucketFile(static_cast<int>(random() % 10)));
        const pid_t pid = startCli(show1, work, work + "/out");
        std::this_thread::sleep_for(splitTime * std::uniform_real_distribution<>(0.0, 1.0)(random));
        kill(pid, SIGKILL);
        killed += waitFor(pid) < 0;

        const StartupResult next = runStartup(data.folder, work + "/Quindle.nnn", {});
        ASSERT_EQ(next.status, StartupResult::Status::Ready) << next.error;
        // Every horse answers: the buckets hold the whole file, in order.
        const std::string breeding = readFile(data.folder.breedingFile());
        std::string joined;
        for (int b = 0; b < 10; ++b)
            joined += readFile(data.folder.bucketFile(b));
        ASSERT_TRUE(joined == breeding) << "attempt " << attempt << (changed ? ", file changed" : ", bucket gone");
        for (const int id : {1, 9999, 10000, 123456, kHorses}) {
            const LookupResult found = findHorse(data.folder, id);
            ASSERT_EQ(found.status, LookupResult::Status::Found) << id << found.error;
            EXPECT_EQ(found.horse.name.substr(found.horse.name.find(' ') + 1), std::to_string(id));
        }
    }
    EXPECT_GT(killed, 0) << "no split was caught before its end";
}
#endif
