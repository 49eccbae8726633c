// The windows as a player drives them: the grid's drawing, zoom on every
// window, where windows open, the keys of the mating window's completion list,
// Esc and focus, the planner's mares and its export, and the command line's
// agreement with what the window remembers and marks.
#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QCompleter>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QWindow>
#include <QTableView>
#include <QTest>
#include <filesystem>

#include "export/boxes_text.h"
#include "dosage/format.h"
#include "gui_fixture.h"
#include "support/run_process.h"
#include "ui/planner_form.h"
#include "ui/planner_model.h"
#include "ui/search_form.h"
#include "ui/search_model.h"
#include "ui/sire_completer.h"
#include "ui/sub_form.h"
#include "ui/zoom.h"

using namespace quindle;
using namespace quindle::testing;

namespace {

// Where a widget draws dark pixels (its text), as runs of columns in the main
// window's coordinates.
std::vector<std::pair<int, int>> inkRuns(QWidget* widget)
{
    const QImage image = widget->grab().toImage();
    std::vector<std::pair<int, int>> runs;
    const int left = widget->mapTo(widget->window(), QPoint(0, 0)).x();
    bool inRun = false;
    for (int x = 0; x < image.width(); ++x) {
        bool ink = false;
        for (int y = 0; y < image.height() && !ink; ++y)
            ink = qGray(image.pixel(x, y)) < 110;
        if (ink && !inRun)
            runs.emplace_back(left + x, left + x);
        if (ink)
            runs.back().second = left + x;
        inRun = ink;
    }
    return runs;
}

double centre(const std::vector<std::pair<int, int>>& runs)
{
    return runs.empty() ? -1000.0 : (runs.front().first + runs.back().second) / 2.0;
}

class InUseTest : public GuiTest {
protected:
    ui::PlannerForm* openPlanner()
    {
        main->openPlanner();
        ui::PlannerForm* planner = main->plannerForm();
        waitFor([planner] { return !planner || !planner->busy(); });
        return planner;
    }
    ui::SearchForm* openSearch()
    {
        main->openSearch();
        ui::SearchForm* search = main->searchForm();
        waitFor([search] { return !search || !search->busy(); });
        return search;
    }
    ui::SubForm* openMating()
    {
        QTest::mouseClick(named<QPushButton>(main, "HypoMate"), Qt::LeftButton);
        ui::SubForm* sub = main->subForm();
        if (sub) { // its boxes take the keys as the player's would
            sub->windowHandle()->requestActivate();
            EXPECT_TRUE(QTest::qWaitFor([sub] { return QGuiApplication::focusWindow() == sub->windowHandle(); }));
        }
        return sub;
    }
    static void waitFor(const std::function<bool()>& done) { EXPECT_TRUE(QTest::qWaitFor(done, 10000)); }
    // A key as the keyboard gives it: to an open popup first, else to the
    // window's focus.
    static QWidget* keyTarget(QWidget* window)
    {
        QWidget* popup = QApplication::activePopupWidget();
        return popup ? popup : window->focusWidget();
    }
    static void press(QWidget* window, Qt::Key key) { QTest::keyClick(keyTarget(window), key); }
    static void pressText(QWidget* window, const QString& text)
    {
        for (const QChar c : text)
            QTest::keyClicks(keyTarget(window), QString(c));
    }
    // Every header and every cell of a table shows its whole text, rows tall enough for the face.
    static void expectWholeTexts(QTableView* table)
    {
        const QFontMetrics cells(table->font());
        const QFontMetrics headers(table->horizontalHeader()->font());
        EXPECT_GE(table->verticalHeader()->defaultSectionSize(), cells.height());
        const QAbstractItemModel* model = table->model();
        for (int c = 0; c < model->columnCount(); ++c) {
            const int width = table->columnWidth(c);
            const QString title = model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
            EXPECT_GE(width, headers.horizontalAdvance(title) + 8) << title.toStdString();
            for (int row = 0; row < model->rowCount(); ++row) {
                const QString text = model->data(model->index(row, c), Qt::DisplayRole).toString();
                EXPECT_GE(width, cells.horizontalAdvance(text) + 4)
                    << title.toStdString() << ": " << text.toStdString();
            }
        }
    }
};

} // namespace

TEST_F(InUseTest, TheGridsLettersStandOverTheirNumbersAndTheLastRowClearsTheRule)
{
    lookUp("5"); // WELL, WELL: points in I and C from its Sire
    const std::vector<int> rows5 = {1, 2};
    lookUp("1"); // BRIGHT FILLY: points in I, C, S and P
    for (const int zoom : {100, 200}) {
        main->setZoom(zoom);
        // B, C, S and P are drawn by one caption, I by another.
        auto letters = inkRuns(text16Box(main, 7));
        const auto i = inkRuns(text16Box(main, 8));
        ASSERT_EQ(letters.size(), 4u) << zoom;
        ASSERT_EQ(i.size(), 1u) << zoom;
        letters.insert(letters.begin() + 1, i.front());
        for (int g = 0; g < kGroups; ++g) {
            // The column's numbers, in whichever row has one.
            double number = -1000.0;
            for (int p = 0; p < kPositions && number < 0; ++p)
                if (!ptText(kGroups * p + g).trimmed().isEmpty())
                    number = centre(inkRuns(ptBox(main, kGroups * p + g)));
            if (number < 0)
                continue; // no points in this group (B)
            EXPECT_NEAR((letters[static_cast<std::size_t>(g)].first + letters[static_cast<std::size_t>(g)].second) /
                            2.0,
                        number, 1.5 * zoom / 100)
                << "group " << g << " at " << zoom << " %";
        }
        // Every box of the grid and its captions stands inside the border around it.
        for (QFrame* frame : main->findChildren<QFrame*>()) {
            if (frame->metaObject() != &QFrame::staticMetaObject)
                continue; // a label or a box, not a border
            const QRect inside = frame->geometry().adjusted(frame->frameWidth(), frame->frameWidth(),
                                                            -frame->frameWidth(), -frame->frameWidth());
            for (int p = 0; p < kPositions; ++p)
                for (QLineEdit* box : {ptBox(main, kGroups * p), ptBox(main, kGroups * p + 4), text16Box(main, 3)})
                    if (frame->geometry().intersects(box->geometry())) {
                        EXPECT_TRUE(inside.contains(box->geometry()))
                            << box->objectName().toStdString() << " runs into a border at " << zoom << " %";
                    }
        }
    }
}

TEST_F(InUseTest, ThePlannerAndTheSearchWindowScaleWithTheZoom)
{
    lookUp("1");
    ui::PlannerForm* planner = openPlanner();
    ASSERT_NE(planner, nullptr);
    const int rowAt100 = planner->table()->verticalHeader()->defaultSectionSize();
    const int sireAt100 = planner->table()->columnWidth(0);
    ui::SearchForm* search = openSearch();
    ASSERT_NE(search, nullptr);
    QTest::keyClicks(search->textBox(), "BRIGHT");
    EXPECT_SOON(!search->busy(), 10000);
    const int searchFontAt100 = QFontInfo(search->table()->font()).pixelSize();
    const int searchIdAt100 = search->table()->columnWidth(0);

    main->setZoom(200);
    EXPECT_GE(planner->table()->verticalHeader()->defaultSectionSize(), 2 * rowAt100 - 4);
    EXPECT_EQ(planner->table()->columnWidth(0), 2 * sireAt100);
    expectWholeTexts(planner->table());
    EXPECT_NEAR(QFontInfo(search->table()->font()).pixelSize(), 2 * searchFontAt100, 1);
    EXPECT_EQ(search->table()->columnWidth(0), 2 * searchIdAt100);
    expectWholeTexts(search->table());

    // Opened at a zoom, they open scaled.
    planner->close();
    search->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    planner = openPlanner();
    ASSERT_NE(planner, nullptr);
    EXPECT_EQ(planner->table()->columnWidth(0), 2 * sireAt100);
    expectWholeTexts(planner->table());
    search = openSearch();
    ASSERT_NE(search, nullptr);
    EXPECT_NEAR(QFontInfo(search->table()->font()).pixelSize(), 2 * searchFontAt100, 1);
}

TEST_F(InUseTest, AZoomLargerThanTheScreenIsNotOfferedAndARememberedOneIsLowered)
{
    QScreen* small = nullptr;
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().height() < 900)
            small = screen;
    ASSERT_NE(small, nullptr) << "the tests' offscreen platform has a small second screen";
    const QRect area = small->availableGeometry();
    main->setScreen(small);
    main->move(area.topLeft());
    main->setZoom(250);
    EXPECT_LT(main->zoom(), 250);
    EXPECT_LE(main->height(), area.height());
    const int largest = main->zoom();
    QTest::keyClick(main.get(), Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(main->zoom(), largest);

    ui::saveZoom(250);
    main = std::make_unique<ui::MainForm>(folder, main->chefs());
    main->setScreen(small);
    main->move(area.topLeft());
    main->show();
    EXPECT_EQ(main->zoom(), largest);
    EXPECT_LE(main->height(), area.height());

    // On a screen tall enough for 200 % but too narrow for the chart pane beside the boxes.
    QScreen* square = nullptr;
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().width() < 1300 && screen->availableGeometry().height() > 900)
            square = screen;
    ASSERT_NE(square, nullptr);
    main->setScreen(square);
    main->move(square->availableGeometry().topLeft());
    main->setChartShown(false);
    main->setZoom(200);
    EXPECT_EQ(main->zoom(), 200);
    main->setChartShown(true); // Ctrl+K
    ASSERT_TRUE(main->chartShown());
    EXPECT_LT(main->zoom(), 200);
    EXPECT_TRUE(square->availableGeometry().contains(main->frameGeometry())) << main->frameGeometry().width();
}

TEST_F(InUseTest, TabAndEscInTheCompletionListKeepEachNameInItsBox)
{
    ui::SubForm* sub = openMating();
    ASSERT_NE(sub, nullptr);
    sub->box(0)->setFocus();
    pressText(sub, "NO"); // the list offers NORTH STAR (IRE)
    ASSERT_TRUE(sub->box(0)->completer()->popup()->isVisible());
    press(sub, Qt::Key_Down);
    press(sub, Qt::Key_Tab); // takes the highlighted name
    EXPECT_EQ(sub->box(0)->text(), "NORTH STAR (IRE)");
    EXPECT_FALSE(sub->box(0)->completer()->popup()->isVisible());
    EXPECT_EQ(sub->focusWidget(), sub->box(1));

    pressText(sub, "RED"); // the list offers RED CAP; none picked
    ASSERT_TRUE(sub->box(1)->completer()->popup()->isVisible());
    press(sub, Qt::Key_Tab); // takes the typed text
    pressText(sub, "S");
    EXPECT_EQ(sub->box(1)->text(), "RED");
    EXPECT_EQ(sub->box(2)->text(), "S");

    // Esc closes the list only.
    sub->box(2)->clear();
    pressText(sub, "MR");
    ASSERT_TRUE(sub->box(2)->completer()->popup()->isVisible());
    press(sub, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_NE(main->subForm(), nullptr);
    EXPECT_TRUE(sub->isVisible());
    EXPECT_FALSE(sub->box(2)->completer()->popup()->isVisible());
    EXPECT_EQ(sub->box(0)->text(), "NORTH STAR (IRE)");
    EXPECT_EQ(sub->box(2)->text(), "MR");
    press(sub, Qt::Key_Escape); // with the list closed, Esc closes the window
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(main->subForm(), nullptr);
}

TEST_F(InUseTest, WindowsOpenInsideTheScreenAndShowingAHorseRaisesTheMainWindow)
{
    lookUp("1");
    const QRect area = main->screen()->availableGeometry();
    main->move(area.right() - main->frameGeometry().width() - 10, area.bottom() - main->frameGeometry().height() - 10);
    ui::PlannerForm* planner = openPlanner();
    ASSERT_NE(planner, nullptr);
    EXPECT_TRUE(area.contains(planner->frameGeometry()))
        << planner->frameGeometry().x() << "," << planner->frameGeometry().y();
    ui::SearchForm* search = openSearch();
    ASSERT_NE(search, nullptr);
    EXPECT_TRUE(area.contains(search->frameGeometry()));

    // Enter in either shows the horse in the main window, which comes to the front.
    planner->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(planner));
    planner->table()->setFocus();
    planner->table()->selectRow(0);
    QTest::keyClick(planner->table(), Qt::Key_Return);
    EXPECT_EQ(main->ageSex()->text(), " New Foal");
    EXPECT_TRUE(QTest::qWaitForWindowActive(main.get()));

    search->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(search));
    QTest::keyClicks(search->textBox(), "DARK COLT");
    EXPECT_SOON(!search->busy(), 10000);
    QTest::keyClick(search->textBox(), Qt::Key_Return);
    EXPECT_EQ(main->text(2)->text(), "DARK COLT");
    EXPECT_TRUE(QTest::qWaitForWindowActive(main.get()));
}

TEST_F(InUseTest, TheMatingWindowOpensBesideTheMainWindowOrWhereThePlayerMovedItLastRun)
{
    ui::SubForm* sub = openMating();
    ASSERT_NE(sub, nullptr);
    const QPoint beside = sub->pos() - main->pos();
    const QPoint moved = sub->pos() + QPoint(60, 40); // it opens level with the main window's top
    sub->move(moved);
    sub->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    main = std::make_unique<ui::MainForm>(folder, main->chefs()); // the next run
    main->show();
    sub = openMating();
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->pos(), moved);

    // Put back beside the main window, it follows the main window again.
    sub->move(main->pos() + beside);
    sub->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    main = std::make_unique<ui::MainForm>(folder, main->chefs());
    main->move(main->pos() + QPoint(30, 20));
    main->show();
    sub = openMating();
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(sub->pos(), main->pos() + beside);
}

TEST_F(InUseTest, EscClosesThePlannerAndTheSearchWindowAndTabFromGoShowsWhereFocusIs)
{
    QPointer<ui::PlannerForm> planner = openPlanner();
    ASSERT_NE(planner, nullptr);
    QTest::keyClick(planner->table(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(planner.isNull());
    QPointer<ui::SearchForm> search = openSearch();
    ASSERT_NE(search, nullptr);
    QTest::keyClick(search->textBox(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(search.isNull());

    lookUp("2"); // DARK COLT: his name box is pastel blue
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    QWidget* go = named<QPushButton>(main, "GO");
    go->setFocus();
    const QImage before = main->text(2)->grab().toImage();
    QTest::keyClick(go, Qt::Key_Tab);
    ASSERT_EQ(main->focusWidget(), main->text(2));
    // The mark stands out from the box's colour: dark on pastel, along the box's sides.
    const QImage after = main->text(2)->grab().toImage();
    int marked = 0;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x)
            marked += std::abs(qGray(after.pixel(x, y)) - qGray(before.pixel(x, y))) > 80;
    EXPECT_GE(marked, after.height() + after.width()) << "the box with the focus looks almost as it did without";
}

TEST_F(InUseTest, TheSexWordIsReadWithoutCaseForPlanningAndQuotedAsWritten)
{
    lookUp("3"); // LOWER MARE, her sex written "mare"
    ui::PlannerForm* planner = openPlanner();
    ASSERT_NE(planner, nullptr);
    const QString status = planner->findChild<QLabel*>("mareStatus")->text();
    EXPECT_TRUE(status.contains("LOWER MARE")) << status.toStdString();
    EXPECT_EQ(planner->model()->rowCount(), 3);

    lookUp("4"); // GELDING ONE
    EXPECT_SOON(!planner->busy(), 10000);
    EXPECT_TRUE(planner->findChild<QLabel*>("mareStatus")->text().contains("is a Gelding, not a filly or mare"));
}

TEST_F(InUseTest, ExportWritesACsvFileAndTheCopyBothNamingTheMare)
{
    lookUp("1");
    ui::PlannerForm* planner = openPlanner();
    ASSERT_NE(planner, nullptr);
    seam.savePath = QString::fromStdString(dir.file("plan-bright"));
    QTest::mouseClick(planner->findChild<QPushButton*>("export"), Qt::LeftButton);
    EXPECT_FALSE(QFileInfo::exists(seam.savePath));
    const std::string csv = readFile(dir.file("plan-bright.csv"));
    EXPECT_NE(csv.find("BRIGHT FILLY (horse 1)"), std::string::npos) << csv;
    EXPECT_NE(csv.find("\nsire,siresire,siredamsire,B,"), std::string::npos) << csv;

    planner->table()->setFocus();
    planner->table()->selectRow(0);
    QTest::keyClick(planner->table(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(QApplication::clipboard()->text().contains("BRIGHT FILLY (horse 1)"))
        << QApplication::clipboard()->text().toStdString();

    // Typed lines are named as typed.
    planner->findChild<QRadioButton*>("typedMare")->setChecked(true);
    QTest::keyClicks(planner->findChild<QLineEdit*>("damSire"), "RED CAP");
    EXPECT_SOON(!planner->busy(), 10000);
    seam.savePath = QString::fromStdString(dir.file("typed.CSV"));
    QTest::mouseClick(planner->findChild<QPushButton*>("export"), Qt::LeftButton);
    EXPECT_NE(readFile(dir.file("typed.CSV")).find("Dam-Sire RED CAP"), std::string::npos);
    EXPECT_TRUE(seam.warnings.empty());

    // A name with a type of its own is the file the dialog asked about: no other
    // file of that name with ".csv" is written over.
    writeFile(dir.file("season.2024.csv"), "the player's own\n");
    seam.savePath = QString::fromStdString(dir.file("season.2024"));
    QTest::mouseClick(planner->findChild<QPushButton*>("export"), Qt::LeftButton);
    EXPECT_EQ(readFile(dir.file("season.2024.csv")), "the player's own\n");
    EXPECT_NE(readFile(dir.file("season.2024")).find("Dam-Sire RED CAP"), std::string::npos);
    seam.savePath = QString::fromStdString(dir.file("dot."));
    QTest::mouseClick(planner->findChild<QPushButton*>("export"), Qt::LeftButton);
    EXPECT_TRUE(QFileInfo::exists(seam.savePath));
}

TEST_F(InUseTest, TheCommandLineReadsTheFolderTheWindowRemembers)
{
#ifdef _WIN32
    GTEST_SKIP() << "on Windows the window remembers its folder in the registry, not in a file under HOME";
#endif
    // A folder whose name needs the settings file's quoting and escapes.
    TempDir home;
    const std::string odd = (home.path() / "game \"pdg\"; a=b, é\\x").string();
    std::filesystem::create_directories(odd);
    for (const std::string& file : {folder.chefTable(), folder.sireList(), folder.breedingFile()})
        std::filesystem::copy_file(file, std::filesystem::path(odd) / std::filesystem::path(file).filename());
    {
        QSettings settings(QString::fromStdString((home.path() / ".config/quindle/quindle.conf").string()),
                           QSettings::IniFormat);
        settings.setValue("window/zoom", 150);
        settings.setValue("dataFolder", QString::fromStdString(odd));
    }
    const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QByteArray::fromStdString(home.path().string()));
    qunsetenv("XDG_CONFIG_HOME");
    const auto r = runProcess(QUINDLE_CLI, {"show", "1"}, dir.path().string());
    qputenv("HOME", oldHome);
    if (!oldConfig.isEmpty())
        qputenv("XDG_CONFIG_HOME", oldConfig);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("BRIGHT FILLY"), std::string::npos) << r.out;
}

TEST_F(InUseTest, TheCommandLineNamesAStallionTheWindowMarksAsNotInTheList)
{
    ui::SubForm* sub = openMating();
    ASSERT_NE(sub, nullptr);
    type(sub->box(0), "NO SUCH SIRE");
    type(sub->box(1), "RED CAP");
    sub->box(2)->setFocus();
    EXPECT_TRUE(ui::SireCompleter::isMarked(sub->box(0)));
    EXPECT_FALSE(ui::SireCompleter::isMarked(sub->box(1)));
    QTest::mouseClick(sub->submitButton(), Qt::LeftButton);

    auto r =
        runProcess(QUINDLE_CLI, {"--data-dir", folder.dir(), "mate", "NO SUCH SIRE", "RED CAP"}, dir.path().string());
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, boxesPlain(main->readBoxes()));
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find("NO SUCH SIRE"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("RED CAP"), std::string::npos) << r.err;

    r = runProcess(QUINDLE_CLI, {"--data-dir", folder.dir(), "sires", "--damsire", "RED CAP", "--damdamsire", "NOPE"},
                   dir.path().string());
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 4); // the header and three stallions
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_NE(r.err.find("NOPE"), std::string::npos) << r.err;
}

TEST_F(InUseTest, AnotherDataFolderEmptiesEveryBoxOfEveryWindowAndPlansAgain)
{
    lookUp("1");
    ui::SubForm* sub = openMating();
    ASSERT_NE(sub, nullptr);
    type(sub->box(0), "RED CAP");
    ui::SearchForm* search = openSearch();
    ASSERT_NE(search, nullptr);
    QTest::keyClicks(search->textBox(), "BRIGHT");
    ui::PlannerForm* planner = openPlanner();
    ASSERT_NE(planner, nullptr);
    planner->findChild<QRadioButton*>("typedMare")->setChecked(true);
    QTest::keyClicks(planner->findChild<QLineEdit*>("damSire"), "RED CAP");
    waitFor([planner] { return !planner->busy(); });
    ASSERT_EQ(planner->model()->allRows(), 3);

    TempDir other; // a folder whose sire list has one stallion
    chooseAnotherFolder(other, "OTHER FOLDER SIRE,A,B,C\r\n", horseLines(1, "SECOND FOLDER", "Mare"));

    EXPECT_EQ(main->searchID()->text(), "");
    EXPECT_EQ(main->text(2)->text(), "");
    for (int i = 0; i < kProfileBoxes; ++i)
        EXPECT_EQ(ptText(i), "") << "PT" << i;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(sub->box(i)->text(), "");
    EXPECT_EQ(search->textBox()->text(), "");
    EXPECT_EQ(planner->findChild<QLineEdit*>("damSire")->text(), "");
    waitFor([planner] { return !planner->busy(); });
    EXPECT_EQ(planner->model()->allRows(), 1); // planned again on the new list
}
