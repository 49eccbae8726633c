// quindle-cli run as a process on generated data folders.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#ifdef _WIN32
#include <windows.h>
#endif

#include "main_state/main_boxes.h"
#include "main_state/mating.h"
#include "data/field_reader.h"
#include "data/records.h"
#include "data/sire_list.h"
#include "dosage/format.h"
#include "lookup/horse_lookup.h"
#include "export/text_forms.h"
#include "sample_data.h"
#include "support/run_process.h"
#include "support/temp_dir.h"
#include "data/startup.h"
#include "data/system_paths.h"

using namespace quindle;
using namespace quindle::testing;
namespace fs = std::filesystem;

namespace {
// Writes `text` over a file keeping its modification time to the last digit
// (std::filesystem keeps only whole seconds on Windows, where the stamp has 100 ns).
void rewriteKeepingTime(const std::string& path, const std::string& text)
{
#ifdef _WIN32
    const auto handle = [&path] {
        return CreateFileW(fsPath(path).c_str(), GENERIC_READ | FILE_WRITE_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    };
    FILETIME written{};
    HANDLE file = handle();
    ASSERT_TRUE(file != INVALID_HANDLE_VALUE && GetFileTime(file, nullptr, nullptr, &written));
    CloseHandle(file);
    writeFile(path, text);
    file = handle();
    ASSERT_TRUE(file != INVALID_HANDLE_VALUE && SetFileTime(file, nullptr, nullptr, &written));
    CloseHandle(file);
#else
    const auto time = fs::last_write_time(path);
    writeFile(path, text);
    fs::last_write_time(path, time);
#endif
}
} // namespace

namespace {

// One generated folder for the whole suite: 20,000 horses, already split.
class CliTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        shared_ = new Shared;
        sample::writeDataFolder(shared_->folder.dir(), {20000, 7});
        const StartupResult start = runStartup(shared_->folder, shared_->dir.file("Quindle.nnn"), {});
        ASSERT_EQ(start.status, Outcome::Done) << start.error;
        shared_->chefs = start.chefs;
        shared_->chefBefore = readFile(shared_->folder.chefTable());
        shared_->siresBefore = readFile(shared_->folder.sireList());
        shared_->breedingBefore = readFile(shared_->folder.breedingFile());
    }
    static void TearDownTestSuite()
    {
        // Nothing the tool does may change the input files.
        EXPECT_EQ(readFile(shared_->folder.chefTable()), shared_->chefBefore);
        EXPECT_EQ(readFile(shared_->folder.sireList()), shared_->siresBefore);
        EXPECT_EQ(readFile(shared_->folder.breedingFile()), shared_->breedingBefore);
        delete shared_;
    }

    static ProcessResult cli(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--data-dir", shared_->folder.dir()});
        return runProcess(QUINDLE_CLI, args, shared_->dir.path().string());
    }
    static const DataFolder& folder() { return shared_->folder; }
    static const ChefTable& chefs() { return shared_->chefs; }

private:
    struct Shared {
        TempDir dir;
        DataFolder folder{(dir.path() / "pdg").string()};
        ChefTable chefs;
        std::string chefBefore, siresBefore, breedingBefore;
    };
    static Shared* shared_;
};
CliTest::Shared* CliTest::shared_ = nullptr;

// A box text without its surrounding blanks, as the CSV columns hold it.
std::string trimmedText(std::string text)
{
    text.erase(0, text.find_first_not_of(' '));
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

} // namespace

TEST_F(CliTest, ShowPrintsTheHorseAndExitsByWhetherAllWereFound)
{
    const ProcessResult found = cli({"show", "12"});
    EXPECT_EQ(found.exitCode, 0) << found.err;
    MainBoxes boxes;
    go(boxes, folder(), chefs(), 12);
    EXPECT_NE(found.out.find(latin1ToUtf8(boxes.horseName)), std::string::npos) << found.out;
    EXPECT_NE(found.out.find("Quindle Profile"), std::string::npos);

    const ProcessResult mixed = cli({"show", "12", "20001"});
    EXPECT_EQ(mixed.exitCode, 1);
    EXPECT_NE(mixed.out.find("Identifier 20001: not found"), std::string::npos);

    // The window's failure text, and no summary left from the horse before.
    const ProcessResult json = cli({"show", "--json", "12", "20001"});
    const auto lines = splitLines(json.out);
    ASSERT_EQ(lines.size(), 2u) << json.out;
    EXPECT_NE(lines[1].find(R"("indicator":"ID TOO LARGE","PT":["","",)"), std::string::npos) << lines[1];
    EXPECT_NE(lines[1].find(R"("","","","",""],"Text2Colour")"), std::string::npos) << lines[1];
}

TEST_F(CliTest, ShowTakesIdsAsTheIdBoxWouldAndRefusesOthers)
{
    EXPECT_EQ(cli({"show", " 1 2 "}).exitCode, 0);
    EXPECT_EQ(cli({"show", "007"}).exitCode, 0);
    // Overlong, cut and stray UTF-8 sequences are no digits, however they decode.
    std::vector<std::string> bads{"0", "x1", "1234567", "", "-5", "1.5"};
#ifndef _WIN32 // Windows arguments are UTF-16: no program can be given bytes that are not UTF-8
    bads.insert(bads.end(), {"\xC0\xB5", "\xE0\x80\xB5", "1\xB5", "\xC2"});
#endif
    for (const std::string& bad : bads) {
        const ProcessResult r = cli({"show", "1", bad});
        EXPECT_EQ(r.exitCode, 2) << bad;
        EXPECT_NE(r.err.find("\"" + bad + "\" is not a horse identifier"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(CliTest, ShowJsonMatchesTheWindowFreeLookupForManyIds)
{
    std::mt19937 random(5);
    std::vector<std::string> args{"show", "--json"};
    std::vector<std::int32_t> ids;
    for (int i = 0; i < 300; ++i) {
        ids.push_back(1 + static_cast<std::int32_t>(random() % 21000)); // some beyond the last horse
        args.push_back(std::to_string(ids.back()));
    }
    const ProcessResult r = cli(args);
    const auto lines = splitLines(r.out);
    ASSERT_EQ(lines.size(), ids.size()) << r.err;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        MainBoxes boxes;
        const GoOutcome outcome = go(boxes, folder(), chefs(), ids[i]);
        const std::string prefix =
            "\"id\":" + std::to_string(ids[i]) + ",\"found\":" + (outcome.found ? "true" : "false") + ",";
        // The boxes' members as the window has them, then the named ones saying the same.
        const std::size_t named = lines[i].find(",\"name\":");
        ASSERT_NE(named, std::string::npos) << lines[i];
        EXPECT_EQ(lines[i].substr(0, named) + "}", boxesJson(boxes, prefix));
        std::string total = boxes.profileTexts[kTotalBox];
        std::erase(total, ' ');
        EXPECT_NE(lines[i].find(outcome.found ? "\"name\":" + jsonString(latin1ToUtf8(boxes.horseName)) + ",\"age\":"
                                              : std::string("\"profile\":null")),
                  std::string::npos)
            << lines[i];
        if (outcome.found) {
            EXPECT_NE(lines[i].find(",\"total\":" + (total.empty() ? "0" : total) + ","), std::string::npos)
                << lines[i];
        }
        EXPECT_EQ(outcome.found, ids[i] <= 20000);
    }
}

TEST_F(CliTest, OptionsComeAnywhereInEitherFormUntilDoubleDash)
{
    const ProcessResult json = cli({"show", "--json", "12", "20001"});
    ASSERT_EQ(splitLines(json.out).size(), 2u) << json.err;
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"show", "12", "20001", "--json"},
          {"--json", "show", "12", "20001"},
          {"show", "12", "--json", "20001"},
          // the last --data-dir counts, wherever it is
          {"--data-dir=/no/such/folder", "show", "12", "--json", "20001", "--data-dir", folder().dir()}})
        EXPECT_EQ(cli(args).out, json.out) << args.back();
    const std::string range = cli({"profiles", "--from", "100", "--to", "102"}).out;
    EXPECT_EQ(splitLines(range).size(), 4u);
    EXPECT_EQ(cli({"--to=102", "profiles", "--from=100"}).out, range);

    const ProcessResult operand = cli({"show", "--", "--json"});
    EXPECT_EQ(operand.exitCode, 2);
    EXPECT_NE(operand.err.find("\"--json\" is not a horse identifier"), std::string::npos) << operand.err;
}

TEST_F(CliTest, HelpAndVersionWorkAfterACommandAndBadOptionsAreNamed)
{
    for (const auto& [args, start] :
         std::vector<std::pair<std::vector<std::string>, std::string>>{{{"show", "--help"}, "usage: "},
                                                                       {{"sires", "--dam", "1", "-h"}, "usage: "},
                                                                       {{"find", "x", "-V"}, "quindle-cli "},
                                                                       {{"profiles", "--version"}, "quindle-cli "}}) {
        const ProcessResult r = cli(args);
        EXPECT_EQ(r.exitCode, 0) << args.back();
        EXPECT_EQ(r.out.rfind(start, 0), 0u) << r.out;
        EXPECT_EQ(r.err, "");
    }
    for (const auto& [args, message] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"show", "1", "--jsn"}, "unknown option --jsn"},
             {{"--jsn=1", "show", "1"}, "unknown option --jsn"},
             {{"profiles", "--json"}, "profiles does not take --json"},
             {{"show", "1", "--from=1"}, "show does not take --from"},
             {{"profiles", "--from"}, "--from needs a value"},
             {{"show", "1", "--data-dir"}, "--data-dir needs a folder"},
             {{"show", "--json=yes", "1"}, "--json takes no value"}}) {
        const ProcessResult r = cli(args);
        EXPECT_EQ(r.exitCode, 2) << message;
        EXPECT_EQ(r.err.rfind("quindle-cli: " + message + "\nusage: ", 0), 0u) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(CliTest, MateWarnsOfEachNameNoSireListEntryCarries)
{
    const std::string known(readSireList(folder().sireList()).entries.at(0).name);
    const ProcessResult r = cli({"mate", known, "NO SUCH SIRE", "OLD GREY"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "quindle-cli: not in QN_SireList, so its sire line stays empty: \"NO SUCH SIRE\", \"OLD GREY\"\n");
}

TEST_F(CliTest, MateTakesNamesThroughTheNameFilter)
{
    const ProcessResult r = cli({"mate", "--json", "  north star ", "", "old grey"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    MainBoxes boxes;
    submitMating(boxes, {"NORTH STAR", "", "OLD GREY"}, folder().sireList(), chefs());
    EXPECT_EQ(r.out.substr(0, r.out.find(",\"name\":")) + "}\n", boxesJson(boxes) + "\n");
    EXPECT_NE(r.out.find("\"AgeSex\":\" New Foal\""), std::string::npos);
    // A foal has no name, age or sex of its own; its pedigree is the names given.
    EXPECT_NE(r.out.find(R"("name":null,"age":null,"sex":null,"pedigree":{"sire":"NORTH STAR","sireSire":"")"),
              std::string::npos)
        << r.out;

    for (const auto& [arg, named] : std::vector<std::pair<std::string, std::string>>{
             {"RED1", "'1'"},
             {"A,B", "','"},
             {"WOW!", "'!'"},
             {"CAF\xC3\x89", "U+00C9"},
             {"\xCE\xA9MEGA", "U+03A9"}}) { // no system may turn the Greek letter into an O
        const ProcessResult bad = cli({"mate", "A", arg});
        EXPECT_EQ(bad.exitCode, 2) << arg;
        EXPECT_NE(bad.err.find(named + " is not allowed in a name"), std::string::npos) << bad.err;
    }
    EXPECT_EQ(cli({"mate"}).exitCode, 2);
    EXPECT_EQ(cli({"mate", "A", "B", "C", "D"}).exitCode, 2);
}

TEST_F(CliTest, ProfilesWritesOneCsvRowPerHorseInRange)
{
    const ProcessResult r = cli({"profiles", "--from", "100", "--to", "199"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto lines = splitLines(r.out);
    ASSERT_EQ(lines.size(), 101u);
    EXPECT_EQ(lines[0], "id,name,age,sex,sire,damsire,B,I,C,S,P,total,speed,stamina,cd,di");
    for (int id = 100; id <= 199; ++id) {
        MainBoxes boxes;
        go(boxes, folder(), chefs(), id);
        const std::string& line = lines[static_cast<std::size_t>(id - 99)];
        EXPECT_EQ(line.substr(0, line.find(',')), std::to_string(id));
        // The last column is the DI box without its blanks.
        EXPECT_EQ(line.substr(line.rfind(',') + 1), trimmedText(boxes.profileTexts[kDiBox])) << line;
        EXPECT_NE(line.find(csvField(latin1ToUtf8(boxes.horseName))), std::string::npos) << line;
    }
}

TEST_F(CliTest, ProfilesQuotesNamesHoldingCommas)
{
    const ProcessResult r = cli({"profiles"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto lines = splitLines(r.out);
    EXPECT_EQ(lines.size(), 20001u);
    int quoted = 0;
    for (const auto& line : lines)
        if (line.find(",\"") != std::string::npos) {
            ++quoted;
            EXPECT_NE(line.find(", "), std::string::npos) << line;
        }
    EXPECT_GT(quoted, 0);
}

namespace {
// The CSV of every horse, built the slow way: one reader through the whole file
// and the window's own profile texts.
std::string expectedProfiles(const std::string& breedingPath, const ChefTable& chefs)
{
    std::string csv = "id,name,age,sex,sire,damsire,B,I,C,S,P,total,speed,stamina,cd,di\n";
    FieldReader reader(openInput(breedingPath), breedingPath);
    while (!reader.atEnd()) {
        const HorseRecord h = readHorseRecord(reader);
        const ProfileTexts t = formatProfile(computeProfile(lineageNames(h), chefs));
        csv += std::to_string(h.id);
        for (const std::string* text : {&h.name, &h.age, &h.sex, &h.sire, &h.damSire})
            csv += "," + csvField(latin1ToUtf8(*text));
        for (const int box : {35, 36, 37, 38, 39, kTotalBox, kSpeedBox, kStaminaBox, kCdBox, kDiBox})
            csv += "," + trimmedText(*t[static_cast<std::size_t>(box)]);
        csv += "\n";
    }
    return csv;
}
} // namespace

TEST_F(CliTest, ProfilesOfEveryHorseComeOutInFileOrderAsOneReaderWouldGiveThem)
{
    // 20,000 horses are several pieces for the reading threads.
    const ProcessResult r = cli({"profiles"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, expectedProfiles(folder().breedingFile(), chefs()));
}

TEST(CliProfiles, ABadFieldEndsTheRowsThereWithFileAndLine)
{
    TempDir dir;
    const DataFolder folder(dir.file("pdg"));
    sample::writeDataFolder(folder.dir(), {12000, 3});
    // Start-up refuses a bad breeding file; one changed after its split, keeping
    // its size and time, is read by profiles alone.
    ASSERT_EQ(runProcess(QUINDLE_CLI, {"--data-dir", folder.dir(), "show", "1"}, dir.path().string()).exitCode, 0);
    std::string breeding = readFile(folder.breedingFile());
    // Horse 11,001 gets a bad number on its second line.
    const std::size_t at = breeding.find("\r\n11001,");
    ASSERT_NE(at, std::string::npos);
    const std::size_t second = breeding.find("\r\n", at + 2) + 2;
    breeding[second] = 'X';
    rewriteKeepingTime(folder.breedingFile(), breeding);
    const std::int64_t badLine = 11000 * 4 + 2;
    const std::string where = folder.breedingFile() + ", line " + std::to_string(badLine) + ": ";

    const ProcessResult r = runProcess(QUINDLE_CLI, {"--data-dir", folder.dir(), "profiles"}, dir.path().string());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(where), std::string::npos) << r.err;
    const auto lines = splitLines(r.out);
    ASSERT_EQ(lines.size(), 11001u); // the header and horses 1 to 11,000
    EXPECT_EQ(lines.back().substr(0, 6), "11000,");

    fs::last_write_time(folder.breedingFile(), fs::last_write_time(folder.breedingFile()) + std::chrono::seconds(1));
    const ProcessResult refused =
        runProcess(QUINDLE_CLI, {"--data-dir", folder.dir(), "profiles"}, dir.path().string());
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find(where), std::string::npos) << refused.err;
    EXPECT_EQ(refused.out, "");
}

#ifdef __linux__
TEST(CliProfiles, AFullDiskIsAnErrorNotASuccess)
{
    TempDir dir;
    const DataFolder folder(dir.file("pdg"));
    sample::writeDataFolder(folder.dir(), {3000, 3});
    for (const std::string command :
         {"profiles", "show 1", "mate A", "--help", "--version", "show --help", "sires -V"}) {
        const ProcessResult r = runProcess(
            "sh",
            {"-c", std::string("'") + QUINDLE_CLI + "' --data-dir '" + folder.dir() + "' " + command + " >/dev/full"},
            dir.path().string());
        EXPECT_EQ(r.exitCode, 1) << command;
        EXPECT_NE(r.err.find("the output could not be written in full"), std::string::npos) << command << r.err;
    }
}
#endif

#ifndef _WIN32 // HOME and the env program
TEST(CliStartup, AnEmptyDataDirMeansTheDefaultFolder)
{
    TempDir home;
    sample::writeDataFolder(home.file("pdg"), {10, 1});
    fs::create_directories(home.file("work"));
    const ProcessResult r = runProcess(
        "env", {"HOME=" + home.path().string(), QUINDLE_CLI, "--data-dir", "", "show", "3"}, home.file("work"));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(fs::exists(home.file("pdg/QNsubBtxt/file0")));
}
#endif

TEST(CliStartup, MissingFilesAreNamedWithExitCodeTwo)
{
    for (const std::string file : {"ChefTable", "QN_SireList", "breeding.txt"}) {
        TempDir dir;
        const DataFolder folder(dir.file("pdg"));
        sample::writeDataFolder(folder.dir(), {10, 1});
        fs::remove(dir.file("pdg") + "/" + file);
        const ProcessResult r = runProcess(QUINDLE_CLI, {"--data-dir", folder.dir(), "show", "1"}, dir.path().string());
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_EQ(r.err, "Missing file:  " + folder.dir() + file + "\nquindle-cli: the data folder read is " +
                             folder.dir() + "; name the game's folder with --data-dir DIR\n");
        EXPECT_FALSE(fs::exists(dir.file("Quindle.nnn")));
    }
}

TEST(CliStartup, ADataFolderNamedInAnyLanguageOpensAndIsNamedAsGiven)
{
    TempDir dir;
    const DataFolder folder(dir.file("Pferde \xC3\xA4\xCE\xA9\xE6\x97\xA5")); // ä, Omega and a CJK letter
    sample::writeDataFolder(folder.dir(), {10, 1});
    const ProcessResult shown = runProcess(QUINDLE_CLI, {"--data-dir", folder.dir(), "show", "3"}, dir.path().string());
    EXPECT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_NE(shown.out.find("Quindle Profile"), std::string::npos);
    EXPECT_TRUE(fs::exists(fsPath(folder.bucketFile(9))));

    fs::remove(fsPath(folder.sireList()));
    const ProcessResult missing =
        runProcess(QUINDLE_CLI, {"--data-dir", folder.dir(), "mate", "A"}, dir.path().string());
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_EQ(missing.err.rfind("Missing file:  " + folder.sireList() + "\n", 0), 0u) << missing.err;
}

TEST(CliStartup, AWorkingFolderWithoutRoomForTheStampWarnsAndAnswers)
{
    TempDir dir;
    const DataFolder folder(dir.file("pdg"));
    sample::writeDataFolder(folder.dir(), {10, 1});
    fs::create_directories(dir.file("Quindle.nnn.new")); // the stamp cannot be written here
    const ProcessResult r = runProcess(QUINDLE_CLI, {"--data-dir", folder.dir(), "show", "1"}, dir.path().string());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Quindle Profile"), std::string::npos);
    EXPECT_EQ(r.err.rfind("quindle-cli: warning: Quindle.nnn: cannot be written", 0), 0u) << r.err;
}

TEST(CliStartup, OtherStartUpErrorsNameFileAndLine)
{
    TempDir dir;
    const DataFolder folder(dir.file("pdg"));
    sample::writeDataFolder(folder.dir(), {10, 1});
    writeFile(folder.chefTable(), "GOOD,1,0,0,0,0\r\nBAD,1,0,0,0\r\n");
    const ProcessResult r = runProcess(QUINDLE_CLI, {"--data-dir", folder.dir(), "show", "1"}, dir.path().string());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find(folder.chefTable() + ", line 2: the line has 5 fields, 6 expected"), std::string::npos)
        << r.err;
}

TEST(CliRender, JsonAndCsvQuoting)
{
    EXPECT_EQ(jsonString("a\"b\\c\x01"), "\"a\\\"b\\\\c\\u0001\"");
    EXPECT_EQ(latin1ToUtf8("CAF\xC9"), "CAF\xC3\x89");
    EXPECT_EQ(csvField("WELL, WELL"), "\"WELL, WELL\"");
    EXPECT_EQ(csvField("SAY \"HI\""), "\"SAY \"\"HI\"\"\"");
    EXPECT_EQ(csvField("PLAIN"), "PLAIN");
    EXPECT_EQ(colourHex(kFemaleColour), "#ff97cf");
}

TEST(CliRender, CsvFieldsOfEveryLengthAreQuotedAndConvertedAlike)
{
    // appendCsvField looks at long names eight bytes at a time; whatever the
    // length and wherever the awkward byte, it must agree with csvField.
    std::mt19937 random(9);
    const char alphabet[] = {'A', 'B', ' ', ',', '"', '\r', '\n', '\xE9', '\xFF', '('};
    for (int round = 0; round < 5000; ++round) {
        std::string latin1(random() % 30, 'A');
        const std::size_t awkward = random() % 3; // mostly plain names with one or two odd bytes
        for (char& c : latin1)
            c = alphabet[random() % (awkward == 0 ? sizeof alphabet : 3)];
        for (std::size_t i = 0; i < awkward && !latin1.empty(); ++i)
            latin1[random() % latin1.size()] = alphabet[3 + random() % (sizeof alphabet - 3)];
        std::string appended = "x";
        appendCsvField(appended, latin1);
        ASSERT_EQ(appended, "x" + csvField(latin1ToUtf8(latin1))) << latin1;
    }
}

TEST(CliRender, PaddedCsvFieldsLookOnlyAtTheirOwnBytes)
{
    // The padded writer reads whole blocks past the end of a name: the bytes
    // there (commas, quotes, 8-bit bytes) must not change the field.
    std::mt19937 random(19);
    const char alphabet[] = {'A', 'B', ' ', '(', ',', '"', '\r', '\n', '\xE9'};
    for (int round = 0; round < 20000; ++round) {
        std::string bytes(40 + kCsvPadding, 'x');
        for (char& c : bytes)
            c = alphabet[random() % sizeof alphabet];
        const std::size_t size = random() % 41;
        for (std::size_t i = 0; i < size; ++i)
            if (random() % 4 != 0)
                bytes[i] = "AB ("[random() % 4]; // mostly plain names
        const std::string_view latin1(bytes.data(), size);
        std::string out(csvFieldBound(size) + kCsvPadding, '\0');
        const char* end = writeCsvFieldPadded(out.data(), latin1);
        const std::string written(static_cast<const char*>(out.data()), end);
        ASSERT_EQ(written, csvField(latin1ToUtf8(latin1))) << round;
    }
}

// What the tests' own runner says when a program cannot be started at all: the
// program and the system's reason, as a failed start under Wine should read.
TEST(TestRunner, AProgramThatCannotBeStartedIsNamedWithTheSystemsReason)
{
    const TempDir dir;
    const std::string program = dir.file("no-such-program.exe");
    try {
        BackgroundProcess process(program, {}, utf8Path(dir.path()));
        FAIL() << "started " << program;
    } catch (const std::runtime_error& e) {
        const std::string said = e.what();
        EXPECT_EQ(said.rfind("cannot start " + program + ": ", 0), 0u) << said;
        EXPECT_GT(said.size(), ("cannot start " + program + ": ").size() + 3) << said;
    }
}

TEST(SampleData, AnyCountOfSiresMakesAFolderThatStartsUp)
{
    for (const std::int64_t sires : {1, 2, 3, 4, 5, 9, 10, 11}) {
        TempDir dir;
        const DataFolder folder((dir.path() / "pdg").string());
        sample::writeDataFolder(folder.dir(), {300, 5, sires});
        EXPECT_EQ(std::ssize(readSireList(folder.sireList()).entries), sires);
        EXPECT_EQ(runStartup(folder, dir.file("Quindle.nnn"), {}).status, Outcome::Done) << sires << " sires";
    }
}
