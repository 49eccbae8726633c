// quindle-cli season: every mare's rows against `sires --dam` for her.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "lookup/horse_lookup.h"
#include "sample_data.h"
#include "stable/stable_file.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

using namespace quindle;
using namespace quindle::testing;

namespace {

class SeasonTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        shared_ = new Shared;
        sample::writeDataFolder(shared_->folder.dir(), {6000, 11});
    }
    static void TearDownTestSuite() { delete shared_; }
    static ProcessResult cli(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--data-dir", shared_->folder.dir()});
        return runProcess(QUINDLE_CLI, args, shared_->dir.path().string());
    }
    static const DataFolder& folder() { return shared_->folder; }
    static std::string file(const std::string& name) { return (shared_->dir.path() / name).string(); }

    // The rows of one mare in a season's CSV, without the columns dam, damname and rank.
    static std::vector<std::string> rowsOf(const std::vector<std::string>& season, const std::string& dam)
    {
        std::vector<std::string> out;
        int rank = 0;
        for (const std::string& line : season)
            if (line.starts_with(dam + ",")) {
                std::size_t at = line.find(',', dam.size() + 1); // after the name (sample names hold no comma)
                const std::size_t end = line.find(',', at + 1);
                EXPECT_EQ(line.substr(at + 1, end - at - 1), std::to_string(++rank)) << line;
                out.push_back(line.substr(end + 1));
            }
        return out;
    }

private:
    struct Shared {
        TempDir dir;
        DataFolder folder{(dir.path() / "pdg").string()};
    };
    static Shared* shared_;
};
SeasonTest::Shared* SeasonTest::shared_ = nullptr;

} // namespace

TEST_F(SeasonTest, EveryMaresRowsAreTheSiresRowsForHerWithTheSameTarget)
{
    std::string dams;
    for (int id = 40; id > 0; id -= 3)
        dams += (dams.empty() ? "" : ",") + std::to_string(id);
    const std::vector<std::vector<std::string>> targets{
        {},
        {"--sort", "di,desc", "--top", "7", "--di", "1:6", "--min-total", "4"},
        {"--sort", "siresire", "--cd", "0.5:", "--top", "0"},
        {"--sort", "total,desc", "--top", "1000000"}};
    for (const auto& target : targets) {
        std::vector<std::string> args{"season", "--dams", dams};
        args.insert(args.end(), target.begin(), target.end());
        const ProcessResult season = cli(args);
        ASSERT_NE(season.exitCode, 2) << season.err;
        const auto lines = splitLines(season.out);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0], "dam,damname,rank,sire,siresire,siredamsire,B,I,C,S,P,total,speed,stamina,cd,di,repeats");
        int mares = 0, others = 0;
        std::size_t rows = 1;
        for (int id = 40; id > 0; id -= 3) {
            std::vector<std::string> sires{"sires", "--dam", std::to_string(id)};
            sires.insert(sires.end(), target.begin(), target.end());
            if (std::find(target.begin(), target.end(), "--top") == target.end())
                sires.insert(sires.end(), {"--top", "5"}); // the season's default
            const ProcessResult plan = cli(sires);
            const std::string dam = std::to_string(id);
            if (plan.exitCode != 0) {
                // Named on standard error by both, and left out of the season.
                ++others;
                const std::string named = "horse " + dam + " (";
                EXPECT_NE(season.err.find(named), std::string::npos) << season.err;
                EXPECT_TRUE(rowsOf(lines, dam).empty());
                continue;
            }
            ++mares;
            auto expected = splitLines(plan.out);
            expected.erase(expected.begin());
            EXPECT_EQ(rowsOf(lines, dam), expected) << "dam " << dam;
            // Mares in the order given.
            for (std::size_t k = 0; k < expected.size(); ++k, ++rows)
                EXPECT_TRUE(lines.at(rows).starts_with(dam + ",")) << lines.at(rows);
        }
        EXPECT_EQ(rows, lines.size());
        EXPECT_GT(mares, 3);
        EXPECT_GT(others, 0);
        EXPECT_EQ(season.exitCode, 1); // some horses were colts or horses
    }
}

TEST_F(SeasonTest, TheStablesMaresArePlannedAndARenamedOneIsLeftOut)
{
    ASSERT_EQ(cli({"show", "1"}).exitCode, 0); // the buckets the lookups below read
    Stable stable;
    std::vector<std::string> mares;
    for (std::int32_t id = 1; id < 60 && mares.size() < 3; ++id) {
        const LookupResult found = findHorse(folder(), id);
        ASSERT_EQ(found.status, Outcome::Done);
        stable.add(id, found.horse.name); // colts and horses too: the season passes them over
        if (canBePlannedAsMare(found.horse.sex))
            mares.push_back(std::to_string(id));
    }
    ASSERT_EQ(mares.size(), 3u);
    const std::string path = file("mine.json");
    std::ofstream(path) << stableText(stable, folder().dir());
    const ProcessResult all = cli({"season", "--stable", path, "--json", "--top", "2"});
    EXPECT_EQ(all.exitCode, 0) << all.err << all.out;
    const auto objects = splitLines(all.out);
    ASSERT_EQ(objects.size(), 6u);
    EXPECT_EQ(objects[0].rfind("{\"dam\":" + mares[0] + ",", 0), 0u) << objects[0];
    EXPECT_NE(objects[5].find("\"rank\":2,"), std::string::npos) << objects[5];

    // The second mare's ID now holds another name as far as the file knows.
    stable.remove(std::stoi(mares[1]));
    stable.add(std::stoi(mares[1]), "OLD NAME");
    std::ofstream(path) << stableText(stable, folder().dir());
    const ProcessResult renamed = cli({"season", "--stable=" + path});
    EXPECT_EQ(renamed.exitCode, 1);
    EXPECT_NE(renamed.err.find("horse " + mares[1] + " (OLD NAME) is now "), std::string::npos) << renamed.err;
    EXPECT_EQ(rowsOf(splitLines(renamed.out), mares[1]).size(), 0u);
    EXPECT_EQ(rowsOf(splitLines(renamed.out), mares[2]).size(), 5u);

    // A damaged file is named with what is wrong, and left as it is.
    std::ofstream(path) << "{\"horses\": [{\"id\": 5, \"name\": \"A\"}, {\"id\": 5, \"name\": \"B\"}]}";
    const ProcessResult bad = cli({"season", "--stable", path});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.err.find(path + ": the ID 5 is listed twice"), std::string::npos) << bad.err;
    EXPECT_EQ(bad.out, "");
}

#ifndef _WIN32
TEST_F(SeasonTest, StableAloneReadsTheWindowsFileForTheDataFolder)
{
    const char* saved = std::getenv("XDG_DATA_HOME");
    const std::string before = saved ? saved : "";
    setenv("XDG_DATA_HOME", file("share").c_str(), 1);
    const std::string path = stableFileFor(folder());
    EXPECT_EQ(path.rfind(file("share") + "/quindle/quindle/horses-pdg-", 0), 0u) << path;
    EXPECT_EQ(cli({"season", "--stable"}).exitCode, 1); // nothing kept yet
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path) << stableText(Stable{}, folder().dir());
    const ProcessResult empty = cli({"season", "--stable", "--top", "3"});
    EXPECT_EQ(empty.exitCode, 1) << empty.err;
    EXPECT_EQ(splitLines(empty.out).size(), 1u);
    EXPECT_NE(empty.err.find(path + ": no filly or mare is kept there"), std::string::npos) << empty.err;
    if (saved)
        setenv("XDG_DATA_HOME", before.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}
#endif

TEST_F(SeasonTest, UsageErrors)
{
    for (const std::vector<std::string>& args : {std::vector<std::string>{"season"},
                                                 {"season", "--dams", "1", "--stable", "x.json"},
                                                 {"season", "--dams", "1,,2"},
                                                 {"season", "--dams", "1,0"},
                                                 {"season", "--dams", "1", "--sort", "colour"},
                                                 {"season", "--dams", "1", "extra"}}) {
        const ProcessResult r = cli(args);
        EXPECT_EQ(r.exitCode, 2) << args.back();
        EXPECT_EQ(r.out, "");
    }
}
