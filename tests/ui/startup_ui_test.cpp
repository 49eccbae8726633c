// Start-up as the window runs it: its messages and the progress window.
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <optional>
#include <thread>
#include <gtest/gtest.h>

#include "gui_fixture.h"
#include "ui/frm_splash.h"
#include "ui/startup_ui.h"

using namespace quindle;
using quindle::testing::RecordingSeam;
using quindle::testing::TempDir;
using quindle::testing::writeFile;

namespace {
struct StartupUiTest : ::testing::Test {
    TempDir dir;
    DataFolder folder{dir.path().string()};
    RecordingSeam seam;
    void SetUp() override { ui::setSeam(&seam); }
    void TearDown() override { ui::setSeam(nullptr); }
    std::optional<ChefTable> start() { return ui::startUp(folder, dir.file("Quindle.nnn")); }
};
} // namespace

TEST_F(StartupUiTest, AMissingFileShowsOneFileErrorAndStops)
{
    writeFile(folder.breedingFile(), quindle::testing::guiBreedingFile());
    EXPECT_FALSE(start().has_value());
    ASSERT_EQ(seam.warnings.size(), 1u);
    EXPECT_EQ(seam.warnings[0].first, "File Error");
    EXPECT_EQ(seam.warnings[0].second, QString::fromStdString("Missing file:  " + folder.chefTable()));
}

TEST_F(StartupUiTest, ABadChefTableNamesFileLineAndProblem)
{
    writeFile(folder.chefTable(), "A,1,1,1,1,40000\r\n");
    writeFile(folder.sireList(), "");
    writeFile(folder.breedingFile(), "");
    EXPECT_FALSE(start().has_value());
    ASSERT_EQ(seam.warnings.size(), 1u);
    EXPECT_TRUE(seam.warnings[0].second.contains(
        QString::fromStdString(folder.chefTable() + ", line 1: \"40000\" is out of range (-32768 to 32767)")))
        << seam.warnings[0].second.toStdString();
}

TEST_F(StartupUiTest, TheProgressWindowShowsDuringASplitOnly)
{
    writeFile(folder.chefTable(), quindle::testing::guiChefTable());
    writeFile(folder.sireList(), quindle::testing::guiSireList());
    writeFile(folder.breedingFile(), quindle::testing::guiBreedingFile());
    auto splashesShown = [] {
        int count = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            count += w->objectName() == "frmSplash" && w->isVisible();
        return count;
    };
    ASSERT_TRUE(start().has_value());
    EXPECT_EQ(splashesShown(), 0);
    EXPECT_TRUE(std::filesystem::exists(folder.bucketFile(9)));
    ASSERT_TRUE(start().has_value());
    EXPECT_TRUE(seam.warnings.empty());
}

namespace {
// The progress window's bar at each of its paint events.
struct BarPaints : QObject {
    std::atomic<bool> midway = false; // painted with the cut begun and not ended
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const auto* bar = qobject_cast<QProgressBar*>(watched);
        if (event->type() == QEvent::Paint && bar && bar->window()->objectName() == "frmSplash" && bar->value() > 0 &&
            bar->value() < 100)
            midway = true;
        return false;
    }
};
} // namespace

TEST_F(StartupUiTest, TheProgressWindowPaintsAndMovesWhileTheBucketsAreCut)
{
    writeFile(folder.chefTable(), quindle::testing::guiChefTable());
    writeFile(folder.sireList(), quindle::testing::guiSireList());
    writeFile(folder.breedingFile(), quindle::testing::guiBreedingFile());
    BarPaints paints;
    qApp->installEventFilter(&paints);
    // A timer of this thread looks at the bar as the player would.
    std::atomic<bool> seenMidway = false;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "frmSplash" && w->isVisible()) {
                const int value = w->findChild<QProgressBar*>()->value();
                seenMidway = seenMidway || (value > 0 && value < 100);
            }
    });
    look.start(1);
    // The cut holds once, its first bucket written (a step the bar draws), until the window has
    // shown it (or a while has passed).
    const auto held = [&](const DataFolder& f, const std::string& stamp, const SplitObserver& observer) {
        SplitObserver slowed = observer;
        bool waited = false;
        slowed.progress = [&](int value) {
            observer.progress(value);
            if (waited || value < 10 || value >= 100)
                return;
            waited = true;
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (!(seenMidway && paints.midway) && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        };
        return runStartup(f, stamp, slowed);
    };
    const StartupResult result = ui::startUpShowing(folder, dir.file("Quindle.nnn"), held);
    qApp->removeEventFilter(&paints);
    EXPECT_EQ(result.status, Outcome::Done);
    EXPECT_TRUE(result.subdivided);
    EXPECT_TRUE(seenMidway) << "the bar never moved on screen while the buckets were cut";
    EXPECT_TRUE(paints.midway) << "the progress window was not painted while the buckets were cut";
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->objectName() == "frmSplash" && w->isVisible());
}

TEST_F(StartupUiTest, AStartUpAskedForDuringAnotherWaitsForItAndTheFileIsCutOnce)
{
    writeFile(folder.chefTable(), quindle::testing::guiChefTable());
    writeFile(folder.sireList(), quindle::testing::guiSireList());
    writeFile(folder.breedingFile(), quindle::testing::guiBreedingFile());
    // A window's timer asks for a start-up while the first one cuts, which holds until then.
    std::atomic<bool> asked = false;
    std::optional<StartupResult> second;
    QTimer::singleShot(0, [&] {
        asked = true;
        second = ui::startUpShowing(folder, dir.file("Quindle.nnn"));
    });
    const auto held = [&](const DataFolder& f, const std::string& stamp, const SplitObserver& observer) {
        SplitObserver slowed = observer;
        slowed.progress = [&](int value) {
            observer.progress(value);
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (!asked && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        };
        return runStartup(f, stamp, slowed);
    };
    const StartupResult first = ui::startUpShowing(folder, dir.file("Quindle.nnn"), held);
    EXPECT_EQ(first.status, Outcome::Done);
    ASSERT_TRUE(second.has_value()) << "the second start-up did not run during the first";
    EXPECT_EQ(second->status, Outcome::Done);
    EXPECT_NE(first.subdivided, second->subdivided) << "the file was not cut exactly once";
    EXPECT_EQ(second->stamp, first.stamp);
    EXPECT_TRUE(seam.warnings.empty())
        << (seam.warnings.empty() ? QString() : seam.warnings.front().second).toStdString();
}

TEST(FrmSplash, LayoutAndProgress)
{
    ui::FrmSplash splash;
    EXPECT_EQ(splash.message()->text(), "Subdividing new breeding file - please wait...");
    EXPECT_EQ(splash.progressBar()->maximum(), 100);
    splash.show();
    splash.progressBar()->setVisible(true);
    splash.setProgress(40);
    EXPECT_EQ(splash.progressBar()->value(), 40);
}

TEST_F(StartupUiTest, AfterAFileErrorThePlayerChoosesTheFolderWhichIsRemembered)
{
    TempDir other;
    const DataFolder good(other.path().string());
    writeFile(good.chefTable(), quindle::testing::guiChefTable());
    writeFile(good.sireList(), quindle::testing::guiSireList());
    writeFile(good.breedingFile(), quindle::testing::guiBreedingFile());
    TempDir empty;

    // The empty folder first: its missing file is named, and the player is asked again.
    seam.folderAnswers = {QString::fromStdString(empty.path().string()), QString::fromStdString(good.dir())};
    const auto started = ui::startUpChoosingFolder(folder, dir.file("Quindle.nnn"));
    ASSERT_TRUE(started.has_value());
    EXPECT_EQ(started->folder.dir(), good.dir());
    ASSERT_EQ(seam.warnings.size(), 2u);
    EXPECT_EQ(seam.warnings[0].first, "File Error");
    EXPECT_TRUE(seam.warnings[1].second.startsWith("Missing file:  " + QString::fromStdString(empty.path().string())));
    EXPECT_EQ(ui::rememberedDataFolder(), good.dir());

    // Cancelling ends start-up as before.
    seam.warnings.clear();
    EXPECT_FALSE(ui::startUpChoosingFolder(folder, dir.file("Quindle.nnn")).has_value());
    EXPECT_EQ(seam.warnings.size(), 1u);
}
