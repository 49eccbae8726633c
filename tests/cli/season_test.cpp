// quindle-cli season: every mare's rows against `sires --dam` for her.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "app/saved_targets.h"
#include "planner/sire_plan.h"

#include "main_state/record_stallion.h"
#include "data/startup.h"
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
                                                 {"season", "--dams", "1,x2"},
                                                 {"season", "--dams", " ; "},
                                                 {"season", "--dams", "1,0"},
                                                 {"season", "--dams", "1", "--sort", "colour"},
                                                 {"season", "--dams", "1", "extra"}}) {
        const ProcessResult r = cli(args);
        EXPECT_EQ(r.exitCode, 2) << args.back();
        EXPECT_EQ(r.out, "");
    }
}

namespace {

std::vector<std::string> fieldsOf(const std::string& line) // sample names hold no comma
{
    std::vector<std::string> fields;
    std::size_t at = 0;
    for (std::size_t comma; (comma = line.find(',', at)) != std::string::npos; at = comma + 1)
        fields.push_back(line.substr(at, comma - at));
    fields.push_back(line.substr(at));
    return fields;
}

} // namespace

TEST_F(SeasonTest, TheTypedMaresAreReadAsTheSeasonWindowReadsThem)
{
    const ProcessResult commas = cli({"season", "--dams", "1,3,4", "--top", "2"});
    ASSERT_EQ(commas.exitCode, 0) << commas.err;
    for (const std::string typed : {"1 3 4", "1; 3,4", " 1,,3\t4 "})
        EXPECT_EQ(cli({"season", "--dams", typed, "--top", "2"}).out, commas.out) << typed;
    const ProcessResult bad = cli({"season", "--dams", "1 3x 4"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.err.find("\"3x\" is not a horse identifier"), std::string::npos) << bad.err;
}

TEST_F(SeasonTest, EveryAssignedRowIsTheSiresRowOfItsMareWithinTheRules)
{
    const std::string dams = "1 3 4 6 8 9 10 13 14 15 16 17 18 19 20 21 22 23";
    struct Case {
        std::vector<std::string> target; // as `sires` takes it too
        std::vector<std::string> rules;
        std::uint32_t book;
    };
    const std::vector<Case> cases{
        {{"--sort", "total,desc"}, {"--book", "1"}, 1},
        {{"--sort", "di", "--di", ":4", "--cd", ":1.25"}, {"--book", "2", "--no-repeats"}, 2},
        {{"--sort", "cd,desc", "--min-total", "10"},
         {"--book", "1", "--lock", "3=ZARCRESLAN", "--exclude", "ULNOR"},
         1},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"season", "--assign", "--dams", dams};
        args.insert(args.end(), c.target.begin(), c.target.end());
        args.insert(args.end(), c.rules.begin(), c.rules.end());
        const ProcessResult season = cli(args);
        ASSERT_NE(season.exitCode, 2) << season.err;
        const auto lines = splitLines(season.out);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0], "dam,damname,sire,rank,giveup,siresire,siredamsire,B,I,C,S,P,total,speed,stamina,cd,di,"
                            "repeats");
        const bool noRepeats = std::find(c.rules.begin(), c.rules.end(), "--no-repeats") != c.rules.end();
        const bool locked = std::find(c.rules.begin(), c.rules.end(), "--lock") != c.rules.end();
        const std::string sortKey = c.target[1].substr(0, c.target[1].find(','));
        std::map<std::string, std::uint32_t> covered;
        std::size_t previous = 0;
        for (std::size_t k = 1; k < lines.size(); ++k) {
            const auto row = fieldsOf(lines[k]);
            ASSERT_EQ(row.size(), 18u) << lines[k];
            const std::string& dam = row[0];
            const std::string& sire = row[2];
            ++covered[sire];
            // Mares in the order given.
            const std::size_t at = (" " + dams + " ").find(" " + dam + " ");
            EXPECT_GT(at + 1, previous) << dam;
            previous = at + 1;

            std::vector<std::string> siresArgs{"sires", "--dam", dam};
            siresArgs.insert(siresArgs.end(), c.target.begin(), c.target.end());
            const auto herRows = splitLines(cli(siresArgs).out);
            // Her list: her rows without the rules' stallions and pairs.
            std::vector<std::vector<std::string>> list;
            for (std::size_t r = 1; r < herRows.size(); ++r) {
                const auto fields = fieldsOf(herRows[r]);
                if (fields[0] != "ULNOR" || !locked)
                    if (!noRepeats || fields.back().empty())
                        list.push_back(fields);
            }
            std::vector<std::string> expected;
            std::size_t rank = 0;
            for (std::size_t r = 0; r < list.size(); ++r)
                if (list[r][0] == sire) {
                    rank = r + 1;
                    expected = list[r];
                }
            if (locked && dam == "3") {
                EXPECT_EQ(sire, "ZARCRESLAN");
                EXPECT_EQ(row[3], rank ? std::to_string(rank) : "");
                auto all = splitLines(cli({"sires", "--dam", "3"}).out);
                for (const std::string& line : all)
                    if (line.starts_with(sire + ","))
                        expected = fieldsOf(line);
            } else {
                ASSERT_NE(rank, 0u) << lines[k];
                EXPECT_EQ(row[3], std::to_string(rank));
            }
            ASSERT_EQ(expected.size(), 14u) << lines[k];
            // The same cells as `sires` writes for this mare and stallion.
            std::vector<std::string> cells{row[2]};
            cells.insert(cells.end(), row.begin() + 5, row.end());
            EXPECT_EQ(cells, expected) << lines[k];
            if (noRepeats) {
                EXPECT_EQ(row.back(), "");
            }
            // What she gives up against her first row, in the sort column.
            const std::size_t column = static_cast<std::size_t>(
                std::find(kPlanColumnKeys.begin(), kPlanColumnKeys.end(), sortKey) - kPlanColumnKeys.begin());
            const std::string first = fieldsOf(herRows.at(1))[column], mine = expected[column];
            if (first == "INF" || mine == "INF" || first == "--" || mine == "--")
                EXPECT_EQ(row[4], "");
            else if (first == mine)
                EXPECT_EQ(row[4], "0");
            else {
                char text[32];
                std::snprintf(text, sizeof text, sortKey == "total" ? "%.0f" : "%.2f",
                              std::stod(list.at(0)[column]) - std::stod(mine));
                EXPECT_EQ(row[4], text) << lines[k];
            }
        }
        for (const auto& [sire, count] : covered)
            EXPECT_LE(count, c.book) << sire;
        EXPECT_GT(lines.size(), 10u); // most mares planned
        if (locked) {
            EXPECT_EQ(covered.count("ULNOR"), 0u);
        }
    }
}

TEST_F(SeasonTest, AMareLeftWithoutAStallionIsNamedWithWhy)
{
    const ProcessResult full = cli({"season", "--assign", "--dams", "1,3", "--book", "0"});
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_EQ(splitLines(full.out).size(), 1u);
    EXPECT_NE(full.err.find("--book 0: no stallion may cover a mare"), std::string::npos) << full.err;
    EXPECT_NE(full.err.find("horse 3 (HOLPER (IRE)) has no stallion: every stallion of her target is booked full"),
              std::string::npos)
        << full.err;
    const ProcessResult none = cli({"season", "--assign", "--dams", "1 2 3", "--di", "1000:"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.err.find("horse 1 (TANDANLOR) has no stallion: no stallion in her target"), std::string::npos);
    EXPECT_NE(none.err.find("horse 2 (DANLOR) is a Colt, not a filly or mare"), std::string::npos) << none.err;
    // A lock beyond the book is told and the mare planned as the others.
    const ProcessResult beyond =
        cli({"season", "--assign", "--dams", "1,3", "--book", "1", "--lock", "1=ULNOR", "--lock", "3=ULNOR"});
    EXPECT_EQ(beyond.exitCode, 1);
    EXPECT_NE(beyond.err.find("horse 3 (HOLPER (IRE)): her lock to ULNOR is not kept: his book is full"),
              std::string::npos)
        << beyond.err;
    EXPECT_EQ(splitLines(beyond.out).size(), 3u);
    const ProcessResult all = cli({"season", "--assign", "--dams", "1,3", "--book", "1", "--json"});
    EXPECT_EQ(all.exitCode, 0) << all.err;
    ASSERT_EQ(splitLines(all.out).size(), 2u);
    // Both want the same stallion first: one has him, the other her second.
    const auto objects = splitLines(all.out);
    EXPECT_EQ(objects[0].rfind("{\"dam\":1,\"damname\":\"TANDANLOR\",\"rank\":", 0), 0u) << all.out;
    EXPECT_NE(objects[0].find("\"giveup\":\"\",\"locked\":false,\"sire\":"), std::string::npos) << all.out;
    const auto rankOf = [](const std::string& object) { return object.at(object.find("\"rank\":") + 7) - '0'; };
    EXPECT_EQ(rankOf(objects[0]) + rankOf(objects[1]), 3) << all.out;
}

TEST_F(SeasonTest, AssignUsageErrorsAreNamed)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--lock", "12=ULNOR"}, "horse 12 is no filly or mare of this season"}, // a Horse
        {{"--lock", "1=ULNOR", "--lock", "1=STARIN"}, "horse 1 is locked twice"},
        {{"--book", "-1"}, "a book is 0 or more mares"},
        {{"--target", "Sprints"}, "unknown target (Classic distances)"},
        {{"--lock", "1"}, "expected DAM=SIRE"},
        {{"--top", "3"}, "takes no --top"},
    };
    for (const auto& [extra, message] : cases) {
        std::vector<std::string> args{"season", "--assign", "--dams", "1,3,12"};
        args.insert(args.end(), extra.begin(), extra.end());
        const ProcessResult r = cli(args);
        EXPECT_EQ(r.exitCode, 2) << message;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    // A pair ruled out takes that stallion out of her list alone.
    const auto first =
        fieldsOf(splitLines(cli({"season", "--assign", "--dams", "1", "--sort", "total,desc"}).out).at(1));
    const auto without = splitLines(
        cli({"season", "--assign", "--dams", "1 3", "--sort", "total,desc", "--exclude-pair", "1=" + first[2]}).out);
    ASSERT_EQ(without.size(), 3u);
    EXPECT_NE(fieldsOf(without[1])[2], first[2]);
    EXPECT_EQ(fieldsOf(without[1])[3], "1");

    const ProcessResult rulesAlone = cli({"season", "--dams", "1", "--book", "2"});
    EXPECT_EQ(rulesAlone.exitCode, 2);
    EXPECT_NE(rulesAlone.err.find("only with --assign"), std::string::npos);
    // The named target is the ranges it stands for.
    EXPECT_EQ(cli({"season", "--assign", "--dams", "1 3 4", "--target", "Classic distances"}).out,
              cli({"season", "--assign", "--dams", "1 3 4", "--di", ":4", "--cd", ":1.25"}).out);
}

TEST_F(SeasonTest, AMareLockedToAStallionOfTheBreedingFileHasTheFoalHisRecordGives)
{
    // Horse 12 is in no sire list under his own lines: the foal is his submission's.
    const ProcessResult locked =
        cli({"season", "--assign", "--dams", "1 3", "--book", "1", "--lock", "3=#12", "--sort", "di"});
    ASSERT_EQ(locked.exitCode, 0) << locked.err;
    const auto lines = splitLines(locked.out);
    ASSERT_EQ(lines.size(), 3u);
    const auto row = fieldsOf(lines[2]);
    ASSERT_EQ(row[0], "3");
    EXPECT_EQ(row[3], ""); // in no list of hers

    const StartupResult start = runStartup(folder(), file("Quindle.nnn"), {});
    ASSERT_EQ(start.status, Outcome::Done) << start.error;
    const StallionLookup stallion = findStallion(folder(), 12);
    ASSERT_EQ(stallion.status, Outcome::Done) << stallion.error;
    const LookupResult mare = findHorse(folder(), 3);
    MainBoxes boxes;
    submitStallionMating(boxes, stallion.stallion, {"", mare.horse.sire, mare.horse.damSire}, folder().sireList(),
                         start.chefs);
    EXPECT_EQ(row[2], boxes.lineage[0]);
    EXPECT_EQ(row[5], boxes.lineage[1]);
    EXPECT_EQ(row[6], boxes.lineage[4]);
    // B I C S P, total, speed, stamina, cd, di as the boxes show them.
    const std::array<int, 10> boxOf{35, 36, 37, 38, 39, 40, 43, 44, 41, 42};
    for (std::size_t k = 0; k < boxOf.size(); ++k) {
        std::string text = boxes.profileTexts[static_cast<std::size_t>(boxOf[k])];
        std::erase(text, ' ');
        EXPECT_EQ(row[7 + k], text) << "column " << k;
    }

    // A horse that is no colt or horse is named and his lock not kept.
    const ProcessResult filly = cli({"season", "--assign", "--dams", "1 3", "--lock", "3=#1"});
    EXPECT_EQ(filly.exitCode, 1);
    EXPECT_NE(filly.err.find("\"3=#1\": horse 1 (TANDANLOR) is a Filly, not a colt or horse"), std::string::npos)
        << filly.err;
    EXPECT_EQ(splitLines(filly.out).size(), 3u);
}

TEST_F(SeasonTest, TargetSavedByThePlayerIsTakenByName)
{
    // The player's data folder for this test alone, holding one saved target.
    TempDir appHome;
#ifdef _WIN32
    const char* variable = "APPDATA";
#else
    const char* variable = "XDG_DATA_HOME";
#endif
    const char* was = std::getenv(variable);
    const std::string wasValue = was ? was : "";
#ifdef _WIN32
    _putenv_s(variable, appHome.path().string().c_str());
#else
    setenv(variable, appHome.path().string().c_str(), 1);
#endif
    TargetBook book;
    ASSERT_EQ(book.open(savedTargetsFile()).status, Outcome::Done);
    SavedTarget stayers;
    stayers.name = "Stayers";
    stayers.cd = ValueRange{std::nullopt, 0.9};
    stayers.minTotal = 6;
    stayers.sort = "stamina";
    stayers.descending = true;
    ASSERT_EQ(book.save(stayers).status, Outcome::Done);

    const std::vector<std::string> typed{"--cd", ":0.9", "--min-total", "6", "--sort", "stamina,desc"};
    const auto with = [](std::vector<std::string> args, const std::vector<std::string>& more) {
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"sires", "--dam", "3"}, std::vector<std::string>{"season", "--dams", "1,3,4"},
          std::vector<std::string>{"season", "--assign", "--dams", "1,3,4"}}) {
        const ProcessResult named = cli(with(command, {"--target", "stayers"}));
        EXPECT_EQ(named.exitCode, 0) << named.err;
        EXPECT_GT(splitLines(named.out).size(), 1u);
        EXPECT_EQ(named.out, cli(with(command, typed)).out) << command[0];
        // An option typed beside the name says more than the name.
        EXPECT_EQ(cli(with(command, {"--target", "Stayers", "--min-total", "9"})).out,
                  cli(with(command, {"--cd", ":0.9", "--min-total", "9", "--sort", "stamina,desc"})).out);
    }
    // The best mares take the ranges and the order, the mares having a stamina column too.
    const std::string sire = fieldsOf(splitLines(cli({"sires", "--dam", "3"}).out).at(1))[0];
    const ProcessResult mares = cli({"mares", "--sire", sire, "--target", "Stayers"});
    EXPECT_EQ(mares.exitCode, 0) << mares.err;
    EXPECT_EQ(mares.out, cli(with({"mares", "--sire", sire}, typed)).out);
    const ProcessResult unknown = cli({"sires", "--dam", "3", "--target", "Sprints"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.err.find("unknown target (Classic distances, Stayers)"), std::string::npos) << unknown.err;

#ifdef _WIN32
    _putenv_s(variable, wasValue.c_str());
#else
    if (was)
        setenv(variable, wasValue.c_str(), 1);
    else
        unsetenv(variable);
#endif
}
