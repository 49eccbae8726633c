// Start-up: the chef table, the three file checks in order, the stamp and the split.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <random>
#include <vector>

#include <filesystem>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#else
#include <windows.h>
#endif

#include "data/bucket_stamp.h"
#include "data/place_table.h"
#include "data/chef_table.h"
#include "data/file_error.h"
#include "data/stamp.h"
#include "data/system_paths.h"
#include "data/startup.h"
#include "support/temp_dir.h"

using namespace quindle;
using quindle::testing::breedingFile;
using quindle::testing::readFile;
using quindle::testing::TempDir;
using quindle::testing::writeFile;
namespace fs = std::filesystem;

namespace {

struct Folder {
    TempDir dir;
    DataFolder folder{(dir.path() / "pdg").string()};
    std::string stamp = dir.file("Quindle.nnn");
    int splits = 0;
    std::vector<int> progress;

    Folder(bool chef = true, bool sires = true, bool breeding = true)
    {
        fs::create_directory(dir.path() / "pdg");
        if (chef)
            writeFile(folder.chefTable(), "STAR LANTERN,0,2,0,0,0\r\nNORTH,1,1,0,0,0\r\n\r\n\r\n");
        if (sires)
            writeFile(folder.sireList(), "A,B,C,D\r\n");
        if (breeding)
            writeFile(folder.breedingFile(), breedingFile(5));
    }
    StartupResult start()
    {
        SplitObserver observer;
        observer.begins = [&] { ++splits; };
        observer.progress = [&](int v) { progress.push_back(v); };
        return runStartup(folder, stamp, observer);
    }
};

} // namespace

TEST(Startup, LoadsTheChefTableAndSplitsOnTheFirstStartOnly)
{
    Folder f;
    const StartupResult first = f.start();
    ASSERT_EQ(first.status, Outcome::Done) << first.error;
    EXPECT_EQ(first.chefs.count(), 2); // the empty lines at the end do not count
    EXPECT_EQ(first.chefs.rows()[0].name, "STAR LANTERN");
    EXPECT_EQ(first.chefs.rows()[1].points, (std::array<std::int16_t, 5>{1, 1, 0, 0, 0}));
    EXPECT_TRUE(first.subdivided);
    EXPECT_EQ(f.splits, 1);
    EXPECT_TRUE(fs::is_directory(f.folder.bucketFolder()));
    EXPECT_EQ(readFile(f.stamp), *stampTextOf(f.folder.breedingFile()) + ",");

    const StartupResult second = f.start();
    EXPECT_EQ(second.status, Outcome::Done);
    EXPECT_FALSE(second.subdivided);
    EXPECT_EQ(f.splits, 1);

    // A fresh working folder finds the buckets current too, and gets its stamp.
    const StartupResult fresh = runStartup(f.folder, f.dir.file("Other.nnn"), {});
    EXPECT_FALSE(fresh.subdivided);
    EXPECT_EQ(readFile(f.dir.file("Other.nnn")), readFile(f.stamp));
}

TEST(Startup, MissingFilesAreReportedFirstOneOnlyInTheirOrder)
{
    struct Case {
        bool chef, sires, breeding;
        InputFile expected;
    } cases[] = {
        {false, false, false, InputFile::ChefTable},
        {false, true, true, InputFile::ChefTable},
        {true, false, false, InputFile::SireList},
        {true, true, false, InputFile::BreedingFile},
    };
    for (const Case& c : cases) {
        Folder f(c.chef, c.sires, c.breeding);
        const StartupResult result = f.start();
        ASSERT_EQ(result.status, Outcome::Absent);
        EXPECT_EQ(result.missing, c.expected);
        const std::string expectedPath = c.expected == InputFile::ChefTable  ? f.folder.chefTable()
                                         : c.expected == InputFile::SireList ? f.folder.sireList()
                                                                             : f.folder.breedingFile();
        EXPECT_EQ(result.missingPath, expectedPath);
        EXPECT_EQ(f.splits, 0);
        EXPECT_FALSE(fs::exists(f.stamp));
    }
    EXPECT_EQ(missingFileText("C:\\PDG\\ChefTable"), "Missing file:  C:\\PDG\\ChefTable");
}

TEST(Startup, TheBucketFoldersOwnStampDecidesAboutASplit)
{
    // Whatever the working folder's stamp holds, current buckets are not cut
    // again; the stamp is written anew.
    for (const std::string stampContent : {"1999-01-01 00:00:00,", "", "no comma here", ","}) {
        Folder f;
        ASSERT_EQ(f.start().status, Outcome::Done);
        writeFile(f.stamp, stampContent);
        const StartupResult result = f.start();
        ASSERT_EQ(result.status, Outcome::Done) << result.error;
        EXPECT_FALSE(result.subdivided) << "stamp \"" << stampContent << "\"";
        EXPECT_EQ(readFile(f.stamp), *stampTextOf(f.folder.breedingFile()) + ",");
    }
    // Buckets not known to be complete always are.
    for (const std::string stampContent : {"1999-01-01 00:00:00,", "", "none"}) {
        Folder f;
        ASSERT_EQ(f.start().status, Outcome::Done);
        if (stampContent == "none")
            fs::remove(f.folder.bucketStamp());
        else
            writeFile(f.folder.bucketStamp(), stampContent);
        const StartupResult result = f.start();
        ASSERT_EQ(result.status, Outcome::Done) << result.error;
        EXPECT_TRUE(result.subdivided) << "bucket stamp \"" << stampContent << "\"";
        EXPECT_EQ(readStamp(f.folder.bucketStamp()), stampTextOf(f.folder.breedingFile()));
    }
}

TEST(Startup, AMatchingStampWithBucketsGoneSplitsAgain)
{
    Folder f;
    ASSERT_EQ(f.start().status, Outcome::Done);
    fs::remove(f.folder.bucketFile(7));
    EXPECT_TRUE(f.start().subdivided);
    EXPECT_TRUE(fs::exists(f.folder.bucketFile(7)));

    fs::remove_all(f.folder.bucketFolder());
    const StartupResult result = f.start();
    ASSERT_EQ(result.status, Outcome::Done) << result.error;
    EXPECT_TRUE(result.subdivided);
    EXPECT_TRUE(fs::exists(f.folder.bucketFile(0)));
}

TEST(Startup, ABreedingFileWithANewTimeSplitsAgain)
{
    Folder f;
    ASSERT_EQ(f.start().status, Outcome::Done);
    writeFile(f.folder.breedingFile(), breedingFile(6));
    fs::last_write_time(f.folder.breedingFile(), fs::last_write_time(f.folder.breedingFile()) + std::chrono::hours(1));
    EXPECT_TRUE(f.start().subdivided);
    EXPECT_EQ(readFile(f.folder.bucketFile(0)), breedingFile(6));
}

TEST(Startup, ABadChefTableEndsStartUpNamingFileAndLine)
{
    Folder f;
    writeFile(f.folder.chefTable(), "A,1,1,1,1,1\r\nB,1,abc,1,1,1\r\n");
    const StartupResult result = f.start();
    EXPECT_EQ(result.status, Outcome::Failed);
    EXPECT_EQ(result.error, f.folder.chefTable() + ", line 2: \"abc\" is not a whole number");
    EXPECT_FALSE(fs::exists(f.stamp));
}

TEST(Startup, TheChefTablesFaultsAreToldBeforeTheSireListsAndItsBeforeTheBreedingFiles)
{
    // The two inputs are opened together; what is told first stays in the files' order.
    Folder badChefs(true, false, false);
    writeFile(badChefs.folder.chefTable(), "A,1,1,1,1,1\r\nB,1,abc,1,1,1\r\n");
    const StartupResult chefs = badChefs.start();
    EXPECT_EQ(chefs.status, Outcome::Failed);
    EXPECT_EQ(chefs.error, badChefs.folder.chefTable() + ", line 2: \"abc\" is not a whole number");

    Folder sireFolder(true, false, false);
    fs::create_directory(sireFolder.folder.sireList());
    const StartupResult sires = sireFolder.start();
    EXPECT_EQ(sires.status, Outcome::Failed);
    EXPECT_NE(sires.error.find(sireFolder.folder.sireList() + ": is a folder"), std::string::npos) << sires.error;
    EXPECT_FALSE(fs::exists(sireFolder.folder.bucketFolder()));
}

TEST(BucketState, OneReadSaysWhetherAStampIsThereAndWhetherItVouchesForTheseBuckets)
{
    Folder f;
    ASSERT_EQ(f.start().status, Outcome::Done);
    const std::string cut = *stampTextOf(f.folder.breedingFile());
    const auto state = [&](const std::string& stampText) {
        const BucketState s = readBucketState(f.folder, stampText);
        return std::pair(s.stamped, s.current);
    };
    EXPECT_EQ(state(cut), std::pair(true, true));
    EXPECT_EQ(state("another breeding file"), std::pair(true, false));
    // A table of places of an older version holds no checksums of its horses.
    const std::string table = readFile(f.folder.placeTable(0));
    std::string older = table;
    older[older.size() - kPlaceSealBytes + 8] = 1;
    writeFile(f.folder.placeTable(0), older);
    EXPECT_EQ(state(cut), std::pair(true, false));
    fs::remove(f.folder.placeTable(0));
    EXPECT_EQ(state(cut), std::pair(true, false));
    writeFile(f.folder.placeTable(0), table);
    EXPECT_EQ(state(cut), std::pair(true, true));
    // A stamp's text as readStamp takes it: a first character, then up to a comma.
    for (const std::string& content : std::vector<std::string>{",,", "x,", ",x,", std::string(4096, 'x') + ","}) {
        writeFile(f.folder.bucketStamp(), content);
        EXPECT_EQ(state(cut), std::pair(true, false)) << content.size();
        EXPECT_TRUE(readStamp(f.folder.bucketStamp()).has_value());
    }
    for (const std::string& content : std::vector<std::string>{"", ",", "no comma", std::string(4097, 'x') + ","}) {
        writeFile(f.folder.bucketStamp(), content);
        EXPECT_EQ(state(cut), std::pair(false, false)) << content.size();
        EXPECT_FALSE(readStamp(f.folder.bucketStamp()).has_value());
    }
    fs::remove(f.folder.bucketStamp());
    EXPECT_EQ(state(cut), std::pair(false, false));
    fs::create_directory(f.folder.bucketStamp());
    EXPECT_THROW(readBucketState(f.folder, cut), FileError);
}

TEST(Startup, AnIncompleteLastHorseEndsStartUpAndKeepsTheOldStamp)
{
    Folder f;
    ASSERT_EQ(f.start().status, Outcome::Done);
    const std::string oldStamp = readFile(f.stamp);
    writeFile(f.folder.breedingFile(), breedingFile(2) + "3,X,4,Colt\r\n1,A,B,C,D\r\n2,E,F,G,H\r\n");
    fs::last_write_time(f.folder.breedingFile(), fs::last_write_time(f.folder.breedingFile()) + std::chrono::hours(2));
    const StartupResult result = f.start();
    EXPECT_EQ(result.status, Outcome::Failed);
    EXPECT_NE(result.error.find("breeding.txt"), std::string::npos) << result.error;
    EXPECT_NE(result.error.find("11 lines"), std::string::npos) << result.error;
    EXPECT_EQ(readFile(f.stamp), oldStamp);
}

TEST(Startup, InputFilesAreNeverChanged)
{
    Folder f;
    const std::string chef = readFile(f.folder.chefTable());
    const std::string sires = readFile(f.folder.sireList());
    const std::string breeding = readFile(f.folder.breedingFile());
    f.start();
    f.start();
    EXPECT_EQ(readFile(f.folder.chefTable()), chef);
    EXPECT_EQ(readFile(f.folder.sireList()), sires);
    EXPECT_EQ(readFile(f.folder.breedingFile()), breeding);
}

#ifdef _WIN32
TEST(Stamp, TheTextCarriesTheTimeBelowTheSecondOnWindowsToo)
{
    TempDir dir;
    const std::string path = dir.file("breeding.txt");
    writeFile(path, "abc");
    // 2023-11-14 22:13:20 and 500 ns, in 100 ns steps since 1601.
    const std::uint64_t ticks = (1700000000ULL + 11644473600ULL) * 10000000ULL + 5;
    const FILETIME written{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    const HANDLE file = CreateFileW(fsPath(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &written));
    CloseHandle(file);
    const auto stamp = stampTextOf(path);
    ASSERT_TRUE(stamp);
    EXPECT_EQ(*stamp, "2023-11-14 22:13:20.000000500 UTC 3 bytes");
}
#else
namespace {
void setModified(const std::string& path, std::int64_t seconds, long nanoseconds)
{
    const timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(seconds), nanoseconds}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}
} // namespace

TEST(Stamp, TheTextCarriesTheSizeAndTheTimeToTheNanosecondWhateverTheYear)
{
    TempDir dir;
    const std::string path = dir.file("breeding.txt");
    writeFile(path, "abc");
    setModified(path, 1700000000, 5);
    const auto first = stampTextOf(path);
    ASSERT_TRUE(first);
    EXPECT_TRUE(first->ends_with(":20.000000005 UTC 3 bytes")) << *first;

    setModified(path, 1700000000, 6); // changed again within the same second
    EXPECT_NE(stampTextOf(path), first);
    writeFile(path, "abcd"); // the same time, another size
    setModified(path, 1700000000, 5);
    EXPECT_NE(stampTextOf(path), first);

    setModified(path, 10428091200, 0); // June 2300
    EXPECT_TRUE(stampTextOf(path)->starts_with("2300-06-")) << *stampTextOf(path);
    Folder f;
    setModified(f.folder.breedingFile(), 10428091200, 0);
    const StartupResult result = f.start();
    EXPECT_EQ(result.status, Outcome::Done) << result.error;
    EXPECT_TRUE(readFile(f.stamp).starts_with("2300-06-"));
}

TEST(Stamp, WrittenInUtcSoTheHourTheClocksGoBackAndAChangeOfTzCountAsTheyShould)
{
    const char* saved = std::getenv("TZ");
    const std::string before = saved ? saved : "";
    const auto withTz = [](const char* tz) {
        setenv("TZ", tz, 1);
        tzset();
    };
    TempDir dir;
    const std::string path = dir.file("breeding.txt");
    writeFile(path, "abc");
    withTz("EST5EDT,M3.2.0,M11.1.0"); // New York's rules
    setModified(path, 1793511000, 0); // 1 November 2026, 01:30 EDT
    const auto summer = stampTextOf(path);
    setModified(path, 1793511000 + 3600, 0); // an hour later, 01:30 EST
    const auto winter = stampTextOf(path);
    withTz("JST-9");
    const auto tokyo = stampTextOf(path);
    if (saved)
        withTz(before.c_str());
    else {
        unsetenv("TZ");
        tzset();
    }
    EXPECT_NE(summer, winter);
    EXPECT_EQ(winter, tokyo);
    EXPECT_EQ(*winter, "2026-11-01 06:30:00.000000000 UTC 3 bytes");
}

TEST(Startup, AStampPlaceThatIsNoFileIsAWarningNotARefusal)
{
    for (const std::string kind : {"folder", "FIFO", "link to /dev/null"}) {
        Folder f;
        if (kind == "folder")
            fs::create_directory(f.stamp);
        else if (kind == "FIFO")
            ASSERT_EQ(mkfifo(f.stamp.c_str(), 0600), 0);
        else
            fs::create_symlink("/dev/null", f.stamp);
        const StartupResult result = f.start();
        ASSERT_EQ(result.status, Outcome::Done) << kind << ": " << result.error;
        EXPECT_NE(result.warning.find(f.stamp + ": is a"), std::string::npos) << kind << ": " << result.warning;
        EXPECT_EQ(fs::is_symlink(f.stamp), kind != "folder" && kind != "FIFO") << kind;
        EXPECT_FALSE(f.start().subdivided) << kind;
    }
}

// A socket cannot even be opened; it is still no missing file.
TEST(Startup, ABreedingFileThatIsASocketIsNamedAsOneNotAsMissing)
{
    Folder f;
    fs::remove(f.folder.breedingFile());
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(f.folder.breedingFile().size(), sizeof address.sun_path);
    f.folder.breedingFile().copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    const StartupResult result = f.start();
    close(listener);
    EXPECT_EQ(result.status, Outcome::Failed);
    EXPECT_EQ(result.error,
              f.folder.breedingFile() + ": is a socket, not a regular file; Quindle reads only ordinary files");
    EXPECT_FALSE(fs::exists(f.folder.bucketFolder()));
}

TEST(Startup, ABucketFolderOrDataFolderThatIsNoFolderIsNamedAsSuch)
{
    Folder f;
    writeFile(f.folder.bucketFolder(), "a file");
    EXPECT_NE(f.start().error.find(f.folder.bucketFolder() + ": is a file, not a folder"), std::string::npos)
        << f.start().error;
    fs::remove(f.folder.bucketFolder());
    fs::create_symlink(f.folder.bucketFolder(), f.folder.bucketFolder()); // a loop
    EXPECT_NE(f.start().error.find("leads back to itself"), std::string::npos) << f.start().error;
    fs::remove(f.folder.bucketFolder());
    fs::create_symlink("/dev/null", f.folder.bucketFolder());
    EXPECT_NE(f.start().error.find("not a folder"), std::string::npos) << f.start().error;

    writeFile(f.dir.file("plain"), "x");
    const StartupResult file = runStartup(DataFolder(f.dir.file("plain")), f.stamp, {});
    EXPECT_EQ(file.status, Outcome::Failed);
    EXPECT_NE(file.error.find(f.dir.file("plain") + ": is a file, not a folder"), std::string::npos) << file.error;
}

TEST(Stamp, ALinkLeftUnderTheTemporaryNameIsReplacedNeverFollowed)
{
    TempDir dir;
    const std::string stamp = dir.file("Quindle.nnn");
    writeFile(dir.file("victim"), "keep me");
    fs::create_symlink(dir.file("victim"), stamp + ".new");
    writeStamp(stamp, "2026-12-08 10:11:12");
    EXPECT_EQ(readFile(dir.file("victim")), "keep me");
    EXPECT_EQ(readFile(stamp), "2026-12-08 10:11:12,");
    EXPECT_FALSE(fs::is_symlink(stamp));
    EXPECT_FALSE(fs::exists(fs::symlink_status(stamp + ".new")));
}
#endif

TEST(Stamp, RoundTripAndFirstCharacterRule)
{
    TempDir dir;
    const std::string stamp = dir.file("Quindle.nnn");
    writeStamp(stamp, "2026-12-08 10:11:12");
    EXPECT_EQ(readFile(stamp), "2026-12-08 10:11:12,");
    EXPECT_EQ(readStamp(stamp), "2026-12-08 10:11:12");
    EXPECT_FALSE(fs::exists(stamp + ".new"));
    writeFile(stamp, ",abc,def"); // the first character is taken even when it is a comma
    EXPECT_EQ(readStamp(stamp), ",abc");
    writeFile(stamp, std::string(1 << 20, 'x') + ",");
    EXPECT_EQ(readStamp(stamp), std::nullopt);
    EXPECT_EQ(readStamp(dir.file("absent")), std::nullopt);
}

TEST(ChefTable, CountsNonEmptyLinesWhateverTheirLineEnds)
{
    TempDir dir;
    writeFile(dir.file("t"), "a\r\n \r\nb\nc\rd");
    EXPECT_EQ(countNonEmptyLines(dir.file("t")), 5);
    writeFile(dir.file("e"), "");
    EXPECT_EQ(countNonEmptyLines(dir.file("e")), 0);
    EXPECT_EQ(countNonEmptyLines(dir.file("none")), std::nullopt);
}

TEST(ChefTable, TheIndexFindsWhatTheScanFindsForNamesOfEveryLength)
{
    // Many names alike in length, first and last letters, so the index's
    // shortcuts are tried where they could go wrong.
    std::mt19937 random(12);
    const auto randomName = [&random](std::size_t length) {
        std::string name(length, 'A');
        for (char& c : name)
            c = "AB C"[random() % 4];
        return name;
    };
    std::vector<ChefEntry> rows;
    for (int i = 0; i < 600; ++i)
        rows.push_back({randomName(random() % 24), {static_cast<std::int16_t>(i), 0, 0, 0, 0}});
    const ChefTable table(rows);
    for (int i = 0; i < 20000; ++i) {
        std::string key = i % 3 == 0 ? rows[random() % rows.size()].name : randomName(random() % 26);
        if (i % 7 == 0 && !key.empty())
            key.back() = 'D'; // one letter off a chef
        ASSERT_EQ(table.find(key), table.findByScan(key)) << '"' << key << '"';
    }
}

TEST(ChefTable, FirstRowOfANameWinsInTheIndexAndTheScan)
{
    ChefTable table({{"A", {1, 0, 0, 0, 0}}, {"B", {0, 1, 0, 0, 0}}, {"A", {0, 0, 1, 0, 0}}});
    ASSERT_NE(table.find("A"), nullptr);
    EXPECT_EQ(table.find("A")->points[0], 1);
    EXPECT_EQ(table.find("A"), table.findByScan("A"));
    EXPECT_EQ(table.find("a"), nullptr);
    EXPECT_EQ(table.find(""), nullptr);
}
