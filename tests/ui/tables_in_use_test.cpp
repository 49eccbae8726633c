// The tables of the search, the planner and the season as a player reads and
// copies them.
#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QTreeView>
#include <QTest>

#include "gui_fixture.h"
#include "stable/stable_file.h"
#include "ui/my_horses_form.h"
#include "ui/my_horses_model.h"
#include "ui/planner_form.h"
#include "ui/search_form.h"
#include "ui/season_form.h"
#include "ui/stable_store.h"
#include "ui/search_model.h"

using namespace quindle;
using namespace quindle::testing;

namespace {

// How far the ink of a header's title stands from the middle of its section,
// in pixels (negative: to the left).
int titleOffCentre(QHeaderView* header, const QString& title)
{
    int section = -1;
    for (int c = 0; c < header->count(); ++c)
        if (header->model()->headerData(c, Qt::Horizontal).toString() == title)
            section = c;
    if (section < 0)
        throw std::runtime_error("no title " + title.toStdString());
    const QImage image = header->viewport()->grab().toImage();
    const int left = header->sectionViewportPosition(section), width = header->sectionSize(section);
    int first = -1, last = -1;
    for (int x = left + 3; x < left + width - 3; ++x)
        for (int y = 2; y < image.height() - 2; ++y)
            if (qGray(image.pixel(x, y)) < 110) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
    return first < 0 ? 10000 : (first + last) / 2 - (left + width / 2);
}

} // namespace

class TablesInUseTest : public GuiTest {
protected:
    ui::SearchForm* foalsOf(const char* sire)
    {
        main->openFoalsOf(sire);
        ui::SearchForm* search = main->searchForm();
        EXPECT_NE(search, nullptr);
        if (search) {
            EXPECT_SOON(!search->busy(), 10000);
        }
        return search;
    }
    static std::vector<QString> ids(ui::SearchForm* search)
    {
        std::vector<QString> cells;
        for (int row = 0; row < search->model()->rowCount(); ++row)
            cells.push_back(search->model()->data(search->model()->index(row, 0), Qt::DisplayRole).toString());
        return cells;
    }
};

TEST_F(TablesInUseTest, TheFoalsOfASireOpenInFileOrderWithAnAverageShownAsZeroUnsigned)
{
    // Three foals of PAPA with CD 0.33, 0.33 and -0.67: an average of -0.0033.
    TempDir other;
    const DataFolder second(other.path().string());
    writeFile(second.chefTable(), "THIRD UP,0,1,2,0,0\r\nTWO DOWN,0,0,1,2,0\r\n");
    writeFile(second.sireList(), "PAPA,THIRD UP,X,Y\r\n");
    writeFile(second.breedingFile(), "7,FIRST,2,Colt\r\n71,PAPA,THIRD UP,A,B\r\n72,C,D,E,F\r\n73,G,H,I,J\r\n"
                                     "8,SECOND,2,Filly\r\n81,PAPA,TWO DOWN,A,B\r\n82,C,D,E,F\r\n83,G,H,I,J\r\n"
                                     "9,THIRD,2,Colt\r\n91,PAPA,THIRD UP,A,B\r\n92,C,D,E,F\r\n93,G,H,I,J\r\n");
    seam.folderAnswers = {QString::fromStdString(second.dir())};
    main->chooseDataFolder();
    ASSERT_EQ(main->folder().dir(), second.dir());

    ui::SearchForm* search = foalsOf("PAPA");
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(ids(search), (std::vector<QString>{"7", "8", "9"})) << "not in file order";
    EXPECT_EQ(search->table()->horizontalHeader()->sortIndicatorSection(), -1);
    EXPECT_TRUE(search->count()->text().endsWith("average CD 0.00")) << search->count()->text().toStdString();
}

TEST_F(TablesInUseTest, TheSeasonsNumberTitlesStandAsThePlannersDo)
{
    main->openPlanner();
    main->openSeason();
    ASSERT_TRUE(main->plannerForm() && main->seasonForm());
    QHeaderView* planner = main->plannerForm()->table()->horizontalHeader();
    QHeaderView* season = main->seasonForm()->tree()->header();
    for (const char* title : {"B", "Total", "Speed", "CD", "DI"}) {
        EXPECT_LE(std::abs(titleOffCentre(planner, QString::fromLatin1(title))), 3) << title;
        EXPECT_LE(std::abs(titleOffCentre(season, QString::fromLatin1(title))), 3) << title << " in the season";
    }
}

TEST_F(TablesInUseTest, CtrlZInMyHorsesBringsTheLastRemovalBackInItsPlace)
{
    for (std::int32_t id : {1, 2, 3, 4})
        ASSERT_TRUE(main->stable()->add(id, main.get()));
    main->openMyHorses();
    ui::MyHorsesForm* form = main->myHorsesForm();
    ASSERT_NE(form, nullptr);
    EXPECT_SOON(!form->busy() && form->model()->rowCount() == 4, 10000);
    const auto kept = [this] {
        std::vector<std::int32_t> ids;
        for (const StableEntry& entry : main->stable()->stable().horses)
            ids.push_back(entry.id);
        return ids;
    };
    form->activateWindow();
    EXPECT_SOON(QApplication::activeWindow() == form, 5000);
    form->table()->setFocus();
    form->table()->clearSelection();
    for (int row = 0; row < form->model()->rowCount(); ++row)
        if (form->model()->row(row).checked.entry.id % 2 == 0) // horses 2 and 4, removed with one Delete
            form->table()->selectionModel()->select(form->model()->index(row, 0),
                                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTest::keyClick(form->table(), Qt::Key_Delete);
    ASSERT_EQ(kept(), (std::vector<std::int32_t>{1, 3}));

    QTest::keyClick(form->table(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(kept(), (std::vector<std::int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(readStable(stableFileFor(folder)).stable, main->stable()->stable()); // in the file too
    EXPECT_SOON(!form->busy() && form->model()->rowCount() == 4, 10000);
    const int beeps = seam.beeps;
    QTest::keyClick(form->table(), Qt::Key_Z, Qt::ControlModifier); // nothing more to bring back
    EXPECT_EQ(seam.beeps, beeps + 1);
    EXPECT_EQ(kept().size(), 4u);
}

TEST_F(TablesInUseTest, FindShowsEveryHorseFoundOnRequestBeyondTheFirstRows)
{
    TempDir other;
    std::string breeding;
    const int horses = static_cast<int>(ui::SearchForm::kShownRows) + 100;
    for (int id = 1; id <= horses; ++id) {
        const std::string n = std::to_string(id);
        breeding += n + ",HORSE " + n + ",3,Colt\r\n" + n + "1,A,B,C,D\r\n" + n + "2,E,F,G,H\r\n" + n + "3,I,J,K,L\r\n";
    }
    chooseAnotherFolder(other, guiSireList(), breeding);
    main->openSearch();
    ui::SearchForm* search = main->searchForm();
    ASSERT_NE(search, nullptr);
    EXPECT_SOON(!search->busy(), 10000);
    type(search->textBox(), "HORSE");
    EXPECT_SOON(!search->busy(), 10000);
    EXPECT_EQ(search->count()->text(), QStringLiteral("500 of %1 horses").arg(horses));
    ASSERT_TRUE(search->showAllButton()->isVisible());
    QTest::mouseClick(search->showAllButton(), Qt::LeftButton);
    EXPECT_SOON(!search->busy(), 10000);
    EXPECT_EQ(search->model()->rowCount(), horses);
    EXPECT_EQ(search->count()->text(), QStringLiteral("%1 horses").arg(horses));
    EXPECT_FALSE(search->showAllButton()->isVisible());
}

TEST_F(TablesInUseTest, ThePlannersAndTheSeasonsTargetsAreKeptForEachDataFolder)
{
    const auto fill = [](QWidget* window) {
        named(window, "diMin")->setText("1.5");
        named(window, "cdMax")->setText("0.4");
        named<QSpinBox>(window, "minTotal")->setValue(6);
    };
    const auto holds = [](QWidget* window) {
        return named(window, "diMin")->text() + "|" + named(window, "cdMax")->text() + "|" +
               QString::number(named<QSpinBox>(window, "minTotal")->value());
    };
    main->openPlanner();
    main->openSeason();
    fill(main->plannerForm());
    named(main->seasonForm(), "diMin")->setText("2");
    main->plannerForm()->close();
    main->seasonForm()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    main = std::make_unique<ui::MainForm>(folder, main->chefs()); // the next run
    main->show();
    main->openPlanner();
    main->openSeason();
    EXPECT_EQ(holds(main->plannerForm()), "1.5|0.4|6");
    EXPECT_EQ(named(main->seasonForm(), "diMin")->text(), "2");

    // Another data folder has targets of its own; coming back brings these back.
    TempDir other;
    chooseAnotherFolder(other, guiSireList(), guiBreedingFile());
    EXPECT_EQ(holds(main->plannerForm()), "||0");
    EXPECT_EQ(named(main->seasonForm(), "diMin")->text(), "");
    seam.folderAnswers = {QString::fromStdString(folder.dir())};
    main->chooseDataFolder();
    EXPECT_EQ(holds(main->plannerForm()), "1.5|0.4|6");
    EXPECT_EQ(named(main->seasonForm(), "diMin")->text(), "2");
}
