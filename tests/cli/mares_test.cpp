// quindle-cli mares: every row against quindle-cli mate of that mating.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numeric>
#include <random>

#include "input/edit_filter.h"
#include "data/latin1_text.h"
#include "data/sire_scan.h"
#include "data/startup.h"
#include "export/text_forms.h"
#include "lookup/horse_lookup.h"
#include "planner/best_mares.h"
#include "planner/sire_plan.h"
#include "sample_data.h"
#include "stable/stable_file.h"
#include "support/run_process.h"
#include "support/temp_dir.h"

using namespace quindle;
using namespace quindle::testing;

namespace {

// The JSON string at `at` (its opening quote), unescaped.
std::string stringAt(const std::string& json, std::size_t at)
{
    std::string out;
    for (std::size_t i = at + 1; json[i] != '"'; ++i)
        out += json[i] == '\\' ? json[++i] : json[i];
    return out;
}

// The member `key` of `json` from `from` on: a string unescaped, a list as its text.
std::string member(const std::string& json, const std::string& key, std::size_t from = 0)
{
    const std::size_t at = json.find("\"" + key + "\":", from);
    if (at == std::string::npos)
        return "<none>";
    const std::size_t value = at + key.size() + 3;
    if (json[value] == '"')
        return stringAt(json, value);
    std::size_t end = value;
    for (int depth = 0;; ++end) {
        if (json[end] == '"')
            for (++end; json[end] != '"'; ++end)
                end += json[end] == '\\';
        depth += json[end] == '[' ? 1 : json[end] == ']' ? -1 : 0;
        if (depth == 0)
            break;
    }
    return json.substr(value, end - value + 1);
}

class MaresTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        shared_ = new Shared;
        sample::writeDataFolder(shared_->folder.dir(), {8000, 17});
    }
    static void TearDownTestSuite() { delete shared_; }
    static ProcessResult cli(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--data-dir", shared_->folder.dir()});
        return runProcess(QUINDLE_CLI, args, shared_->dir.path().string());
    }
    static const DataFolder& folder() { return shared_->folder; }
    static std::string file(const std::string& name) { return (shared_->dir.path() / name).string(); }
    // A stallion of the sire list that the name box takes, with many entries before him.
    static std::string stallion()
    {
        const auto rows = splitLines(cli({"sires", "--damsire", "X"}).out);
        for (std::size_t i = rows.size() / 2; i < rows.size(); ++i) {
            const std::string name = rows[i].substr(0, rows[i].find(','));
            if (checkChars(std::u16string(name.begin(), name.end())) && name.find('"') == std::string::npos)
                return name;
        }
        return {};
    }

private:
    struct Shared {
        TempDir dir;
        DataFolder folder{(dir.path() / "pdg").string()};
    };
    static Shared* shared_;
};
MaresTest::Shared* MaresTest::shared_ = nullptr;

// Each of `count` random rows of `mares --json --sire sire` against `mate` of
// that mating: the mare as the file holds her, every box, the repeated sires.
// Returns the rows.
std::vector<std::string> expectRowsAreMatings(const std::string& sire, std::size_t count, const DataFolder& folder,
                                              const std::function<ProcessResult(std::vector<std::string>)>& cli)
{
    const ProcessResult all = cli({"mares", "--json", "--sire", sire});
    EXPECT_EQ(all.exitCode, 0) << all.err;
    const auto rows = splitLines(all.out);
    EXPECT_GT(rows.size(), 1000u);
    if (rows.size() < count)
        return rows;

    std::vector<std::size_t> picked(rows.size());
    std::iota(picked.begin(), picked.end(), 0);
    std::shuffle(picked.begin(), picked.end(), std::mt19937(29));
    picked.resize(count);
    int withRepeats = 0;
    static const char* kFoal[] = {"sire",        "siresire",    "damsire",   "siresiresire",
                                  "siredamsire", "damsiresire", "damdamsire"};
    static const char* kBoxes[] = {"B", "I", "C", "S", "P", "total", "cd", "di", "speed", "stamina"};
    for (const std::size_t i : picked) {
        const std::string& row = rows[i];
        const std::size_t foal = row.find("\"foal\":");
        const ProcessResult mate =
            cli({"mate", "--json", sire, member(row, "damsire", foal), member(row, "damdamsire", foal)});
        EXPECT_EQ(mate.exitCode, 0) << mate.err;
        SCOPED_TRACE(row);
        // The mare herself, as the breeding file holds her.
        const LookupResult horse = findHorse(folder, std::stoi(row.substr(6)));
        EXPECT_EQ(horse.status, Outcome::Done);
        EXPECT_EQ(member(row, "name"), horse.horse.name);
        EXPECT_TRUE(canBePlannedAsMare(horse.horse.sex));
        EXPECT_EQ(member(row, "damsire", foal), horse.horse.sire);
        EXPECT_EQ(member(row, "damdamsire", foal), horse.horse.damSire);
        for (int k = 0; k < 7; ++k)
            EXPECT_EQ(member(row, kFoal[k], foal), member(mate.out, "Text" + std::to_string(k + 3))) << kFoal[k];
        const std::string pt = member(mate.out, "PT");
        std::size_t at = 0;
        for (int box = 0; box < 45; ++box) {
            at = pt.find('"', at);
            if (box >= 35) {
                EXPECT_EQ(member(row, kBoxes[box - 35]), stringAt(pt, at)) << kBoxes[box - 35];
            }
            at += stringAt(pt, at).size() + 2;
        }
        EXPECT_EQ(member(row, "repeats"), member(mate.out, "repeats"));
        withRepeats += member(row, "repeats") != "[]";
    }
    EXPECT_GT(withRepeats, 0);
    return rows;
}

} // namespace

TEST_F(MaresTest, EveryRowIsWhatTheMatingShows)
{
    const std::string sire = stallion();
    ASSERT_FALSE(sire.empty());
    const auto rows = expectRowsAreMatings(sire, 250, folder(), cli);

    // The same rows as CSV, file order, and the mares only.
    const auto csv = splitLines(cli({"mares", "--sire", sire}).out);
    ASSERT_EQ(csv.size(), rows.size() + 1);
    EXPECT_EQ(csv[0], "id,name,age,sex,damsire,damdamsire,B,I,C,S,P,total,speed,stamina,cd,di,repeats");
    for (std::size_t i = 1; i < csv.size(); ++i)
        ASSERT_EQ("{\"id\":" + csv[i].substr(0, csv[i].find(',')) + ",",
                  rows[i - 1].substr(0, rows[i - 1].find(',') + 1));
}

TEST_F(MaresTest, FiltersSortTopAndTheStable)
{
    const std::string sire = stallion();
    const auto lines = splitLines(cli({"mares", "--sire", sire, "--min-age", "5", "--max-age", "9", "--sort",
                                       "total,desc", "--min-total", "8", "--di", "0.5:"})
                                      .out);
    ASSERT_GT(lines.size(), 10u);
    int last = INT32_MAX;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::vector<std::string> f(1);
        bool quoted = false;
        for (const char c : lines[i]) {
            if (c == '"')
                quoted = !quoted;
            else if (c == ',' && !quoted)
                f.emplace_back();
            else
                f.back().push_back(c);
        }
        const int age = std::stoi(f[2]), total = std::stoi(f[11]);
        EXPECT_TRUE(age >= 5 && age <= 9) << lines[i];
        EXPECT_LE(total, last);
        EXPECT_GE(total, 8);
        EXPECT_TRUE(f[15] == "INF" || std::stod(f[15]) >= 0.5) << lines[i];
        last = total;
    }
    EXPECT_EQ(splitLines(cli({"mares", "--sire", sire, "--sort", "name", "--top", "3"}).out).size(), 4u);

    // Only the stable's fillies and mares, and a renamed one left out.
    Stable stable;
    std::vector<std::int32_t> mares;
    for (std::int32_t id = 1; id < 80; ++id) {
        const LookupResult found = findHorse(folder(), id);
        stable.add(id, id == 2 ? "OLD NAME" : found.horse.name);
        if (canBePlannedAsMare(found.horse.sex) && id != 2)
            mares.push_back(id);
    }
    const std::string path = file("mine.json");
    std::ofstream(path) << stableText(stable, folder().dir());
    const ProcessResult kept = cli({"mares", "--sire", sire, "--stable", path, "--sort", "id"});
    EXPECT_EQ(kept.exitCode, 0) << kept.err;
    EXPECT_NE(kept.err.find("horse 2 (OLD NAME) is now"), std::string::npos) << kept.err;
    std::vector<std::int32_t> ids;
    for (const std::string& line : splitLines(kept.out))
        if (line[0] != 'i')
            ids.push_back(std::stoi(line));
    EXPECT_EQ(ids, mares);

    // No horses kept yet is "not found", as for the season; a damaged file is an error.
    const ProcessResult none = cli({"mares", "--sire", sire, "--stable", file("none.json")});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.err.find("no horses kept yet"), std::string::npos) << none.err;
    std::ofstream(file("bad.json")) << "{";
    EXPECT_EQ(cli({"mares", "--sire", sire, "--stable", file("bad.json")}).exitCode, 2);
    // A stable of stallions alone is said to have no mare to plan for.
    Stable stallions;
    for (std::int32_t id = 1; stallions.horses.empty(); ++id)
        if (const LookupResult found = findHorse(folder(), id); !canBePlannedAsMare(found.horse.sex))
            stallions.add(id, found.horse.name);
    std::ofstream(file("colts.json")) << stableText(stallions, folder().dir());
    const ProcessResult colts = cli({"mares", "--sire", sire, "--stable", file("colts.json")});
    EXPECT_EQ(colts.exitCode, 1);
    EXPECT_NE(colts.err.find(file("colts.json") + ": no filly or mare is kept there"), std::string::npos) << colts.err;
    // One left out under an old name is said as such, not as a stable without mares.
    Stable renamed;
    renamed.add(2, "OLD NAME");
    std::ofstream(file("renamed.json")) << stableText(renamed, folder().dir());
    const ProcessResult old = cli({"mares", "--sire", sire, "--stable", file("renamed.json")});
    EXPECT_NE(old.err.find("horse 2 (OLD NAME) is now"), std::string::npos) << old.err;
    EXPECT_EQ(old.err.find("no filly or mare"), std::string::npos) << old.err;
}

TEST_F(MaresTest, UnknownStallionsNoRowsAndUsageErrors)
{
    const ProcessResult unknown = cli({"mares", "--sire", "NO SUCH STALLION"});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_NE(unknown.err.find("NO SUCH STALLION is not in the sire list"), std::string::npos) << unknown.err;
    EXPECT_EQ(cli({"mares", "--sire", stallion(), "--min-age", "500"}).exitCode, 1);
    for (const std::vector<std::string>& args : {std::vector<std::string>{"mares"},
                                                 {"mares", "--sire", "NORTH\xCE\xA9"},
                                                 {"mares", "--sire", "A", "--min-age", "x"},
                                                 {"mares", "--sire", "A", "--sort", "siresire"},
                                                 {"mares", "--sire", "A", "--di", "4:1"},
                                                 {"mares", "--sire", "A", "B"}}) {
        const ProcessResult r = cli(args);
        EXPECT_EQ(r.exitCode, 2) << args.back();
        EXPECT_EQ(r.out, "");
    }
}

TEST(MaresSireList, AStallionPastADamagedEntryIsNotSaidToBeMissingAndTheFaultIsNamed)
{
    TempDir dir;
    const DataFolder folder((dir.path() / "pdg").string());
    std::filesystem::create_directory(dir.path() / "pdg");
    writeFile(folder.chefTable(), "A,1,0,0,0,0\r\n");
    writeFile(folder.sireList(), "A,AS,ADS,ASS\r\nBROKEN,X\r\nB,X,Y,Z\r\n");
    writeFile(folder.breedingFile(), horseLines(1, "M1", "Mare", "7"));
    const ProcessResult past =
        runProcess(QUINDLE_CLI, {"--data-dir", folder.dir(), "mares", "--sire", "B"}, dir.path().string());
    EXPECT_EQ(past.exitCode, 1);
    EXPECT_NE(past.err.find("B is not in what could be read of the sire list: "), std::string::npos) << past.err;
    EXPECT_NE(past.err.find("line 2"), std::string::npos) << past.err;
}

TEST_F(MaresTest, RunningOutOfMemoryOnOnePieceEndsTheRankingWithAFaultInsteadOfWaitingForIt)
{
    const StartupResult started = runStartup(folder(), file("Quindle.nnn"), {});
    ASSERT_EQ(started.status, Outcome::Done) << started.error;
    const auto sires = std::make_shared<const SireIndex>(readSireList(folder().sireList()));
    std::atomic<int> calls = 0;
    MaresSink sink;
    sink.format = [&](const BestMares&) -> std::string {
        if (calls++ == 0) // the first piece formatted, which is never the last of the three
            throw std::bad_alloc();
        return "rows\n";
    };
    sink.write = [](std::string_view) { return true; };
    const BestMares mares = bestMares(folder().breedingFile(), sires, stallion(), started.chefs, nullptr, 2, sink);
    EXPECT_EQ(mares.error, "there is not enough memory to rank every mare");
}

TEST_F(MaresTest, AStallionOfTheBreedingFileSiresByHisOwnRecord)
{
    // Colts and horses, and fillies and mares to give the dam's side.
    ASSERT_EQ(cli({"show", "1"}).exitCode, 0); // cut
    std::vector<HorseRecord> stallions, mares;
    for (std::int32_t id = 1; id <= 8000; ++id) {
        const LookupResult found = findHorse(folder(), id);
        ASSERT_EQ(found.status, Outcome::Done);
        (canBePlannedAsStallion(found.horse.sex) ? stallions : mares).push_back(found.horse);
    }
    std::mt19937 random(44);
    std::shuffle(stallions.begin(), stallions.end(), random);
    stallions.resize(300);
    const StartupResult start = runStartup(folder(), file("Quindle.nnn"), {});
    ASSERT_EQ(start.status, Outcome::Done) << start.error;
    const ChefTable& chefs = start.chefs;
    for (const HorseRecord& him : stallions) {
        const HorseRecord& her = mares[random() % mares.size()];
        const std::string id = "#" + std::to_string(him.id);
        const ProcessResult mate = cli({"mate", "--json", id, her.sire, her.damSire});
        ASSERT_EQ(mate.exitCode, 0) << id << mate.err;
        // What the boxes hold: his own record on the Sire's side, her Sire's
        // first entry in the list for the Dam-Sire's Sire.
        MainBoxes expected;
        expected.ageSex = " New Foal";
        expected.lineage = {him.name,    him.sire,
                            her.sire,    him.sireSire,
                            him.damSire, scanSireList(folder().sireList(), "", her.sire).damSireSire.value_or(""),
                            her.damSire};
        showDosage(expected, chefs);
        EXPECT_EQ(mate.out.substr(0, mate.out.find(",\"name\":")) + "}", boxesJson(expected)) << id;
    }

    // The best mares for one of them: every row is the mating with him.
    expectRowsAreMatings("#" + std::to_string(stallions[0].id), 40, folder(), cli);

    // A filly, a horse not there and no identifier at all are usage errors naming him.
    const HorseRecord& filly = mares.front();
    for (const auto& [arg, said] : std::vector<std::pair<std::string, std::string>>{
             {"#" + std::to_string(filly.id), "horse " + std::to_string(filly.id) + " (" + latin1ToUtf8(filly.name) +
                                                  ") is a " + filly.sex + ", not a colt or horse"},
             {"#9000", "horse 9000 is not in the breeding file"},
             {"#X1", "\"#X1\": a stallion of the breeding file is written #ID"}}) {
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"mate", arg, "A"}, {"mares", "--sire", arg}}) {
            const ProcessResult r = cli(args);
            EXPECT_EQ(r.exitCode, 2) << arg;
            EXPECT_EQ(r.out, "");
            EXPECT_NE(r.err.find(said), std::string::npos) << r.err;
        }
    }
}

TEST(ListedNames, NamesTheSireListHoldsArePlannedWhateverTheirCharacters)
{
    TempDir dir;
    const DataFolder folder((dir.path() / "pdg").string());
    sample::writeDataFolder(folder.dir(), {3000, 5});
    // Latin-1 in the file: an accent, a digit, a comma in quotes.
    const std::size_t before = splitLines(readFile(folder.sireList())).size();
    const std::size_t stallions = SireIndex(readSireList(folder.sireList())).stallions().size();
    // Latin-1 in the file: an accent, a digit, a comma in quotes; one of them twice.
    std::ofstream(folder.sireList(), std::ios::app | std::ios::binary)
        << "\xC9"
           "CLAIR DU NORD,\xC9"
           "S,\xC9"
           "DS,\xC9"
           "SS\r\nSIR IVOR 2ND,IS,IDS,ISS\r\n"
           "\"SMITH, JR\",JS,JDS,JSS\r\nSIR IVOR 2ND,IS,IDS 2,ISS\r\n";
    const auto cli = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--data-dir", folder.dir()});
        return runProcess(QUINDLE_CLI, args, dir.path().string());
    };
    // UTF-8 on the command line.
    for (const auto& [name, sireSire] : std::vector<std::pair<std::string, std::string>>{{"\xC3\x89"
                                                                                          "CLAIR DU NORD",
                                                                                          "\xC3\x89S"},
                                                                                         {"SIR IVOR 2ND", "IS"},
                                                                                         {"SMITH, JR", "JS"}}) {
        const ProcessResult mate = cli({"mate", "--json", name, "SIR IVOR 2ND"});
        EXPECT_EQ(mate.exitCode, 0) << name << mate.err;
        EXPECT_EQ(mate.err, "");
        EXPECT_NE(mate.out.find("\"Text3\":\"" + name + "\",\"Text4\":\"" + sireSire + "\""), std::string::npos)
            << mate.out;
        EXPECT_NE(mate.out.find("\"Text8\":\"IS\""), std::string::npos) << mate.out;
        const ProcessResult mares = cli({"mares", "--json", "--sire", name, "--top", "2"});
        EXPECT_EQ(mares.exitCode, 0) << name << mares.err;
        EXPECT_NE(mares.out.find("\"foal\":{\"sire\":\"" + name + "\",\"siresire\":\"" + sireSire + "\""),
                  std::string::npos)
            << mares.out;
    }
    // The same letters not in the list still meet the name filter.
    const ProcessResult typed = cli({"mate", "SIR IVOR 3RD"});
    EXPECT_EQ(typed.exitCode, 2);
    EXPECT_NE(typed.err.find("'3' is not allowed in a name"), std::string::npos) << typed.err;

    // The name twice: one row, and the line the scan takes is said. A Dam-Sire
    // listed between the two stops the scan at the first; else the last read counts.
    const std::string first = std::to_string(before + 2), second = std::to_string(before + 4);
    const std::string counts =
        "QN_SireList: " + std::to_string(stallions + 3) + " stallions, " + std::to_string(before + 4) + " lines\n";
    const ProcessResult unlisted = cli({"sires", "--damsire", "NO SUCH DAMSIRE"});
    EXPECT_NE(unlisted.err.find(counts), std::string::npos) << unlisted.err;
    EXPECT_NE(
        unlisted.err.find("SIR IVOR 2ND stands on lines " + first + " and " + second + "; line " + second + " counts"),
        std::string::npos)
        << unlisted.err;
    const ProcessResult between = cli({"sires", "--damsire", "SMITH, JR"});
    EXPECT_EQ(between.exitCode, 0) << between.err;
    EXPECT_NE(
        between.err.find("SIR IVOR 2ND stands on lines " + first + " and " + second + "; line " + first + " counts"),
        std::string::npos)
        << between.err;
    EXPECT_EQ(splitLines(between.out).size(), stallions + 4); // the header and one row a name
}
