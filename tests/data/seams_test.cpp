// The split handing its horses on, a file to read that cannot be opened or is
// read whole, and work spread over threads when the system refuses them.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <mutex>
#include <new>
#include <set>
#include <sstream>
#include <thread>
#include <vector>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "data/file_error.h"
#include "data/input_file.h"
#include "data/replacing_file.h"
#include "data/subdivide.h"
#include "data/worker_threads.h"
#include "support/refused_threads.h"
#include "support/temp_dir.h"

using namespace quindle;
using quindle::testing::breedingFile;
using quindle::testing::horseLines;
using quindle::testing::readFile;
using quindle::testing::RefusedThreads;
using quindle::testing::TempDir;
using quindle::testing::writeFile;
namespace fs = std::filesystem;

namespace {

// Makes each horse's identifier and name on the reading threads, and collects
// them as the split hands them back.
struct Collect final : HorseSink {
    std::vector<std::int32_t> ids;
    std::vector<std::string> names;
    std::thread::id thread;
    bool oneThread = true;
    mutable std::mutex mutex;
    mutable std::set<std::thread::id> makers;
    void make(const HorseView& horse, SinkTexts& texts) const override
    {
        {
            const std::lock_guard lock(mutex);
            makers.insert(std::this_thread::get_id());
        }
        texts.resize(1);
        texts[0].append(std::to_string(horse.id)).append(" ").append(horse.name).push_back('\n');
    }
    void add(SinkTexts& texts, std::int64_t horses) override
    {
        if (ids.empty())
            thread = std::this_thread::get_id();
        oneThread = oneThread && thread == std::this_thread::get_id();
        std::istringstream lines(horses ? texts.at(0) : "");
        for (std::string line; std::getline(lines, line); --horses) {
            ids.push_back(std::stoi(line));
            names.push_back(line.substr(line.find(' ') + 1));
        }
        EXPECT_EQ(horses, 0);
    }
};

struct Folder {
    TempDir dir;
    DataFolder folder{dir.path().string()};
    explicit Folder(const std::string& breeding)
    {
        fs::create_directory(folder.bucketFolder());
        writeFile(folder.breedingFile(), breeding);
    }
    std::vector<std::string> buckets() const
    {
        std::vector<std::string> out;
        for (int b = 0; b < kBucketCount; ++b)
            out.push_back(readFile(folder.bucketFile(b)));
        return out;
    }
};

std::vector<std::int32_t> upTo(std::int32_t count)
{
    std::vector<std::int32_t> ids;
    for (std::int32_t id = 1; id <= count; ++id)
        ids.push_back(id);
    return ids;
}

} // namespace

TEST(HorseSink, MakesItsTextsBesideTheReadingAndGetsThemInFileOrderOnTheCallingThread)
{
    // Over 1 MB, so the horses come in several pieces read on several threads;
    // empty lines and LF line ends between them change nothing.
    std::string breeding = breedingFile(20000) + "\r\n\n" + horseLines(20001, "LAST ONE");
    for (std::size_t at = 0; (at = breeding.find("\r\n", at + 300000)) != std::string::npos;)
        breeding.erase(at, 1);
    Folder f(breeding);
    Collect sink;
    const SplitSummary summary = subdivide(f.folder.breedingFile(), f.folder, nullptr, &sink);
    EXPECT_EQ(summary.horses, 20001);
    EXPECT_EQ(sink.ids, upTo(20001));
    EXPECT_EQ(sink.names.back(), "LAST ONE");
    EXPECT_TRUE(sink.oneThread);
    EXPECT_FALSE(sink.makers.contains(std::this_thread::get_id())); // the writing thread only writes
}

TEST(HorseSink, AFaultOfTheSinkEndsTheSplitAndNoSinkLeavesNoIndex)
{
    Folder f(breedingFile(50));
    struct Refuses final : HorseSink {
        void make(const HorseView&, SinkTexts&) const override {}
        void add(SinkTexts&, std::int64_t) override { throw FileError("index.names", 0, "the disk is full"); }
    } refuses;
    try {
        subdivide(f.folder.breedingFile(), f.folder, nullptr, &refuses);
        ADD_FAILURE() << "the split went on";
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "index.names: the disk is full");
    }
    subdivide(f.folder.breedingFile(), f.folder, nullptr);
    EXPECT_EQ(readFile(f.folder.bucketFile(0)), breedingFile(50));
    EXPECT_FALSE(fs::exists(f.folder.nameIndex()));
    EXPECT_FALSE(fs::exists(f.folder.horseIndex()));
}

TEST(OpenInput, SaysMissingNotARegularFileOrUnreadable)
{
    TempDir dir;
    const auto failure = [](const std::string& path) -> FileError {
        try {
            openInput(path);
        } catch (const FileError& e) {
            return e;
        }
        return FileError(path, 0, "opened", FileError::Kind::Content);
    };
    const FileError missing = failure(dir.file("none"));
    EXPECT_EQ(missing.kind(), FileError::Kind::Missing);
    EXPECT_TRUE(missing.notOpened());
    EXPECT_EQ(std::string(missing.what()), dir.file("none") + ": cannot be opened: No such file or directory");

    fs::create_directory(dir.path() / "folder");
    const FileError folder = failure(dir.file("folder"));
    EXPECT_EQ(folder.kind(), FileError::Kind::NotRegularFile);
    EXPECT_FALSE(folder.notOpened());
    EXPECT_EQ(folder.problem(), "is a folder, not a regular file; Quindle reads only ordinary files");

#ifndef _WIN32 // no symbolic links without the rights to make them
    // A link that leads to itself is there but can never be opened.
    fs::create_symlink(dir.path() / "loop", dir.path() / "loop");
    const FileError loop = failure(dir.file("loop"));
    EXPECT_EQ(loop.kind(), FileError::Kind::Unreadable);
    EXPECT_TRUE(loop.notOpened());
    EXPECT_EQ(loop.problem().rfind("cannot be opened: ", 0), 0u) << loop.problem();
#endif

    writeFile(dir.file("there"), "x");
    EXPECT_NE(openInput(dir.file("there")), nullptr);
}

TEST(ReplacingFile, ReplacesOnlyARegularFileAndNothingElseIsWrittenOver)
{
    TempDir dir;
    std::vector<std::pair<std::string, std::string>> refused = {{dir.file("folder"), "a folder"}};
    fs::create_directory(refused[0].first);
#ifndef _WIN32
    refused.emplace_back(dir.file("fifo"), "a FIFO");
    ASSERT_EQ(::mkfifo(refused[1].first.c_str(), 0600), 0);
    refused.emplace_back(dir.file("link to the fifo"), "a FIFO");
    fs::create_symlink(refused[1].first, refused[2].first);
#endif
    for (const auto& [path, kind] : refused) {
        const auto before = fs::status(path).type();
        try {
            ReplacingFile file(path);
            file.write("x", 1);
            file.commit();
            ADD_FAILURE() << path << " was replaced";
        } catch (const FileError& e) {
            EXPECT_EQ(e.kind(), FileError::Kind::NotRegularFile) << path;
            EXPECT_EQ(e.problem(), "is " + kind + ", not a regular file; nothing was written over it");
        }
        EXPECT_EQ(fs::status(path).type(), before) << path;
        EXPECT_FALSE(fs::exists(path + ".new")) << path;
    }
    writeFile(dir.file("there"), "old");
    ReplacingFile file(dir.file("there"));
    file.write("new", 3);
    file.commit();
    EXPECT_EQ(readFile(dir.file("there")), "new");
}

TEST(WorkerThreads, JobsOfRefusedThreadsRunOnTheCallingThreadOnceEach)
{
    const std::thread::id caller = std::this_thread::get_id();
    for (const int allowed : {0, 1, 8}) {
        const RefusedThreads refused(allowed);
        std::mutex mutex;
        std::vector<int> runs(5);
        std::vector<bool> onCaller(5);
        runOnThreads(5, [&](std::size_t i) {
            const std::lock_guard lock(mutex);
            ++runs[i];
            onCaller[i] = std::this_thread::get_id() == caller;
        });
        EXPECT_EQ(runs, std::vector<int>(5, 1)) << allowed;
        for (std::size_t i = 0; i < 5; ++i)
            EXPECT_EQ(onCaller[i], i == 0 || static_cast<int>(i) > allowed) << allowed << " job " << i;
    }
}

TEST(WorkerThreads, AJobsExceptionReachesTheCallerAfterEveryJobEnded)
{
    for (const int allowed : {0, 8}) {
        const RefusedThreads refused(allowed);
        std::atomic<int> ended{0};
        try {
            runOnThreads(4, [&](std::size_t i) {
                ++ended;
                if (i == 2)
                    throw std::bad_alloc();
            });
            ADD_FAILURE() << "nothing thrown";
        } catch (const std::bad_alloc&) {
            EXPECT_EQ(ended, 4) << allowed;
        }
    }
}

TEST(WorkerThreads, TheSplitWithoutAnyThreadCutsTheSameBuckets)
{
    const std::string breeding = breedingFile(25000);
    Folder threaded(breeding), alone(breeding);
    Collect threadedSink, aloneSink;
    subdivide(threaded.folder.breedingFile(), threaded.folder, nullptr, &threadedSink);
    {
        const RefusedThreads refused(0);
        subdivide(alone.folder.breedingFile(), alone.folder, nullptr, &aloneSink);
    }
    EXPECT_EQ(alone.buckets(), threaded.buckets());
    EXPECT_EQ(aloneSink.ids, upTo(25000));

    // A fault is met alone as it is with threads, at the same line.
    Folder broken(breeding + "25001,X,4\r\n");
    const auto fault = [&] {
        try {
            subdivide(broken.folder.breedingFile(), broken.folder, nullptr);
        } catch (const FileError& e) {
            return std::string(e.what());
        }
        return std::string("no fault");
    };
    const std::string withThreads = fault();
    const RefusedThreads refused(0);
    EXPECT_EQ(fault(), withThreads);
    EXPECT_NE(withThreads.find(", line 100001: "), std::string::npos) << withThreads;
}

TEST(ReadWholeFile, EveryByteOnceThenThePaddingAndALimitNamed)
{
    quindle::testing::TempDir dir;
    const std::string path = (dir.path() / "whole").string();
    for (const std::size_t size : {0u, 1u, 65535u, 65536u, 65537u, 300001u}) {
        std::string bytes(size, '\0');
        for (std::size_t i = 0; i < size; ++i)
            bytes[i] = static_cast<char>('a' + i % 23);
        quindle::testing::writeFile(path, bytes);
        const std::vector<char> read = readWholeFile(path, 32, 1 << 20);
        ASSERT_EQ(read.size(), size + 32) << size;
        EXPECT_EQ(std::string(read.data(), size), bytes);
        EXPECT_EQ(std::count(read.end() - 32, read.end(), '\0'), 32);
    }
    EXPECT_THROW(readWholeFile(path, 0, 300000), FileError);
    EXPECT_EQ(readWholeFile(path, 0, 300001).size(), 300001u);
}
