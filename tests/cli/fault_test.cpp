// Faults from outside: unwritable places, a split killed half way, files that
// change between starts. The next start must always put things right.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "data/startup.h"
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
    EXPECT_EQ(failed.status, StartupResult::Status::Failed);
    EXPECT_NE(failed.error.find(f.folder.bucketFile(2) + ": could not be replaced"), std::string::npos) << failed.error;
    EXPECT_FALSE(fs::exists(f.stamp));

    fs::remove(f.folder.bucketFile(2));
    const StartupResult next = f.start();
    ASSERT_EQ(next.status, StartupResult::Status::Ready) << next.error;
    EXPECT_TRUE(next.subdivided);
}

TEST(Faults, AnUnwritableStampIsAWarningAndTheOldStampStays)
{
    Folder f(100);
    ASSERT_EQ(f.start().status, StartupResult::Status::Ready);
    const std::string oldStamp = readFile(f.stamp);
    fs::last_write_time(f.folder.breedingFile(), fs::last_write_time(f.folder.breedingFile()) + std::chrono::hours(3));
    fs::create_directories(f.stamp + ".new"); // the stamp cannot be written
    const StartupResult warned = f.start();
    ASSERT_EQ(warned.status, StartupResult::Status::Ready) << warned.error;
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
    ASSERT_EQ(clean.start().status, StartupResult::Status::Ready);

    Folder f(10);
    writeFile(f.folder.breedingFile(), breeding);
    f.inputs[2] = breeding;
    BackgroundProcess cli(QUINDLE_CLI, {"--data-dir", f.folder.dir(), "show", "1"}, f.dir.path().string());
    // Kill it once the split has gone past the first bucket.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!fs::exists(f.folder.bucketFile(2)) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    if (!cli.kill())
        GTEST_SKIP() << "the split finished before it could be killed";
    EXPECT_FALSE(fs::exists(f.stamp));

    const StartupResult next = f.start();
    ASSERT_EQ(next.status, StartupResult::Status::Ready) << next.error;
    EXPECT_TRUE(next.subdivided);
    EXPECT_TRUE(f.buckets() == clean.buckets());
}

TEST(Faults, ABreedingFileReplacedBetweenStartsIsSplitAgain)
{
    Folder f(100);
    ASSERT_EQ(f.start().status, StartupResult::Status::Ready);
    const std::string original = readFile(f.folder.breedingFile());
    sample::writeDataFolder(f.dir.file("other"), {120, 9});
    writeFile(f.folder.breedingFile(), readFile(f.dir.file("other") + "/breeding.txt"));
    fs::last_write_time(f.folder.breedingFile(), fs::last_write_time(f.folder.breedingFile()) + std::chrono::hours(1));
    const StartupResult next = f.start();
    EXPECT_TRUE(next.subdivided);
    EXPECT_EQ(readFile(f.folder.bucketFile(0)), readFile(f.dir.file("other") + "/breeding.txt"));
    writeFile(f.folder.breedingFile(), original); // the folder's own check expects the first contents
}
