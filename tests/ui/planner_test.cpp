// The mating planner window over the small known data folder.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <algorithm>

#include "app/saved_targets.h"
#include "gui_fixture.h"
#include "ui/best_mares_pane.h"
#include "ui/compare_form.h"
#include "ui/planner_form.h"
#include "ui/planner_model.h"
#include "ui/season_form.h"
#include "ui/sire_completer.h"
#include "ui/sub_form.h"

using namespace quindle;
using namespace quindle::testing;

namespace {

class PlannerTest : public GuiTest {
protected:
    ui::PlannerForm* openPlanner()
    {
        QTest::keyClick(main.get(), Qt::Key_M, Qt::ControlModifier);
        ui::PlannerForm* planner = main->plannerForm();
        EXPECT_NE(planner, nullptr);
        if (planner)
            waitForPlan(planner);
        return planner;
    }
    static void waitForPlan(ui::PlannerForm* planner) { EXPECT_SOON(!planner->busy(), 10000); }
    static QString cell(ui::PlannerForm* planner, int row, int column)
    {
        return planner->model()->data(planner->model()->index(row, column), Qt::DisplayRole).toString();
    }
    static QString status(ui::PlannerForm* planner) { return planner->findChild<QLabel*>("mareStatus")->text(); }
};

} // namespace

TEST_F(PlannerTest, PlansForTheShownMareSortsByDiAndShowsARowInTheMainWindow)
{
    lookUp("1"); // BRIGHT FILLY: Sire STAR LANTERN (IRE), Dam-Sire RED CAP
    ui::PlannerForm* planner = openPlanner();
    ASSERT_NE(planner, nullptr);
    EXPECT_TRUE(status(planner).contains("BRIGHT FILLY")) << status(planner).toStdString();
    EXPECT_SOON(QApplication::focusWidget() == planner->table(), 5000); // keys go to her plan at once
    ASSERT_EQ(planner->model()->rowCount(), 3);
    EXPECT_EQ(cell(planner, 0, 0).toStdString(), "MR. RED-CAP"); // the sire list's order
    EXPECT_EQ(planner->findChild<QLabel*>("rowCount")->text(), "3 of 3 stallions");

    // A click on the DI header sorts by DI, numerically, "--" first.
    QHeaderView* header = planner->table()->horizontalHeader();
    const int diColumn = 10;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(diColumn) + 5, header->height() / 2));
    ASSERT_EQ(planner->model()->query().sortBy, PlanColumn::Di);
    std::vector<double> dis;
    for (int row = 0; row < 3; ++row) {
        const QString di = cell(planner, row, diColumn);
        dis.push_back(di == "--" ? -1 : di == "INF" ? 1e9 : di.toDouble());
    }
    const bool down = planner->model()->query().descending;
    EXPECT_TRUE(down ? std::is_sorted(dis.rbegin(), dis.rend()) : std::is_sorted(dis.begin(), dis.end()));
    EXPECT_NE(dis.front(), dis.back()) << "three foals of different DI";
    // The shape does not sort, so a click on it leaves the arrow on DI.
    const int shape = ui::PlannerModel::kShapeColumn;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(shape) + 5, header->height() / 2));
    EXPECT_EQ(header->sortIndicatorSection(), diColumn);

    // Enter on a row shows that mating in the main window, and fills the mating window.
    main->hypoMateClick();
    planner->activateWindow();
    planner->table()->setFocus();
    planner->table()->selectRow(1);
    const QString sire = cell(planner, 1, 0);
    QTest::keyClick(planner->table(), Qt::Key_Return);
    EXPECT_EQ(main->text(3)->text(), sire);
    EXPECT_EQ(main->text(5)->text(), "STAR LANTERN (IRE)");
    EXPECT_EQ(main->text(9)->text(), "RED CAP");
    EXPECT_EQ(main->ageSex()->text(), " New Foal");
    EXPECT_EQ(ptBox(main, kDiBox)->text().trimmed(), cell(planner, 1, diColumn));
    EXPECT_EQ(ptBox(main, kTotalBox)->text().trimmed(), cell(planner, 1, 6));
    EXPECT_EQ(main->subForm()->box(0)->text(), sire);

    // The foal shown does not take the mare away from the planner.
    EXPECT_TRUE(status(planner).contains("BRIGHT FILLY"));

    // Two clicks more on DI (the other way, then none) bring back the sire list's order.
    for (int click = 0; click < 2; ++click)
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(diColumn) + 5, header->height() / 2));
    EXPECT_EQ(header->sortIndicatorSection(), -1);
    EXPECT_EQ(cell(planner, 0, 0).toStdString(), "MR. RED-CAP");
    EXPECT_FALSE(planner->model()->query().sortBy.has_value());
}

TEST_F(PlannerTest, SaysWhyItCannotPlanForAColtAndPlansForTypedLines)
{
    lookUp("2"); // DARK COLT
    ui::PlannerForm* planner = openPlanner();
    ASSERT_NE(planner, nullptr);
    EXPECT_TRUE(status(planner).contains("not a filly or mare")) << status(planner).toStdString();
    EXPECT_EQ(planner->model()->rowCount(), 0);

    planner->directions()->setCurrentIndex(0); // a colt shown opens the best mares for him
    planner->findChild<QRadioButton*>("typedMare")->setChecked(true);
    auto* damSire = planner->findChild<QLineEdit*>("damSire");
    QTest::keyClicks(damSire, "north star (ire)1"); // typed as the mating window takes it: the digit is refused
    EXPECT_EQ(damSire->text(), "NORTH STAR (IRE)");
    // A name not in the sire list is marked, as in the mating window, and completed from it.
    auto* damDamSire = planner->findChild<QLineEdit*>("damDamSire");
    QTest::keyClicks(damDamSire, "HARLOX");
    damSire->setFocus(); // marked once the player has left the box
    EXPECT_TRUE(ui::SireCompleter::isMarked(damDamSire));
    damDamSire->clear();
    EXPECT_FALSE(ui::SireCompleter::isMarked(damDamSire));
    waitForPlan(planner);
    ASSERT_EQ(planner->model()->rowCount(), 3);

    // Filters narrow the table at once; the count says how many are shown. The
    // stallion chosen stays chosen through a filter and a sort that keep him.
    QTableView* table = planner->table();
    for (int row = 0; row < 3; ++row)
        if (cell(planner, row, 0) == "RED CAP")
            table->selectRow(row);
    const auto chosen = [&] {
        const QModelIndexList rows = table->selectionModel()->selectedRows();
        return rows.size() == 1 && table->currentIndex().row() == rows[0].row() ? cell(planner, rows[0].row(), 0)
                                                                                : QString();
    };
    ASSERT_EQ(chosen(), "RED CAP");
    QTest::keyClicks(planner->findChild<QLineEdit*>("sireFilter"), "red");
    EXPECT_EQ(planner->model()->rowCount(), 2);
    EXPECT_EQ(planner->findChild<QLabel*>("rowCount")->text(), "2 of 3 stallions");
    EXPECT_EQ(chosen(), "RED CAP");
    table->sortByColumn(0, Qt::DescendingOrder);
    table->sortByColumn(0, Qt::AscendingOrder);
    EXPECT_EQ(chosen(), "RED CAP");

    // Export writes the rows as shown; Ctrl+C copies the selection tab-separated.
    seam.savePath = QString::fromStdString(dir.file("plan.csv"));
    QTest::mouseClick(planner->findChild<QPushButton*>("export"), Qt::LeftButton);
    const std::string csv = readFile(dir.file("plan.csv"));
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 4); // the mare's line, the header, two rows
    EXPECT_EQ(csv.rfind("\"Planned for foal's Dam-Sire NORTH STAR (IRE), Dam's Dam-Sire (blank)\"\n"
                        "sire,siresire,siredamsire,B,",
                        0),
              0u)
        << csv;
    EXPECT_NE(csv.find("MR. RED-CAP,NORTH STAR,OLD GREY,"), std::string::npos) << csv;

    planner->table()->setFocus();
    planner->table()->selectAll();
    QTest::keyClick(planner->table(), Qt::Key_C, Qt::ControlModifier);
    const QStringList copied = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(copied.size(), 4);
    EXPECT_TRUE(copied[0].startsWith("Planned for foal's Dam-Sire NORTH STAR (IRE)"));
    EXPECT_TRUE(copied[1].startsWith("Sire\tB\tI\tC\t")) << copied[1].toStdString();
    EXPECT_EQ(copied[2].split('\t').size(), kPlanColumns);
    EXPECT_EQ(copied[2].split('\t')[0].toStdString(), "MR. RED-CAP");
    EXPECT_TRUE(seam.warnings.empty());
}

TEST_F(PlannerTest, AWholeLongTableSelectedStaysSelectedThroughAFilter)
{
    std::string sires; // 104 stallions: half of them RED, none of the others holding an R
    for (char a = 'A'; a <= 'Z'; ++a)
        for (const char b : {'A', 'B'})
            for (const char* line : {"RED ", "BLUE "})
                sires += line + std::string{a, b} + ",X,Y,Z\r\n";
    TempDir other;
    chooseAnotherFolder(other, sires, horseLines(1, "ANY MARE", "Mare"));
    lookUp("1");
    main->openPlanner();
    ui::PlannerForm* planner = main->plannerForm();
    ASSERT_NE(planner, nullptr);
    waitForPlan(planner);
    ASSERT_EQ(planner->model()->rowCount(), 104);
    planner->table()->selectAll();
    QTest::keyClicks(planner->findChild<QLineEdit*>("sireFilter"), "RED");
    ASSERT_EQ(planner->model()->rowCount(), 52);
    EXPECT_EQ(planner->table()->selectionModel()->selectedRows().size(), 52);

    // All of them to the comparison: the first six, and it is said once that there is no more room.
    planner->activateWindow();
    EXPECT_SOON(QApplication::activeWindow() == planner, 5000);
    planner->table()->setFocus();
    seam.warnings.clear();
    QTest::keyClick(planner->table(), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_NE(main->compareForm(), nullptr);
    EXPECT_EQ(main->compareForm()->shown().size(), 6u);
    EXPECT_EQ(seam.warnings.size(), 1u);
}

TEST_F(PlannerTest, SaysWhichNamesStandMoreThanOnceInTheSireListAndWhichLineCounts)
{
    TempDir other;
    // RED CAP twice with other lines: one row, the line the scan takes named.
    chooseAnotherFolder(other, guiSireList() + "RED CAP,SECOND LINE,X,Y\r\n",
                        "1,BRIGHT FILLY,3,Filly\r\n11,STAR LANTERN (IRE),A,B,C\r\n12,NOBODY,D,E,F\r\n13,G,H,I,J\r\n");
    lookUp("1");
    main->openPlanner();
    ui::PlannerForm* planner = main->plannerForm();
    ASSERT_NE(planner, nullptr);
    waitForPlan(planner);
    ASSERT_EQ(planner->model()->rowCount(), 3);
    EXPECT_EQ(planner->findChild<QLabel*>("rowCount")->text(), "3 of 3 stallions (list: 3 stallions, 4 lines)");
    // Her Sire STAR LANTERN (IRE) is listed nowhere, so the scan reads both and the last counts.
    EXPECT_TRUE(status(planner).contains("In the sire list more than once (one row each): RED CAP stands on lines 3 "
                                         "and 4; line 4 counts"))
        << status(planner).toStdString();
    const auto row = planner->model()->match(planner->model()->index(0, 0), Qt::DisplayRole, "RED CAP");
    ASSERT_EQ(row.size(), 1);
    EXPECT_EQ(cell(planner, row[0].row(), 11), "SECOND LINE"); // Sire's Sire
}

TEST_F(PlannerTest, ItFollowsTheMatingWindowsLinesAndSaysWhatTheMainWindowShowsNow)
{
    lookUp("1"); // BRIGHT FILLY
    main->openPlanner();
    ui::PlannerForm* planner = main->plannerForm();
    ASSERT_NE(planner, nullptr);
    waitForPlan(planner);
    auto* shownMare = planner->findChild<QRadioButton*>("shownMare");
    EXPECT_EQ(shownMare->text(), "The mare shown in the main window");

    // A foal in the main window: the planner says so beside the mare it planned for.
    main->hypoMateClick();
    ui::SubForm* sub = main->subForm();
    ASSERT_NE(sub, nullptr);
    sub->box(0)->setText("RED CAP");
    sub->box(1)->setText("NORTH STAR (IRE)");
    sub->box(2)->setText("OLD GREY");
    QTest::mouseClick(sub->submitButton(), Qt::LeftButton);
    EXPECT_TRUE(shownMare->text().contains("now shows a foal")) << shownMare->text().toStdString();

    // Ctrl+M in the mating window plans for the mare of its typed lines.
    sub->activateWindow();
    EXPECT_SOON(QApplication::activeWindow() == sub, 5000);
    QTest::keyClick(sub->box(0), Qt::Key_M, Qt::ControlModifier);
    waitForPlan(planner);
    EXPECT_TRUE(planner->findChild<QRadioButton*>("typedMare")->isChecked());
    EXPECT_EQ(named(planner, "damSire")->text(), "NORTH STAR (IRE)");
    EXPECT_EQ(named(planner, "damDamSire")->text(), "OLD GREY");
    EXPECT_TRUE(status(planner).contains("NORTH STAR (IRE)")) << status(planner).toStdString();

    lookUp("1"); // her again
    EXPECT_EQ(shownMare->text(), "The mare shown in the main window");
}

TEST_F(PlannerTest, ANamedTargetFillsTheBoxesWithItsRangesAndTheRowsFollow)
{
    lookUp("1");
    ui::PlannerForm* planner = openPlanner();
    ASSERT_NE(planner, nullptr);
    auto* targets = planner->findChild<QComboBox*>("namedTarget");
    ASSERT_NE(targets, nullptr);
    const int classic = targets->findText("Classic distances");
    ASSERT_GT(classic, 0);
    targets->setCurrentIndex(classic);
    emit targets->activated(classic);
    EXPECT_EQ(targets->currentIndex(), 0); // offered again, the boxes now the player's to change
    EXPECT_EQ(named(planner, "diMin")->text(), "");
    EXPECT_EQ(named(planner, "diMax")->text(), "4.00");
    EXPECT_EQ(named(planner, "cdMax")->text(), "1.25");
    waitForPlan(planner);
    const ValueRange di = *planner->model()->query().di, cd = *planner->model()->query().cd;
    EXPECT_EQ(di.max, 4.0);
    EXPECT_EQ(cd.max, 1.25);
    for (int row = 0; row < planner->model()->rowCount(); ++row) {
        const QString shown = cell(planner, row, 10);
        EXPECT_TRUE(shown != "INF" && shown != "--" && shown.toDouble() <= 4.0) << shown.toStdString();
    }
    // The best mares and the season offer the same targets.
    EXPECT_NE(planner->maresPane()->findChild<QComboBox*>("maresNamedTarget"), nullptr);
}

TEST_F(PlannerTest, ATargetSavedInThePlannerIsOfferedInTheSeasonAndRemovedThere)
{
    lookUp("1");
    ui::PlannerForm* planner = openPlanner();
    ASSERT_NE(planner, nullptr);
    named(planner, "diMin")->setText("0.5");
    named(planner, "cdMax")->setText("1.1");
    named<QSpinBox>(planner, "minTotal")->setValue(2);
    const auto total =
        std::find(ui::PlannerModel::kColumns.begin(), ui::PlannerModel::kColumns.end(), PlanColumn::Total) -
        ui::PlannerModel::kColumns.begin();
    planner->table()->horizontalHeader()->setSortIndicator(static_cast<int>(total), Qt::DescendingOrder);
    const auto choose = [](QComboBox* box, const QString& text) {
        const int index = box->findText(text);
        ASSERT_GT(index, 0) << text.toStdString();
        box->setCurrentIndex(index);
        emit box->activated(index);
    };

    // Saved under a name typed; a built-in target's name is refused, as is a bound that is no number.
    seam.textAnswers = {"classic DISTANCES", "Sprints", "Sprints"};
    auto* targets = named<QComboBox>(planner, "namedTarget");
    choose(targets, "Save target as\u2026");
    ASSERT_EQ(seam.warnings.size(), 1u);
    EXPECT_TRUE(seam.warnings[0].second.contains("Quindle knows already")) << seam.warnings[0].second.toStdString();
    named(planner, "cdMax")->setText("1.1x");
    choose(targets, "Save target as\u2026");
    ASSERT_EQ(seam.warnings.size(), 2u);
    EXPECT_EQ(readSavedTargets(savedTargetsFile()).saved.find("Sprints"), nullptr);
    named(planner, "cdMax")->setText("1.1");
    choose(targets, "Save target as\u2026");
    const SavedTargetsRead kept = readSavedTargets(savedTargetsFile());
    ASSERT_EQ(kept.status, Outcome::Done) << kept.error;
    const SavedTarget* sprints = kept.saved.find("Sprints");
    ASSERT_NE(sprints, nullptr);
    EXPECT_EQ(sprints->di->min, 0.5);
    EXPECT_EQ(sprints->cd->max, 1.1);
    EXPECT_EQ(sprints->minTotal, 2);
    EXPECT_EQ(sprints->sort, "total");
    EXPECT_TRUE(sprints->descending);
    EXPECT_EQ(kept.saved.targets.size(), 1u);
    EXPECT_GT(named<QComboBox>(planner->maresPane(), "maresNamedTarget")->findText("Sprints"), 0);

    // The season offers it: its boxes and its order take the target.
    main->openSeason();
    ui::SeasonForm* season = main->seasonForm();
    ASSERT_NE(season, nullptr);
    EXPECT_SOON(!season->busy(), 10000);
    auto* sortBy = named<QComboBox>(season, "sortBy");
    sortBy->setCurrentIndex(sortBy->findText("DI"));
    named<QCheckBox>(season, "descending")->setChecked(false);
    auto* seasonTargets = named<QComboBox>(season, "namedTarget");
    choose(seasonTargets, "Sprints");
    EXPECT_EQ(named(season, "diMin")->text(), "0.50");
    EXPECT_EQ(named(season, "diMax")->text(), "");
    EXPECT_EQ(named(season, "cdMax")->text(), "1.10");
    EXPECT_EQ(named<QSpinBox>(season, "minTotal")->value(), 2);
    EXPECT_EQ(season->query().sortBy, PlanColumn::Total);
    EXPECT_TRUE(season->query().descending);

    // Removed from the season while its boxes hold it: gone from the file and from the planner's list.
    choose(seasonTargets, "Remove this target");
    EXPECT_EQ(readSavedTargets(savedTargetsFile()).saved.find("Sprints"), nullptr);
    EXPECT_EQ(targets->findText("Sprints"), -1);
    EXPECT_EQ(seasonTargets->findText("Sprints"), -1);
    // With nothing saved in its boxes, Remove says so and removes nothing.
    choose(seasonTargets, "Remove this target");
    EXPECT_EQ(seam.informations.size(), 1u);
    season->close();
}
