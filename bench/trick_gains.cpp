// trick_gains DATA_DIR [RUNS]: what each speed trick of the core and the CLI
// gains. Each trick is timed side by side with the plain code it stands in for,
// on the same bytes of DATA_DIR/breeding.txt (made with quindle-sampledata DIR
// --horses 1000000 --seed 11), turn about, RUNS times each (default 7), and the
// medians are printed with the gain. Both sides must give the same answer, every
// run: the program stops with an error when they do not. The plain side is real
// code: the fallback loop of the trick where there is one, else the standard
// library or the reader's own slower path.
//
// Where quindle-cli and split_file are found beside this program (a build with
// the benchmarks), the whole commands each trick serves are timed too, on one
// core (taskset -c 0, so a trick's gain in processor time compares with the
// whole work of the command), and each gain is given as a share of them. Those
// runs write the buckets and the name index into DATA_DIR, a stamp into
// DATA_DIR/../trick_gains_run, and a copy of the file with LF line ends into
// DATA_DIR/../trick_gains_lf.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>
#if defined(__linux__)
#include <fcntl.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "data/byte_words.h"
#include "data/chef_table.h"
#include "data/data_folder.h"
#include "data/field_reader.h"
#include "data/file_error.h"
#include "data/input_file.h"
#include "data/line_ends.h"
#include "data/record_chunks.h"
#include "data/records.h"
#include "data/subdivide.h"
#include "dosage/profile.h"
#include "lookup/horse_lookup.h"
#include "export/number_columns.h"
#include "export/text_forms.h"
#include "search/name_search.h"

using namespace quindle;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(const std::string& what)
{
    std::fflush(stdout);
    std::fprintf(stderr, "trick_gains: %s\n", what.c_str());
    std::exit(1);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string loadAverage()
{
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    if (!(in >> one >> five >> fifteen))
        return "unknown";
    return one + " " + five + " " + fifteen;
}

// ---- Whole commands -------------------------------------------------------

struct Command {
    std::string name;
    std::vector<std::string> argv;
    bool oneCore = true;
    std::vector<double> ms = {};
};

// Runs a command with its output on /dev/null in `runDir`, on processor 0
// alone when asked; its wall time in ms. A failure stops the benchmark.
double runCommand(const Command& command, const std::string& runDir)
{
#if defined(__linux__)
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid < 0)
        fail("fork failed");
    if (pid == 0) {
        if (command.oneCore) {
            cpu_set_t cpus;
            CPU_ZERO(&cpus);
            CPU_SET(0, &cpus);
            sched_setaffinity(0, sizeof cpus, &cpus);
        }
        if (chdir(runDir.c_str()) != 0)
            _exit(126);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        std::vector<char*> args;
        for (const std::string& a : command.argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        fail(command.name + " failed (status " + std::to_string(status) + ")");
    return ms;
#else
    (void)command;
    (void)runDir;
    fail("whole commands are timed on Linux only");
#endif
}

// ---- Side by side ---------------------------------------------------------

struct Row {
    std::string trick;
    std::string plain;
    std::string commands; // the commands it serves, as names of Command
    double with = 0, without = 0;
};
std::vector<Row> rows;
int runs = 7;

// Times `with` and `without` turn about (which goes first changes every run),
// `runs` times each; both must give the same answer every time.
void sideBySide(std::string trick, std::string plain, std::string commands, const std::function<std::uint64_t()>& with,
                const std::function<std::uint64_t()>& without)
{
    std::vector<double> a, b;
    for (int r = 0; r < runs; ++r) {
        std::uint64_t answers[2] = {};
        for (int k = 0; k < 2; ++k) {
            const bool trickFirst = r % 2 == 0;
            const bool isTrick = (k == 0) == trickFirst;
            const auto start = Clock::now();
            answers[isTrick ? 0 : 1] = isTrick ? with() : without();
            const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            (isTrick ? a : b).push_back(ms);
        }
        if (answers[0] != answers[1])
            fail(trick + ": the trick gives " + std::to_string(answers[0]) + ", the plain code " +
                 std::to_string(answers[1]));
    }
    rows.push_back({std::move(trick), std::move(plain), std::move(commands), median(a), median(b)});
    std::fprintf(stderr, "  %-60s %8.1f %8.1f ms\n", rows.back().trick.c_str(), rows.back().with, rows.back().without);
}

void check(bool ok, const std::string& what)
{
    if (!ok)
        fail("not the same answer: " + what);
}

// ---- The data -------------------------------------------------------------

constexpr std::size_t kPadding = 64;

struct Line {
    std::uint32_t start, end; // end: the first byte of its line end
    std::uint32_t next;       // the start of the next line
};

std::string readWhole(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        fail("cannot open " + path);
    std::ostringstream text;
    text << in.rdbuf();
    std::string bytes = std::move(text).str();
    if (bytes.size() > UINT32_MAX / 2)
        fail(path + " is too large for this benchmark");
    return bytes;
}

std::vector<Line> linesOf(std::string_view text)
{
    std::vector<Line> lines;
    std::uint32_t start = 0;
    for (std::uint32_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        const std::uint32_t next = i + (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1);
        lines.push_back({start, i, next});
        start = next;
        i = next - 1;
    }
    return lines;
}

std::uint64_t sumOf(const HorseView& h, const char* base)
{
    std::uint64_t sum = static_cast<std::uint32_t>(h.id);
    for (const std::string_view* t : {&h.name, &h.age, &h.sex, &h.sire, &h.sireSire, &h.sireDamSire, &h.sireSireSire,
                                      &h.damSire, &h.damSireSire, &h.damDamSire})
        sum += static_cast<std::uint64_t>(t->data() - base) * 3 + t->size();
    return sum;
}

// ---- The steps of the benchmark -------------------------------------------

// The breeding file in memory and what the timings share: its horses (views
// into `bytes`, so a Data is never moved), its lines, the chef table.
struct Data {
    explicit Data(const char* dir) : folder(dir), path(folder.breedingFile()) {}
    DataFolder folder;
    std::string path;
    std::string bytes; // the file, with zero bytes after it that scans may read
    std::string_view file;
    const char* base = nullptr;
    std::size_t fileSize = 0;
    std::vector<HorseView> horses;
    std::vector<Line> lines;
    std::vector<std::uint32_t> byFields; // the lines read field by field
    ChefTable chefs;
    std::string lf; // the file with LF line ends
};

void loadFile(Data& d)
{
    const std::string& path = d.path;
    // The file in memory, with zero bytes after it that scans may read.
    d.bytes = readWhole(path);
    d.fileSize = d.bytes.size();
    d.bytes.resize(d.fileSize + kPadding, '\0');
    d.file = std::string_view(d.bytes.data(), d.fileSize);
    d.base = d.file.data();
    const std::string_view file = d.file;

    std::vector<HorseView>& horses = d.horses;
    {
        FieldReader reader(file, path);
        HorseView h;
        while (!reader.atEnd()) {
            readHorseRecord(reader, h);
            horses.push_back(h);
        }
    }
    d.lines = linesOf(file);
    const std::vector<Line>& lines = d.lines;
    if (lines.size() != horses.size() * kLinesPerHorse)
        fail("expected four lines a horse, without empty lines");

    // Which lines the readers take at once, and which field by field.
    std::vector<std::uint32_t>& byFields = d.byFields;
    for (std::uint32_t i = 0; i < lines.size(); ++i) {
        const Line& l = lines[i];
        FieldReader one(file.substr(l.start, l.next - l.start), "b", 2);
        std::array<std::string_view, 5> f;
        const std::size_t count = i % kLinesPerHorse == 0 ? 4 : 5;
        std::int64_t number = 0;
        if (!one.lookAtPlainLine(std::span(f).first(count)) ||
            parseWholeNumber(f[0], INT32_MIN, INT32_MAX, number) != NumberParse::Ok)
            byFields.push_back(i);
    }

    std::string& lf = d.lf;
    lf.reserve(d.fileSize + kPadding);
    for (const char c : file)
        if (c != '\r')
            lf += c;
}

void loadChefs(Data& d)
{
    const DataFolder& folder = d.folder;
    try {
        const auto count = countNonEmptyLines(folder.chefTable());
        if (!count)
            fail("no " + folder.chefTable());
        d.chefs = readChefRows(openInput(folder.chefTable()), folder.chefTable(), *count);
    } catch (const FileError& e) {
        fail(e.what());
    }
}

// The whole commands each trick serves, and the folder they run in.
struct WholeCommands {
    std::vector<Command> commands;
    std::string runDirText;
};

// Sets them up (a split when the folder has none), when quindle-cli and
// split_file lie beside this program; they are timed at the end.
WholeCommands setUpCommands([[maybe_unused]] const char* dataDirText)
{
    WholeCommands whole;
    std::vector<Command>& commands = whole.commands;
    std::string& runDirText = whole.runDirText;
#if defined(__linux__)
    {
        const fs::path self = fs::canonical("/proc/self/exe").parent_path();
        const fs::path cli = self.parent_path() / "src" / "cli" / "quindle-cli";
        const fs::path split = self / "split_file";
        if (fs::exists(cli) && fs::exists(split)) {
            const fs::path dataDir = fs::canonical(dataDirText);
            const fs::path runDir = dataDir.parent_path() / "trick_gains_run";
            const fs::path lfDir = dataDir.parent_path() / "trick_gains_lf";
            fs::create_directories(runDir);
            fs::create_directories(lfDir);
            for (const char* name : {"ChefTable", "QN_SireList"})
                fs::copy_file(dataDir / name, lfDir / name, fs::copy_options::overwrite_existing);
            const std::string c = cli.string(), d = dataDir.string();
            commands = {
                {"split", {split.string(), d}},
                {"splitLf", {split.string(), lfDir.string()}},
                {"profiles", {c, "--data-dir", d, "profiles"}},
                {"profiles2", {c, "--data-dir", d, "profiles"}, false},
                {"show", {c, "--data-dir", d, "show", "999999"}},
                {"find", {c, "--data-dir", d, "find", "SEA"}},
            };
            runDirText = runDir.string();
            // The stamp and the name index, so no timed run splits.
            runCommand({"show", {c, "--data-dir", d, "show", "1"}}, runDirText);
            runCommand({"find", {c, "--data-dir", d, "find", "SEA"}}, runDirText);
        } else {
            std::fprintf(stderr, "  (no %s or %s: the whole commands are not timed)\n", cli.c_str(), split.c_str());
        }
    }
#endif

    return whole;
}

// The file cut into pieces of whole horses of at least `size` bytes.
std::vector<std::string_view> piecesOf(const Data& d, std::size_t size)
{
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (std::size_t i = kLinesPerHorse; i <= d.lines.size(); i += kLinesPerHorse) {
        const std::size_t end = i == d.lines.size() ? d.fileSize : d.lines[i].start;
        if (end - start >= size || i == d.lines.size()) {
            out.push_back(d.file.substr(start, end - start));
            start = end;
        }
    }
    return out;
}

// The field reader: plain lines, their boundaries, field runs.
void timeFieldReader(const Data& d)
{
    const std::string& path = d.path;
    const std::string_view file = d.file;
    const char* const base = d.base;
    const std::size_t fileSize = d.fileSize;
    const std::vector<HorseView>& horses = d.horses;
    const std::vector<Line>& lines = d.lines;
    const std::vector<std::uint32_t>& byFields = d.byFields;
    sideBySide(
        "Plain lines read at once (`lookAtPlainLine`, `takePlainLine`)",
        "every line field by field (`readView`, `readInt32`)", "profiles split",
        [&] {
            FieldReader reader(file, path);
            HorseView h;
            std::uint64_t sum = 0;
            while (!reader.atEnd()) {
                readHorseRecord(reader, h);
                sum += sumOf(h, base);
            }
            return sum;
        },
        [&] {
            FieldReader reader(file, path);
            HorseView h;
            std::uint64_t sum = 0;
            while (!reader.atEnd()) {
                detail::readHorseRecordByFields(reader, h);
                sum += sumOf(h, base);
            }
            return sum;
        });
    {
        FieldReader reader(file, path);
        HorseView h;
        for (const HorseView& expected : horses) {
            detail::readHorseRecordByFields(reader, h);
            check(h == expected, "horse " + std::to_string(expected.id) + " read field by field");
        }
    }

    const auto boundaries = [&](detail::Steps steps) {
        std::uint64_t sum = 0;
        for (const Line& l : lines)
            for (std::size_t at = l.start;; at += 64) {
                const auto b = detail::lineBoundaries(base + at, std::min<std::size_t>(64, fileSize - at), steps);
                sum += b.comma ^ b.lineEnd;
                if (b.lineEnd)
                    break;
            }
        return sum;
    };
    sideBySide(
        "Plain lines: commas and line ends 64 bytes at once (SSE2)", "one byte a step (its fallback)", "profiles split",
        [&] { return boundaries(detail::Steps::Blocks); }, [&] { return boundaries(detail::Steps::Bytes); });

    // The lines read field by field gathered one after the other, as they lie in
    // a piece the reader has just looked at: scattered over the file, they would
    // be timed for the cache misses of reaching them.
    std::string gathered;
    std::vector<Line> gatheredLines;
    for (const std::uint32_t i : byFields) {
        const Line& l = lines[i];
        const auto at = static_cast<std::uint32_t>(gathered.size());
        gatheredLines.push_back({at, at + (l.end - l.start), at + (l.next - l.start)});
        gathered.append(file.substr(l.start, l.next - l.start));
    }
    gathered.append(kPadding, '\0');
    // runLength: every field of the lines the readers take field by field, and,
    // for a file where no line is plain, of every line.
    const auto fieldRuns = [&](bool onlyThose, detail::Steps steps) {
        std::uint64_t sum = 0;
        const std::string_view text = onlyThose ? std::string_view(gathered) : file;
        for (const Line& l : onlyThose ? gatheredLines : lines)
            for (std::size_t at = l.start; at < l.end;) {
                const std::size_t n = detail::fieldRunLength(text.substr(at), steps);
                sum += n;
                at += n + 1;
            }
        return sum;
    };
    const std::string notPlain = "the " + std::to_string(byFields.size()) + " lines read field by field";
    sideBySide(
        "Field runs 16 bytes a step (`runLength`), " + notPlain, "one byte a step (its fallback)", "profiles split",
        [&] { return fieldRuns(true, detail::Steps::Blocks); }, [&] { return fieldRuns(true, detail::Steps::Bytes); });
    sideBySide(
        "Field runs 16 bytes a step, every line (a file with no plain line)", "one byte a step", "",
        [&] { return fieldRuns(false, detail::Steps::Blocks); },
        [&] { return fieldRuns(false, detail::Steps::Bytes); });
}

// Pieces of whole horses: line counts, storage kept.
void timePieces(const Data& d)
{
    const std::string& path = d.path;
    const std::vector<std::string_view> halfMegabyte = piecesOf(d, std::size_t{1} << 19);
    const auto lineCounts = [&](bool blocks) {
        std::uint64_t sum = 0;
        char before = '\n';
        for (const std::string_view piece : halfMegabyte) {
            const LineCounts c = blocks ? countLines(piece, before) : detail::countLinesByBytes(piece, before);
            sum += static_cast<std::uint64_t>(c.ends) * 1000003 + static_cast<std::uint64_t>(c.starts);
            before = piece.back();
        }
        return sum;
    };
    sideBySide(
        "Lines of a piece counted 64 bytes at once (`countLines`, SSE2)", "one byte a step (its fallback)",
        "profiles split", [&] { return lineCounts(true); }, [&] { return lineCounts(false); });

    sideBySide(
        "A piece read into the storage of the one before (`RecordChunk`)", "a fresh `RecordChunk` for every piece",
        "profiles split",
        [&] {
            RecordChunker chunker(openInput(path), path);
            RecordChunk chunk;
            std::uint64_t sum = 0;
            while (chunker.next(chunk))
                sum += chunk.bytes().size() * 7 + static_cast<std::uint64_t>(chunk.firstLine());
            return sum;
        },
        [&] {
            RecordChunker chunker(openInput(path), path);
            std::uint64_t sum = 0;
            for (;;) {
                RecordChunk chunk;
                if (!chunker.next(chunk))
                    break;
                sum += chunk.bytes().size() * 7 + static_cast<std::uint64_t>(chunk.firstLine());
            }
            return sum;
        });
}

// The split: CR LF runs, line ends of an LF file.
void timeSplit(const Data& d)
{
    const std::string& lf = d.lf;
    const std::vector<std::string_view> megabyte = piecesOf(d, std::size_t{1} << 20);
    std::vector<char> buffer;
    for (const std::string_view piece : megabyte)
        check(detail::wholeRunsAsTheyAre(piece) && detail::rewrittenWithCrLf(piece, buffer) == piece,
              "a CR LF piece rewritten");
    sideBySide(
        "Split: CR LF runs written as they are (`onlyCrLf`)", "every run rewritten by `withCrLf`", "split",
        [&] {
            std::uint64_t sum = 0;
            for (const std::string_view piece : megabyte)
                sum +=
                    detail::wholeRunsAsTheyAre(piece) ? piece.size() : detail::rewrittenWithCrLf(piece, buffer).size();
            return sum;
        },
        [&] {
            std::uint64_t sum = 0;
            for (const std::string_view piece : megabyte)
                sum += detail::rewrittenWithCrLf(piece, buffer).size();
            return sum;
        });
    sideBySide(
        "Split: `onlyCrLf` 64 bytes at once (SSE2)", "one byte a step (its fallback)", "split",
        [&] {
            std::uint64_t sum = 0;
            for (const std::string_view piece : megabyte)
                sum += detail::wholeRunsAsTheyAre(piece);
            return sum;
        },
        [&] {
            std::uint64_t sum = 0;
            for (const std::string_view piece : megabyte)
                sum += detail::onlyCrLfByBytes(piece);
            return sum;
        });
    const auto lineEnds = [&](bool sixteen) {
        std::uint64_t sum = 0;
        const char* p = lf.data();
        const char* const end = p + lf.size();
        while (p < end) {
            const char* e = sixteen ? line_ends::next(p, end) : line_ends::nextByBytes(p, end);
            sum += static_cast<std::uint64_t>(e - p);
            p = e + 1;
        }
        return sum;
    };
    sideBySide(
        "Split of an LF file: line ends found 16 bytes a step (`nextLineEnd`, SSE2)", "one byte a step (its fallback)",
        "splitLf", [&] { return lineEnds(true); }, [&] { return lineEnds(false); });
}

// The profiles rows: CSV texts.
void timeCsvTexts(const Data& d)
{
    const std::vector<HorseView>& horses = d.horses;
    // The texts of every row, and those the padded path leaves to writeCsvField.
    std::vector<std::string_view> texts, leftOver;
    for (const HorseView& h : horses)
        for (const std::string_view t : {h.name, h.age, h.sex, h.sire, h.damSire})
            texts.push_back(t);
    std::size_t room = kCsvPadding;
    for (const std::string_view t : texts)
        room += csvFieldBound(t.size()) + 1;
    std::vector<char> outA(room + kCsvPadding), outB(room + kCsvPadding);
    std::string leftOverBytes; // gathered, as for the lines above
    for (const std::string_view t : texts)
        if (t.size() > kCsvPadding || detail::csvFieldNeeds(t) != 0)
            leftOverBytes.append(t);
    for (std::size_t at = 0; const std::string_view t : texts)
        if (t.size() > kCsvPadding || detail::csvFieldNeeds(t) != 0) {
            leftOver.push_back(std::string_view(leftOverBytes).substr(at, t.size()));
            at += t.size();
        }
    const auto writeAll = [&](std::vector<char>& out, bool padded) {
        char* at = out.data();
        for (const std::string_view t : texts) {
            at = padded ? writeCsvFieldPadded(at, t) : writeCsvField(at, t);
            *at++ = ',';
        }
        return static_cast<std::uint64_t>(at - out.data());
    };
    {
        const std::uint64_t size = writeAll(outA, true);
        check(size == writeAll(outB, false) &&
                  std::equal(outA.begin(), outA.begin() + static_cast<std::ptrdiff_t>(size), outB.begin()),
              "the CSV texts");
    }
    sideBySide(
        "CSV texts checked and copied 32 bytes at once (`writeCsvFieldPadded`, SSE2)", "`writeCsvField`", "profiles",
        [&] { return writeAll(outA, true); }, [&] { return writeAll(outB, false); });
}

// The dosage: the chef table, group totals, number columns.
void timeDosage(const Data& d)
{
    const std::vector<HorseView>& horses = d.horses;
    const ChefTable& chefs = d.chefs;
    std::vector<std::string_view> keys;
    for (const HorseView& h : horses)
        for (const std::string_view name : lineageViews(h))
            keys.push_back(normaliseName(name));
    std::unordered_map<std::string_view, const ChefEntry*> map;
    for (const ChefEntry& row : chefs.rows())
        map.try_emplace(row.name, &row); // the first row of a name wins
    std::vector<std::pair<std::string_view, const ChefEntry*>> sorted(map.begin(), map.end());
    std::sort(sorted.begin(), sorted.end());
    const auto rowNumber = [&](const ChefEntry* row) {
        return row ? static_cast<std::uint64_t>(row - chefs.rows().data()) + 1 : 0;
    };
    for (const std::string_view key : keys) {
        const auto it = map.find(key);
        check(chefs.find(key) == chefs.findByScan(key) && chefs.find(key) == (it == map.end() ? nullptr : it->second),
              "the chef of " + std::string(key));
    }
    const auto hashed = [&] {
        std::uint64_t sum = 0;
        for (const std::string_view key : keys)
            sum += rowNumber(chefs.find(key));
        return sum;
    };
    sideBySide("Chef table: hashed index with its filter (`ChefTable::find`)", "`std::unordered_map`", "profiles",
               hashed, [&] {
                   std::uint64_t sum = 0;
                   for (const std::string_view key : keys) {
                       const auto it = map.find(key);
                       sum += rowNumber(it == map.end() ? nullptr : it->second);
                   }
                   return sum;
               });
    sideBySide("Chef table: hashed index with its filter (`ChefTable::find`)", "binary search of the sorted names",
               "profiles", hashed, [&] {
                   std::uint64_t sum = 0;
                   for (const std::string_view key : keys) {
                       const auto it =
                           std::lower_bound(sorted.begin(), sorted.end(), key,
                                            [](const auto& entry, std::string_view k) { return entry.first < k; });
                       sum += rowNumber(it != sorted.end() && it->first == key ? it->second : nullptr);
                   }
                   return sum;
               });

    std::vector<GroupTotals> totals;
    for (const HorseView& h : horses) {
        totals.push_back(groupTotalsOfViews(lineageViews(h), chefs));
        check(totals.back() == computeProfileOfViews(lineageViews(h), chefs).groupTotal, "the group totals");
    }
    const auto totalsSum = [](const GroupTotals& t) {
        return static_cast<std::uint64_t>(t[0] + 3 * t[1] + 5 * t[2] + 7 * t[3] + 11 * t[4]);
    };
    sideBySide(
        "Seven names filtered side by side (`groupTotalsOfViews`)",
        "one name after the other (`computeProfileOfViews`)", "profiles",
        [&] {
            std::uint64_t sum = 0;
            for (const HorseView& h : horses)
                sum += totalsSum(groupTotalsOfViews(lineageViews(h), chefs));
            return sum;
        },
        [&] {
            std::uint64_t sum = 0;
            for (const HorseView& h : horses)
                sum += totalsSum(computeProfileOfViews(lineageViews(h), chefs).groupTotal);
            return sum;
        });

    // The columns through doubles, as the boxes show them: what formatting from integers stands in for.
    const auto throughDoubles = [](const GroupTotals& t, ProfileSummary& summary, std::string& out) {
        summariseProfile(profileOfTotals(t), summary);
        out.clear();
        for (const SummaryColumnInfo& column : kSummaryColumnTable) {
            out += ',';
            appendTrimmed(out, (summary.*column.member).text);
        }
    };
    {
        NumberColumns kept;
        ProfileSummary summary;
        std::string fresh, doubles;
        for (const GroupTotals& t : totals) {
            NumberColumns::format(t, fresh);
            throughDoubles(t, summary, doubles);
            check(kept.text(t) == fresh && fresh == doubles, "the number columns");
        }
    }
    sideBySide(
        "Number columns made from integers (`appendSummaryColumns`)", "through doubles (`summariseProfile`)",
        "profiles",
        [&] {
            std::string text;
            std::uint64_t sum = 0;
            for (const GroupTotals& t : totals) {
                NumberColumns::format(t, text);
                sum += text.size() * 131 + static_cast<unsigned char>(text[1]);
            }
            return sum;
        },
        [&] {
            ProfileSummary summary;
            std::string text;
            std::uint64_t sum = 0;
            for (const GroupTotals& t : totals) {
                throughDoubles(t, summary, text);
                sum += text.size() * 131 + static_cast<unsigned char>(text[1]);
            }
            return sum;
        });
    sideBySide(
        "Number columns kept for the totals met last (`NumberColumns`)", "formatted for every row", "profiles",
        [&] {
            NumberColumns kept;
            std::uint64_t sum = 0;
            for (const GroupTotals& t : totals) {
                const std::string_view text = kept.text(t);
                sum += text.size() * 131 + static_cast<unsigned char>(text[1]);
            }
            return sum;
        },
        [&] {
            std::string text;
            std::uint64_t sum = 0;
            for (const GroupTotals& t : totals) {
                NumberColumns::format(t, text);
                sum += text.size() * 131 + static_cast<unsigned char>(text[1]);
            }
            return sum;
        });
}

// The lookup of the last horse of the last bucket.
void timeLookup(const Data& d)
{
    const DataFolder& folder = d.folder;
    const std::string bucket = folder.bucketFile(kBucketCount - 1);
    // The largest identifier quindle-cli show takes: near the end of file9.
    const std::int32_t lastId = 999999;
    if (fs::exists(bucket)) {
        const auto withFieldReader = [&] {
            FieldReader reader(openInput(bucket), bucket);
            HorseRecord h;
            while (!reader.atEnd()) {
                readHorseRecord(reader, h);
                if (h.id == lastId)
                    return h;
            }
            return HorseRecord{};
        };
        const auto scanned = findInBucket(openInput(bucket), bucket, lastId);
        check(scanned.status == Outcome::Done && scanned.horse == withFieldReader(), "horse 999999");
        const auto sum = [](const HorseRecord& h) {
            return static_cast<std::uint64_t>(h.id) * 1000 + h.name.size() + h.damDamSire.size();
        };
        sideBySide(
            "Lookup of 999999: records skipped by their line ends, only the one sought decoded (`findInBucket`)",
            "every record read by the field reader", "show",
            [&] { return sum(findInBucket(openInput(bucket), bucket, lastId).horse); },
            [&] { return sum(withFieldReader()); });
    } else {
        std::fprintf(stderr, "  (no %s: the lookup is not timed; split the folder first)\n", bucket.c_str());
    }
}

// The search's sweep over the names.
void timeSearch(const Data& d)
{
    const std::vector<HorseView>& horses = d.horses;
    std::string names;
    for (const HorseView& h : horses)
        (names += h.name) += '\n';
    const auto sweep = [&](bool sixteen) {
        std::uint64_t found = 0;
        for (std::size_t at = 0; (at = detail::findEither(names, at, 's', 'S', sixteen)) != std::string_view::npos;
             ++at)
            found += at;
        return found;
    };
    sideBySide(
        "Search: the names swept for S or s 16 bytes a step (`findEither`, SSE2)", "one byte a step (its fallback)",
        "find", [&] { return sweep(true); }, [&] { return sweep(false); });
}

// The whole commands, each `runs` times, in turn.
void timeCommands(const Data& d, WholeCommands& whole)
{
    const std::string& lf = d.lf;
    std::vector<Command>& commands = whole.commands;
    const std::string& runDirText = whole.runDirText;
    if (!commands.empty()) {
        std::ofstream(fs::path(commands[1].argv[1]) / "breeding.txt", std::ios::binary)
            .write(lf.data(), static_cast<std::streamsize>(lf.size()));
        for (int r = 0; r < runs; ++r)
            for (Command& command : commands)
                command.ms.push_back(runCommand(command, runDirText));
    }
}

// The table of tricks and, when they ran, of the whole commands.
void printTable(const Data& d, const WholeCommands& whole, const std::string& loadBefore, const char* dataDirText)
{
    const std::string& path = d.path;
    const std::vector<HorseView>& horses = d.horses;
    const std::size_t fileSize = d.fileSize;
    const std::vector<Command>& commands = whole.commands;
    const auto commandMs = [&](const std::string& name) {
        for (const Command& command : commands)
            if (command.name == name)
                return median(command.ms);
        return 0.0;
    };

    std::printf("Data: %s, %zu horses, %.0f MB; medians of %d runs each, taken turn about.\n", path.c_str(),
                horses.size(), static_cast<double>(fileSize) / 1e6, runs);
    std::printf("Load average before: %s; after: %s (1, 5 and 15 minutes).\n\n", loadBefore.c_str(),
                loadAverage().c_str());
    std::printf("| Trick | Plain alternative | With | Without | Gain | Share of the command |\n");
    std::printf("|---|---|---|---|---|---|\n");
    for (const Row& row : rows) {
        std::string share;
        std::istringstream served(row.commands);
        for (std::string name; served >> name;) {
            const double ms = commandMs(name);
            if (ms <= 0)
                continue;
            char text[64];
            std::snprintf(text, sizeof text, "%s%s %.1f %%", share.empty() ? "" : "; ", name.c_str(),
                          100 * (row.without - row.with) / ms);
            share += text;
        }
        std::printf("| %s | %s | %.1f ms | %.1f ms | %.1f ms (%.2fx) | %s |\n", row.trick.c_str(), row.plain.c_str(),
                    row.with, row.without, row.without - row.with, row.without / row.with,
                    share.empty() ? "-" : share.c_str());
    }
    if (!commands.empty()) {
        const double one = commandMs("profiles"), every = commandMs("profiles2");
        std::printf(
            "| Profiles made by a worker thread on each core (`quindle-cli profiles`) | the same process on one "
            "core (taskset -c 0) | %.1f ms | %.1f ms | %.1f ms (%.2fx) | profiles %.1f %% |\n",
            every, one, one - every, one / every, 100 * (one - every) / one);
        std::printf("\nWhole commands on %s (medians of %d runs, taken in turn):\n\n", dataDirText, runs);
        std::printf("| Command | Time |\n|---|---|\n");
        const char* const what[] = {"split: `split_file`, one core",
                                    "split of the same horses with LF line ends, one core",
                                    "profiles: `quindle-cli profiles`, one core",
                                    "`quindle-cli profiles`, every core",
                                    "show: `quindle-cli show 999999`, one core",
                                    "find: `quindle-cli find SEA`, one core"};
        for (std::size_t i = 0; i < commands.size(); ++i)
            std::printf("| %s | %.1f ms |\n", what[i], median(commands[i].ms));
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: trick_gains DATA_DIR [RUNS]\n");
        return 2;
    }
    if (argc == 3)
        runs = std::max(1, std::atoi(argv[2]));
    Data d(argv[1]);
    const std::string loadBefore = loadAverage();
    loadFile(d);
    WholeCommands whole = setUpCommands(argv[1]);
    loadChefs(d);
    std::fprintf(stderr, "%zu horses, %zu lines (%zu read field by field), %d chef rows; load average %s\n",
                 d.horses.size(), d.lines.size(), d.byFields.size(), d.chefs.count(), loadBefore.c_str());

    timeFieldReader(d);
    timePieces(d);
    timeSplit(d);
    timeCsvTexts(d);
    timeDosage(d);
    timeLookup(d);
    timeSearch(d);
    timeCommands(d, whole);
    printTable(d, whole, loadBefore, argv[1]);
    return 0;
}
