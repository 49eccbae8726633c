// The window and its data folder: a breeding file rewritten while it is open,
// and another folder chosen later.
#include <QCoreApplication>
#include <QLabel>
#include <filesystem>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTest>

#include "gui_fixture.h"
#include "data/system_paths.h"
#include "stable/stable_file.h"
#include "ui/compare_form.h"
#include "ui/planner_form.h"
#include "ui/startup_ui.h"

using namespace quindle;
using namespace quindle::testing;

TEST_F(GuiTest, ANewBreedingFileIsCutAgainAtTheNextLookup)
{
    main->watchBreedingFile(dir.file("Quindle.nnn"));
    lookUp("1");
    EXPECT_EQ(main->text(2)->text(), "BRIGHT FILLY");
    main->compareShown(); // the comparison and the planner, open, follow the new file too
    main->openPlanner();

    const std::string original = guiBreedingFile();
    std::string renamed = original;
    renamed.replace(renamed.find("BRIGHT FILLY"), 12, "BRIGHT NEW FILLY");
    writeFile(folder.breedingFile(), renamed);
    main->session()->refreshIfChanged(); // as any window does before it reads
    EXPECT_EQ(main->compareForm()->shown()[0].label, "BRIGHT NEW FILLY (1)");
    EXPECT_SOON(!main->plannerForm()->busy(), 10000);
    EXPECT_TRUE(named<QLabel>(main->plannerForm(), "mareStatus")->text().contains("BRIGHT NEW FILLY"));
    lookUp("1");
    EXPECT_EQ(main->text(2)->text(), "BRIGHT NEW FILLY");
    EXPECT_TRUE(seam.warnings.empty());
    // Back goes to no horse of the old file: its IDs may now be other horses.
    lookUp("2");
    writeFile(folder.breedingFile(), original);
    const int beeps = seam.beeps;
    main->goBack(); // Alt+Left
    EXPECT_EQ(seam.beeps, beeps + 1);
    EXPECT_EQ(main->text(2)->text(), "DARK COLT");
    EXPECT_FALSE(main->history().canGoBack());
    writeFile(folder.breedingFile(), original); // as the fixture found it
}

TEST_F(GuiTest, AnotherDataFolderChosenLaterIsReadAndRemembered)
{
    TempDir other;
    const DataFolder second(other.path().string());
    writeFile(second.chefTable(), guiChefTable());
    writeFile(second.sireList(), guiSireList());
    writeFile(second.breedingFile(), horseLines(1, "SECOND FOLDER", "Mare"));

    seam.folderAnswers = {QString::fromStdString(second.dir())};
    QTest::keyClick(main.get(), Qt::Key_O, Qt::ControlModifier);
    lookUp("1");
    EXPECT_EQ(main->text(2)->text(), "SECOND FOLDER");
    EXPECT_TRUE(main->toolTip().contains(QString::fromStdString(second.dir())));
    EXPECT_EQ(ui::rememberedDataFolder(), second.dir());

    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    QTest::keyClick(main->searchID(), Qt::Key_F1);
    ASSERT_EQ(seam.informations.size(), 1u);
    EXPECT_TRUE(seam.informations[0].contains(QString::fromStdString(second.dir())));
}

TEST(StableLocation, IsWhereQtKeepsTheApplicationsData)
{
#ifdef _WIN32
    // Qt asks Windows for the roaming folder; the tests move %APPDATA% to a folder
    // of their own, which only the core follows.
    GTEST_SKIP() << "the tests' own %APPDATA% is not where Windows keeps it";
#endif
    const QString organisation = QCoreApplication::organizationName(),
                  application = QCoreApplication::applicationName();
    QCoreApplication::setOrganizationName(QStringLiteral("quindle")); // as the program names itself
    QCoreApplication::setApplicationName(QStringLiteral("quindle"));
    const QString qt = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QCoreApplication::setOrganizationName(organisation);
    QCoreApplication::setApplicationName(application);
    EXPECT_EQ(fsPath(appDataFolder()).lexically_normal(), fsPath(qt.toStdString()).lexically_normal());
}

TEST_F(GuiTest, ABreedingFileGoneIsSaidOnceAndTheBucketsAreLeftAsTheyAre)
{
    main->watchBreedingFile(dir.file("Quindle.nnn"));
    lookUp("1");
    const std::string away = folder.breedingFile() + ".away";
    std::filesystem::rename(folder.breedingFile(), away);
    lookUp("2");
    ASSERT_EQ(seam.warnings.size(), 1u);
    EXPECT_TRUE(seam.warnings[0].second.contains("Missing file")) << seam.warnings[0].second.toStdString();
    EXPECT_TRUE(std::filesystem::exists(folder.bucketStamp())) << "the buckets are not called damaged";
    EXPECT_EQ(main->text(2)->text(), "BRIGHT FILLY"); // nothing looked up from buckets of a file that is gone

    std::filesystem::rename(away, folder.breedingFile());
    lookUp("2");
    EXPECT_EQ(main->text(2)->text(), "DARK COLT");
    EXPECT_EQ(seam.warnings.size(), 1u);
}
