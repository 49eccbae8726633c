// The player's list as the windows and the command line change it: under its
// lock, on the file as it is now, keeping what the player wrote by hand.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <vector>

#include "app/stable_book.h"
#include "data/startup.h"
#include "support/temp_dir.h"

using namespace quindle;
using namespace quindle::testing;

namespace {

// A started data folder of `count` horses (Colts, ID 1..count) and a list file beside it.
struct ListFixture : ::testing::Test {
    TempDir dir;
    DataFolder folder{(dir.path() / "pdg").string()};
    std::string list = dir.file("horses.json");

    void startUp(int count)
    {
        std::filesystem::create_directory(dir.path() / "pdg");
        writeFile(folder.chefTable(), "X,1,0,0,0,0\r\n");
        writeFile(folder.sireList(), "A,B,C,D\r\n");
        writeFile(folder.breedingFile(), breedingFile(count));
        ASSERT_EQ(runStartup(folder, dir.file("Quindle.nnn"), {}).status, Outcome::Done);
    }
    StableRead kept() const { return readStable(list); }
};

} // namespace

TEST_F(ListFixture, BooksAddingAtOnceKeepEveryHorse)
{
    startUp(120);
    // Four windows (or scripts) of their own, each adding its thirty horses as fast as it can.
    std::vector<std::thread> adders;
    for (int part = 0; part < 4; ++part)
        adders.emplace_back([this, part] {
            StableBook book;
            book.openFile(list, folder);
            for (int id = part * 30 + 1; id <= part * 30 + 30; ++id)
                EXPECT_EQ(book.add(id).status, Outcome::Done) << id;
        });
    for (std::thread& adder : adders)
        adder.join();
    EXPECT_EQ(kept().stable.horses.size(), 120u);

    // A book that has not seen the others' horses still changes the list as it is now.
    StableBook late;
    late.openFile(list, folder);
    StableBook early;
    early.openFile(list, folder);
    ASSERT_EQ(late.remove(7).status, Outcome::Done);
    const ListChange again = early.add(7);
    EXPECT_EQ(again.status, Outcome::Done) << again.message;
    EXPECT_EQ(early.add(7).status, Outcome::Absent); // kept already
    EXPECT_EQ(early.add(500).status, Outcome::Failed);
    EXPECT_EQ(kept().stable.horses.size(), 120u);
    EXPECT_EQ(early.stable(), kept().stable);
}

TEST_F(ListFixture, MembersWrittenByHandStayThroughEveryChange)
{
    startUp(5);
    writeFile(list, "{\"note\": \"my stud\", \"horses\": [{\"id\": 1, \"name\": \"X\", \"price\": {\"ask\": [1, 2]}},"
                    " {\"id\": 2, \"name\": \"Y\"}], \"z\": null}");
    StableBook book;
    book.openFile(list, folder);
    ASSERT_EQ(book.add(3).status, Outcome::Done);
    ASSERT_EQ(book.remove(2).status, Outcome::Done);
    ASSERT_EQ(book.confirm(1, "NOW").status, Outcome::Done);
    const StableRead read = kept();
    ASSERT_EQ(read.status, Outcome::Done) << read.error;
    ASSERT_EQ(read.stable.horses.size(), 2u);
    EXPECT_EQ(read.stable.horses[0].name, "NOW");
    EXPECT_EQ(read.stable.horses[0].extra, "{\"price\":{\"ask\":[1,2]}}");
    EXPECT_EQ(read.stable.extra, "{\"note\":\"my stud\",\"z\":null}");

    // A removal taken back puts the entry back whole, at its place.
    const StableEntry first = read.stable.horses[0];
    ASSERT_EQ(book.remove(1).status, Outcome::Done);
    ASSERT_EQ(book.restore({{0, first}}).status, Outcome::Done);
    EXPECT_EQ(kept().stable.horses[0], first);

    // Another folder's list comes in without the horses kept already, with its own members.
    const std::string other = dir.file("other.json");
    writeFile(other, "{\"horses\": [{\"id\": 3, \"name\": \"C\"}, {\"id\": 9, \"name\": \"NINE\", \"note\": 1}]}");
    const ListChange taken = book.import(other);
    ASSERT_EQ(taken.status, Outcome::Done) << taken.message;
    EXPECT_EQ(taken.count, 1u);
    EXPECT_EQ(kept().stable.horses.back().extra, "{\"note\":1}");
    EXPECT_EQ(book.import(other).status, Outcome::Absent);
}

TEST_F(ListFixture, ADamagedListGoesAsideNamedWhereItIsWrong)
{
    startUp(3);
    writeFile(list, "{\"horses\": [\n  {\"id\": 1, \"name\": \"X\"},\n  {\"id\": 2 \"name\": \"Y\"}]}");
    StableBook book;
    const StableOpen opened = book.openFile(list, folder);
    EXPECT_EQ(opened.status, Outcome::Failed);
    EXPECT_NE(opened.message.find("not JSON at line 3, column 12"), std::string::npos) << opened.message;
    EXPECT_NE(opened.message.find(list + ".damaged"), std::string::npos) << opened.message;
    EXPECT_EQ(book.keptAside(), list + ".damaged");
    EXPECT_TRUE(book.stable().horses.empty());
    ASSERT_EQ(book.add(1).status, Outcome::Done); // the list goes on beside it
    writeFile(list, "{\"horses\": [");
    EXPECT_NE(book.openFile(list, folder).message.find("not JSON at line 1, column 13"), std::string::npos);

    // Nesting that no list has is refused before it is parsed, however long the file.
    writeFile(list, std::string(std::size_t{4} << 20, '['));
    const StableOpen deep = book.openFile(list, folder);
    EXPECT_NE(deep.message.find("nested more than 32 levels deep at line 1, column 33"), std::string::npos)
        << deep.message;
    EXPECT_EQ(book.keptAside(), list + ".damaged-3");
}

#ifndef _WIN32
TEST(StableFileKeyTest, AFolderReachedThroughALinkHasTheOneListAndAnOlderOneIsTakenOver)
{
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "games" / "pdg");
    std::filesystem::create_directory_symlink(dir.path() / "games" / "pdg", dir.path() / "link");
    const std::string app = dir.file("app");
    const DataFolder real((dir.path() / "games" / "pdg").string()), linked(dir.file("link"));
    EXPECT_EQ(stableFileFor(real, app), stableFileFor(linked, app));
    EXPECT_EQ(stableFileFor(real, app), stableFileFor(DataFolder(dir.file("link") + "/"), app));

    // A list kept under the link's own name before is the folder's list from now on.
    const char* saved = std::getenv("XDG_DATA_HOME");
    const std::string savedValue = saved ? saved : "";
    setenv("XDG_DATA_HOME", dir.file("share").c_str(), 1);
    const std::filesystem::path appData = appDataFolder();
    std::filesystem::create_directories(appData);
    // The older key was the path as named, here the link's own.
    Stable stable;
    stable.add(4, "FOUR");
    const std::string canonical = stableFileFor(linked, appData.string());
    const std::string underLink = [&] {
        std::filesystem::remove_all(dir.path() / "link");
        const std::string key = stableFileFor(linked, appData.string()); // no link now: the name as typed
        std::filesystem::create_directory_symlink(dir.path() / "games" / "pdg", dir.path() / "link");
        return key;
    }();
    ASSERT_NE(underLink, canonical);
    writeFile(underLink, stableText(stable, linked.dir()));
    EXPECT_EQ(stableFileFor(linked), canonical);
    EXPECT_EQ(readStable(canonical).stable, stable);
    EXPECT_FALSE(std::filesystem::exists(underLink));
    if (saved)
        setenv("XDG_DATA_HOME", savedValue.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}
#endif
