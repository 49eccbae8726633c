// `profiles` reads the breeding file; `show` reads the buckets the split cut from
// it. Over every breeding file the fuzzers grew and every bad input kept for the
// tests, both commands must say the same of every horse: the same start-up
// error, or for each row of `profiles` the same horse, found, with the same
// numbers as `show` gives it.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <algorithm>
#include <optional>
#include <ostream>
#include <set>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif
#include <fcntl.h>

#include "commands.h"
#include "data/system_paths.h"
#include "dosage/format.h"
#include "main_state/main_boxes.h"
#include "export/text_forms.h"
#include "startup_cli.h"
#include "support/temp_dir.h"

using namespace quindle;
using namespace quindle::testing;
namespace fs = std::filesystem;

namespace {

// What a command run in this process writes to standard output and standard error.
struct Captured {
    int status = 0;
    std::string out, err;
};
Captured capture(const TempDir& dir, const std::function<int()>& command)
{
    const std::string outPath = dir.file("out"), errPath = dir.file("err");
    std::fflush(stdout);
    std::fflush(stderr);
    const int savedOut = dup(1), savedErr = dup(2);
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(out, 1);
    dup2(err, 2);
    close(out);
    close(err);
    setBinaryOutput(); // as quindle-cli writes: no CR added on Windows
    Captured result;
    result.status = command();
    std::fflush(stdout);
    std::fflush(stderr);
    dup2(savedOut, 1);
    dup2(savedErr, 2);
    close(savedOut);
    close(savedErr);
    result.out = readFile(outPath);
    result.err = readFile(errPath);
    return result;
}

// The fields of one CSV row as RFC 4180 writes them.
std::vector<std::string> csvFields(const std::string& row)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < row.size(); ++i) {
        const char c = row[i];
        if (quoted && c == '"' && i + 1 < row.size() && row[i + 1] == '"')
            fields.back() += row[++i];
        else if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

// The rows of `profiles` output, header dropped; a row's fields may hold line ends.
std::vector<std::vector<std::string>> csvRows(const std::string& text)
{
    std::vector<std::vector<std::string>> rows;
    std::string row;
    bool quoted = false;
    for (const char c : text) {
        if (c == '\n' && !quoted) {
            rows.push_back(csvFields(row));
            row.clear();
            continue;
        }
        quoted ^= c == '"';
        row += c;
    }
    rows.erase(rows.begin());
    return rows;
}

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// A profiles row as `show` gives the horse: id,name,age,sex,sire,damsire,B,I,C,S,P,total,speed,stamina,cd,di.
void expectShownAs(const std::vector<std::string>& row, const MainBoxes& boxes, const std::string& file)
{
    ASSERT_EQ(row.size(), 16u) << file;
    EXPECT_EQ(latin1ToUtf8(boxes.horseName), row[1]) << file;
    EXPECT_EQ(latin1ToUtf8(boxes.ageSex), " " + row[2] + "yo " + row[3]) << file;
    EXPECT_EQ(latin1ToUtf8(boxes.lineage[0]), row[4]) << file;
    EXPECT_EQ(latin1ToUtf8(boxes.lineage[2]), row[5]) << file;
    for (int group = 0; group < 5; ++group)
        EXPECT_EQ(trimmed(boxes.profileTexts[kGroupTotalBox + group]), row[6 + group]) << file;
    EXPECT_EQ(trimmed(boxes.profileTexts[kTotalBox]), row[11]) << file;
    EXPECT_EQ(trimmed(boxes.profileTexts[kSpeedBox]), row[12]) << file;
    EXPECT_EQ(trimmed(boxes.profileTexts[kStaminaBox]), row[13]) << file;
    EXPECT_EQ(trimmed(boxes.profileTexts[kCdBox]), row[14]) << file;
    EXPECT_EQ(trimmed(boxes.profileTexts[kDiBox]), row[15]) << file;
}

struct Tally {
    int files = 0, started = 0, horses = 0;
};

// Runs both commands on `breeding` as a data folder's breeding file.
void compareCommands(const std::string& breeding, const std::string& name, Tally& tally)
{
    TempDir dir;
    const DataFolder folder(dir.file("pdg"));
    fs::create_directories(folder.dir());
    // Chef-de-race names the fuzzers' files hold, so horses get points.
    std::string chefs;
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        chefs +=
            std::string(1, letter) + "," + std::to_string(letter % 3) + ",0," + std::to_string(letter % 5) + ",1,0\r\n";
    writeFile(folder.chefTable(), chefs);
    writeFile(folder.sireList(), "A,B,C,D\r\n");
    writeFile(folder.breedingFile(), breeding);

    ++tally.files;
    const Captured profiles = capture(dir, [&] { return cli::runProfiles(folder, "", ""); });
    std::optional<ChefTable> table;
    const Captured start = capture(dir, [&] {
        table = cli::startUp(folder);
        return table ? 0 : 2;
    });
    if (!table) {
        // The start-up refused the file, and profiles said just that.
        EXPECT_EQ(profiles.status, 2) << name;
        EXPECT_EQ(profiles.err, start.err) << name;
        EXPECT_EQ(profiles.out, "") << name;
        return;
    }
    ++tally.started;
    ASSERT_EQ(profiles.status, 0) << name << ": " << profiles.err;
    std::set<std::string> seen;
    for (const auto& row : csvRows(profiles.out)) {
        if (!seen.insert(row[0]).second)
            continue; // a lookup finds the first horse of an identifier
        MainBoxes boxes;
        const GoOutcome shown = go(boxes, folder, *table, std::stoi(row[0]));
        ASSERT_TRUE(shown.found) << name << ": horse " << row[0] << " not found " << shown.error;
        expectShownAs(row, boxes, name);
        ++tally.horses;
    }
}

std::vector<fs::path> filesIn(const fs::path& folder)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

// One case per fuzzer's corpus, so the suite spreads them over the cores.
struct Corpus {
    const char* target;
    std::size_t settings;              // the leading bytes the fuzzer takes for its settings
    int startedAtLeast, horsesAtLeast; // what the corpus held when it was kept, less a margin
};

void PrintTo(const Corpus& corpus, std::ostream* out) { *out << corpus.target; }

class ShowAndProfiles : public ::testing::TestWithParam<Corpus> {};

TEST_P(ShowAndProfiles, AgreeOnEveryHorseOfTheCorpus)
{
    const Corpus& corpus = GetParam();
    Tally tally;
    // Each input as it is, and without the settings' bytes, which leaves more files whole.
    for (const fs::path& file : filesIn(fs::path(QUINDLE_FUZZ_CORPUS) / corpus.target)) {
        const std::string bytes = readFile(file.string());
        compareCommands(bytes, file.string(), tally);
        if (corpus.settings > 0 && bytes.size() > corpus.settings)
            compareCommands(bytes.substr(corpus.settings), file.string() + " (settings dropped)", tally);
    }
    // The comparison saw real horses, not only refused files.
    EXPECT_GE(tally.started, corpus.startedAtLeast);
    EXPECT_GE(tally.horses, corpus.horsesAtLeast);
    std::printf("%d files, %d started, %d horses compared\n", tally.files, tally.started, tally.horses);
}

INSTANTIATE_TEST_SUITE_P(FuzzedBreedingFiles, ShowAndProfiles,
                         ::testing::Values(Corpus{"fuzz_field_reader", 1, 20, 5},
                                           Corpus{"fuzz_record_chunks", 1, 90, 150},
                                           Corpus{"fuzz_subdivide", 0, 40, 35}, Corpus{"fuzz_bucket_scan", 3, 15, 5}),
                         [](const ::testing::TestParamInfo<Corpus>& info) { return std::string(info.param.target); });

TEST(ShowAndProfilesOnBadInputs, AgreeOnEveryHorse)
{
    Tally tally;
    for (const fs::path& file : filesIn(QUINDLE_BAD_INPUTS))
        if (file.filename().string().starts_with("breeding.txt"))
            compareCommands(readFile(file.string()), file.string(), tally);
    // Horses apart by empty lines of every kind: profiles reads them, so the
    // lookup must find them too.
    compareCommands("1,A,4,Colt\r\n1,B,C,D,E\r\n2,F,G,H,I\r\n3,J,K,L,M\r\n\r\n\n\r"
                    "2,N,3,Filly\n1,O,P,Q,R\n2,S,T,U,V\n3,W,X,Y,Z\n\n\n"
                    "3,\"A, B\",5,Mare\r1,C,D,E,F\r2,G,H,I,J\r3,K,L,M,N",
                    "empty lines between horses", tally);
    // Empty fields on lines read field by field (a blank after a comma).
    compareCommands("1,,4, Colt\r\n1,, C,D,E\r\n2,F,G,H,I\r\n3,J,K,L,M\r\n", "empty fields", tally);
    EXPECT_GE(tally.started, 4);
    EXPECT_GE(tally.horses, 5);
    std::printf("%d files, %d started, %d horses compared\n", tally.files, tally.started, tally.horses);
}
