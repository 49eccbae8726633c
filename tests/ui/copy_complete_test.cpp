// Working in the windows: copying the horse, completing sire names, Esc.
#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QCompleter>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include "gui_fixture.h"
#include "support/run_process.h"
#include "ui/horse_copier.h"
#include "ui/sire_completer.h"
#include "ui/sub_form.h"

using namespace quindle;
using namespace quindle::testing;

class CopyCompleteTest : public GuiTest {
protected:
    ui::SubForm* openMating()
    {
        QTest::mouseClick(named<QPushButton>(main, "HypoMate"), Qt::LeftButton);
        ui::SubForm* sub = main->subForm();
        // Its boxes take the focus as the player's would.
        sub->windowHandle()->requestActivate();
        EXPECT_TRUE(QTest::qWaitFor([sub] { return QGuiApplication::focusWindow() == sub->windowHandle(); }));
        return sub;
    }
    std::string cliOut(const std::vector<std::string>& args) const
    {
        std::vector<std::string> all{"--data-dir", folder.dir()};
        all.insert(all.end(), args.begin(), args.end());
        return quindle::testing::runProcess(QUINDLE_CLI, all, dir.path().string()).out;
    }
    static QString clipboard() { return QApplication::clipboard()->text(); }
    ui::HorseCopier* copier() const { return main->findChild<ui::HorseCopier*>(); }
};

TEST_F(CopyCompleteTest, CtrlCCopiesTheHorseAsTheCommandLinePrintsIt)
{
    lookUp("5");
    QApplication::clipboard()->clear();
    QTest::keyClick(main->searchID(), Qt::Key_C, Qt::ControlModifier);
    // As `show` prints it, identifier first, without the blank line that ends each horse.
    const std::string shown = cliOut({"show", "5"});
    ASSERT_TRUE(shown.starts_with("Identifier 5\n")) << shown;
    EXPECT_EQ(clipboard().toStdString(), shown.substr(0, shown.size() - 1));

    // A selection in the ID box is copied as usual.
    main->searchID()->selectAll();
    QTest::keyClick(main->searchID(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard(), "5");
    // With the focus on a button the window's shortcut copies the horse.
    named<QPushButton>(main, "GO")->setFocus();
    QTest::keyClick(named<QPushButton>(main, "GO"), Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(clipboard().startsWith("Identifier 5\nHorse     WELL, WELL 4yo Horse\n")) << clipboard().toStdString();
}

TEST_F(CopyCompleteTest, CopyingAFoalGivesWhatMatePrints)
{
    ui::SubForm* sub = openMating();
    type(sub->box(0), "RED CAP");
    type(sub->box(1), "NORTH STAR (IRE)");
    type(sub->box(2), "OLD GREY");
    QTest::mouseClick(sub->submitButton(), Qt::LeftButton);
    QTest::keyClick(main->text(3), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard().toStdString(), cliOut({"mate", "RED CAP", "NORTH STAR (IRE)", "OLD GREY"}));
}

namespace {
// The menu's Copy actions; what follows them belongs to other commands.
QList<QAction*> copyActions(const QMenu& menu)
{
    QList<QAction*> copies;
    for (QAction* action : menu.actions())
        if (action->text().startsWith("Copy"))
            copies << action;
    return copies;
}
} // namespace

TEST_F(CopyCompleteTest, TheContextMenuCopiesTheHorseOrOneBox)
{
    lookUp("1");
    const auto menu = copier()->menuAt(lineageBox(main, 0)->geometry().center());
    const QList<QAction*> actions = copyActions(*menu);
    ASSERT_EQ(actions.size(), 2);
    EXPECT_EQ(actions[0]->text(), "Copy Horse");
    EXPECT_EQ(actions[1]->text(), QString::fromUtf8("Copy \u201CSTAR LANTERN (IRE)\u201D"));
    actions[1]->trigger();
    EXPECT_EQ(clipboard(), "STAR LANTERN (IRE)");
    actions[0]->trigger();
    EXPECT_EQ(clipboard(), copier()->horseText());
    EXPECT_TRUE(clipboard().contains("Quindle Profile"));

    // An empty box offers the horse only; a profile box its number without blanks.
    EXPECT_EQ(copyActions(*copier()->menuAt(main->text(11)->geometry().center())).size(), 1);
    copyActions(*copier()->menuAt(ptBox(main, 40)->geometry().center())).at(1)->trigger();
    EXPECT_EQ(clipboard(), "18");
}

TEST_F(CopyCompleteTest, NameBoxesCompleteSireNamesAndFollowAChangedList)
{
    ui::SubForm* sub = openMating();
    QLineEdit* box = sub->box(0);
    box->setFocus();
    type(box, "no");
    QCompleter* completer = box->completer();
    ASSERT_NE(completer, nullptr);
    EXPECT_EQ(completer->currentCompletion(), "NORTH STAR (IRE)");
    EXPECT_TRUE(completer->popup()->isVisible());

    // Enter in the open list without a pick submits; with a pick it takes the name.
    QTest::keyClick(completer->popup(), Qt::Key_Down);
    QTest::keyClick(completer->popup(), Qt::Key_Return);
    EXPECT_EQ(box->text(), "NORTH STAR (IRE)");
    EXPECT_EQ(main->ageSex()->text(), ""); // nothing submitted yet
    box->clear();
    type(box, "RED");
    ASSERT_TRUE(completer->popup()->isVisible());
    QTest::keyClick(completer->popup(), Qt::Key_Return);
    EXPECT_EQ(main->ageSex()->text(), " New Foal");
    EXPECT_EQ(main->text(3)->text(), "RED");

    // A sire added to the list is offered from the next key on.
    writeFile(folder.sireList(), guiSireList() + "NOBLE NEW SIRE,A,B,C\r\n");
    box->clear();
    type(box, "NOB");
    EXPECT_EQ(completer->currentCompletion(), "NOBLE NEW SIRE");
    // One the boxes cannot type is taken whole when picked, and submitted with its line. (The list is
    // of another size, so a change within one tick of the file clock is seen all the same.)
    writeFile(folder.sireList(), guiSireList() + "NOBLE SIRE THE 2ND,A,B,C\r\n");
    box->clear();
    type(box, "NOBLE S");
    ASSERT_TRUE(completer->popup()->isVisible());
    EXPECT_EQ(completer->currentCompletion(), "NOBLE SIRE THE 2ND");
    QTest::keyClick(completer->popup(), Qt::Key_Down);
    QTest::keyClick(completer->popup(), Qt::Key_Return);
    EXPECT_SOON(box->text() == "NOBLE SIRE THE 2ND", 2000);
    QTest::mouseClick(main->subForm()->submitButton(), Qt::LeftButton);
    EXPECT_EQ(main->text(3)->text(), "NOBLE SIRE THE 2ND");
    EXPECT_EQ(main->text(4)->text(), "A");
    writeFile(folder.sireList(), guiSireList()); // as it was, for the fixture's check

    // Another data folder chosen while the window is open brings its own list.
    TempDir other;
    chooseAnotherFolder(other, "OTHER FOLDER SIRE,A,B,C\r\n", horseLines(1));
    box->clear();
    type(box, "OTH");
    EXPECT_EQ(completer->currentCompletion(), "OTHER FOLDER SIRE");
}

TEST_F(CopyCompleteTest, ANameNotInTheSireListIsMarked)
{
    ui::SubForm* sub = openMating();
    QLineEdit* box = sub->box(1);
    box->setFocus();
    type(box, "RED");
    EXPECT_FALSE(ui::SireCompleter::isMarked(box)); // still on its way to RED CAP
    sub->box(2)->setFocus();
    EXPECT_TRUE(ui::SireCompleter::isMarked(box)); // left as a name of its own
    EXPECT_TRUE(box->toolTip().contains("QN_SireList"));
    EXPECT_NE(box->palette().color(QPalette::Base), sub->box(0)->palette().color(QPalette::Base));

    type(box, " CAP ");
    EXPECT_FALSE(ui::SireCompleter::isMarked(box)) << box->text().toStdString(); // trailing blanks go at Submit
    EXPECT_EQ(box->toolTip(), "");
    type(sub->box(2), "RED CAPX");
    EXPECT_TRUE(ui::SireCompleter::isMarked(sub->box(2))); // no sire name starts so
    QTest::mouseClick(sub->submitButton(), Qt::LeftButton);
    EXPECT_EQ(main->text(9)->text(), "RED CAPX"); // submitted all the same

    // A list damaged before the end cannot say the name is not in it.
    writeFile(folder.sireList(), guiSireList() + "BROKEN LINE\r\nRED CAPX,A,B,C\r\n");
    type(sub->box(2), "Y");
    sub->box(0)->setFocus();
    EXPECT_TRUE(ui::SireCompleter::isMarked(sub->box(2)));
    EXPECT_TRUE(sub->box(2)->toolTip().startsWith("Not in what could be read of QN_SireList"))
        << sub->box(2)->toolTip().toStdString();
    writeFile(folder.sireList(), guiSireList()); // as it was, for the fixture's check
}

TEST_F(CopyCompleteTest, EscClosesTheMatingWindowWhichReopensWhereThePlayerMovedIt)
{
    ui::SubForm* sub = openMating();
    type(sub->box(0), "RED CAP");
    const QPoint moved = sub->pos() + QPoint(40, 30); // it opens level with the main window's top
    sub->move(moved);
    ASSERT_TRUE(sub->box(0)->completer()->popup()->isVisible());
    QTest::keyClick(sub->box(0), Qt::Key_Escape); // closes the completion list only
    EXPECT_FALSE(sub->box(0)->completer()->popup()->isVisible());
    QTest::keyClick(sub->box(0), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(main->subForm(), nullptr);

    sub = openMating();
    EXPECT_EQ(sub->pos(), moved);
    EXPECT_EQ(sub->box(0)->text(), "");
}
