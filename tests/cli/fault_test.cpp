// Faults from outside: unwritable places, a split killed half way, files that
// change between starts. The next start must always put things right.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "data/startup.h"
#include "lookup/horse_lookup.h"
#include "sample_data.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

using namespace quindle;
using namespace quindle::testing;
namespace fs = std::filesystem;

namespace {

struct Folder {
    TempDir dir;
    DataFolder folder{dir.file("pdg")};
    std::string stamp = dir.file("Quindle.nnn");
    std::vector<std::string> inputs;

    explicit Folder(std::int64_t horses)
    {
        sample::writeDataFolder(folder.dir(), {horses, 3});
        inputs = {readFile(folder.chefTable()), readFile(folder.sireList()), readFile(folder.breedingFile())};
    }
    ~Folder()
    {
        const std::vector<std::string> now{readFile(folder.chefTable()), readFile(folder.sireList()),
                                           readFile(folder.breedingFile())};
        EXPECT_EQ(now, inputs) << "an input file changed";
    }
    StartupResult start() { return runStartup(folder, stamp, {}); }
    std::vector<std::string> buckets() const
    {
        std::vector<std::string> all;
        for (int b = 0; b < 10; ++b)
            all.push_back(readFile(folder.bucketFile(b)));
        return all;
    }
};

} // namespace

TEST(Faults, AnUnwritableBucketIsReportedAndSplitAgainNextTime)
{
    Folder f(30000);
    fs::create_directories(f.folder.bucketFile(2)); // a folder where a bucket file must go
    const StartupResult failed = f.start();
    EXPECT_EQ(failed.status, Outcome::Failed);
    EXPECT_NE(failed.error.find(f.folder.bucketFile(2) + ": could not be replaced"), std::string::npos) << failed.error;
    EXPECT_FALSE(fs::exists(f.stamp));

    fs::remove(f.folder.bucketFile(2));
    const StartupResult next = f.start();
    ASSERT_EQ(next.status, Outcome::Done) << next.error;
    EXPECT_TRUE(next.subdivided);
}

TEST(Faults, AnUnwritableStampIsAWarningAndTheOldStampStays)
{
    Folder f(100);
    ASSERT_EQ(f.start().status, Outcome::Done);
    const std::string oldStamp = readFile(f.stamp);
    fs::last_write_time(f.folder.breedingFile(), fs::last_write_time(f.folder.breedingFile()) + std::chrono::hours(3));
    fs::create_directories(f.stamp + ".new"); // the stamp cannot be written
    const StartupResult warned = f.start();
    ASSERT_EQ(warned.status, Outcome::Done) << warned.error;
    EXPECT_TRUE(warned.subdivided);
    EXPECT_NE(warned.warning.find(f.stamp + ": cannot be written"), std::string::npos) << warned.warning;
    EXPECT_EQ(readFile(f.stamp), oldStamp);
    const StartupResult again = f.start(); // the buckets carry their own stamp
    EXPECT_FALSE(again.subdivided);
    EXPECT_FALSE(again.warning.empty());

    fs::remove(f.stamp + ".new");
    const StartupResult next = f.start();
    EXPECT_FALSE(next.subdivided); // the buckets were cut in full the first time
    EXPECT_NE(readFile(f.stamp), oldStamp);
}

TEST(Faults, ASplitKilledHalfWayIsDoneAgainAndEndsLikeACleanOne)
{
    // 300,000 horses: enough for the split to be caught half way.
    const std::string breeding = breedingFile(300000);
    Folder clean(10);
    writeFile(clean.folder.breedingFile(), breeding);
    clean.inputs[2] = breeding;
    ASSERT_EQ(clean.start().status, Outcome::Done);

    Folder f(10);
    writeFile(f.folder.breedingFile(), breeding);
    f.inputs[2] = breeding;
    // Kill it once the split has gone past the first bucket. On a loaded machine
    // this thread may see the bucket late, after the split has ended and only
    // the lookup is left: the bucket folder's stamp then says the kill came too
    // late, and the round is run again.
    bool caught = false;
    for (int round = 0; round < 5 && !caught; ++round) {
        fs::remove_all(f.folder.bucketFolder());
        fs::remove(f.stamp);
        BackgroundProcess cli(QUINDLE_CLI, {"--data-dir", f.folder.dir(), "show", "1"}, f.dir.path().string());
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!fs::exists(f.folder.bucketFile(2)) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        caught = cli.kill() && !fs::exists(f.folder.bucketStamp());
    }
    if (!caught)
        GTEST_SKIP() << "the split finished before it could be killed";
    EXPECT_FALSE(fs::exists(f.stamp)); // written only after the bucket folder's

    const StartupResult next = f.start();
    ASSERT_EQ(next.status, Outcome::Done) << next.error;
    EXPECT_TRUE(next.subdivided);
    EXPECT_TRUE(f.buckets() == clean.buckets());
}

TEST(Faults, ABreedingFileReplacedBetweenStartsIsSplitAgain)
{
    Folder f(100);
    ASSERT_EQ(f.start().status, Outcome::Done);
    const std::string original = readFile(f.folder.breedingFile());
    sample::writeDataFolder(f.dir.file("other"), {120, 9});
    writeFile(f.folder.breedingFile(), readFile(f.dir.file("other") + "/breeding.txt"));
    fs::last_write_time(f.folder.breedingFile(), fs::last_write_time(f.folder.breedingFile()) + std::chrono::hours(1));
    const StartupResult next = f.start();
    EXPECT_TRUE(next.subdivided);
    EXPECT_EQ(readFile(f.folder.bucketFile(0)), readFile(f.dir.file("other") + "/breeding.txt"));
    writeFile(f.folder.breedingFile(), original); // the folder's own check expects the first contents
}

TEST(Faults, ABucketEmptiedOrCutAtAHorseBoundaryIsNeverReadAsWhole)
{
    // What a power cut leaves: a bucket renamed into place but not all on the disk.
    for (const bool emptied : {true, false}) {
        Folder f(20000);
        ASSERT_EQ(f.start().status, Outcome::Done);
        const std::string whole = readFile(f.folder.bucketFile(1));
        std::size_t cut = 0; // after 3,000 horses: horse 15000 is gone, the rest reads well
        for (int line = 0; !emptied && line < 4 * 3000; ++line)
            cut = whole.find('\n', cut) + 1;
        const auto damage = [&] { writeFile(f.folder.bucketFile(1), whole.substr(0, cut)); };
        const std::vector<std::string> show{"--data-dir", f.folder.dir(), "show", "15000"};

        // Found at start-up: cut again before the answer.
        damage();
        const ProcessResult mended = runProcess(QUINDLE_CLI, show, f.dir.path().string());
        EXPECT_EQ(mended.exitCode, 0) << mended.err;
        EXPECT_NE(mended.out.find("Identifier 15000\n"), std::string::npos) << mended.out;
        EXPECT_EQ(readFile(f.folder.bucketFile(1)), whole);

        // Found by a lookup after start-up: named, and the next start cuts again.
        damage();
        const LookupResult found = findHorse(f.folder, 15000);
        EXPECT_EQ(found.status, Outcome::Failed);
        EXPECT_TRUE(found.damaged);
        EXPECT_NE(found.error.find(f.folder.bucketFile(1) + ": the bucket file is " + std::to_string(cut) +
                                   " bytes long, but the split wrote " + std::to_string(whole.size())),
                  std::string::npos)
            << found.error;
        EXPECT_NE(found.error.find("the next start cuts it again"), std::string::npos) << found.error;
        EXPECT_FALSE(fs::exists(f.folder.bucketStamp()));
        EXPECT_TRUE(f.start().subdivided);
        EXPECT_EQ(findHorse(f.folder, 15000).status, Outcome::Done);
    }
}

#ifndef _WIN32
namespace {

// Runs quindle-cli in `workDir` with its address space limited to `bytes`, as
// `ulimit -v` does (thread stacks then cannot be had either); its exit code, or
// 128 + the signal that ended it. Its standard error goes to `errPath`.
int runLimited(const std::vector<std::string>& args, rlim_t bytes, const std::string& workDir,
               const std::string& errPath)
{
    const pid_t child = fork();
    if (child == 0) {
        const rlimit limit{bytes, bytes};
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int null = ::open("/dev/null", O_WRONLY);
        if (setrlimit(RLIMIT_AS, &limit) != 0 || chdir(workDir.c_str()) != 0 || err < 0 || null < 0 ||
            dup2(err, 2) < 0 || dup2(null, 1) < 0)
            _exit(99);
        std::vector<char*> argv{const_cast<char*>(QUINDLE_CLI)};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(QUINDLE_CLI, argv.data());
        _exit(98);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

} // namespace

TEST(Faults, NoMemoryOrNoThreadsEndsWithAMessageAndACodeNeverAnAbort)
{
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer reserves terabytes of address space for its shadow, so a
    // process cannot start at all under these limits: only a plain build can tell.
    GTEST_SKIP() << "an address-space limit cannot be tested under AddressSanitizer";
#endif
    Folder f(60000);
    const std::string err = f.dir.file("err.txt");
    int done = 0;
    for (rlim_t megabytes = 8; megabytes <= 72; megabytes += 2) {
        std::filesystem::remove(f.folder.bucketStamp()); // every start splits
        for (const std::vector<std::string>& command :
             {std::vector<std::string>{"show", "45000"}, {"find", "E"}, {"profiles"}}) {
            std::vector<std::string> args{"--data-dir", f.folder.dir()};
            args.insert(args.end(), command.begin(), command.end());
            const int code = runLimited(args, megabytes << 20, f.dir.path().string(), err);
            ASSERT_LE(code, 2) << command[0] << " under " << megabytes << " MB: " << readFile(err);
            if (code != 0) {
                EXPECT_NE(readFile(err), "") << command[0] << " under " << megabytes << " MB";
            }
            done += code == 0;
            for (const auto& entry : std::filesystem::recursive_directory_iterator(f.dir.path()))
                ASSERT_FALSE(entry.path().string().ends_with(".new")) << entry.path() << " left behind";
        }
    }
    EXPECT_GT(done, 0) << "no command had room to finish";
}
#endif
