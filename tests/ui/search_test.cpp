// The search window over the small known data folder.
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <algorithm>

#include "data/sire_list.h"
#include "gui_fixture.h"
#include "sample_data.h"
#include "search/foal_profiles.h"
#include "ui/latin1.h"
#include "ui/session.h"
#include "ui/startup_ui.h"
#include "ui/search_form.h"
#include "ui/search_model.h"

using namespace quindle;
using namespace quindle::testing;

namespace {

class SearchTest : public GuiTest {
protected:
    ui::SearchForm* openSearch()
    {
        QTest::keyClick(main.get(), Qt::Key_F, Qt::ControlModifier);
        ui::SearchForm* search = main->searchForm();
        EXPECT_NE(search, nullptr);
        if (search)
            settle(search);
        return search;
    }
    static void settle(ui::SearchForm* search) { EXPECT_SOON(!search->busy(), 10000); }
    static std::vector<QString> column(ui::SearchForm* search, int c)
    {
        std::vector<QString> cells;
        for (int row = 0; row < search->model()->rowCount(); ++row)
            cells.push_back(search->model()->data(search->model()->index(row, c), Qt::DisplayRole).toString());
        return cells;
    }
};

} // namespace

TEST_F(SearchTest, TypingANameListsTheHorsesBestFirstAndEnterShowsOneInTheMainWindow)
{
    ui::SearchForm* search = openSearch();
    ASSERT_NE(search, nullptr);
    type(search->textBox(), "l");
    settle(search);
    // LOWER MARE starts with the letter; the others hold it, in file order.
    EXPECT_EQ(column(search, 1),
              (std::vector<QString>{"LOWER MARE", "BRIGHT FILLY", "DARK COLT", "GELDING ONE", "WELL, WELL"}));
    EXPECT_EQ(search->count()->text(), "5 horses");

    type(search->textBox(), "l"); // "ll"
    settle(search);
    EXPECT_EQ(column(search, 0), (std::vector<QString>{"1", "5"}));
    EXPECT_EQ(column(search, 2)[1], "4yo Horse");
    QTest::keyClick(search->textBox(), Qt::Key_Down);
    QTest::keyClick(search->table(), Qt::Key_Down);
    QTest::keyClick(search->table(), Qt::Key_Return);
    EXPECT_EQ(main->searchID()->text(), "5");
    EXPECT_EQ(main->text(2)->text(), "WELL, WELL");
    EXPECT_EQ(main->text(3)->text(), "NORTH STAR");
    EXPECT_EQ(main->shownHorse(), 5);

    search->textBox()->clear();
    type(search->textBox(), "bright filly");
    settle(search);
    QTest::keyClick(search->textBox(), Qt::Key_Return);
    EXPECT_EQ(main->text(2)->text(), "BRIGHT FILLY");
    EXPECT_EQ(seam.beeps, 0);
}

TEST_F(SearchTest, TheFoalsOfASireWithTheirProfilesAndAStallionWithNone)
{
    ui::SearchForm* search = openSearch();
    ASSERT_NE(search, nullptr);
    search->bySire()->setChecked(true);
    type(search->textBox(), "star lantern (ire)");
    settle(search);
    ASSERT_EQ(column(search, 0), std::vector<QString>{"1"});
    lookUp("1");
    EXPECT_EQ(column(search, 8)[0], ptBox(main, kTotalBox)->text().trimmed());
    EXPECT_EQ(column(search, 9)[0], ptBox(main, kDiBox)->text().trimmed());
    EXPECT_TRUE(search->count()->text().startsWith("1 foal, average DI " + ptBox(main, kDiBox)->text().trimmed()))
        << search->count()->text().toStdString();

    search->textBox()->clear();
    type(search->textBox(), "RED CAP"); // a dam-sire, no one's sire
    settle(search);
    EXPECT_EQ(search->model()->rowCount(), 0);
    EXPECT_TRUE(search->count()->text().startsWith("0 foals")) << search->count()->text().toStdString();
}

TEST_F(SearchTest, ANewBreedingFileCutByTheMainWindowIsSearchedAtOnce)
{
    main->watchBreedingFile(dir.file("Quindle.nnn"));
    ui::SearchForm* search = openSearch();
    ASSERT_NE(search, nullptr);
    const std::string original = guiBreedingFile();
    std::string renamed = original;
    renamed.replace(renamed.find("BRIGHT FILLY"), 12, "BRIGHT NEW FILLY");
    writeFile(folder.breedingFile(), renamed);
    lookUp("2"); // the main window cuts the new file
    settle(search);
    type(search->textBox(), "new");
    settle(search);
    EXPECT_EQ(column(search, 1), std::vector<QString>{"BRIGHT NEW FILLY"});

    // Replaced again under a listed row: Enter picks nothing of the old file; the list is made anew.
    std::string moved = original;
    moved.replace(moved.find("BRIGHT FILLY"), 12, "BRIGHT SOLD FILLY");
    writeFile(folder.breedingFile(), moved);
    const int beeps = seam.beeps;
    QTest::keyClick(search->textBox(), Qt::Key_Return);
    EXPECT_EQ(seam.beeps, beeps + 1);
    EXPECT_EQ(main->shownHorse(), 2);
    settle(search);
    EXPECT_EQ(column(search, 1), std::vector<QString>{});
    writeFile(folder.breedingFile(), original); // as the fixture found it
}

TEST(SearchModel, FoalsSortByDiWithInfAboveEveryNumberAndNoneBelow)
{
    std::vector<FoalProfile> foals(3);
    // DI INF (no Stamina), none (no points), 1.00.
    const std::pair<std::int32_t, GroupTotals> horses[] = {{7, {4, 0, 0, 0, 0}}, {8, {}}, {9, {2, 0, 2, 2, 0}}};
    for (std::size_t i = 0; i < foals.size(); ++i) {
        foals[i].id = horses[i].first;
        foals[i].profile = profileOfTotals(horses[i].second);
        summariseProfile(foals[i].profile, foals[i].summary);
    }
    ui::SearchModel model;
    model.setFoals(foals);
    const int di = 9;
    model.sort(di, Qt::AscendingOrder);
    EXPECT_EQ(std::vector<std::int32_t>({model.idAt(0), model.idAt(1), model.idAt(2)}),
              (std::vector<std::int32_t>{8, 9, 7}));
    EXPECT_EQ(model.data(model.index(2, di), Qt::DisplayRole).toString(), "INF");
    model.sort(di, Qt::DescendingOrder);
    EXPECT_EQ(model.idAt(0), 7);
    model.sort(-1, Qt::AscendingOrder); // no column: file order
    EXPECT_EQ(model.idAt(0), 7);
    EXPECT_EQ(model.idAt(1), 8);
}

// A stallion's foals come into the list as the breeding file is read, the
// count saying so, before the whole file is read; in the end every foal in
// file order with the summary the command line gives.
TEST(SearchWindow, AStallionsFoalsComeInAsTheFileIsRead)
{
    RecordingSeam seam;
    ui::setSeam(&seam);
    TempDir dir;
    const DataFolder folder(dir.file("pdg"));
    sample::writeDataFolder(folder.dir(), {100000, 5, 0, false}); // some 20 MB, each sire's foals all through it
    auto chefs = ui::startUp(folder, dir.file("Quindle.nnn"));
    ASSERT_TRUE(chefs.has_value());
    const std::string sire(SireIndex(readSireList(folder.sireList())).stallions().back());
    const std::vector<FoalProfile> expected = foalProfiles(folder.breedingFile(), *chefs, sire);
    ui::Session session(DataSession(folder, std::move(*chefs)));
    ui::SearchForm search(&session, nullptr);
    search.show();
    EXPECT_SOON(!search.busy(), 20000); // the name index read

    std::vector<int> rowsWhileReading; // at each batch shown before the end
    QObject::connect(search.model(), &QAbstractItemModel::modelReset, [&] {
        if (search.busy() && search.model()->rowCount() > 0) {
            rowsWhileReading.push_back(search.model()->rowCount());
            EXPECT_TRUE(search.count()->text().contains("so far")) << search.count()->text().toStdString();
        }
    });
    search.showFoalsOf(ui::fromLatin1(sire));
    EXPECT_SOON(!search.busy(), 20000);

    ASSERT_GE(rowsWhileReading.size(), 2u) << "the foals did not come in while the file was read";
    EXPECT_TRUE(std::is_sorted(rowsWhileReading.begin(), rowsWhileReading.end()));
    EXPECT_LT(rowsWhileReading.front(), rowsWhileReading.back());
    EXPECT_LT(rowsWhileReading.back(), static_cast<int>(expected.size()));
    ASSERT_EQ(search.model()->rowCount(), static_cast<int>(expected.size()));
    for (int row = 0; row < search.model()->rowCount(); ++row)
        EXPECT_EQ(search.model()->idAt(row), expected[static_cast<std::size_t>(row)].id) << row;
    EXPECT_EQ(search.count()->text().toStdString(), foalsSummary(expected.size(), averagesOf(expected)));
    EXPECT_TRUE(seam.warnings.empty());
    ui::setSeam(nullptr);
}
