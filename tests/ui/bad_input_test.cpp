// Every file of tests/data/bad, and a few too big to keep, through the command-line
// tool and through the window's start-up: each gets a clear answer, never a crash,
// and the input files stay as they were.
#include <QString>
#include <algorithm>
#include <filesystem>
#ifndef _WIN32
#include <sys/stat.h>
#endif
#include <gtest/gtest.h>

#include "gui_fixture.h"
#include "support/run_process.h"
#include "support/temp_dir.h"
#include "ui/startup_ui.h"

using namespace quindle;
using namespace quindle::testing;
namespace fs = std::filesystem;

namespace {

std::string badFile(const std::string& name) { return readFile(std::string(QUINDLE_BAD_DIR) + "/" + name); }

struct Case {
    std::string name; // what it is
    std::string file; // which file it replaces: ChefTable, QN_SireList, breeding.txt, Quindle.nnn
    std::string content;
    std::vector<std::string> cli; // the command after --data-dir
    int exitCode;
    std::string expected;     // in standard error, or in standard output when it is empty
    bool startsUp;            // whether the window's start-up goes on
    std::string special = ""; // "fifo" or "zero": the file is a FIFO, or a link to /dev/zero
};

// `text` without the lines that start with one of `starts`.
std::string withoutLines(const std::string& text, const std::vector<std::string>& starts)
{
    std::string kept;
    for (const std::string& line : splitLines(text))
        if (std::none_of(starts.begin(), starts.end(), [&](const std::string& s) { return line.starts_with(s); }))
            kept += line + "\n";
    return kept;
}

// The bytes of a regular file; nothing for a FIFO or a device, which must not be read.
std::string regularFile(const std::string& path) { return fs::is_regular_file(path) ? readFile(path) : std::string(); }

// A data folder with one file replaced, checked to be unchanged at the end.
class BadInput {
public:
    explicit BadInput(const Case& c)
    {
        fs::create_directories(folder.dir());
        fs::create_directories(dir.path() / "cli");
        fs::create_directories(dir.path() / "window");
        writeFile(folder.chefTable(), guiChefTable());
        writeFile(folder.sireList(), guiSireList());
        writeFile(folder.breedingFile(), guiBreedingFile());
        const std::vector<std::string> targets =
            c.file == "Quindle.nnn" ? std::vector{dir.file("cli/Quindle.nnn"), dir.file("window/Quindle.nnn")}
                                    : std::vector{folder.dir() + c.file};
        for (const std::string& target : targets) {
            fs::remove(target);
#ifndef _WIN32
            if (c.special == "fifo")
                EXPECT_EQ(mkfifo(target.c_str(), 0600), 0);
            else if (c.special == "zero")
                fs::create_symlink("/dev/zero", target);
            else
#endif
                writeFile(target, c.content);
        }
        before = {regularFile(folder.chefTable()), regularFile(folder.sireList()), regularFile(folder.breedingFile())};
    }
    ~BadInput()
    {
        const std::vector<std::string> after{regularFile(folder.chefTable()), regularFile(folder.sireList()),
                                             regularFile(folder.breedingFile())};
        EXPECT_EQ(after, before) << "an input file changed";
    }

    TempDir dir;
    DataFolder folder{dir.file("pdg")};
    std::vector<std::string> before;
};

void check(const Case& c)
{
    SCOPED_TRACE(c.name);
    BadInput data(c);

    std::vector<std::string> args{"--data-dir", data.folder.dir()};
    args.insert(args.end(), c.cli.begin(), c.cli.end());
    const ProcessResult r = runProcess(QUINDLE_CLI, args, data.dir.file("cli"));
    EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
    std::string expected = c.expected;
    const std::string marker = "{data}";
    if (const auto at = expected.find(marker); at != std::string::npos)
        expected.replace(at, marker.size(), data.folder.dir());
    EXPECT_NE((r.err + r.out).find(expected), std::string::npos) << "stderr: " << r.err << "\nstdout: " << r.out;

    RecordingSeam seam;
    ui::setSeam(&seam);
    const auto chefs = ui::startUp(data.folder, data.dir.file("window/Quindle.nnn"));
    ui::setSeam(nullptr);
    EXPECT_EQ(chefs.has_value(), c.startsUp);
    if (!c.startsUp) {
        ASSERT_EQ(seam.warnings.size(), 1u);
        EXPECT_TRUE(seam.warnings[0].second.contains(QString::fromStdString(expected)))
            << seam.warnings[0].second.toStdString();
    } else if (c.file == "Quindle.nnn" && !c.special.empty()) {
        // A stamp place that is no file: a warning, and the start goes on.
        ASSERT_EQ(seam.warnings.size(), 1u);
        EXPECT_TRUE(seam.warnings[0].second.contains(QString::fromStdString(expected)));
    } else {
        EXPECT_TRUE(seam.warnings.empty());
    }
}

const std::vector<std::string> kShow1{"show", "--json", "1"};

} // namespace

TEST(BadInput, ChefTables)
{
    const std::vector<Case> cases{
        {"too few fields", "ChefTable", badFile("ChefTable.too-few-fields"), kShow1, 2,
         "{data}ChefTable, line 2: the line has 5 fields, 6 expected", false},
        {"a point of 40000", "ChefTable", badFile("ChefTable.point-40000"), kShow1, 2,
         "{data}ChefTable, line 1: \"40000\" is out of range (-32768 to 32767)", false},
        {"a point of abc", "ChefTable", badFile("ChefTable.point-abc"), kShow1, 2,
         "{data}ChefTable, line 1: \"abc\" is not a whole number", false},
        {"an unterminated quote", "ChefTable", badFile("ChefTable.unterminated-quote"), kShow1, 2,
         "{data}ChefTable, line 2: a quoted field has no closing quote", false},
        {"a byte-order mark", "ChefTable", badFile("ChefTable.byte-order-mark"), kShow1, 2,
         "{data}ChefTable, line 1: the file starts with a UTF-8 byte-order mark", false},
        {"NUL bytes", "ChefTable", badFile("ChefTable.nul-bytes"), kShow1, 2,
         "{data}ChefTable, line 2: \"\\x00\" is not a whole number", false},
        {"LF line ends", "ChefTable", badFile("ChefTable.lf-only"), kShow1, 0, "\"PT\":[\"8\"", true},
        {"lone CR line ends", "ChefTable", badFile("ChefTable.lone-cr"), kShow1, 0, "\"PT\":[\"8\"", true},
        {"an empty file", "ChefTable", badFile("ChefTable.empty"), kShow1, 0, "\" 0\",\"   -- \"", true},
        {"a 1 MB line", "ChefTable", std::string(1 << 20, 'N') + ",1,1,1,1,1\r\n" + guiChefTable(), kShow1, 2,
         "{data}ChefTable, line 1: the line is longer than 65536 bytes", false},
    };
    for (const Case& c : cases)
        check(c);
}

TEST(BadInput, SireLists)
{
    const std::vector<Case> cases{
        {"an empty file",
         "QN_SireList",
         badFile("QN_SireList.empty"),
         {"mate", "--json", "RED CAP"},
         0,
         "\"Text3\":\"RED CAP\",\"Text4\":\"\"",
         true},
        {"a short last entry",
         "QN_SireList",
         badFile("QN_SireList.short-last-entry"),
         {"mate", "XYZ"},
         1,
         "{data}QN_SireList, line 2: the line has 2 fields, 4 expected",
         true},
    };
    for (const Case& c : cases)
        check(c);
}

TEST(BadInput, BreedingFiles)
{
    std::string short89999;
    for (int id = 1; id <= 89999; ++id)
        short89999 += horseLines(id);
    const std::vector<Case> cases{
        {"an empty file", "breeding.txt", badFile("breeding.txt.empty"), kShow1, 1, "\"found\":false", true},
        {"a last horse of three lines", "breeding.txt", badFile("breeding.txt.last-horse-three-lines"), kShow1, 2,
         "{data}breeding.txt, line 7: the file has 7 lines, so its last horse has only 3 of its 4 lines", false},
        {"blank lines at the end", "breeding.txt", badFile("breeding.txt.blank-lines-at-end"), kShow1, 0,
         "\"Text2\":\"ONE\"", true},
        {"a horse out of order",
         "breeding.txt",
         badFile("breeding.txt.out-of-order"),
         {"show", "--json", "1", "2"},
         0,
         "\"Text2\":\"ONE\"",
         true},
        {"an identifier of x",
         "breeding.txt",
         badFile("breeding.txt.identifier-x"),
         {"show", "2"},
         2,
         "{data}breeding.txt, line 1: \"x\" is not a whole number",
         false},
        {"a line missing in three horses", "breeding.txt", withoutLines(guiBreedingFile(), {"11,", "22,", "32,"}),
         kShow1, 2, "{data}breeding.txt, line 4: the line has 4 fields, 5 expected", false},
        {"an identifier out of place", "breeding.txt", "12345" + guiBreedingFile().substr(1), kShow1, 2,
         "{data}breeding.txt, line 1: identifier 12345 is out of place", false},
        {"a quoted identifier with blanks",
         "breeding.txt",
         "\" 1 \"" + guiBreedingFile().substr(1),
         {"show", "--json", "1", "2"},
         0,
         "\"Text2\":\"DARK COLT\"",
         true},
        {"359,996 lines",
         "breeding.txt",
         short89999,
         {"show", "89999", "90000"},
         1,
         "Identifier 90000: not found",
         true},
    };
    for (const Case& c : cases)
        check(c);
}

TEST(BadInput, StampFiles)
{
    const std::vector<Case> cases{
        {"no comma", "Quindle.nnn", badFile("Quindle.nnn.no-comma"), kShow1, 0, "\"found\":true", true},
        {"an empty stamp", "Quindle.nnn", badFile("Quindle.nnn.empty"), kShow1, 0, "\"found\":true", true},
        {"a 1 MB stamp", "Quindle.nnn", std::string(1 << 20, '7') + ",", kShow1, 0, "\"found\":true", true},
    };
    for (const Case& c : cases)
        check(c);
}

#ifndef _WIN32
TEST(BadInput, FilesThatAreNoRegularFilesAreNamedNeverWaitedOn)
{
    const std::string notRegular = ", not a regular file";
    const std::vector<Case> cases{
        {"a FIFO chef table", "ChefTable", "", kShow1, 2, "{data}ChefTable: is a FIFO" + notRegular, false, "fifo"},
        {"a chef table on /dev/zero", "ChefTable", "", kShow1, 2, "{data}ChefTable: is a device" + notRegular, false,
         "zero"},
        {"a FIFO sire list", "QN_SireList", "", kShow1, 2, "{data}QN_SireList: is a FIFO" + notRegular, false, "fifo"},
        {"a sire list on /dev/zero", "QN_SireList", "", kShow1, 2, "{data}QN_SireList: is a device" + notRegular, false,
         "zero"},
        {"a FIFO breeding file", "breeding.txt", "", kShow1, 2, "{data}breeding.txt: is a FIFO" + notRegular, false,
         "fifo"},
        {"a FIFO stamp", "Quindle.nnn", "", kShow1, 0, "Quindle.nnn: is a FIFO" + notRegular, true, "fifo"},
    };
    for (const Case& c : cases)
        check(c);
}
#endif

TEST(BadInput, ABucketTruncatedInARecord)
{
    Case c{"a truncated bucket",
           "breeding.txt",
           guiBreedingFile(),
           {"show", "5"},
           1,
           "the line has 3 fields, 5 expected",
           true};
    BadInput data(c);
    ASSERT_EQ(runProcess(QUINDLE_CLI, {"--data-dir", data.folder.dir(), "show", "1"}, data.dir.file("cli")).exitCode,
              0);
    const std::string bucket = readFile(data.folder.bucketFile(0));
    writeFile(data.folder.bucketFile(0), bucket.substr(0, bucket.size() - 30));
    // Its size is not the one the split recorded: the start cuts the buckets
    // again, and the horse is found.
    const ProcessResult again =
        runProcess(QUINDLE_CLI, {"--data-dir", data.folder.dir(), "show", "5"}, data.dir.file("cli"));
    EXPECT_EQ(again.exitCode, 0) << again.err;
    EXPECT_EQ(readFile(data.folder.bucketFile(0)), bucket);
}
