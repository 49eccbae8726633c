// Finding horses by name and a stallion's foals in the index the split makes,
// and an index that cannot be used being made again.
#include <gtest/gtest.h>

#include <filesystem>

#include "data/startup.h"
#include "search/name_search.h"
#include "support/temp_dir.h"

using namespace quindle;
using quindle::testing::readFile;
using quindle::testing::TempDir;
using quindle::testing::writeFile;
namespace fs = std::filesystem;

namespace {

std::string horse(int id, const std::string& name, const std::string& sire, const std::string& age = "3")
{
    const std::string n = std::to_string(id);
    return n + "," + name + "," + age + ",Colt\r\n1," + sire + ",SS,SDS,SSS\r\n2,DAMSIRE " + n +
           ",DSS,D,DD\r\n3,DDS,X,Y,Z\r\n";
}

// Names with quotes, commas, blanks and 8-bit letters (0xC9 is É, 0xE9 é).
const std::string kBreeding = horse(1, "SEA STAR", "RED CAP") + horse(2, "STARLIGHT", "red cap") +
                              horse(3, "STAR", "NORTH") + horse(4, "\"O'STAR, JR\"", "RED CAP (IRE)") +
                              horse(5, "star", "NORTH") + horse(6, "\"  CAF\xC9 STAR  \"", "RED CAP") +
                              horse(7, "MOON", "\xC9TOILE") + horse(8, "caf\xE9", "\xE9toile");

struct Folder {
    TempDir dir;
    DataFolder folder{(dir.path() / "pdg").string()};
    CutAgain cutAgain = [this] { splitAgain(folder); };

    explicit Folder(const std::string& breeding = kBreeding)
    {
        fs::create_directory(dir.path() / "pdg");
        writeFile(folder.chefTable(), "RED CAP,0,2,0,0,0\r\n");
        writeFile(folder.sireList(), "A,B,C,D\r\n");
        writeFile(folder.breedingFile(), breeding);
        const StartupResult start = runStartup(folder, dir.file("Quindle.nnn"), {});
        EXPECT_EQ(start.status, Outcome::Done) << start.error;
    }
};

std::vector<std::int32_t> ids(const NameIndex& index, const std::vector<std::uint32_t>& horses)
{
    std::vector<std::int32_t> out;
    for (const std::uint32_t i : horses)
        out.push_back(index.horse(i).id);
    return out;
}

std::vector<std::int32_t> find(const NameIndex& index, std::string_view text, std::size_t limit = 100)
{
    return ids(index, findNames(index, text, limit).horses);
}

} // namespace

TEST(NameSearch, WholeNamesThenStartsThenTheRestEachInFileOrder)
{
    Folder f;
    const NameIndex index = loadNameIndex(f.folder, f.cutAgain);
    ASSERT_EQ(index.size(), 8u);
    EXPECT_EQ(find(index, "Star"), (std::vector<std::int32_t>{3, 5, 2, 1, 4, 6}));
    const FoundNames firstThree = findNames(index, "STAR", 3);
    EXPECT_EQ(ids(index, firstThree.horses), (std::vector<std::int32_t>{3, 5, 2}));
    EXPECT_EQ(firstThree.total, 6u);
    EXPECT_EQ(find(index, "starlightx"), std::vector<std::int32_t>{});
    EXPECT_EQ(find(index, ""), std::vector<std::int32_t>{});
}

TEST(NameSearch, NamesKeepTheirQuotedCommasBlanksAndLatin1Letters)
{
    Folder f;
    const NameIndex index = loadNameIndex(f.folder, f.cutAgain);
    EXPECT_EQ(index.horse(3).name, "O'STAR, JR");
    EXPECT_EQ(index.horse(5).name, "  CAF\xC9 STAR  ");
    EXPECT_EQ(index.horse(3).sire, "RED CAP (IRE)");
    EXPECT_EQ(find(index, "'star, j"), std::vector<std::int32_t>{4});
    EXPECT_EQ(find(index, "caf\xE9"), (std::vector<std::int32_t>{8, 6})); // é finds É
    EXPECT_EQ(find(index, "  CAF"), std::vector<std::int32_t>{6});
    EXPECT_EQ(find(index, "\xC9 star  "), std::vector<std::int32_t>{6});
}

TEST(NameSearch, FoalsOfASireWithoutCaseAndAStallionWithNone)
{
    Folder f;
    const NameIndex index = loadNameIndex(f.folder, f.cutAgain);
    EXPECT_EQ(ids(index, foalsOf(index, "Red Cap")), (std::vector<std::int32_t>{1, 2, 6}));
    EXPECT_EQ(ids(index, foalsOf(index, "\xE9TOILE")), (std::vector<std::int32_t>{7, 8}));
    EXPECT_TRUE(foalsOf(index, "RED").empty());
    EXPECT_TRUE(foalsOf(index, "MOON").empty()); // a horse, but no one's sire
}

TEST(NameSearch, AnIndexDeletedCutShortBrokenOrOfAnOlderFileIsMadeAgain)
{
    Folder f;
    std::vector<std::string> buckets;
    for (int b = 0; b < kBucketCount; ++b)
        buckets.push_back(readFile(f.folder.bucketFile(b)));
    const std::string names = readFile(f.folder.nameIndex());
    const std::string horses = readFile(f.folder.horseIndex());
    const auto expectSameAnswers = [&](const char* what) {
        const NameIndex index = loadNameIndex(f.folder, f.cutAgain);
        EXPECT_EQ(find(index, "star"), (std::vector<std::int32_t>{3, 5, 2, 1, 4, 6})) << what;
        EXPECT_EQ(index.horse(7).damSire, "DAMSIRE 8") << what;
        EXPECT_EQ(readFile(f.folder.nameIndex()), names) << what;
        EXPECT_EQ(readFile(f.folder.horseIndex()), horses) << what;
        for (int b = 0; b < kBucketCount; ++b)
            EXPECT_EQ(readFile(f.folder.bucketFile(b)), buckets[static_cast<std::size_t>(b)]) << what;
    };
    expectSameAnswers("as split");

    fs::remove(f.folder.horseIndex());
    expectSameAnswers("deleted");
    writeFile(f.folder.nameIndex(), names.substr(0, names.size() - 20));
    expectSameAnswers("cut short");
    writeFile(f.folder.horseIndex(), horses.substr(0, horses.size() / 2) + "\n\n" + horses.substr(horses.size() / 2));
    expectSameAnswers("a line too many");
    std::string badId = horses;
    badId[badId.find("\n1\n") + 1] = 'x';
    writeFile(f.folder.horseIndex(), badId);
    expectSameAnswers("an identifier that is no number");
    writeFile(f.folder.nameIndex(), "");
    expectSameAnswers("empty");

    // The breeding file changed since the index was made: the new one's answers.
    std::string older = names;
    older.replace(older.find('\n') + 1, 4, "1999");
    writeFile(f.folder.nameIndex(), older);
    expectSameAnswers("another stamp");
    writeFile(f.folder.breedingFile(), horse(1, "NEW STAR", "RED CAP"));
    const NameIndex renewed = loadNameIndex(f.folder, f.cutAgain);
    EXPECT_EQ(find(renewed, "star"), std::vector<std::int32_t>{1});
    EXPECT_EQ(readFile(f.folder.bucketFile(0)), horse(1, "NEW STAR", "RED CAP"));
}

TEST(NameSearch, AnIndexWithAnyByteChangedOrAnotherIndexsBodyIsRefused)
{
    Folder f;
    const std::string names = readFile(f.folder.nameIndex());
    const std::string horses = readFile(f.folder.horseIndex());
    const std::size_t stampStart = names.find('\n') + 1;
    const std::string stamp = names.substr(stampStart, names.find('\n', stampStart) - stampStart);
    ASSERT_TRUE(readNameIndex(f.folder, stamp));
    // Every byte of both files in turn, to a neighbouring value and to one far off.
    for (const int which : {0, 1}) {
        const std::string& whole = which == 0 ? names : horses;
        for (std::size_t at = 0; at < whole.size(); ++at)
            for (const int flip : {0x01, 0xA0}) {
                std::string changed = whole;
                changed[at] = static_cast<char>(changed[at] ^ flip);
                writeFile(which == 0 ? f.folder.nameIndex() : f.folder.horseIndex(), changed);
                EXPECT_FALSE(readNameIndex(f.folder, stamp)) << "file " << which << ", byte " << at << " ^ " << flip;
            }
        writeFile(which == 0 ? f.folder.nameIndex() : f.folder.horseIndex(), whole);
    }
    // A bigger folder's index under this one's two first lines.
    Folder other(kBreeding + horse(9, "NINTH", "NORTH") + horse(10, "TENTH", "NORTH"));
    for (const auto& [path, own] : {std::pair{f.folder.nameIndex(), &names}, {f.folder.horseIndex(), &horses}}) {
        const std::string theirs = readFile(other.dir.file("pdg/QNsubBtxt/") + fs::path(path).filename().string());
        const std::size_t ownHeader = own->find('\n', stampStart) + 1;
        const std::size_t theirHeader = theirs.find('\n', theirs.find('\n') + 1) + 1;
        writeFile(path, own->substr(0, ownHeader) + theirs.substr(theirHeader));
    }
    EXPECT_FALSE(readNameIndex(f.folder, stamp));
    EXPECT_EQ(loadNameIndex(f.folder, f.cutAgain).size(), 8u); // made again
    EXPECT_EQ(readFile(f.folder.nameIndex()), names);
}
