// quindle-cli find and foals as processes on a generated data folder.
#include <gtest/gtest.h>

#include <algorithm>

#include "dosage/repeated_sires.h"
#include "export/text_forms.h"
#include "lookup/horse_lookup.h"
#include "sample_data.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

using namespace quindle;
using namespace quindle::testing;

namespace {

class FindCli : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new TempDir;
        sample::writeDataFolder((dir_->path() / "pdg").string(), {3000, 5});
    }
    static void TearDownTestSuite() { delete dir_; }
    static TempDir* dir_;
    static ProcessResult cli(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--data-dir", (dir_->path() / "pdg").string()});
        return runProcess(QUINDLE_CLI, args, dir_->path().string());
    }
    // The CSV fields of a line (the sample names hold no quotes).
    static std::vector<std::string> fields(const std::string& line)
    {
        std::vector<std::string> out(1);
        bool quoted = false;
        for (const char c : line) {
            if (c == '"')
                quoted = !quoted;
            else if (c == ',' && !quoted)
                out.emplace_back();
            else
                out.back().push_back(c);
        }
        return out;
    }
};
TempDir* FindCli::dir_ = nullptr;

} // namespace

TEST_F(FindCli, FindsByPartOfTheNameBestFirstAsCsvOrJsonWithALimit)
{
    const ProcessResult all = cli({"find", "sea"});
    ASSERT_EQ(all.exitCode, 0) << all.err;
    const auto lines = splitLines(all.out);
    ASSERT_GT(lines.size(), 3u);
    EXPECT_EQ(lines[0], "id,name,age,sex,sire,damsire");
    // Names starting with SEA come before names that only hold it.
    std::vector<bool> starts;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string name = fields(lines[i])[1];
        EXPECT_NE(name.find("SEA"), std::string::npos) << lines[i];
        starts.push_back(name.starts_with("SEA"));
    }
    EXPECT_TRUE(std::is_sorted(starts.rbegin(), starts.rend()));
    EXPECT_TRUE(starts.front() && !starts.back());

    const ProcessResult two = cli({"find", "--limit", "2", "--json", "SEA"});
    ASSERT_EQ(two.exitCode, 0) << two.err;
    const auto objects = splitLines(two.out);
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0].rfind("{\"id\":" + fields(lines[1])[0] + ",\"name\":\"" + fields(lines[1])[1] + "\"", 0), 0u);
    EXPECT_NE(two.err.find("2 of " + std::to_string(lines.size() - 1)), std::string::npos) << two.err;

    EXPECT_EQ(cli({"find", "NO SUCH HORSE AT ALL"}).exitCode, 1);
    EXPECT_EQ(cli({"find"}).exitCode, 2);
    EXPECT_EQ(cli({"find", "--limit", "0", "SEA"}).exitCode, 2);
    EXPECT_EQ(cli({"find", "\xE2\x82\xAC"}).exitCode, 2); // the euro sign is no Latin-1 letter
}

TEST_F(FindCli, FoalsAreTheProfileRowsOfTheSiresHorsesInFileOrder)
{
    const auto profiles = splitLines(cli({"profiles"}).out);
    ASSERT_GT(profiles.size(), 100u);
    const std::string sire = fields(profiles[1])[4];
    std::vector<std::string> expected{profiles[0]};
    for (std::size_t i = 1; i < profiles.size(); ++i)
        if (fields(profiles[i])[4] == sire)
            expected.push_back(profiles[i]);
    std::string lower = sire;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    const ProcessResult foals = cli({"foals", lower});
    ASSERT_EQ(foals.exitCode, 0) << foals.err;
    // Each row is the profile row and the horse's repeated sires.
    const auto rows = splitLines(foals.out);
    ASSERT_EQ(rows.size(), expected.size());
    EXPECT_EQ(rows[0], expected[0] + ",repeats");
    const DataFolder folder((dir_->path() / "pdg").string());
    for (std::size_t i = 1; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].rfind(expected[i] + ",", 0), 0u) << rows[i];
        const LookupResult horse = findHorse(folder, std::stoi(fields(rows[i])[0]));
        ASSERT_EQ(horse.status, Outcome::Done);
        EXPECT_EQ(fields(rows[i]).back(), repeatsText(repeatedSires(lineageNames(horse.horse)))) << rows[i];
    }

    const ProcessResult json = cli({"foals", "--json", sire});
    const auto objects = splitLines(json.out);
    ASSERT_EQ(objects.size(), expected.size() - 1);
    const auto last = fields(expected.back());
    EXPECT_NE(objects.back().find(",\"cd\":\"" + last[14] + "\",\"di\":\"" + last[15] + "\",\"repeats\":["),
              std::string::npos)
        << objects.back();

    const ProcessResult none = cli({"foals", "NO SUCH STALLION"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_EQ(splitLines(none.out), std::vector<std::string>{profiles[0] + ",repeats"});
    EXPECT_EQ(cli({"foals"}).exitCode, 2);
    EXPECT_EQ(cli({"foals", ""}).exitCode, 2); // not the horses without a sire
}
