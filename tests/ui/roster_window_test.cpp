// The season's roster built in the windows: from the main window's colt or
// horse, My Horses and a typed name, its books edited in the season window's
// pane, and the plan made with its stallions alone.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTableView>
#include <QTreeView>

#include "data/sire_list.h"
#include "gui_fixture.h"
#include "planner/sire_plan.h"
#include "app/roster_book.h"
#include "stable/roster_file.h"
#include "support/run_process.h"
#include "ui/roster_pane.h"
#include "ui/roster_store.h"
#include "ui/season_form.h"
#include "ui/stable_store.h"

using namespace quindle;
using namespace quindle::testing;

namespace {

class RosterWindowTest : public GuiTest {
protected:
    void activateMain()
    {
        main->activateWindow();
        EXPECT_SOON(QApplication::activeWindow() == main.get(), 5000);
    }
    ui::SeasonForm* openSeason()
    {
        activateMain();
        QTest::keyClick(main.get(), Qt::Key_M, Qt::ControlModifier | Qt::ShiftModifier);
        ui::SeasonForm* form = main->seasonForm();
        EXPECT_NE(form, nullptr);
        if (form) {
            EXPECT_SOON(!form->busy(), 10000);
        }
        return form;
    }
    std::vector<RosterEntry> kept() const { return readRoster(rosterFileFor(folder)).roster.stallions; }
    // The stallion each mare's line shows in the season decided, empty for none.
    static std::vector<QString> given(ui::SeasonForm* season)
    {
        std::vector<QString> stallions;
        for (int dam = 0; dam < season->model()->rowCount(); ++dam) {
            QStandardItem* line = season->model()->item(dam);
            stallions.push_back(line->rowCount() ? line->child(0, 1)->text() : QString());
        }
        return stallions;
    }
};

} // namespace

TEST_F(RosterWindowTest, ARosterBuiltInTheWindowsRulesThePlan)
{
    // The colt the main window shows, by Ctrl+Shift+R; a filly is refused and said.
    lookUp(QStringLiteral("2"));
    activateMain();
    QTest::keyClick(main.get(), Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(kept().size(), 1u);
    EXPECT_EQ(kept()[0].id, 2);
    EXPECT_EQ(kept()[0].name, "DARK COLT");
    lookUp(QStringLiteral("1"));
    activateMain();
    QTest::keyClick(main.get(), Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(kept().size(), 1u);
    ASSERT_FALSE(seam.warnings.empty());
    EXPECT_TRUE(seam.warnings.back().second.contains("is a Filly, not a colt or horse"))
        << seam.warnings.back().second.toStdString();

    // The colts and horses of My Horses in one step: the horse 5 (the colt 2 is in already, the mare 3 is no stallion).
    ASSERT_TRUE(main->stable()->add(3, main.get()));
    ASSERT_TRUE(main->stable()->add(5, main.get()));
    ui::SeasonForm* season = openSeason();
    ASSERT_NE(season, nullptr);
    ui::RosterPane* pane = season->rosterPane();
    ASSERT_NE(pane, nullptr);
    QTest::mouseClick(named<QPushButton>(season, "rosterAddMyHorses"), Qt::LeftButton);
    ASSERT_EQ(kept().size(), 2u);
    EXPECT_EQ(kept()[1].id, 5);
    // A name typed as the sire list holds it; another is refused and named.
    QTest::keyClicks(pane->typed(), QStringLiteral("RED CAP"));
    QTest::keyClick(pane->typed(), Qt::Key_Return);
    ASSERT_EQ(kept().size(), 3u);
    EXPECT_EQ(kept()[2].name, "RED CAP");
    EXPECT_TRUE(pane->typed()->text().isEmpty());
    ASSERT_EQ(pane->table()->model()->rowCount(), 3);
    EXPECT_EQ(pane->table()->model()->index(2, 1).data().toString(), QStringLiteral("OLD GREY / NORTH STAR"));

    // The plan for the mares 1 and 3 with the roster: RED CAP alone, the colt and horse of the breeding file noted.
    named<QRadioButton>(season, "fromIds")->setChecked(true);
    QTest::keyClicks(named(season, "damIds"), QStringLiteral("1 3"));
    QTest::keyClick(named(season, "damIds"), Qt::Key_Return);
    EXPECT_SOON(!season->busy(), 10000);
    named<QCheckBox>(season, "assign")->setChecked(true);
    named<QSpinBox>(season, "book")->setValue(1);
    const std::vector<QString> wholeList = given(season);
    ASSERT_EQ(wholeList.size(), 2u);
    EXPECT_NE(wholeList[0], wholeList[1]); // a book of one parts them over the whole list
    named<QComboBox>(season, "stallionsFrom")->setCurrentIndex(1);
    EXPECT_TRUE(season->usesRoster());
    named<QSpinBox>(season, "book")->setValue(0); // no limit
    // Export writes, byte for byte, what the command line writes for the same roster and rules.
    const auto sameAsCli = [&] {
        TempDir out;
        seam.savePath = QString::fromStdString(out.file("decided.csv"));
        QTest::mouseClick(named<QPushButton>(season, "export"), Qt::LeftButton);
        const auto cli = runProcess(QUINDLE_CLI,
                                    {"--data-dir", folder.dir(), "season", "--assign", "--dams", "1,3", "--roster",
                                     rosterFileFor(folder), "--sort", "total,desc"},
                                    out.path().string());
        EXPECT_NE(cli.exitCode, 2) << cli.err;
        EXPECT_EQ(readFile(out.file("decided.csv")), cli.out);
    };
    // Only the roster's stallions, the colt and the horse of the breeding file by their own records.
    EXPECT_EQ(season->assignment()->planned(), 2u);
    for (int dam = 0; dam < season->model()->rowCount(); ++dam) {
        QStandardItem* line = season->model()->item(dam);
        ASSERT_EQ(line->rowCount(), 1);
        const QString stallion = line->child(0, 1)->text();
        EXPECT_TRUE(stallion == "RED CAP" || stallion == "DARK COLT" || stallion == "WELL, WELL")
            << stallion.toStdString();
        const auto mating = season->matingAt(line->child(0, 0)->index());
        ASSERT_TRUE(mating.has_value());
        EXPECT_EQ(mating->stallion.has_value(), stallion != "RED CAP"); // his record gives his side of the foal
    }
    sameAsCli();

    // A book edited in the pane is kept in the file and rules the plan: RED CAP covers none.
    QStandardItemModel* rows = qobject_cast<QStandardItemModel*>(pane->table()->model());
    ASSERT_NE(rows, nullptr);
    rows->item(2, 2)->setText(QStringLiteral("0"));
    EXPECT_SOON(kept()[2].book == 0u, 5000);
    EXPECT_EQ(season->assignment()->planned(), 2u); // the colt or the horse of the breeding file
    for (const QString& stallion : given(season))
        EXPECT_TRUE(stallion == "DARK COLT" || stallion == "WELL, WELL") << stallion.toStdString();
    // Enter on his row shows the mating in the main window, his side of the foal from his own record.
    QStandardItem* first = season->model()->item(0)->child(0, 0);
    season->tree()->setFocus();
    season->tree()->setCurrentIndex(first->index());
    QTest::keyClick(season->tree(), Qt::Key_Return);
    EXPECT_EQ(lineageBox(main, 0)->text(), season->model()->item(0)->child(0, 1)->text());
    EXPECT_TRUE(named<QLabel>(season, "seasonStatus")->text().contains("RED CAP has a book of 0"))
        << named<QLabel>(season, "seasonStatus")->text().toStdString();
    sameAsCli();
    rows->item(2, 2)->setText(QStringLiteral("-3")); // refused, and the book kept shown again
    EXPECT_SOON(rows->item(2, 2)->text() == QStringLiteral("0"), 5000);
    EXPECT_EQ(kept()[2].book, 0u);
    EXPECT_TRUE(seam.warnings.back().second.contains("A book is 0 or more mares"));

    // Delete takes the stallions selected out: none of the roster is left for the mares.
    pane->table()->setFocus();
    pane->table()->selectAll();
    QTest::keyClick(pane->table(), Qt::Key_Delete);
    EXPECT_TRUE(kept().empty());
    EXPECT_EQ(season->assignment()->planned(), 0u);

    // What a script keeps meanwhile is shown once the window is active again (as the system tells it).
    RosterBook script;
    script.open(folder);
    ASSERT_EQ(script.add({RosterKey{0, "MR. RED-CAP"}}).status, Outcome::Done);
    season->activateWindow();
    EXPECT_SOON(QApplication::activeWindow() == season, 5000);
    QEvent back(QEvent::ActivationChange);
    QApplication::sendEvent(pane, &back);
    EXPECT_EQ(pane->table()->model()->rowCount(), 1);
    EXPECT_EQ(given(season), (std::vector<QString>{QStringLiteral("MR. RED-CAP"), QStringLiteral("MR. RED-CAP")}));

    // The choice is kept for the data folder: a season window opened again keeps to the roster.
    season->close();
    EXPECT_SOON(main->seasonForm() == nullptr, 5000);
    season = openSeason();
    ASSERT_NE(season, nullptr);
    EXPECT_TRUE(season->usesRoster());
}
