// quindle-cli roster and season --assign --roster: the roster kept by scripts as
// the season window keeps it, and the season decided within it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

#include "sample_data.h"
#include "stable/roster_file.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

using namespace quindle;
using namespace quindle::testing;

namespace {

class RosterCliTest : public ::testing::Test {
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
    static bool says(const ProcessResult& result, const std::string& part)
    {
        return result.err.find(part) != std::string::npos;
    }

private:
    struct Shared {
        TempDir dir;
        DataFolder folder{(dir.path() / "pdg").string()};
    };
    static Shared* shared_;
};
RosterCliTest::Shared* RosterCliTest::shared_ = nullptr;

const std::string kDams = "1 3 4 6 8 9 10 13 15 16 17 18";

// The stallion of a row of the season decided (sample names hold no comma).
std::string sireOf(const std::string& row)
{
    const std::size_t second = row.find(',', row.find(',') + 1);
    return row.substr(second + 1, row.find(',', second + 1) - second - 1);
}

} // namespace

TEST_F(RosterCliTest, ScriptsKeepTheRosterAndTheSeasonUsesOnlyItsStallions)
{
    const std::string roster = file("scripted.json");
    const auto inRoster = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"roster", "--roster", roster});
        return cli(args);
    };
    // Stallions of the sire list, each with a book of his own.
    const ProcessResult added =
        inRoster({"add", "PALWEL", "TORZAR", "HARMISVER GALTAN", "ZARCRESLAN", "ULNOR", "--book", "2"});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_EQ(inRoster({"book", "ZARCRESLAN", "1"}).exitCode, 0);
    const ProcessResult rested = inRoster({"book", "ULNOR", "0"});
    EXPECT_EQ(rested.exitCode, 0);
    EXPECT_TRUE(says(rested, "ULNOR: a book of 0, so he stays in the roster and covers no mare")) << rested.err;
    EXPECT_EQ(inRoster({"book", "TORZAR", "none"}).exitCode, 0);

    // What is refused is named; the rest of the same call is kept.
    const ProcessResult mixed = inRoster({"add", "NO SUCH SIRE", "#1", "PALWEL", "#12"});
    EXPECT_EQ(mixed.exitCode, 1);
    EXPECT_TRUE(says(mixed, "quindle-cli: NO SUCH SIRE is not in the sire list")) << mixed.err;
    EXPECT_TRUE(says(mixed, "quindle-cli: horse 1 (TANDANLOR) is a Filly, not a colt or horse")) << mixed.err;
    EXPECT_TRUE(says(mixed, "quindle-cli: PALWEL is in the roster already")) << mixed.err;
    const ProcessResult listed = inRoster({"list"});
    ASSERT_EQ(listed.exitCode, 0) << listed.err;
    const auto lines = splitLines(listed.out);
    ASSERT_EQ(lines.size(), 7u) << listed.out;
    EXPECT_EQ(lines[0], "stallion,name,book,sire,damsire,note");
    EXPECT_EQ(lines[2], "TORZAR,TORZAR,,CALPAL GALFENEL,DORMIS OSBRI,");
    EXPECT_EQ(lines[4], "ZARCRESLAN,ZARCRESLAN,1,DORTANRIS,HARMISVER GALTAN,");
    EXPECT_EQ(lines[6], "#12,ROSNEL,,RISALLOR,INTAN,\"from the breeding file, horse 12\"");
    ASSERT_EQ(inRoster({"remove", "#12"}).exitCode, 0);
    EXPECT_EQ(inRoster({"remove", "#12"}).exitCode, 1); // gone already

    // The season within it: only its stallions, each within his own book, else the book for all.
    const ProcessResult season =
        cli({"season", "--assign", "--dams", kDams, "--roster", roster, "--book", "3", "--sort", "total,desc"});
    ASSERT_NE(season.exitCode, 2) << season.err;
    const std::map<std::string, std::uint32_t> books{
        {"PALWEL", 2}, {"TORZAR", 3}, {"HARMISVER GALTAN", 2}, {"ZARCRESLAN", 1}};
    std::map<std::string, std::uint32_t> covered;
    const auto rows = splitLines(season.out);
    ASSERT_GT(rows.size(), 4u) << season.err;
    for (std::size_t k = 1; k < rows.size(); ++k)
        ++covered[sireOf(rows[k])];
    for (const auto& [sire, mares] : covered) {
        ASSERT_TRUE(books.contains(sire)) << sire << " is not in the roster";
        EXPECT_LE(mares, books.at(sire)) << sire;
    }
    EXPECT_TRUE(says(season, "roster: ULNOR has a book of 0, so he covers no mare this season")) << season.err;

    // A lock outside the roster is refused and named; the other mares are still planned.
    const ProcessResult outside =
        cli({"season", "--assign", "--dams", kDams, "--roster", roster, "--lock", "3=ULNOR", "--lock", "4=DORTANRIS"});
    EXPECT_EQ(outside.exitCode, 1);
    EXPECT_TRUE(says(outside, "her lock to ULNOR is not kept")) << outside.err;
    EXPECT_GT(splitLines(outside.out).size(), 4u);
}

TEST_F(RosterCliTest, ADamagedRosterIsNamedAndLeftAsItIs)
{
    const std::string roster = file("damaged.json");
    const std::string text = "{\"stallions\": [{\"name\": \"PALWEL\"}, {\"name\": 7}]}";
    writeFile(roster, text);
    const ProcessResult season = cli({"season", "--assign", "--dams", kDams, "--roster", roster});
    EXPECT_EQ(season.exitCode, 2);
    EXPECT_TRUE(says(season, roster + ": stallion 2: no \"name\" string")) << season.err;
    EXPECT_TRUE(season.out.empty()); // nothing planned over the whole list instead
    EXPECT_EQ(readFile(roster), text);
    EXPECT_FALSE(std::filesystem::exists(roster + ".damaged"));
    const ProcessResult missing = cli({"season", "--assign", "--dams", kDams, "--roster", file("none.json")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(says(missing, "no roster kept yet")) << missing.err;

    // Changed by a script, it is kept aside whole, as the window keeps it, and the roster starts again.
    const ProcessResult added = cli({"roster", "--roster", roster, "add", "ULNOR"});
    EXPECT_EQ(added.exitCode, 1) << added.err; // the change is made, and the damage said
    EXPECT_TRUE(says(added, roster + ".damaged")) << added.err;
    EXPECT_EQ(readFile(roster + ".damaged"), text);
    EXPECT_EQ(readRoster(roster).roster.stallions.size(), 1u);
}

TEST_F(RosterCliTest, UsageErrorsAndTheDataFoldersOwnRoster)
{
    EXPECT_EQ(cli({"roster", "book", "ULNOR", "-1"}).exitCode, 2);
    EXPECT_EQ(cli({"roster", "book", "ULNOR", "many"}).exitCode, 2);
    EXPECT_EQ(cli({"roster", "add"}).exitCode, 2);
    EXPECT_EQ(cli({"roster", "remove", "ULNOR", "--book", "2"}).exitCode, 2);
    EXPECT_EQ(cli({"roster", "add", "#"}).exitCode, 2);
    EXPECT_EQ(cli({"roster", "empty"}).exitCode, 2);
    EXPECT_EQ(cli({"season", "--dams", "3", "--roster"}).exitCode, 2); // a roster rules only --assign

#ifndef _WIN32
    const char* saved = std::getenv("XDG_DATA_HOME");
    const std::string before = saved ? saved : "";
    setenv("XDG_DATA_HOME", file("share").c_str(), 1);
    ASSERT_EQ(cli({"roster", "add", "PALWEL", "--book", "1"}).exitCode, 0);
    const std::string own = rosterFileFor(folder());
    EXPECT_EQ(own.rfind(file("share") + "/quindle/quindle/roster-pdg-", 0), 0u) << own;
    EXPECT_EQ(readRoster(own).roster.stallions.size(), 1u);
    const ProcessResult season = cli({"season", "--assign", "--dams", kDams, "--roster"});
    ASSERT_NE(season.exitCode, 2) << season.err;
    const auto rows = splitLines(season.out);
    ASSERT_EQ(rows.size(), 2u) << season.out; // one mare: his book
    EXPECT_EQ(sireOf(rows[1]), "PALWEL");
    if (saved)
        setenv("XDG_DATA_HOME", before.c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
#endif
}

TEST_F(RosterCliTest, AColtOfTheBreedingFileInTheRosterStandsInEveryMaresListByHisFoal)
{
    const std::string roster = file("young.json");
    ASSERT_EQ(cli({"roster", "--roster", roster, "add", "#12", "ZARCRESLAN"}).exitCode, 0);
    const std::vector<std::string> dams{"1", "3", "4", "6", "8", "9"};
    std::string list;
    for (const std::string& dam : dams)
        list += dam + " ";
    // The column of a row: dam,damname,sire,rank,giveup,siresire,siredamsire,B,I,C,S,P,total,...
    const auto rest = [](const std::string& row, std::size_t c) { // from column c on
        std::size_t at = 0;
        for (std::size_t k = 0; k < c; ++k)
            at = row.find(',', at) + 1;
        return row.substr(at);
    };
    const auto column = [&](const std::string& row, std::size_t c) {
        const std::string tail = rest(row, c);
        return tail.substr(0, tail.find(','));
    };
    for (const bool highest : {true, false}) {
        const ProcessResult season =
            cli({"season", "--assign", "--dams", list, "--roster", roster, "--sort", highest ? "total,desc" : "total"});
        ASSERT_EQ(season.exitCode, 0) << season.err;
        const auto rows = splitLines(season.out);
        ASSERT_EQ(rows.size(), dams.size() + 1);
        for (std::size_t m = 0; m < dams.size(); ++m) {
            const std::string& row = rows[m + 1];
            // No book: each mare gets the head of her list, the better total of the two foals (the sire list's
            // stallion on a tie).
            EXPECT_EQ(column(row, 3), "1") << row;
            const ProcessResult locked = cli({"season", "--assign", "--dams", dams[m], "--lock", dams[m] + "=#12"});
            const ProcessResult listed = cli({"sires", "--dam", dams[m]});
            std::string zarcreslan;
            for (const std::string& line : splitLines(listed.out))
                if (line.starts_with("ZARCRESLAN,"))
                    zarcreslan = line;
            ASSERT_FALSE(zarcreslan.empty());
            const int colt = std::stoi(column(splitLines(locked.out).at(1), 12));
            const int sire = std::stoi(column(zarcreslan, 8));
            EXPECT_EQ(sireOf(row), (highest ? colt > sire : colt < sire) ? "ROSNEL" : "ZARCRESLAN")
                << row << " against " << colt << " and " << sire;
            if (sireOf(row) == "ROSNEL") { // his foal's columns are those his lock gives
                EXPECT_EQ(rest(row, 5), rest(splitLines(locked.out).at(1), 5));
            }
        }
    }
    // Out of a mare's target, he is not in her list.
    const ProcessResult high = cli({"season", "--assign", "--dams", list, "--roster", roster, "--min-total", "1000"});
    EXPECT_EQ(splitLines(high.out).size(), 1u);
    EXPECT_EQ(high.exitCode, 1);
}
