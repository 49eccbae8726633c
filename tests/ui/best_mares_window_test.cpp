// The planner's best mares for a stallion, and where the windows open it.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <algorithm>

#include "data/sire_list.h"
#include "main_state/record_stallion.h"
#include "gui_fixture.h"
#include "planner/best_mares.h"
#include "sample_data.h"
#include "support/run_process.h"
#include "ui/best_mares_pane.h"
#include "ui/mares_model.h"
#include "ui/planner_form.h"
#include "ui/planner_model.h"
#include "ui/session.h"
#include "ui/startup_ui.h"
#include "ui/sub_form.h"
#include "ui/stable_store.h"

using namespace quindle;
using namespace quindle::testing;

namespace {

void settle(ui::PlannerForm* planner) { EXPECT_SOON(!planner->busy(), 20000); }

QString cell(const ui::MaresModel* model, int row, MareColumn column)
{
    return model->data(model->index(row, static_cast<int>(column)), Qt::DisplayRole).toString();
}

} // namespace

TEST(BestMaresWindow, RowsAreTheCoreAnswerAndTheCommandLinesAndARowShowsItsMating)
{
    RecordingSeam seam;
    ui::setSeam(&seam);
    TempDir dir;
    const DataFolder folder(dir.file("pdg"));
    sample::writeDataFolder(folder.dir(), {3000, 11, 0, false});
    auto chefs = ui::startUp(folder, dir.file("Quindle.nnn"));
    ASSERT_TRUE(chefs.has_value());
    const ChefTable chefTable = *chefs;
    ui::MainForm main(folder, std::move(*chefs));
    main.show();
    const auto sires = std::make_shared<const SireIndex>(readSireList(folder.sireList()));
    const std::string stallion(sires->stallions().at(3));

    main.openBestMares(stallion);
    ui::PlannerForm* planner = main.plannerForm();
    ASSERT_NE(planner, nullptr);
    ui::BestMaresPane* pane = planner->maresPane();
    EXPECT_EQ(planner->directions()->currentWidget(), pane);
    settle(planner);
    // A target: DI at most 3, sorted by DI highest first, the first 25.
    named(pane, "maresDiMax")->setText("3");
    named<QComboBox>(pane, "maresSortBy")->setCurrentText("DI");
    named<QSpinBox>(pane, "maresTop")->setValue(25);

    const BestMares expected = bestMares(folder.breedingFile(), sires, stallion, chefTable);
    const std::vector<std::uint32_t> order = selectMares(expected, pane->query());
    ASSERT_EQ(pane->query().sortBy, MareColumn::Di);
    ASSERT_TRUE(pane->query().descending);
    ASSERT_EQ(order.size(), 25u);
    ui::MaresModel* model = pane->model();
    ASSERT_EQ(model->rowCount(), 25);
    for (int row = 0; row < 25; ++row) {
        const MareRow& mare = expected.rows[order[static_cast<std::size_t>(row)]];
        EXPECT_EQ(cell(model, row, MareColumn::Id).toInt(), mare.id) << row;
        EXPECT_EQ(cell(model, row, MareColumn::Di).toStdString(), expected.numberText(mare, MareColumn::Di)) << row;
        EXPECT_EQ(cell(model, row, MareColumn::Total).toStdString(), expected.numberText(mare, MareColumn::Total));
    }
    EXPECT_EQ(named<QLabel>(pane, "maresCount")->text(), QStringLiteral("25 of %1 mares").arg(expected.rows.size()));

    // Export writes what `quindle-cli mares` writes for the same target, under the stallion's line.
    seam.savePath = QString::fromStdString(dir.file("mares.csv"));
    QTest::mouseClick(named<QPushButton>(pane, "exportMares"), Qt::LeftButton);
    const ProcessResult cli = runProcess(
        QUINDLE_CLI,
        {"--data-dir", folder.dir(), "mares", "--sire", stallion, "--di", ":3", "--sort", "di,desc", "--top", "25"},
        dir.path().string());
    ASSERT_EQ(cli.exitCode, 0) << cli.err;
    EXPECT_EQ(readFile(dir.file("mares.csv")), "\"Best mares for " + stallion + "\"\n" + cli.out);

    // Ctrl+C copies the stallion's line, the titles and the selected rows, tab-separated, in the command line's
    // columns.
    pane->table()->setFocus();
    pane->table()->selectionModel()->select(model->index(1, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    pane->table()->selectionModel()->select(model->index(0, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTest::keyClick(pane->table(), Qt::Key_C, Qt::ControlModifier);
    const QStringList copied = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(copied.size(), 4);
    EXPECT_EQ(copied[0].toStdString(), "Best mares for " + stallion);
    EXPECT_EQ(copied[1].split('\t').size(), kMareColumns + 1); // the column titles
    EXPECT_EQ(copied[1].split('\t')[0], pane->table()->model()->headerData(0, Qt::Horizontal).toString());
    EXPECT_EQ(copied[3].split('\t').size(), kMareColumns + 1);
    EXPECT_EQ(copied[3].split('\t')[0].toInt(), expected.rows[order[1]].id);

    // Enter on a row shows that mating in the main window: the stallion over her Sire and Dam-Sire.
    main.hypoMateClick();
    pane->table()->setFocus();
    pane->table()->selectRow(2);
    QTest::keyClick(pane->table(), Qt::Key_Return);
    const MareRow& third = expected.rows[order[2]];
    EXPECT_EQ(main.text(3)->text().toStdString(), stallion);
    EXPECT_EQ(main.text(5)->text().toStdString(), expected.textOf(third, MareText::DamSire));
    EXPECT_EQ(main.text(9)->text().toStdString(), expected.textOf(third, MareText::DamDamSire));
    EXPECT_EQ(main.ageSex()->text(), " New Foal");
    EXPECT_EQ(ptBox(&main, kDiBox)->text().trimmed(), cell(model, 2, MareColumn::Di));
    EXPECT_EQ(ptBox(&main, kTotalBox)->text().trimmed(), cell(model, 2, MareColumn::Total));
    EXPECT_EQ(main.subForm()->box(0)->text().toStdString(), stallion);
    EXPECT_TRUE(seam.warnings.empty());
    main.close();
    ui::setSeam(nullptr);
}

class BestMaresTest : public GuiTest {
protected:
    ui::PlannerForm* openPlanner()
    {
        QTest::keyClick(main.get(), Qt::Key_M, Qt::ControlModifier);
        ui::PlannerForm* planner = main->plannerForm();
        EXPECT_NE(planner, nullptr);
        if (planner)
            settle(planner);
        return planner;
    }
};

TEST_F(BestMaresTest, OpensOnTheShownStallionFollowsTheMainWindowAndTakesOnlyMyHorses)
{
    lookUp("2"); // DARK COLT, who is not in the sire list: his own record gives his line
    ui::PlannerForm* planner = openPlanner();
    ASSERT_NE(planner, nullptr);
    ui::BestMaresPane* pane = planner->maresPane();
    EXPECT_EQ(planner->directions()->currentWidget(), pane);
    EXPECT_EQ(pane->stallionBox()->text(), "DARK COLT");
    EXPECT_EQ(named<QLabel>(pane, "maresStatus")->text(), "Best mares for DARK COLT (from the breeding file, horse 2)");
    ASSERT_EQ(pane->model()->rowCount(), 2);
    // A row is the mating with him, for her: the main window says so in its title.
    pane->submitRow(0);
    EXPECT_EQ(main->text(3)->text(), "DARK COLT");
    EXPECT_EQ(main->text(4)->text(), "NOBODY"); // his Sire, from his record
    EXPECT_EQ(main->text(5)->text(), "STAR LANTERN (IRE)");
    EXPECT_TRUE(main->windowTitle().contains("foal for BRIGHT FILLY (horse 1)")) << main->windowTitle().toStdString();
    EXPECT_TRUE(main->windowTitle().contains("from the breeding file, horse 2"));
    const StallionLookup him = findStallion(folder, 2);
    ASSERT_EQ(him.status, Outcome::Done);
    MainBoxes expected;
    submitStallionMating(expected, him.stallion, {"", "STAR LANTERN (IRE)", "RED CAP"}, folder.sireList(),
                         main->chefs());
    EXPECT_EQ(main->readBoxes().lineage, expected.lineage);
    EXPECT_EQ(main->readBoxes().profileTexts, expected.profileTexts);

    // A filly turns it back to the stallions for her; a colt then leaves her plan on its tab.
    lookUp("1");
    EXPECT_EQ(planner->directions()->currentIndex(), 0);
    settle(planner);
    lookUp("2");
    EXPECT_EQ(planner->directions()->currentWidget(), pane);
    settle(planner);
    EXPECT_TRUE(named<QLabel>(planner, "mareStatus")->text().contains("BRIGHT FILLY"));
    EXPECT_EQ(planner->model()->rowCount(), 3);

    // A name typed as in the mating window: lower case is raised, a digit refused.
    planner->directions()->setCurrentWidget(pane);
    pane->stallionBox()->clear();
    QTest::keyClicks(pane->stallionBox(), "red cap1");
    EXPECT_EQ(pane->stallionBox()->text(), "RED CAP");
    QTest::keyClick(pane->stallionBox(), Qt::Key_Return);
    settle(planner);
    ASSERT_EQ(pane->model()->rowCount(), 2); // the "Filly" and the "mare" of the file
    EXPECT_EQ(cell(pane->model(), 0, MareColumn::Name), "BRIGHT FILLY");
    EXPECT_EQ(cell(pane->model(), 1, MareColumn::Name), "LOWER MARE");

    // Only My Horses: none kept, then the filly kept.
    named<QCheckBox>(pane, "onlyMyHorses")->setChecked(true);
    settle(planner);
    EXPECT_EQ(pane->model()->rowCount(), 0);
    ASSERT_TRUE(main->stable()->add(1, main.get()));
    settle(planner);
    EXPECT_EQ(pane->model()->rowCount(), 1);
    EXPECT_TRUE(named<QLabel>(pane, "maresStatus")->text().startsWith("Best mares for RED CAP among My Horses"));

    // The pane follows the main window's zoom: its face and its columns.
    const int nameWidth = pane->table()->columnWidth(static_cast<int>(MareColumn::Name));
    const qreal face = pane->table()->font().pointSizeF() + pane->table()->font().pixelSize();
    main->setZoom(150);
    EXPECT_GT(pane->table()->columnWidth(static_cast<int>(MareColumn::Name)), nameWidth);
    EXPECT_GT(pane->table()->font().pointSizeF() + pane->table()->font().pixelSize(), face);
}

// The window shows each batch the ranking hands it before the ranking ends:
// rows and a growing count while it still ranks; its timers keep firing.
TEST(BestMaresWindow, RowsComeInAsTheyAreRankedWithTheCountGrowingAndTheWindowKeepsTurning)
{
    RecordingSeam seam;
    ui::setSeam(&seam);
    TempDir dir;
    const DataFolder folder(dir.file("pdg"));
    sample::writeDataFolder(folder.dir(), {100000, 5, 0, false}); // some 20 MB: the ranking outlasts a batch's painting
    auto chefs = ui::startUp(folder, dir.file("Quindle.nnn"));
    ASSERT_TRUE(chefs.has_value());
    const auto sires = std::make_shared<const SireIndex>(readSireList(folder.sireList()));
    const std::string stallion(sires->stallions().at(7));
    const BestMares expected = bestMares(folder.breedingFile(), sires, stallion, *chefs);
    ui::Session session(DataSession(folder, std::move(*chefs)));
    ui::BestMaresPane pane(&session, nullptr, nullptr);
    pane.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&pane));

    std::vector<int> countsWhileRanking; // the mares ranked so far, at each batch shown before the end
    // The player picks a mare from the first rows; the rows coming in after keep her picked.
    QString picked;
    QObject::connect(pane.model(), &QAbstractItemModel::modelReset, [&] {
        if (pane.busy() && pane.model()->rowCount() > 0)
            countsWhileRanking.push_back(pane.model()->allRows());
    });
    QObject::connect(
        pane.model(), &QAbstractItemModel::modelReset, &pane,
        [&] {
            if (picked.isEmpty() && pane.busy() && pane.model()->rowCount() > 1) {
                pane.table()->selectRow(1);
                picked = cell(pane.model(), 1, MareColumn::Id);
            }
        },
        Qt::QueuedConnection);
    bool turned = false; // a timer fired while the pane ranked
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { turned = turned || pane.busy(); });
    tick.start(1);
    pane.planFor(stallion);
    EXPECT_SOON(!pane.busy(), 30000);

    ASSERT_GE(countsWhileRanking.size(), 2u) << "the rows did not come in while the file was ranked";
    EXPECT_LT(countsWhileRanking.back(), static_cast<int>(expected.rows.size()));
    EXPECT_TRUE(std::is_sorted(countsWhileRanking.begin(), countsWhileRanking.end()));
    EXPECT_LT(countsWhileRanking.front(), countsWhileRanking.back());
    EXPECT_TRUE(turned) << "the window stood still while it ranked";
    EXPECT_TRUE(named<QLabel>(&pane, "maresCount")->text().startsWith(QString::number(expected.rows.size()) + " of "));
    // In the end the rows are the whole ranking, in the target's order.
    const std::vector<std::uint32_t> order = selectMares(expected, pane.query());
    ASSERT_EQ(pane.model()->rowCount(), static_cast<int>(order.size()));
    for (int row = 0; row < pane.model()->rowCount(); row += 97) {
        const MareRow& mare = expected.rows[order[static_cast<std::size_t>(row)]];
        EXPECT_EQ(cell(pane.model(), row, MareColumn::Id).toInt(), mare.id) << row;
        EXPECT_EQ(cell(pane.model(), row, MareColumn::Total).toStdString(),
                  expected.numberText(mare, MareColumn::Total));
        EXPECT_EQ(cell(pane.model(), row, MareColumn::Name).toStdString(), expected.textOf(mare, MareText::Name));
    }
    ASSERT_FALSE(picked.isEmpty());
    const QModelIndexList selected = pane.table()->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(cell(pane.model(), selected[0].row(), MareColumn::Id), picked);
    EXPECT_EQ(pane.table()->currentIndex().row(), selected[0].row());
    EXPECT_TRUE(seam.warnings.empty());
    ui::setSeam(nullptr);
}
