// The open data: a breeding file the game rewrote is cut again before it is
// read, an unchanged one is not, and another folder is taken only when it starts.
#include <gtest/gtest.h>

#include <filesystem>

#include "data/startup.h"
#include "lookup/horse_lookup.h"
#include "session/data_session.h"
#include "support/temp_dir.h"

using namespace quindle;
using quindle::testing::breedingFile;
using quindle::testing::horseLines;
using quindle::testing::TempDir;
using quindle::testing::writeFile;
namespace fs = std::filesystem;

namespace {

const char* const kChefs = "STAR LANTERN,0,2,0,0,0\r\nNORTH,1,1,0,0,0\r\n";

void writeDataFiles(const DataFolder& folder, const std::string& breeding)
{
    fs::create_directories(fs::path(folder.dir()));
    writeFile(folder.chefTable(), kChefs);
    writeFile(folder.sireList(), "A,B,C,D\r\n");
    writeFile(folder.breedingFile(), breeding);
}

// A folder started up and a session on it, counting the start-ups it runs.
struct Opened {
    TempDir dir;
    DataFolder folder{(dir.path() / "pdg").string()};
    std::string stamp = dir.file("Quindle.nnn");
    int startUps = 0;
    std::optional<DataSession> session;

    Opened()
    {
        writeDataFiles(folder, breedingFile(3));
        StartupResult started = runStartup(folder, stamp, {});
        EXPECT_EQ(started.status, Outcome::Done) << started.error;
        session.emplace(folder, std::move(started.chefs), [this](const DataFolder& f, const std::string& s) {
            ++startUps;
            return runStartup(f, s, {});
        });
    }
    std::string nameOf(std::int32_t id) const
    {
        const LookupResult found = findHorse(session->folder(), id);
        return found.status == Outcome::Done ? found.horse.name : "";
    }
};

} // namespace

TEST(DataSession, AnUnchangedBreedingFileIsNotCutAgain)
{
    Opened o;
    o.session->watch(o.stamp);
    const std::optional<std::string> cut = o.session->cutStamp();
    ASSERT_TRUE(cut.has_value());
    EXPECT_EQ(o.session->refreshIfChanged(), DataSession::Refresh::Unchanged);
    EXPECT_EQ(o.session->refreshIfChanged(), DataSession::Refresh::Unchanged);
    EXPECT_EQ(o.startUps, 0);
    EXPECT_EQ(o.session->cutStamp(), cut);
}

TEST(DataSession, ARewrittenBreedingFileIsCutAgainOnceWithItsChefTable)
{
    Opened o;
    o.session->watch(o.stamp);
    const std::shared_ptr<const ChefTable> before = o.session->sharedChefs();
    writeFile(o.folder.breedingFile(), breedingFile(2) + horseLines(3, "A NEW NAME", "Filly"));
    writeFile(o.folder.chefTable(), std::string(kChefs) + "NEW CHEF,0,0,2,0,0\r\n");

    EXPECT_EQ(o.session->refreshIfChanged(), DataSession::Refresh::CutAgain);
    EXPECT_EQ(o.startUps, 1);
    EXPECT_EQ(o.nameOf(3), "A NEW NAME");
    EXPECT_EQ(o.session->chefs().count(), 3);
    EXPECT_EQ(before->count(), 2); // work still holding the old table keeps it whole
    // The file cut now is the one the session compares with.
    EXPECT_EQ(o.session->refreshIfChanged(), DataSession::Refresh::Unchanged);
    EXPECT_EQ(o.startUps, 1);
}

TEST(DataSession, AFailedStartUpIsTriedAgainAndAnUnwatchedFileIsLeftAlone)
{
    Opened o;
    writeFile(o.folder.breedingFile(), breedingFile(4));
    EXPECT_EQ(o.session->refreshIfChanged(), DataSession::Refresh::Unchanged); // not watched yet
    EXPECT_EQ(o.startUps, 0);

    o.session->watch(o.stamp);
    fs::remove(o.folder.chefTable());
    writeFile(o.folder.breedingFile(), breedingFile(5));
    EXPECT_EQ(o.session->refreshIfChanged(), DataSession::Refresh::Failed);
    EXPECT_EQ(o.session->chefs().count(), 2); // still the table read before
    writeFile(o.folder.chefTable(), kChefs);
    EXPECT_EQ(o.session->refreshIfChanged(), DataSession::Refresh::CutAgain);
    EXPECT_EQ(o.startUps, 2);
    EXPECT_FALSE(o.nameOf(5).empty()); // the horse only the new file holds
}

TEST(DataSession, AnotherFolderIsTakenOnlyWhenItStartsAndIsThenWatched)
{
    Opened o;
    o.session->watch(o.stamp);
    TempDir otherDir;
    const DataFolder other((otherDir.path() / "pdg").string());
    fs::create_directories(fs::path(other.dir()));
    writeFile(other.chefTable(), kChefs); // no sire list, no breeding file
    EXPECT_FALSE(o.session->replaceFolder(other));
    EXPECT_EQ(o.session->folder().dir(), o.folder.dir());

    writeDataFiles(other, horseLines(1, "OTHER FOLDER", "Mare"));
    ASSERT_TRUE(o.session->replaceFolder(other));
    EXPECT_EQ(o.session->folder().dir(), other.dir());
    EXPECT_EQ(o.session->stampPath(), o.stamp); // the stamp file stays where it was
    EXPECT_EQ(o.nameOf(1), "OTHER FOLDER");
    EXPECT_EQ(o.session->refreshIfChanged(), DataSession::Refresh::Unchanged);

    writeFile(other.breedingFile(), horseLines(1, "OTHER AGAIN", "Mare"));
    EXPECT_EQ(o.session->refreshIfChanged(), DataSession::Refresh::CutAgain);
    EXPECT_EQ(o.nameOf(1), "OTHER AGAIN");
}
