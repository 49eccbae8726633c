// The stable file: its text, the faults it is refused for, where it lives, and
// the check of its horses against the breeding file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "stable/stable_check.h"
#include "stable/stable_file.h"
#include "support/temp_dir.h"

using namespace quindle;
using namespace quindle::testing;

TEST(StableFileTest, TextReadsBackAsTheSameHorsesInTheSameOrder)
{
    Stable stable;
    EXPECT_TRUE(stable.add(20, "SEA BREEZE"));
    EXPECT_TRUE(stable.add(7, "CH\xC9RI \"Q\"")); // Latin-1 É and quotes
    EXPECT_TRUE(stable.add(999999, "LAST"));
    EXPECT_FALSE(stable.add(7, "AGAIN"));
    const std::string text = stableText(stable, "/home/p/pdg/");
    EXPECT_NE(text.find("CH\xC3\x89RI"), std::string::npos) << text; // UTF-8 in the file
    const StableRead read = parseStable(text, "my.json");
    ASSERT_EQ(read.status, Outcome::Done) << read.error;
    EXPECT_EQ(read.stable, stable);
    EXPECT_TRUE(stable.remove(7));
    EXPECT_FALSE(stable.remove(7));
    EXPECT_EQ(parseStable(stableText(Stable{}, "x"), "f").stable, Stable{});
    // A data folder whose path is no UTF-8 (a Latin-1 home folder) still gives a file that reads back.
    EXPECT_EQ(parseStable(stableText(stable, "/home/h\xE9/pdg/"), "f").stable, stable);

    TempDir dir;
    EXPECT_EQ(readStable((dir.path() / "none.json").string()).status, Outcome::Absent);
    // A file too large to be a list is damaged; one that cannot be read at all (a folder) is left unread.
    const std::filesystem::path big = dir.path() / "big.json", folder = dir.path() / "folder.json";
    std::filesystem::resize_file((writeFile(big.string(), ""), big), (std::uintmax_t{64} << 20) + 1);
    const StableRead large = readStable(big.string());
    EXPECT_EQ(large.status, Outcome::Failed);
    EXPECT_FALSE(large.unread) << large.error;
    std::filesystem::create_directory(folder);
    const StableRead unread = readStable(folder.string());
    EXPECT_EQ(unread.status, Outcome::Failed);
    EXPECT_TRUE(unread.unread) << unread.error;
}

TEST(StableFileTest, ADamagedFileIsNamedWithWhatIsWrong)
{
    const std::pair<const char*, const char*> cases[] = {
        {"{\"horses\": [", "not JSON"},
        {"\xFF", "not JSON"},
        {"[1, 2]", "an object with a member \"horses\""},
        {"{\"horses\": {}}", "an object with a member \"horses\""},
        {"{\"horses\": [5]}", "horse 1 is not an object"},
        {"{\"horses\": [{\"name\": \"A\"}]}", "horse 1 has no whole-number \"id\""},
        {"{\"horses\": [{\"id\": \"5\", \"name\": \"A\"}]}", "horse 1 has no whole-number \"id\""},
        {"{\"horses\": [{\"id\": 5.5, \"name\": \"A\"}]}", "horse 1 has no whole-number \"id\""},
        {"{\"horses\": [{\"id\": 0, \"name\": \"A\"}]}", "horse 1: 0 is not a horse identifier"},
        {"{\"horses\": [{\"id\": 1000000, \"name\": \"A\"}]}", "1000000 is not a horse identifier"},
        {"{\"horses\": [{\"id\": -3, \"name\": \"A\"}]}", "-3 is not a horse identifier"},
        {"{\"horses\": [{\"id\": 5}]}", "horse 1 (ID 5) has no \"name\""},
        {"{\"horses\": [{\"id\": 5, \"name\": \"\xE2\x82\xAC\"}]}", "not Latin-1"},
        {"{\"horses\": [{\"id\": 5, \"name\": \"A\"}, {\"id\": 6, \"name\": \"B\"}, {\"id\": 5, \"name\": \"C\"}]}",
         "the ID 5 is listed twice (again as horse 3)"},
        {"{\"horses\": [{\"id\": 5, \"name\": \"A\"}], \"horses\": []}", "the member \"horses\" is written twice"},
        {"{\"horses\": [{\"id\": 5, \"name\": \"A\", \"id\": 6}]}", "the member \"id\" is written twice"},
    };
    for (const auto& [text, what] : cases) {
        const StableRead read = parseStable(text, "/data/horses.json");
        EXPECT_EQ(read.status, Outcome::Failed) << text;
        EXPECT_EQ(read.error.rfind("/data/horses.json: ", 0), 0u) << read.error;
        EXPECT_NE(read.error.find(what), std::string::npos) << read.error;
        EXPECT_TRUE(read.stable.horses.empty());
    }
}

TEST(StableFileTest, EachDataFolderHasItsOwnSafeFileThatStaysTheSame)
{
    const std::string a = stableFileFor(DataFolder("/home/p/pdg"), "/app");
    EXPECT_EQ(a, stableFileFor(DataFolder("/home/p/pdg/"), "/app"));
    EXPECT_EQ(a, stableFileFor(DataFolder("/home/p/x/../pdg"), "/app"));
    EXPECT_NE(a, stableFileFor(DataFolder("/home/q/pdg"), "/app"));
    EXPECT_EQ(std::filesystem::path(a).generic_string().rfind("/app/horses-pdg-", 0), 0u) << a;
    EXPECT_TRUE(a.ends_with(".json"));
    const std::string odd = stableFileFor(DataFolder("/games/My \"PDG\" \xC3\xA9t\xC3\xA9 *?"), "/app");
    const std::string name = std::filesystem::path(odd).filename().string();
    EXPECT_EQ(name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_."),
              std::string::npos)
        << name;
}

#ifndef _WIN32
TEST(StableFileTest, AppDataFolderFollowsXdgDataHomeThenHome)
{
    const char* home = std::getenv("HOME");
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const std::string savedHome = home ? home : "", savedXdg = xdg ? xdg : "";
    setenv("HOME", "/h/", 1);
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(appDataFolder(), "/h/.local/share/quindle/quindle");
    setenv("XDG_DATA_HOME", "/x/y", 1);
    EXPECT_EQ(appDataFolder(), "/x/y/quindle/quindle");
    setenv("HOME", savedHome.c_str(), 1);
    if (xdg)
        setenv("XDG_DATA_HOME", savedXdg.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}
#endif

TEST(StableCheckTest, AnotherNameAtAKeptIdIsMarkedAndLeftOutUntilConfirmed)
{
    LookupResult found;
    found.status = Outcome::Done;
    found.horse.id = 12;
    found.horse.name = "NEW NAME";
    found.horse.sex = "Mare";
    const CheckedHorse same = checkEntry({12, "NEW NAME"}, found);
    EXPECT_EQ(same.status, CheckedHorse::Status::Same);
    EXPECT_TRUE(same.female());

    const CheckedHorse renamed = checkEntry({12, "OLD NAME"}, found);
    EXPECT_EQ(renamed.status, CheckedHorse::Status::Renamed);
    EXPECT_FALSE(renamed.usable());
    EXPECT_NE(renamed.message.find("horse 12 (OLD NAME) is now NEW NAME"), std::string::npos) << renamed.message;
    found.horse.name = "CAF\xC9"; // the breeding file's Latin-1; messages are UTF-8
    EXPECT_NE(checkEntry({12, "OLD \xC9"}, found).message.find("horse 12 (OLD \xC3\x89) is now CAF\xC3\x89"),
              std::string::npos);
    found.horse.name = "NEW NAME";

    const CheckedHorse gone = checkEntry({12, "OLD NAME"}, LookupResult{});
    EXPECT_EQ(gone.status, CheckedHorse::Status::Missing);
    EXPECT_FALSE(gone.usable());

    Stable stable;
    stable.add(12, "OLD NAME");
    EXPECT_TRUE(confirmHorse(stable, 12, "NEW NAME"));
    EXPECT_FALSE(confirmHorse(stable, 13, "X"));
    EXPECT_EQ(checkEntry(stable.horses[0], found).status, CheckedHorse::Status::Same);
}
