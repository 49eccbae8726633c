// quindle-cli sires: every stallion with one mare, against quindle-cli mate.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>

#include "data/startup.h"
#include "input/edit_filter.h"
#include "sample_data.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

using namespace quindle;
using namespace quindle::testing;

namespace {

// The string members of one JSON object line, "PT" items as "PT0" to "PT44":
// enough for the flat objects quindle-cli writes (ASCII names).
std::map<std::string, std::string> jsonTexts(const std::string& line)
{
    std::map<std::string, std::string> out;
    std::string key;
    int item = -1; // inside the "PT" array: the next item's index
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == ']')
            item = -1;
        if (line[i] != '"')
            continue;
        std::string text;
        for (++i; line[i] != '"'; ++i)
            text += line[i] == '\\' ? line[++i] : line[i];
        if (item >= 0) {
            out["PT" + std::to_string(item++)] = text;
        } else if (text == "repeats" && line[i + 1] == ':') {
            // The list of repeated sires, kept as its text.
            std::size_t end = i + 2;
            for (int depth = 0; end < line.size(); ++end) {
                if (line[end] == '"')
                    for (++end; line[end] != '"'; ++end)
                        end += line[end] == '\\';
                depth += line[end] == '[' ? 1 : line[end] == ']' ? -1 : 0;
                if (depth == 0)
                    break;
            }
            out["repeats"] = line.substr(i + 2, end - i - 1);
            i = end;
        } else if (line[i + 1] == ':') {
            key = text, item = line.compare(i + 2, 1, "[") == 0 ? 0 : -1;
        } else {
            out[key] = text;
        }
    }
    return out;
}

class SiresTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        shared_ = new Shared;
        sample::writeDataFolder(shared_->folder.dir(), {20000, 7});
        ASSERT_EQ(runStartup(shared_->folder, shared_->dir.file("Quindle.nnn"), {}).status, Outcome::Done);
    }
    static void TearDownTestSuite() { delete shared_; }
    static ProcessResult cli(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--data-dir", shared_->folder.dir()});
        return runProcess(QUINDLE_CLI, args, shared_->dir.path().string());
    }
    static const DataFolder& folder() { return shared_->folder; }

private:
    struct Shared {
        TempDir dir;
        DataFolder folder{(dir.path() / "pdg").string()};
    };
    static Shared* shared_;
};
SiresTest::Shared* SiresTest::shared_ = nullptr;

// The first filly or mare of the sample.
std::pair<std::string, std::map<std::string, std::string>>
aMare(const std::function<ProcessResult(std::vector<std::string>)>& cli)
{
    for (int id = 1; id < 100; ++id) {
        auto horse = jsonTexts(cli({"show", "--json", std::to_string(id)}).out);
        if (horse["AgeSex"].ends_with("Mare") || horse["AgeSex"].ends_with("Filly"))
            return {std::to_string(id), horse};
    }
    return {};
}

} // namespace

TEST_F(SiresTest, EveryRowEqualsTheMatingOfItsStallionWithTheMare)
{
    const auto [id, mare] = aMare(cli);
    ASSERT_FALSE(id.empty());
    const ProcessResult plan = cli({"sires", "--json", "--dam", id});
    ASSERT_EQ(plan.exitCode, 0) << plan.err;
    const std::vector<std::string> rows = splitLines(plan.out);
    ASSERT_GT(rows.size(), 300u);

    std::vector<std::size_t> picked(rows.size());
    std::iota(picked.begin(), picked.end(), 0);
    std::shuffle(picked.begin(), picked.end(), std::mt19937(13));
    int compared = 0, withRepeats = 0;
    for (const std::size_t i : picked) {
        auto row = jsonTexts(rows[i]);
        ASSERT_EQ(row.size(), 16u) << rows[i];
        const std::u16string sire(row["sire"].begin(), row["sire"].end());
        if (!checkChars(sire))
            continue; // a name the name box refuses cannot be typed into the mating window
        if (++compared > 200)
            break;
        const ProcessResult mate = cli({"mate", "--json", row["sire"], mare.at("Text3"), mare.at("Text5")});
        ASSERT_EQ(mate.exitCode, 0) << mate.err;
        auto boxes = jsonTexts(mate.out);
        ASSERT_EQ(boxes.count("PT44"), 1u) << mate.out;
        SCOPED_TRACE(row["sire"]);
        EXPECT_EQ(row["sire"], boxes["Text3"]);
        EXPECT_EQ(row["siresire"], boxes["Text4"]);
        EXPECT_EQ(row["siresiresire"], boxes["Text6"]);
        EXPECT_EQ(row["siredamsire"], boxes["Text7"]);
        EXPECT_EQ(row["damsiresire"], boxes["Text8"]);
        const char* keys[] = {"B", "I", "C", "S", "P", "total", "cd", "di", "speed", "stamina"};
        for (int box = 35; box < 45; ++box)
            EXPECT_EQ(row[keys[box - 35]], boxes["PT" + std::to_string(box)]) << keys[box - 35];
        EXPECT_EQ(row["repeats"], boxes["repeats"]);
        withRepeats += row["repeats"] != "[]";
    }
    EXPECT_GT(compared, 200);
    EXPECT_GT(withRepeats, 0); // the sample's stallions share ancestors
}

TEST_F(SiresTest, CsvSortedFilteredAndCut)
{
    const auto [id, mare] = aMare(cli);
    const ProcessResult all = cli({"sires", "--dam=" + id});
    ASSERT_EQ(all.exitCode, 0) << all.err;
    std::vector<std::string> lines = splitLines(all.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "sire,siresire,siredamsire,B,I,C,S,P,total,speed,stamina,cd,di,repeats");

    const ProcessResult top =
        cli({"sires", "--dam", id, "--sort", "di,desc", "--top", "5", "--di", "1:4", "--min-total", "3"});
    ASSERT_EQ(top.exitCode, 0) << top.err;
    lines = splitLines(top.out);
    ASSERT_EQ(lines.size(), 6u);
    double last = 4;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string beforeRepeats = lines[i].substr(0, lines[i].rfind(','));
        const double di = std::stod(beforeRepeats.substr(beforeRepeats.rfind(',') + 1));
        EXPECT_LE(di, last) << lines[i];
        EXPECT_GE(di, 1.0);
        last = di;
    }
    // The same mare by her lines gives the same rows.
    EXPECT_EQ(cli({"sires", "--damsire", mare.at("Text3"), "--damdamsire", mare.at("Text5")}).out, all.out);
}

TEST_F(SiresTest, BadArgumentsAreNamedAndAMareMustBeFemale)
{
    for (const auto& [args, named] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"sires", "--di", "3:1"}, "--di \"3:1\""},
             {{"sires", "--cd", "x"}, "--cd \"x\""},
             {{"sires", "--sort", "colour"}, "unknown column"},
             {{"sires", "--sort", "di,up"}, "desc or asc"},
             {{"sires", "--top", "-1"}, "--top"},
             {{"sires", "--damsire", "NORTH\xCE\xA9"}, "U+03A9 is not allowed"},
             {{"sires", "--dam", "1", "--damsire", "A"}, "either --dam"},
             {{"sires", "--dam", "0"}, "not a horse identifier"},
             {{"sires", "--colour", "red"}, "unknown option --colour"}}) {
        const ProcessResult r = cli(args);
        EXPECT_EQ(r.exitCode, 2) << args[1];
        EXPECT_NE(r.err.find(named), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    for (int id = 1; id < 50; ++id) {
        const ProcessResult r = cli({"sires", "--dam", std::to_string(id)});
        if (r.exitCode == 0)
            continue;
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find("not a filly or mare"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
        return;
    }
    ADD_FAILURE() << "no colt or horse among the first 49";
}

TEST(SiresFaults, ASireListCutShortGivesTheRowsBeforeItAndExitsOne)
{
    TempDir dir;
    const DataFolder folder((dir.path() / "pdg").string());
    std::filesystem::create_directory(dir.path() / "pdg");
    writeFile(folder.chefTable(), "A,1,0,0,0,0\r\n");
    writeFile(folder.breedingFile(), horseLines(1, "ONE", "Mare"));
    writeFile(folder.sireList(), "A,AS,ADS,ASS\r\n,NO,NAME,HERE\r\nB,BS,BDS,BSS\r\nC,CS,\"CDS\r\n");
    const std::string before = readFile(folder.sireList());
    const ProcessResult r = runProcess(QUINDLE_CLI, {"--data-dir", folder.dir(), "sires"}, dir.path().string());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "sire,siresire,siredamsire,B,I,C,S,P,total,speed,stamina,cd,di,repeats\n"
                     "A,AS,ADS,4,0,0,0,0,4,4.0,0.0,2.00,INF,\n"
                     "B,BS,BDS,0,0,0,0,0,0,0.0,0.0,--,--,\n");
    EXPECT_NE(r.err.find("QN_SireList, line 4"), std::string::npos) << r.err;
    EXPECT_EQ(readFile(folder.sireList()), before);

    // C's entry is the damaged one: the warning cannot say C is not in the list.
    const ProcessResult damaged =
        runProcess(QUINDLE_CLI, {"--data-dir", folder.dir(), "mate", "A", "C"}, dir.path().string());
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_EQ(damaged.err.substr(0, damaged.err.find('\n') + 1),
              "quindle-cli: not in what could be read of QN_SireList, so its sire line stays empty: \"C\"\n");

    // A name in two places of the foal: the JSON of the mating and the plan row say where.
    const ProcessResult mate =
        runProcess(QUINDLE_CLI, {"--data-dir", folder.dir(), "mate", "--json", "A", "ADS"}, dir.path().string());
    const std::string repeats = R"("repeats":[{"name":"ADS","places":["3S","2D"],"notation":"ADS 3S x 2D"}])";
    EXPECT_NE(mate.out.find(repeats), std::string::npos) << mate.out;
    const ProcessResult plan =
        runProcess(QUINDLE_CLI, {"--data-dir", folder.dir(), "sires", "--damsire", "ADS"}, dir.path().string());
    EXPECT_EQ(splitLines(plan.out).at(1), "A,AS,ADS,4,0,0,0,0,4,4.0,0.0,2.00,INF,ADS 3S x 2D");
}

TEST(SiresFaults, AControlInANameIsShownEscapedAndTheMessageWhole)
{
    TempDir dir;
    const DataFolder folder((dir.path() / "pdg").string());
    std::filesystem::create_directory(dir.path() / "pdg");
    writeFile(folder.chefTable(), "A,1,0,0,0,0\r\n");
    writeFile(folder.sireList(), "A,AS,ADS,ASS\r\n");
    writeFile(folder.breedingFile(),
              horseLines(1, "ONE", "Mare") + horseLines(2, std::string("TAN\0GO\x85", 7), "Colt"));
    const ProcessResult r =
        runProcess(QUINDLE_CLI, {"--data-dir", folder.dir(), "sires", "--dam", "2"}, dir.path().string());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "quindle-cli: horse 2 (TAN\\x00GO\\x85) is a Colt, not a filly or mare\n");
}
