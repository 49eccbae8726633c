// The tables of the search, the planner and the season as a player reads and
// copies them.
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

#include "gui_fixture.h"
#include "ui/search_form.h"
#include "ui/search_model.h"

using namespace quindle;
using namespace quindle::testing;

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
