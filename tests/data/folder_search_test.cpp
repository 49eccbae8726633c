// Finding the game's data folder without --data-dir.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "data/folder_search.h"
#include "support/temp_dir.h"

using namespace quindle;
using quindle::testing::TempDir;
using quindle::testing::writeFile;
namespace fs = std::filesystem;

#ifndef _WIN32 // the search looks into Wine prefixes on Linux only
namespace {
void makeDataFolder(const fs::path& dir)
{
    fs::create_directories(dir);
    for (const char* file : {"ChefTable", "QN_SireList", "breeding.txt"})
        writeFile((dir / file).string(), "");
}
} // namespace

TEST(FolderSearch, TheChosenFolderThenPdgThenTheGameInsideWineInAnyLetterCase)
{
    TempDir home;
    const std::string h = home.path().string();
    makeDataFolder(home.path() / ".wine/drive_c/Pdg");
    makeDataFolder(home.path() / "prefix/drive_c/PDG");
    fs::create_directories(home.path() / "pdg"); // there, but without the files

    const FolderHints hints{h + "/chosen", h, h + "/prefix"};
    EXPECT_EQ(candidateFolders(hints), (std::vector<std::string>{h + "/chosen", h + "/pdg", h + "/prefix/drive_c/PDG",
                                                                 h + "/.wine/drive_c/Pdg"}));
    // The chosen folder has no files: the first candidate that holds them wins.
    EXPECT_EQ(findDataFolder(hints).dir(), DataFolder(h + "/prefix/drive_c/PDG").dir());
    makeDataFolder(home.path() / "chosen");
    EXPECT_EQ(chooseDataFolder("", hints).dir(), DataFolder(h + "/chosen").dir());
    // Nothing anywhere: the default folder, so the missing file is named there.
    EXPECT_EQ(findDataFolder({"", h + "/empty", ""}).dir(), DataFolder::platformDefault().dir());

    // A given folder is taken as it is, with ~ expanded.
    EXPECT_EQ(chooseDataFolder("~/games/pdg", hints).dir(), DataFolder(h + "/games/pdg").dir());
    EXPECT_EQ(expandHome("~", "/home/me"), "/home/me");
    EXPECT_EQ(expandHome("~other/pdg", "/home/me"), "~other/pdg");
    EXPECT_EQ(expandHome("/srv/pdg", "/home/me"), "/srv/pdg");
}

TEST(FolderSearch, TheStateFolderIsMadeUnderXdgStateHome)
{
    TempDir state;
    const char* before = std::getenv("XDG_STATE_HOME");
    const std::string saved = before ? before : "";
    setenv("XDG_STATE_HOME", state.path().c_str(), 1);
    const std::string made = stateFolder();
    before ? setenv("XDG_STATE_HOME", saved.c_str(), 1) : unsetenv("XDG_STATE_HOME");
    EXPECT_EQ(made, (state.path() / "quindle").string());
    EXPECT_TRUE(fs::is_directory(made));
}
#endif
