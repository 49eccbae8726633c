// My Horses and the season window over the small known data folder.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QTableView>
#include <QTest>
#include <QToolTip>
#include <QTreeView>

#include "data/startup.h"
#include "dosage/chart_scale.h"
#include "compare/comparison.h"
#include "gui_fixture.h"
#include "stable/stable_file.h"
#include "support/run_process.h"
#include <QDir>
#include <filesystem>
#include "ui/horse_copier.h"
#include "ui/best_mares_pane.h"
#include "ui/my_horses_form.h"
#include "ui/planner_form.h"
#include "ui/my_horses_model.h"
#include "ui/profile_chart.h"
#include "ui/search_form.h"
#include "ui/search_model.h"
#include "ui/season_book.h"
#include "ui/season_form.h"
#include "ui/stable_store.h"

using namespace quindle;
using namespace quindle::testing;

namespace {

class MyHorsesTest : public GuiTest {
protected:
    std::string stablePath() const { return stableFileFor(folder); }
    // Writes the player's file as an earlier run would have, and reads it in again.
    void keep(const Stable& stable)
    {
        std::filesystem::create_directories(std::filesystem::path(stablePath()).parent_path());
        writeFile(stablePath(), stableText(stable, folder.dir()));
        main->stable()->open(folder, main.get());
    }
    ui::MyHorsesForm* openMyHorses()
    {
        activateMain();
        QTest::keyClick(main.get(), Qt::Key_H, Qt::ControlModifier | Qt::ShiftModifier);
        ui::MyHorsesForm* form = main->myHorsesForm();
        EXPECT_NE(form, nullptr);
        if (form)
            settle(form);
        return form;
    }
    ui::SeasonForm* openSeason()
    {
        activateMain();
        QTest::keyClick(main.get(), Qt::Key_M, Qt::ControlModifier | Qt::ShiftModifier);
        ui::SeasonForm* form = main->seasonForm();
        EXPECT_NE(form, nullptr);
        if (form)
            settle(form);
        return form;
    }
    // Shortcuts of the main window answer while it is the active one.
    void activateMain()
    {
        main->activateWindow();
        EXPECT_SOON(QApplication::activeWindow() == main.get(), 5000);
    }
    template <class Form>
    static void settle(Form* form)
    {
        EXPECT_SOON(!form->busy(), 10000);
    }
    // The season planned for IDs typed (after those already in the box), as Enter plans them.
    static void planSeasonFor(ui::SeasonForm* season, const QString& ids)
    {
        named<QRadioButton>(season, "fromIds")->setChecked(true);
        QTest::keyClicks(named(season, "damIds"), ids);
        QTest::keyClick(named(season, "damIds"), Qt::Key_Return);
        settle(season);
    }
    static QString cell(ui::MyHorsesForm* form, int row, int column)
    {
        return form->model()->data(form->model()->index(row, column), Qt::DisplayRole).toString();
    }
    static int rowOf(ui::MyHorsesForm* form, int id)
    {
        for (int r = 0; r < form->model()->rowCount(); ++r)
            if (form->model()->row(r).checked.entry.id == id)
                return r;
        return -1;
    }
    static std::vector<std::int32_t> keptIds(const std::string& path)
    {
        std::vector<std::int32_t> ids;
        for (const StableEntry& entry : readStable(path).stable.horses)
            ids.push_back(entry.id);
        return ids;
    }
};

} // namespace

TEST_F(MyHorsesTest, TheWindowsAndTheCoreAgreeOnWhereTheListIsKept)
{
    const QString organisation = QApplication::organizationName(), application = QApplication::applicationName();
    QApplication::setOrganizationName(QStringLiteral("quindle"));
    QApplication::setApplicationName(QStringLiteral("quindle"));
    [[maybe_unused]] const QString qt = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QApplication::setOrganizationName(organisation);
    QApplication::setApplicationName(application);
#ifndef _WIN32 // Qt asks Windows for the roaming folder, not the tests' own %APPDATA%
    EXPECT_EQ(QDir::cleanPath(qt).toStdString(),
              QDir::cleanPath(QString::fromStdString(appDataFolder())).toStdString());
#endif
    EXPECT_EQ(main->stable()->path().toStdString(), stablePath());
}

TEST_F(MyHorsesTest, HorsesAreAddedFromEveryWindowShownRemovedAndKeptInTheFile)
{
    // The shown horse, by the main window's shortcut.
    lookUp("1");
    const QString total = ptText(kTotalBox).trimmed(), di = ptText(kDiBox).trimmed(), cd = ptText(kCdBox).trimmed();
    QTest::keyClick(main.get(), Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(keptIds(stablePath()), (std::vector<std::int32_t>{1}));
    EXPECT_EQ(QToolTip::text(), "BRIGHT FILLY (1) is kept in My Horses"); // said, though the list is not open
    EXPECT_EQ(readStable(stablePath()).stable.horses[0].name, "BRIGHT FILLY");

    // A foal is no horse to keep.
    main->submitMating({"RED CAP", "OLD GREY", "NORTH STAR"});
    const int beeps = seam.beeps;
    QTest::keyClick(main.get(), Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(seam.beeps, beeps + 1);
    auto* copier = main->findChild<ui::HorseCopier*>();
    ASSERT_NE(copier, nullptr);
    // The context menu offers to keep the horse shown, and only a horse.
    const auto addAction = [&](const QMenu& menu) {
        for (QAction* action : menu.actions())
            if (action->text() == "Add to My Horses")
                return action;
        return static_cast<QAction*>(nullptr);
    };
    const QPoint inChart = main->text(2)->geometry().center();
    const auto foalMenu = copier->menuAt(inChart);
    QAction* add = addAction(*foalMenu);
    ASSERT_NE(add, nullptr);
    EXPECT_FALSE(add->isEnabled());
    lookUp("4");
    const auto horseMenu = copier->menuAt(inChart);
    add = addAction(*horseMenu);
    ASSERT_NE(add, nullptr);
    add->trigger();
    EXPECT_EQ(keptIds(stablePath()), (std::vector<std::int32_t>{1, 4}));

    // A row of the search window, by its shortcut.
    main->openSearch();
    ui::SearchForm* search = main->searchForm();
    EXPECT_SOON(!search->busy(), 10000);
    search->textBox()->setText("DARK");
    EXPECT_SOON(!search->busy() && search->model()->rowCount() == 1, 10000);
    search->table()->setFocus();
    search->table()->setCurrentIndex(search->model()->index(0, 0));
    QTest::keyClick(search->table(), Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(keptIds(stablePath()), (std::vector<std::int32_t>{1, 4, 2}));

    // IDs typed in My Horses: one not in the file is refused and named.
    ui::MyHorsesForm* form = openMyHorses();
    ASSERT_NE(form, nullptr);
    seam.warnings.clear();
    QTest::keyClicks(form->idBox(), "3, 77");
    QTest::keyClick(form->idBox(), Qt::Key_Return);
    EXPECT_EQ(keptIds(stablePath()), (std::vector<std::int32_t>{1, 4, 2, 3}));
    ASSERT_EQ(seam.warnings.size(), 1u);
    EXPECT_TRUE(seam.warnings[0].second.contains("77"));
    EXPECT_SOON(!form->busy() && form->model()->rowCount() == 4, 10000);

    // The columns show the horse as the main window does.
    const int filly = rowOf(form, 1);
    EXPECT_EQ(cell(form, filly, ui::MyHorsesModel::Name), "BRIGHT FILLY");
    EXPECT_EQ(cell(form, filly, ui::MyHorsesModel::AgeSex), "3yo Filly");
    EXPECT_EQ(cell(form, filly, ui::MyHorsesModel::Sire), "STAR LANTERN (IRE)");
    EXPECT_EQ(cell(form, filly, ui::MyHorsesModel::DamSire), "RED CAP");
    EXPECT_EQ(cell(form, filly, ui::MyHorsesModel::Total), total);
    EXPECT_EQ(cell(form, filly, ui::MyHorsesModel::Di), di);
    EXPECT_EQ(cell(form, filly, ui::MyHorsesModel::Cd), cd);

    // Sorted by the header, highest total first, the others (all "--") in the name order of the sort before;
    // the horse chosen stays chosen.
    form->table()->selectRow(rowOf(form, 3));
    form->table()->sortByColumn(ui::MyHorsesModel::Name, Qt::AscendingOrder);
    form->table()->sortByColumn(ui::MyHorsesModel::Total, Qt::DescendingOrder);
    std::vector<std::int32_t> order;
    for (int row = 0; row < 4; ++row)
        order.push_back(form->model()->row(row).checked.entry.id);
    EXPECT_EQ(order, (std::vector<std::int32_t>{1, 2, 4, 3})); // BRIGHT FILLY, then DARK, GELDING, LOWER
    EXPECT_EQ(form->model()->row(form->table()->currentIndex().row()).checked.entry.id, 3);

    // GO shows a row's horse in the main window; Enter presses it when it has the focus.
    form->table()->selectRow(rowOf(form, 3));
    auto* go = named<QPushButton>(form, "go");
    go->setFocus();
    QTest::keyClick(go, Qt::Key_Return);
    EXPECT_SOON(main->shownHorse() == 3, 2000);
    EXPECT_EQ(main->text(2)->text(), "LOWER MARE");

    // Delete removes the selected horse from the list and the file.
    form->table()->setFocus();
    form->table()->selectRow(rowOf(form, 2));
    QTest::keyClick(form->table(), Qt::Key_Delete);
    EXPECT_EQ(keptIds(stablePath()), (std::vector<std::int32_t>{1, 4, 3}));
    EXPECT_SOON(!form->busy() && form->model()->rowCount() == 3, 10000);
    // The next horse takes its place, so Enter and Delete go on; a right click below the rows acts on none.
    EXPECT_TRUE(form->table()->currentIndex().isValid());
    EXPECT_EQ(form->rowMenuAt(QPoint(5, form->table()->viewport()->height() - 2)), nullptr);
    EXPECT_NE(form->rowMenuAt(form->table()->visualRect(form->model()->index(1, 0)).center()), nullptr);
    EXPECT_EQ(form->table()->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(form->table()->currentIndex().row(), 1);
    // Horses selected stay selected while the list changes beside them.
    form->table()->selectAll();
    named(form, "addIds")->clear();
    type(named(form, "addIds"), "5");
    QTest::keyClick(named(form, "addIds"), Qt::Key_Return);
    EXPECT_SOON(!form->busy() && form->model()->rowCount() == 4, 10000);
    EXPECT_EQ(form->table()->selectionModel()->selectedRows().size(), 3);

    // Enter presses the main window's own GO too.
    main->searchID()->clear();
    type(main->searchID(), "1");
    named<QPushButton>(main, "GO")->setFocus();
    QTest::keyClick(named<QPushButton>(main, "GO"), Qt::Key_Enter, Qt::KeypadModifier); // the keypad's
    EXPECT_SOON(main->shownHorse() == 1, 2000);
}

TEST_F(MyHorsesTest, TheSeasonPlansEveryKeptMareAndShowsARowInTheMainWindow)
{
    Stable stable;
    stable.add(1, "BRIGHT FILLY");
    stable.add(2, "DARK COLT");  // a colt: passed over
    stable.add(3, "LOWER MARE"); // "mare" in lower case: a mare all the same, as in the planner
    keep(stable);
    ui::SeasonForm* season = openSeason();
    ASSERT_NE(season, nullptr);
    QStandardItemModel* model = season->model();
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_TRUE(model->item(0)->text().startsWith("BRIGHT FILLY (1)")) << model->item(0)->text().toStdString();
    EXPECT_TRUE(model->item(1)->text().startsWith("LOWER MARE (3)")) << model->item(1)->text().toStdString();
    EXPECT_TRUE(model->item(0)->text().contains("STAR LANTERN (IRE)"));
    EXPECT_EQ(model->item(0)->rowCount(), 3) << "all three stallions of the list";

    // The target is edited once above the table: two per mare, highest total first, ranked from 1.
    named<QSpinBox>(season, "perMare")->setValue(2);
    ASSERT_EQ(model->item(0)->rowCount(), 2);
    EXPECT_EQ(model->item(0)->child(0, 0)->text(), "1");
    EXPECT_GE(model->item(0)->child(0, 7)->text().toDouble(), model->item(0)->child(1, 7)->text().toDouble());

    // Enter on a stallion shows that mating in the main window.
    const QModelIndex row = model->index(1, 0, model->index(0, 0));
    const QString sire = model->itemFromIndex(row.sibling(1, 1))->text();
    season->tree()->setFocus();
    season->tree()->setCurrentIndex(row);
    QTest::keyClick(season->tree(), Qt::Key_Return);
    EXPECT_EQ(main->text(3)->text(), sire);
    EXPECT_EQ(main->text(5)->text(), "STAR LANTERN (IRE)");
    EXPECT_EQ(main->text(9)->text(), "RED CAP");
    EXPECT_EQ(main->ageSex()->text(), " New Foal");
    EXPECT_EQ(ptText(kDiBox).trimmed(), model->itemFromIndex(row.sibling(1, 11))->text());
    EXPECT_EQ(ptText(kTotalBox).trimmed(), model->itemFromIndex(row.sibling(1, 7))->text());

    // Ctrl+C copies the rows selected under their titles; Export writes them, named .csv.
    season->tree()->selectionModel()->select(row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QTest::keyClick(season->tree(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith("ID\tMare\tRank\tSire\tB\tI\t"))
        << QApplication::clipboard()->text().toStdString();
    EXPECT_TRUE(QApplication::clipboard()->text().section('\n', 1).startsWith("1\tBRIGHT FILLY\t2\t" + sire + "\t"))
        << QApplication::clipboard()->text().toStdString();
    seam.savePath = QString::fromStdString(dir.file("season"));
    QTest::mouseClick(named<QPushButton>(season, "export"), Qt::LeftButton);
    const std::string csv = readFile(dir.file("season.csv"));
    EXPECT_EQ(csv.substr(0, csv.find('\n')),
              "dam,damname,rank,sire,siresire,siredamsire,B,I,C,S,P,total,speed,stamina,cd,di,repeats");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 5) << csv; // two rows for each mare
    EXPECT_NE(csv.find("1,BRIGHT FILLY,2," + sire.toStdString() + ","), std::string::npos) << csv;

    // IDs typed instead: a horse that is no filly or mare is named, the others planned.
    planSeasonFor(season, "2 1");
    ASSERT_EQ(model->rowCount(), 1);
    EXPECT_TRUE(model->item(0)->text().startsWith("BRIGHT FILLY (1)"));
    EXPECT_TRUE(named<QLabel>(season, "seasonStatus")->text().contains("2"))
        << named<QLabel>(season, "seasonStatus")->text().toStdString();

    // Many IDs that are no mares: a few reasons shown, so the table keeps its room; all in the tooltip.
    auto* ids = named<QLineEdit>(season, "damIds");
    ids->clear();
    QTest::keyClicks(ids, "1 2 4 5 6 7 8 9 99999999999");
    QTest::keyClick(ids, Qt::Key_Return);
    settle(season);
    const QLabel* status = named<QLabel>(season, "seasonStatus");
    EXPECT_TRUE(status->text().startsWith("1 mare planned\nNot a horse ID (1 to 999999): 99999999999\nhorse 2 "))
        << status->text().toStdString();
    EXPECT_TRUE(status->text().endsWith("\n\u2026 and 5 more (the tooltip lists them all)"));
    EXPECT_EQ(status->text().count('\n'), 4);
    EXPECT_TRUE(status->toolTip().endsWith("horse 9 is not in the breeding file")) << status->toolTip().toStdString();
}

TEST_F(MyHorsesTest, SeasonRowsGoIntoTheComparisonAndTheMainWindowNamedForTheirMares)
{
    Stable stable;
    stable.add(1, "BRIGHT FILLY");
    stable.add(3, "LOWER MARE");
    keep(stable);
    ui::SeasonForm* season = openSeason();
    ASSERT_NE(season, nullptr);
    QStandardItemModel* model = season->model();
    ASSERT_EQ(model->rowCount(), 2);
    // The first stallion of each mare, selected together; Ctrl+Shift+A adds both.
    QItemSelectionModel* selection = season->tree()->selectionModel();
    std::vector<QString> sires;
    for (int mare = 0; mare < 2; ++mare) {
        const QModelIndex row = model->index(0, 0, model->index(mare, 0));
        selection->select(row, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        sires.push_back(model->itemFromIndex(row.sibling(0, 1))->text());
    }
    season->tree()->setFocus();
    QTest::keyClick(season->tree(), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(main->candidates().size(), 2u);
    EXPECT_EQ(showCandidate(main->candidates()[0], folder, main->chefs()).label,
              sires[0].toStdString() + " x BRIGHT FILLY (1)");
    EXPECT_EQ(showCandidate(main->candidates()[1], folder, main->chefs()).label,
              sires[1].toStdString() + " x LOWER MARE (3)");

    // Enter shows the mating, and the main window says for whom the foal is.
    season->tree()->setCurrentIndex(model->index(0, 0, model->index(1, 0)));
    QTest::keyClick(season->tree(), Qt::Key_Return);
    EXPECT_EQ(main->text(3)->text(), sires[1]);
    EXPECT_TRUE(main->windowTitle().contains("foal for LOWER MARE (horse 3)")) << main->windowTitle().toStdString();
}

TEST_F(MyHorsesTest, AKeptIdThatHoldsAnotherNameIsMarkedAndLeftOutUntilConfirmed)
{
    const std::string old = std::string("BRIGHT FILLY OLD ") + '\xC9'; // names are Latin-1
    Stable stable;
    stable.add(1, old); // the breeding file has since given ID 1 to BRIGHT FILLY
    stable.add(3, "LOWER MARE");
    keep(stable);
    ui::MyHorsesForm* form = openMyHorses();
    ASSERT_NE(form, nullptr);
    ASSERT_EQ(form->model()->rowCount(), 2);
    const QModelIndex name = form->model()->index(rowOf(form, 1), ui::MyHorsesModel::Name);
    EXPECT_EQ(name.data().toString(), QStringLiteral("BRIGHT FILLY (kept as BRIGHT FILLY OLD \u00C9)"));
    EXPECT_TRUE(name.data(Qt::ForegroundRole).isValid()) << "marked";
    EXPECT_TRUE(name.data(Qt::ToolTipRole).toString().contains(QStringLiteral("(BRIGHT FILLY OLD \u00C9) is now")));
    EXPECT_TRUE(named<QLabel>(form, "stableStatus")->text().contains("1 left out"));

    ui::SeasonForm* season = openSeason();
    ASSERT_NE(season, nullptr);
    ASSERT_EQ(season->model()->rowCount(), 1);
    EXPECT_TRUE(season->model()->item(0)->text().startsWith("LOWER MARE (3)"));
    EXPECT_TRUE(named<QLabel>(season, "seasonStatus")->text().contains(QStringLiteral("BRIGHT FILLY OLD \u00C9")));
    // The list is never re-pointed by itself.
    EXPECT_EQ(readStable(stablePath()).stable.horses[0].name, old);

    // Confirmed: the entry takes the name now at the ID, and the season plans her.
    form->table()->selectRow(rowOf(form, 1));
    QTest::mouseClick(named<QPushButton>(form, "confirm"), Qt::LeftButton);
    EXPECT_EQ(readStable(stablePath()).stable.horses[0].name, "BRIGHT FILLY");
    EXPECT_SOON(!season->busy() && season->model()->rowCount() == 2, 10000);
    EXPECT_TRUE(season->model()->item(0)->text().startsWith("BRIGHT FILLY (1)"));
    EXPECT_SOON(!form->busy(), 10000);
    EXPECT_FALSE(form->model()->index(rowOf(form, 1), 1).data(Qt::ForegroundRole).isValid());
}

TEST_F(MyHorsesTest, TwoQuindlesOnOneFolderNeverWriteOverEachOthersHorses)
{
    ui::StableStore other; // a second Quindle, started on the same folder
    other.open(folder, nullptr);
    ASSERT_TRUE(other.add(3, nullptr));
    ASSERT_TRUE(main->stable()->add(1, main.get())); // this window has not seen horse 3
    EXPECT_TRUE(readStable(stablePath()).stable.find(3));
    ASSERT_TRUE(other.remove({1}, nullptr)); // nor the other horse 1
    const Stable kept = readStable(stablePath()).stable;
    EXPECT_FALSE(kept.find(1));
    EXPECT_TRUE(kept.find(3));

    // Coming to the front, My Horses and the season show what the other one has kept since.
    ui::MyHorsesForm* form = openMyHorses();
    ui::SeasonForm* season = openSeason();
    ASSERT_TRUE(other.add(4, nullptr));
    ASSERT_TRUE(other.add(5, nullptr));
    form->activateWindow();
    EXPECT_SOON(!form->busy() && form->model()->rowCount() == 3, 10000);
    ASSERT_TRUE(other.remove({4}, nullptr));
    season->activateWindow();
    EXPECT_SOON(main->stable()->stable().horses.size() == 2, 10000);
    form->close();
    season->close();

    // The best mares among My Horses too.
    main->openBestMares("RED CAP");
    ui::PlannerForm* planner = main->plannerForm();
    ASSERT_NE(planner, nullptr);
    named<QCheckBox>(planner->maresPane(), "onlyMyHorses")->setChecked(true);
    activateMain();
    ASSERT_TRUE(other.add(1, nullptr));
    planner->activateWindow();
    EXPECT_SOON(main->stable()->stable().find(1), 10000);
}

TEST_F(MyHorsesTest, TheWindowAndAScriptAddingAtOnceKeepEveryHorse)
{
    // A folder of its own with enough horses, and one list the window and the script both add to.
    TempDir other;
    const DataFolder many((other.path() / "pdg").string());
    std::filesystem::create_directory(many.dir());
    writeFile(many.chefTable(), "X,1,0,0,0,0\r\n");
    writeFile(many.sireList(), "A,B,C,D\r\n");
    writeFile(many.breedingFile(), breedingFile(120));
    ASSERT_EQ(runStartup(many, other.file("Quindle.nnn"), {}).status, Outcome::Done);
    const QString list = QString::fromStdString(other.file("horses.json"));
    ui::StableStore window;
    window.openFile(list, many.dir(), nullptr);

    QProcess script;
    QStringList args{"--data-dir", QString::fromStdString(many.dir()), "stable", "--stable", list, "add"};
    for (int id = 61; id <= 120; ++id)
        args << QString::number(id);
    script.setWorkingDirectory(QString::fromStdString(other.path().string()));
    script.start(QStringLiteral(QUINDLE_CLI), args);
    ASSERT_TRUE(script.waitForStarted(10000));
    for (int id = 1; id <= 60; ++id)
        EXPECT_TRUE(window.add(id, nullptr)) << id;
    ASSERT_TRUE(script.waitForFinished(30000));
    EXPECT_EQ(script.exitCode(), 0) << script.readAllStandardError().toStdString();
    EXPECT_EQ(readStable(list.toStdString()).stable.horses.size(), 120u);
    window.catchUp(nullptr);
    EXPECT_EQ(window.stable().horses.size(), 120u);

    // A failed add is said, never silent.
    seam.warnings.clear();
    EXPECT_FALSE(window.add(500, nullptr));
    ASSERT_EQ(seam.warnings.size(), 1u);
    EXPECT_TRUE(seam.warnings[0].second.contains("There is no horse 500")) << seam.warnings[0].second.toStdString();
}

TEST_F(MyHorsesTest, ADamagedListIsKeptAsideAndNeverWrittenOver)
{
    const std::string damaged = "{\"horses\": [{\"id\": 1, \"name\": \"BRIGHT FILLY\"}, {\"id\": 1, \"name\": \"X\"}]}";
    std::filesystem::create_directories(std::filesystem::path(stablePath()).parent_path());
    writeFile(stablePath(), damaged);
    seam.warnings.clear();
    main->stable()->open(folder, main.get());
    ASSERT_EQ(seam.warnings.size(), 1u);
    const QString aside = main->stable()->keptAside();
    EXPECT_TRUE(seam.warnings[0].second.contains(QDir::toNativeSeparators(aside)))
        << seam.warnings[0].second.toStdString();
    EXPECT_TRUE(seam.warnings[0].second.contains(QString::fromStdString(stablePath())));
    EXPECT_EQ(readFile(aside.toStdString()), damaged);
    EXPECT_TRUE(main->stable()->stable().horses.empty());

    // The list goes on beside it; a second damaged file does not take the first one's place.
    lookUp("3");
    EXPECT_TRUE(main->addShownHorse());
    EXPECT_EQ(keptIds(stablePath()), (std::vector<std::int32_t>{3}));
    writeFile(stablePath(), "{\"horses\": [\n  {\"id\": 3 \"name\": \"X\"}]}");
    seam.warnings.clear();
    main->stable()->open(folder, main.get());
    ASSERT_EQ(seam.warnings.size(), 1u);
    EXPECT_TRUE(seam.warnings[0].second.contains("not JSON at line 2, column 12")) // where the player looks
        << seam.warnings[0].second.toStdString();
    EXPECT_TRUE(seam.warnings[0].second.contains(QDir::toNativeSeparators(main->stable()->keptAside())));
    writeFile(stablePath(), "not json");
    main->stable()->open(folder, main.get());
    EXPECT_NE(main->stable()->keptAside(), aside);
    EXPECT_EQ(readFile(aside.toStdString()), damaged);
    EXPECT_EQ(readFile(main->stable()->keptAside().toStdString()), "not json");

    // A list that cannot be read at all (here a folder in its place) stays where it is, and is not written over.
    std::filesystem::remove(stablePath());
    std::filesystem::create_directory(stablePath());
    seam.warnings.clear();
    main->stable()->open(folder, main.get());
    EXPECT_TRUE(main->stable()->keptAside().isEmpty());
    EXPECT_TRUE(std::filesystem::is_directory(stablePath()));
    EXPECT_FALSE(main->addShownHorse());
    EXPECT_TRUE(std::filesystem::is_directory(stablePath()));
    ASSERT_EQ(seam.warnings.size(), 2u); // not read, then not saved
    EXPECT_TRUE(seam.warnings[0].second.contains("So that nothing of it is lost"))
        << seam.warnings[0].second.toStdString();
}

namespace {

// Every title whole in its section, and every row (a mare's line and her stallions) as tall as its face needs.
void expectWholeTitlesAndRows(const QTreeView* tree)
{
    const QFontMetrics titles(tree->header()->font());
    for (int c = 0; c < tree->header()->count(); ++c) {
        const QString title = tree->model()->headerData(c, Qt::Horizontal).toString();
        EXPECT_GE(tree->header()->sectionSize(c), titles.horizontalAdvance(title) + 8) << title.toStdString();
    }
    const QModelIndex dam = tree->model()->index(0, 0);
    for (const QModelIndex& index : {dam, tree->model()->index(0, 1, dam)}) {
        const QVariant face = index.data(Qt::FontRole);
        const QFontMetrics metrics(face.isValid() ? face.value<QFont>() : tree->font());
        EXPECT_GE(tree->visualRect(index).height(), metrics.height()) << index.data().toString().toStdString();
    }
}

} // namespace

TEST_F(MyHorsesTest, TheSeasonAndMyHorsesWindowsOpenAndFollowTheZoomWithWholeTitles)
{
    Stable stable;
    stable.add(1, "BRIGHT FILLY");
    keep(stable);
    ui::SeasonForm* season = openSeason();
    ui::MyHorsesForm* mine = openMyHorses();
    ASSERT_TRUE(season && mine);
    const QSize seasonAt100 = season->size(), mineAt100 = mine->size();
    season->close();
    mine->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // Opened at 200 %: twice as large, inside the screen, every title whole and every row tall enough.
    main->setZoom(200);
    season = openSeason();
    mine = openMyHorses();
    ASSERT_TRUE(season && mine);
    EXPECT_GE(season->width(), 2 * seasonAt100.width() - 2);
    EXPECT_GE(season->height(), 2 * seasonAt100.height() - 2);
    EXPECT_GE(mine->width(), 2 * mineAt100.width() - 2);
    for (QWidget* window : {static_cast<QWidget*>(season), static_cast<QWidget*>(mine)})
        EXPECT_TRUE(window->screen()->availableGeometry().contains(window->geometry()));
    expectWholeTitlesAndRows(season->tree());
    EXPECT_EQ(QFontInfo(mine->table()->horizontalHeader()->font()).pixelSize(),
              QFontInfo(mine->table()->font()).pixelSize());
    const QFontMetrics titles(mine->table()->horizontalHeader()->font());
    for (int c = 0; c < mine->model()->columnCount(); ++c)
        EXPECT_GE(mine->table()->columnWidth(c),
                  titles.horizontalAdvance(mine->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString()) +
                      8);

    // Zoomed while open, the mares' bold lines follow the face.
    main->setZoom(125);
    expectWholeTitlesAndRows(season->tree());
    EXPECT_EQ(QFontInfo(season->model()->item(0)->font()).pixelSize(), QFontInfo(season->tree()->font()).pixelSize());
}

TEST_F(MyHorsesTest, TheSeasonDrawsEachStallionsBarsAndWritesTheCommandLinesCsv)
{
    // A mare without chefs and a stallion without any: his foal has no points.
    TempDir other;
    const DataFolder second =
        chooseAnotherFolder(other, "NOBODY SIRE,X,Y,Z\r\nRED CAP,OLD GREY,NORTH STAR,STAR LANTERN\r\n",
                            horseLines(1, "PLAIN MARE", "Mare"));
    ui::SeasonForm* season = openSeason();
    ASSERT_NE(season, nullptr);
    planSeasonFor(season, "1");
    QStandardItem* dam = season->model()->item(0);
    ASSERT_TRUE(dam && dam->rowCount() == 2);

    // The bars' cell of each stallion paints bars only when his foal has points, all on one scale.
    const int shape = season->model()->columnCount() - 1;
    season->tree()->clearSelection();
    const QImage picture = season->tree()->viewport()->grab().toImage();
    std::vector<GroupTotals> shown(2);
    for (int row = 0; row < 2; ++row) {
        const QRect cell = season->tree()->visualRect(dam->child(row, shape)->index());
        int bars = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                bars += QColor(picture.pixel(x, y)) == ui::barColour() ? 1 : 0;
        const int total = dam->child(row, 7)->text().toInt();
        EXPECT_EQ(dam->child(row, 1)->text() == "NOBODY SIRE", total == 0);
        EXPECT_EQ(total > 0, bars > 0) << "total " << total;
        EXPECT_TRUE(dam->child(row, shape)->toolTip().contains("Total " + QString::number(total)));
        for (std::size_t g = 0; g < kGroups; ++g)
            shown[static_cast<std::size_t>(row)][g] = dam->child(row, 2 + static_cast<int>(g))->text().toInt();
    }
    for (int row = 0; row < 2; ++row)
        EXPECT_EQ(dam->child(row, shape)->data(ui::kChartScaleRole).toInt(), commonScale(shown));

    // Export writes, byte for byte, what quindle-cli season writes for the same mare and target.
    seam.savePath = QString::fromStdString(other.file("season.csv"));
    QTest::mouseClick(named<QPushButton>(season, "export"), Qt::LeftButton);
    const auto cli =
        runProcess(QUINDLE_CLI, {"--data-dir", second.dir(), "season", "--dams", "1", "--sort", "total,desc"},
                   other.path().string());
    EXPECT_EQ(cli.exitCode, 0) << cli.err;
    EXPECT_EQ(readFile(other.file("season.csv")), cli.out);
}

TEST_F(MyHorsesTest, TheSeasonDecidedGivesEachMareOneStallionWithinHisBookAsTheCommandLineDoes)
{
    ui::SeasonForm* season = openSeason();
    ASSERT_NE(season, nullptr);
    planSeasonFor(season, "1 3");
    named<QCheckBox>(season, "assign")->setChecked(true);
    ASSERT_NE(season->assignment(), nullptr);
    EXPECT_FALSE(named<QSpinBox>(season, "perMare")->isEnabled()); // every stallion of her target counts

    // With no limit the one best stallion may go to both; with a book of one they are parted.
    const auto given = [&] {
        std::vector<QString> stallions;
        for (int dam = 0; dam < season->model()->rowCount(); ++dam) {
            QStandardItem* line = season->model()->item(dam);
            EXPECT_LE(line->rowCount(), 1);
            stallions.push_back(line->rowCount() ? line->child(0, 1)->text() : QString());
        }
        return stallions;
    };
    named<QSpinBox>(season, "book")->setValue(1);
    const std::vector<QString> parted = given();
    ASSERT_EQ(parted.size(), 2u);
    EXPECT_NE(parted[0], parted[1]);
    EXPECT_EQ(season->assignment()->planned(), 2u);
    EXPECT_TRUE(named<QLabel>(season, "seasonStatus")->text().startsWith("2 of 2 mares given a stallion"))
        << named<QLabel>(season, "seasonStatus")->text().toStdString();

    // Export writes, byte for byte, what quindle-cli season --assign writes for the same mares and rules.
    TempDir out;
    seam.savePath = QString::fromStdString(out.file("decided.csv"));
    QTest::mouseClick(named<QPushButton>(season, "export"), Qt::LeftButton);
    const auto cli = runProcess(
        QUINDLE_CLI,
        {"--data-dir", folder.dir(), "season", "--assign", "--dams", "1,3", "--book", "1", "--sort", "total,desc"},
        out.path().string());
    EXPECT_EQ(cli.exitCode, 0) << cli.err;
    EXPECT_EQ(readFile(out.file("decided.csv")), cli.out);

    // Taken back to the ranked lists, each mare shows her first stallions again.
    named<QCheckBox>(season, "assign")->setChecked(false);
    EXPECT_EQ(season->assignment(), nullptr);
    EXPECT_GT(season->model()->item(0)->rowCount(), 1);
}

TEST_F(MyHorsesTest, TheSeasonPlansFromTheBreedingFileTheGameWroteSince)
{
    main->watchBreedingFile(dir.file("Quindle.nnn"));
    ui::SeasonForm* season = openSeason();
    ASSERT_NE(season, nullptr);
    planSeasonFor(season, "1");
    ASSERT_TRUE(season->model()->item(0)->text().startsWith("BRIGHT FILLY (1)"));
    const std::string original = readFile(folder.breedingFile());
    writeFile(folder.breedingFile(), horseLines(1, "NEW FILLY", "Filly"));
    QTest::keyClick(named(season, "damIds"), Qt::Key_Return);
    settle(season);
    ASSERT_NE(season->model()->item(0), nullptr);
    EXPECT_TRUE(season->model()->item(0)->text().startsWith("NEW FILLY (1)"))
        << season->model()->item(0)->text().toStdString();
    EXPECT_TRUE(seam.warnings.empty()) << seam.warnings[0].second.toStdString();
    writeFile(folder.breedingFile(), original); // as the fixture found it
}

TEST_F(MyHorsesTest, TheSeasonFoldsOnADoubleClickExportsOnlyAPlanForgetsAnotherFoldersIdsAndClosesOnEsc)
{
    ui::SeasonForm* season = openSeason(); // nothing kept: nothing to export
    ASSERT_NE(season, nullptr);
    seam.savePath = QString::fromStdString(dir.file("season"));
    QTest::mouseClick(named<QPushButton>(season, "export"), Qt::LeftButton);
    EXPECT_EQ(seam.beeps, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("season.csv")));

    planSeasonFor(season, "1");
    const QModelIndex dam = season->model()->index(0, 0);
    ASSERT_TRUE(dam.isValid());
    const bool open = season->tree()->isExpanded(dam);
    const QPoint at = season->tree()->visualRect(dam).center();
    QTest::mouseClick(season->tree()->viewport(), Qt::LeftButton, {}, at); // a double click's first click
    QTest::mouseDClick(season->tree()->viewport(), Qt::LeftButton, {}, at);
    EXPECT_NE(season->tree()->isExpanded(dam), open) << "folded once, not folded and unfolded";

    TempDir other; // another folder: its horse 1 is another horse
    chooseAnotherFolder(other, guiSireList(), horseLines(1, "PLAIN MARE", "Mare"));
    EXPECT_EQ(named<QLineEdit>(season, "damIds")->text(), "");

    const QPointer<QWidget> seasonShown(season), mineShown(openMyHorses());
    for (const QPointer<QWidget>& form : {seasonShown, mineShown}) {
        ASSERT_FALSE(form.isNull());
        form->activateWindow();
        EXPECT_SOON(QApplication::activeWindow() == form, 5000);
        QTest::keyClick(form, Qt::Key_Escape);
        EXPECT_SOON(form.isNull(), 5000);
    }
}

#ifndef _WIN32
namespace {
// The PDF's text as pdftotext reads it, each page ended by a form feed.
QString pdfText(const QString& path, const QStringList& options)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), QStringList(options) << path << QStringLiteral("-"));
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}
QStringList pagesOf(const QString& text)
{
    QStringList pages = text.split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}
// The line of `page` that holds `text`; empty when none does.
QString lineWith(const QString& page, const QString& text)
{
    for (const QString& line : page.split(QLatin1Char('\n')))
        if (line.contains(text))
            return line;
    return {};
}
} // namespace

TEST_F(MyHorsesTest, TheSeasonBookHoldsTheTargetEveryMareWithHerStallionAndACardPerMating)
{
    ui::SeasonForm* season = openSeason();
    ASSERT_NE(season, nullptr);
    planSeasonFor(season, "1 3");
    named<QCheckBox>(season, "assign")->setChecked(true);
    named<QSpinBox>(season, "book")->setValue(1);
    ASSERT_EQ(season->assignment()->planned(), 2u);
    const QString path = QString::fromStdString(dir.file("book.pdf"));
    // The mares, each with the stallion the window shows her and that foal's total and DI.
    const auto checkBook = [&](const char* firstLine) {
        seam.savePath = path;
        QTest::mouseClick(named<QPushButton>(season, "saveBook"), Qt::LeftButton);
        const QStringList pages = pagesOf(pdfText(path, {"-layout"}));
        ASSERT_EQ(pages.size(), 3) << "the table, then a card for each mating";
        EXPECT_TRUE(pages[0].simplified().contains(firstLine)) << pages[0].toStdString();
        EXPECT_TRUE(pages[0].contains("Target: DI any, CD any; sorted by total, highest first."))
            << pages[0].toStdString();
        for (int d = 0; d < 2; ++d) {
            const SeasonDam& dam = season->season()->dams[static_cast<std::size_t>(d)];
            const QString name = QString::fromLatin1(dam.name);
            const QString stallion = season->model()->item(d)->child(0, 1)->text();
            const QString line = lineWith(pages[0], name);
            EXPECT_TRUE(line.contains(stallion)) << line.toStdString();
            EXPECT_TRUE(line.contains(" " + season->model()->item(d)->child(0, 7)->text() + " ")) << line.toStdString();
            EXPECT_TRUE(line.contains(" " + season->model()->item(d)->child(0, 11)->text())) << line.toStdString();
            const QString title = QStringLiteral("%1 x %2 (%3)").arg(stallion, name).arg(dam.id);
            EXPECT_TRUE(pages[1 + d].contains(title)) << pages[1 + d].toStdString();
            EXPECT_TRUE(pages[1 + d].contains(QStringLiteral("for %1 (horse %2)").arg(name).arg(dam.id)));
            EXPECT_TRUE(pages[1 + d].contains("Total " + season->model()->item(d)->child(0, 7)->text()))
                << pages[1 + d].toStdString();
        }
    };
    checkBook("Book: 1 mare each stallion.");
    // Not decided: each mare's first stallion, and the book says so.
    named<QCheckBox>(season, "assign")->setChecked(false);
    ASSERT_EQ(season->assignment(), nullptr);
    checkBook("The season is not decided");
}

TEST(SeasonBookPages, ALongTableTakesMorePagesAndLongNamesStayInsideThePage)
{
    ui::SeasonBookPages pages;
    pages.book.title = "Season book";
    pages.book.heading = {"Target: DI any, CD any; in the sire list's order."};
    const std::string longest(20, 'W');
    for (int id = 1; id <= 90; ++id) {
        SeasonBookRow row;
        row.damId = 1000 + id;
        row.damName = longest + "M";
        if (id % 10 == 0) {
            row.why = "no stallion: none in her target";
        } else {
            row.sire = longest + "S";
            row.rank = "1";
            row.numbers = {"16", "8", "20", "2", "0", "46", "26.09", "73.91", "0.83", "2.29"};
            row.repeats = longest + "R";
        }
        pages.book.rows.push_back(row);
    }
    TempDir out;
    const QString path = QString::fromStdString(out.file("long.pdf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(ui::writeSeasonBookPdf(pages, file));
    file.close();

    const QStringList text = pagesOf(pdfText(path, {"-layout"}));
    EXPECT_GE(text.size(), 2) << "90 rows do not fit one page";
    for (int id = 1; id <= 90; ++id)
        EXPECT_EQ(text.join("").count(QString::number(1000 + id) + " "), 1) << id;
    for (const QString& page : text) // the column titles stand on every page of the table
        EXPECT_TRUE(lineWith(page, "Stallion").contains("Repeats")) << page.toStdString();
    const QString boxes = pdfText(path, {"-bbox"});
    const double width =
        QRegularExpression(QStringLiteral("<page width=\"([0-9.]+)\"")).match(boxes).captured(1).toDouble();
    ASSERT_GT(width, 0);
    int words = 0;
    const QRegularExpression word(QStringLiteral("xMin=\"([0-9.]+)\"[^>]*xMax=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
    for (auto it = word.globalMatch(boxes); it.hasNext(); ++words) {
        const auto match = it.next();
        EXPECT_GT(match.captured(1).toDouble(), 0) << match.captured(3).toStdString();
        EXPECT_LT(match.captured(2).toDouble(), width) << match.captured(3).toStdString();
    }
    EXPECT_GT(words, 90 * 3);
}
#endif
