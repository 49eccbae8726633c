// quindle-cli stable: the player's list changed by scripts as the window changes
// it, and the answers the command line now gives as the window does.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "lookup/horse_lookup.h"
#include "sample_data.h"
#include "stable/stable_file.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

using namespace quindle;
using namespace quindle::testing;

namespace {

class StableCliTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        shared_ = new Shared;
        sample::writeDataFolder(shared_->folder.dir(), {3000, 11});
        ASSERT_EQ(cli({"show", "1"}).exitCode, 0); // cut, so that the tests can look horses up
    }
    static void TearDownTestSuite() { delete shared_; }
    static ProcessResult cli(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--data-dir", shared_->folder.dir()});
        return runProcess(QUINDLE_CLI, args, shared_->dir.path().string());
    }
    static const DataFolder& folder() { return shared_->folder; }
    static std::string file(const std::string& name) { return (shared_->dir.path() / name).string(); }

private:
    struct Shared {
        TempDir dir;
        DataFolder folder{(dir.path() / "pdg").string()};
    };
    static Shared* shared_;
};
StableCliTest::Shared* StableCliTest::shared_ = nullptr;

} // namespace

TEST_F(StableCliTest, SixScriptsAddingAtOnceKeepEveryHorse)
{
    const std::string list = file("race.json");
    std::vector<std::thread> scripts;
    std::vector<ProcessResult> results(6);
    for (int part = 0; part < 6; ++part)
        scripts.emplace_back([&, part] {
            std::vector<std::string> args{"stable", "--stable", list, "add"};
            for (int id = part * 20 + 1; id <= part * 20 + 20; ++id)
                args.push_back(std::to_string(id));
            results[static_cast<std::size_t>(part)] = cli(args);
        });
    for (std::thread& script : scripts)
        script.join();
    for (const ProcessResult& result : results)
        EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(readStable(list).stable.horses.size(), 120u);
    const ProcessResult listed = cli({"stable", "--stable", list, "list"});
    EXPECT_EQ(listed.exitCode, 0) << listed.err;
    EXPECT_EQ(splitLines(listed.out).size(), 121u);
}

TEST_F(StableCliTest, TheListIsTheWindowsRowsAndItsEditsSayWhatTheyCouldNotDo)
{
    const std::string list = file("mine.json");
    const LookupResult five = findHorse(folder(), 5);
    const LookupResult six = findHorse(folder(), 6);
    ASSERT_EQ(five.status, Outcome::Done);
    writeFile(list, "{\"horses\": [{\"id\": 5, \"name\": \"OLD NAME\"}, {\"id\": 6, \"name\": \"" + six.horse.name +
                        "\", \"note\": \"mine\"}]}");

    ProcessResult listed = cli({"stable", "--stable", list, "list"});
    EXPECT_EQ(listed.exitCode, 1); // a horse left out of plans until confirmed
    const std::vector<std::string> lines = splitLines(listed.out);
    ASSERT_EQ(lines.size(), 3u) << listed.out;
    EXPECT_EQ(lines[0], "id,name,age,sex,sire,damsire,total,di,cd");
    EXPECT_TRUE(lines[1].starts_with("5," + five.horse.name + " (kept as OLD NAME)," + five.horse.age + "," +
                                     five.horse.sex + ","))
        << lines[1];
    EXPECT_NE(listed.err.find("horse 5 (OLD NAME) is now " + five.horse.name), std::string::npos) << listed.err;

    EXPECT_EQ(cli({"stable", "--stable", list, "confirm", "5"}).exitCode, 0);
    EXPECT_EQ(cli({"stable", "--stable", list, "list"}).exitCode, 0);
    EXPECT_EQ(readStable(list).stable.horses[1].extra, "{\"note\":\"mine\"}");

    const ProcessResult again = cli({"stable", "--stable", list, "add", "6", "7"});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_NE(again.err.find("Horse 6 is in your list already."), std::string::npos) << again.err;
    EXPECT_TRUE(readStable(list).stable.find(7)); // the rest is still done
    const ProcessResult missing = cli({"stable", "--stable", list, "add", "999999"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("There is no horse 999999 in the breeding file."), std::string::npos) << missing.err;
    EXPECT_EQ(cli({"stable", "--stable", list, "remove", "x1"}).exitCode, 2);
    EXPECT_EQ(cli({"stable", "--stable", list, "drop", "1"}).exitCode, 2);
    EXPECT_EQ(cli({"stable", "--stable", list, "remove", "5", "6", "7"}).exitCode, 0);
    EXPECT_TRUE(readStable(list).stable.horses.empty());

    // A game folder moved: its list taken whole.
    const std::string other = file("other.json");
    writeFile(other, "{\"horses\": [{\"id\": 8, \"name\": \"EIGHT\"}]}");
    EXPECT_EQ(cli({"stable", "--stable", list, "import", other}).exitCode, 0);
    EXPECT_TRUE(readStable(list).stable.find(8));
}

TEST_F(StableCliTest, ShowAnswersFromABucketCutAgainAsTheWindowDoes)
{
    ASSERT_EQ(cli({"show", "3"}).exitCode, 0);
    const LookupResult three = findHorse(folder(), 3);
    ASSERT_EQ(three.status, Outcome::Done);
    std::filesystem::resize_file(folder().bucketFile(0), 10); // a power cut in the middle of a write
    const ProcessResult shown = cli({"show", "3"});
    EXPECT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_TRUE(shown.out.starts_with("Identifier 3\n")) << shown.out;
    EXPECT_NE(shown.out.find(three.horse.name), std::string::npos) << shown.out;
}

TEST_F(StableCliTest, FoalsGiveTheWindowsAveragesWhenAsked)
{
    const LookupResult one = findHorse(folder(), 1);
    ASSERT_EQ(one.status, Outcome::Done);
    const ProcessResult foals = cli({"foals", "--averages", one.horse.sire});
    ASSERT_EQ(foals.exitCode, 0) << foals.err;
    const std::size_t rows = splitLines(foals.out).size() - 1;
    EXPECT_TRUE(foals.err.starts_with("quindle-cli: " + std::to_string(rows) + (rows == 1 ? " foal" : " foals") +
                                      ", average DI "))
        << foals.err;
    EXPECT_EQ(cli({"foals", one.horse.sire}).err, "");
}
