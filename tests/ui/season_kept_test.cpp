// The season window keeps its season per data folder: a plan made, a pair
// locked and a decision accepted, then the window closed and a new one made on
// the same data showing them again; a damaged file and rules that cannot stand.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeView>
#include <filesystem>

#include "app/kept_season.h"
#include "gui_fixture.h"
#include "ui/season_form.h"
#include "ui/season_rules_pane.h"

using namespace quindle;
using namespace quindle::testing;

namespace {

class SeasonKeptTest : public GuiTest {
protected:
    ui::SeasonForm* openSeason()
    {
        main->activateWindow();
        EXPECT_SOON(QApplication::activeWindow() == main.get(), 5000);
        QTest::keyClick(main.get(), Qt::Key_M, Qt::ControlModifier | Qt::ShiftModifier);
        ui::SeasonForm* form = main->seasonForm();
        EXPECT_NE(form, nullptr);
        if (form) {
            EXPECT_SOON(!form->busy(), 10000);
        }
        return form;
    }
    // The stallion's row of the mare at `dam` whose Sire column holds `sire`.
    static QModelIndex rowOf(ui::SeasonForm* form, int dam, const QString& sire)
    {
        const QStandardItem* mare = form->model()->item(dam);
        for (int r = 0; r < mare->rowCount(); ++r)
            if (mare->child(r, 1)->text() == sire)
                return mare->child(r, 0)->index();
        return {};
    }
    static QStringList rules(ui::SeasonForm* form)
    {
        QStringList texts;
        const QListWidget* list = form->rulesPane()->list();
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
        return texts;
    }
    // Presses keys on the table with `row` current, as the player does.
    static void press(ui::SeasonForm* form, const QModelIndex& row, QKeySequence keys)
    {
        form->tree()->setFocus();
        form->tree()->setCurrentIndex(row);
        QTest::keySequence(form->tree(), keys);
        EXPECT_SOON(!form->busy(), 10000);
    }
};

} // namespace

TEST_F(SeasonKeptTest, LocksAndDecisionsShowAgainInANewWindowOnTheSameData)
{
    ui::SeasonForm* season = openSeason();
    ASSERT_NE(season, nullptr);
    named<QRadioButton>(season, "fromIds")->setChecked(true);
    QTest::keyClicks(named(season, "damIds"), "1 3");
    QTest::keyClick(named(season, "damIds"), Qt::Key_Return);
    EXPECT_SOON(!season->busy() && season->model()->rowCount() == 2, 10000);
    named<QCheckBox>(season, "assign")->setChecked(true);
    named<QSpinBox>(season, "book")->setValue(1);
    ASSERT_NE(season->assignment(), nullptr);
    ASSERT_EQ(season->assignment()->planned(), 2u);

    // BRIGHT FILLY (1) is locked to a stallion the plan did not give her, so LOWER MARE (3) must move.
    const QStandardItem* filly = season->model()->item(0);
    ASSERT_EQ(filly->rowCount(), 1);
    const QString given = filly->child(0, 1)->text();
    const QString other = given == "RED CAP" ? "MR. RED-CAP" : "RED CAP";
    named<QCheckBox>(season, "assign")->setChecked(false); // every stallion of her list shown
    const QModelIndex otherRow = rowOf(season, 0, other);
    ASSERT_TRUE(otherRow.isValid());
    QStringList offered;
    {
        const std::unique_ptr<QMenu> menu = season->rowMenu(otherRow); // gone before its window
        for (const QAction* action : menu->actions())
            offered << action->text();
    }
    EXPECT_TRUE(offered.contains("Lock this pair") && offered.contains("Accept for this mare") &&
                offered.contains("Rule out this stallion for the season"))
        << offered.join(", ").toStdString();
    press(season, otherRow, QKeySequence(Qt::CTRL | Qt::Key_L));
    named<QCheckBox>(season, "assign")->setChecked(true);
    ASSERT_EQ(season->model()->item(0)->rowCount(), 1);
    EXPECT_EQ(season->model()->item(0)->child(0, 1)->text(), other);
    EXPECT_TRUE(season->model()->item(0)->child(0, 0)->text().endsWith("locked"));
    EXPECT_TRUE(season->model()->item(0)->text().contains("locked to " + other));

    // The mare's stallion in the plan accepted for her.
    ASSERT_EQ(season->model()->item(1)->rowCount(), 1);
    const QString hers = season->model()->item(1)->child(0, 1)->text();
    EXPECT_NE(hers, other) << "his book is full with the lock";
    press(season, season->model()->item(1)->child(0, 0)->index(), QKeySequence(Qt::CTRL | Qt::Key_Return));
    EXPECT_TRUE(season->model()->item(1)->text().contains("decided: " + hers));
    ASSERT_NE(season->kept().decisionOf(3), nullptr);
    EXPECT_TRUE(season->kept().decisionOf(3)->fromPlan);
    EXPECT_EQ(rules(season).size(), 2);

    // Closed, and a new window on the same data, as after a restart: read from the file alone.
    season->close();
    EXPECT_SOON(main->seasonForm() == nullptr, 5000);
    ASSERT_TRUE(std::filesystem::exists(seasonFileFor(folder)));
    season = openSeason();
    ASSERT_NE(season, nullptr);
    EXPECT_SOON(!season->busy() && season->model()->rowCount() == 2, 10000);
    EXPECT_TRUE(named<QRadioButton>(season, "fromIds")->isChecked());
    EXPECT_EQ(named(season, "damIds")->text(), "1 3");
    EXPECT_TRUE(named<QCheckBox>(season, "assign")->isChecked());
    EXPECT_EQ(named<QSpinBox>(season, "book")->value(), 1);
    EXPECT_EQ(season->model()->item(0)->child(0, 1)->text(), other);
    EXPECT_TRUE(season->model()->item(0)->child(0, 0)->text().endsWith("locked"));
    EXPECT_TRUE(season->model()->item(1)->text().contains("decided: " + hers));
    EXPECT_TRUE(season->model()->item(1)->child(0, 0)->text().endsWith("decided"));
    const QStringList kept = rules(season);
    EXPECT_TRUE(kept.contains("Locked: BRIGHT FILLY (1) to " + other)) << kept.join(" | ").toStdString();
    EXPECT_TRUE(kept.contains("Decided: LOWER MARE (3) to " + hers)) << kept.join(" | ").toStdString();

    // Her decision cleared on her line, then the whole season.
    press(season, season->model()->item(1)->index(), QKeySequence(Qt::CTRL | Qt::Key_Backspace));
    EXPECT_EQ(season->kept().decisionOf(3), nullptr);
    EXPECT_FALSE(season->model()->item(1)->text().contains("decided"));
    QTest::mouseClick(named<QPushButton>(season->rulesPane(), "clearSeason"), Qt::LeftButton);
    EXPECT_SOON(!season->busy(), 10000);
    EXPECT_TRUE(season->kept().locks.empty());
    KeptSeasonBook onDisk;
    onDisk.open(folder);
    EXPECT_TRUE(onDisk.season().locks.empty() && onDisk.season().decisions.empty());
    EXPECT_TRUE(onDisk.season().onePerMare) << "the boxes stay";
    EXPECT_TRUE(seam.warnings.empty());
}

TEST_F(SeasonKeptTest, ADamagedFileAndRulesThatCannotStandAreToldAndTheRestPlanned)
{
    const std::string path = seasonFileFor(folder);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    writeFile(path, "{\"target\": [");
    ui::SeasonForm* season = openSeason();
    ASSERT_NE(season, nullptr);
    ASSERT_EQ(seam.warnings.size(), 1u);
    const QString told = seam.warnings[0].second;
    EXPECT_TRUE(told.contains(QString::fromStdString(path)) && told.contains(".damaged")) << told.toStdString();
    EXPECT_FALSE(std::filesystem::exists(path)) << "not written over, nor again until the player acts";
    EXPECT_EQ(readFile(path + ".damaged"), "{\"target\": [");
    season->close();
    EXPECT_SOON(main->seasonForm() == nullptr, 5000);
    EXPECT_FALSE(std::filesystem::exists(path));

    // A lock on a stallion the sire list does not hold, and a mare locked and ruled out at once.
    KeptSeason kept;
    kept.fromStable = false;
    kept.ids = "1 3";
    kept.onePerMare = true;
    kept.locks = {{1, "BRIGHT FILLY", "NO SUCH STALLION"}, {3, "LOWER MARE", "RED CAP"}};
    kept.ruledOut = {"RED CAP"};
    kept.decisions = {{{1, "OLD NAME", "MR. RED-CAP"}, true}}; // ID 1 holds another horse now
    writeFile(path, keptSeasonText(kept, folder.dir()));
    const std::string text = readFile(path);
    season = openSeason();
    ASSERT_NE(season, nullptr);
    EXPECT_SOON(!season->busy() && season->model()->rowCount() == 2, 10000);
    const QString status =
        named<QLabel>(season, "seasonStatus")->text() + named<QLabel>(season, "seasonStatus")->toolTip();
    EXPECT_TRUE(status.contains("NO SUCH STALLION is not in the sire list")) << status.toStdString();
    EXPECT_TRUE(status.contains("horse 3 (LOWER MARE): her lock RED CAP and that stallion ruled out"))
        << status.toStdString();
    EXPECT_TRUE(status.contains("horse 1 (OLD NAME) is now BRIGHT FILLY")) << status.toStdString();
    EXPECT_TRUE(season->model()->item(0)->text().contains("a decision kept for OLD NAME"));
    EXPECT_TRUE(season->rulesPane()->list()->item(0)->text().startsWith(QStringLiteral("\u26A0 Decided")));
    ASSERT_NE(season->assignment(), nullptr);
    EXPECT_EQ(season->assignment()->planned(), 2u) << "the rest still planned";
    EXPECT_EQ(season->assignment()->mares[0].outcome, MareAssignment::Outcome::Planned) << "not by the marked decision";
    EXPECT_EQ(readFile(path), text) << "opening rewrites nothing";
}
