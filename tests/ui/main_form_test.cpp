// The main window driven with real key presses, pastes and clicks.
#include <QLineEdit>
#include <QPushButton>
#include <QPointer>
#include <QTest>

#include "gui_fixture.h"
#include "lookup/horse_lookup.h"
#include "ui/twips.h"

using namespace quindle;
using quindle::testing::GuiTest;
using quindle::testing::lineageBox;
using quindle::testing::named;
using quindle::testing::ptBox;
using quindle::testing::readFile;
using quindle::testing::text16Box;
using quindle::testing::writeFile;

namespace {
const QColor kNeutral = ui::toQColor(kNeutralColour);
const QColor kFemale = ui::toQColor(kFemaleColour);
const QColor kMale = ui::toQColor(kMaleColour);
} // namespace

class MainFormTest : public GuiTest {};

TEST_F(MainFormTest, OpensWithItsCaptionLayoutAndFocus)
{
    EXPECT_EQ(main->windowTitle(), "QUINDLE v0.99.00");
    EXPECT_EQ(main->size(), QSize(ui::px(7470), ui::px(6855)));
    EXPECT_EQ(main->searchID()->geometry(), ui::twipsRect(5880, 5520, 655, 285));
    EXPECT_EQ(ptBox(main, 34)->geometry(), ui::twipsRect(1800 + 240 * 4, 4920 + 240 * 6, 135, 195));
    EXPECT_EQ(text16Box(main, 7)->text(), "B      C  S  P");
    EXPECT_EQ(text16Box(main, 10)->text(), "Total pts (max24)");
    EXPECT_EQ(named<QPushButton>(main, "GO")->text(), "GO");
    EXPECT_TRUE(main->searchID()->hasFocus());
    EXPECT_TRUE(main->text(2)->isReadOnly());
    for (int n = 3; n <= 9; ++n)
        EXPECT_TRUE(main->text(n)->isReadOnly());
    EXPECT_EQ(colourOf(main->text(2)), kNeutral);
    EXPECT_EQ(colourOf(main->text(3)), kMale);
    EXPECT_EQ(colourOf(main->text(11)), kFemale);
}

TEST_F(MainFormTest, TypingDigitsWithTheLeadingZeroRule)
{
    QLineEdit* id = main->searchID();
    type(id, "0");
    EXPECT_EQ(id->text(), "");
    EXPECT_EQ(seam.beeps, 1);
    type(id, "105");
    EXPECT_EQ(id->text(), "105");
    EXPECT_EQ(main->lastGoodID(), "105");

    id->setText("123");
    id->setCursorPosition(0);
    type(id, "0");
    EXPECT_EQ(id->text(), "123");
    EXPECT_EQ(seam.beeps, 2);
    type(id, "9");
    EXPECT_EQ(id->text(), "9123");

    type(id, "a- ");
    EXPECT_EQ(id->text(), "9123");
    EXPECT_EQ(seam.beeps, 5);
}

TEST_F(MainFormTest, ASeventhDigitIsNotInserted)
{
    type(main->searchID(), "1234567");
    EXPECT_EQ(main->searchID()->text(), "123456");
    EXPECT_EQ(main->lastGoodID(), "123456");
}

TEST_F(MainFormTest, PastesAreCleanedOrRefused)
{
    QLineEdit* id = main->searchID();
    paste(id, " 12 34");
    EXPECT_EQ(id->text(), "1234");
    EXPECT_EQ(id->cursorPosition(), 4);
    EXPECT_EQ(main->lastGoodID(), "1234");

    id->setText("123");
    id->setCursorPosition(1);
    paste(id, "x");
    EXPECT_EQ(id->text(), "123");
    EXPECT_EQ(id->cursorPosition(), 1);
    EXPECT_EQ(main->lastGoodID(), "123");
    EXPECT_EQ(seam.beeps, 0); // a refused paste is silent

    id->clear();
    paste(id, "007");
    EXPECT_EQ(id->text(), "007");
    QTest::mouseClick(named<QPushButton>(main, "GO"), Qt::LeftButton);
    EXPECT_EQ(main->requestedID(), 7);
}

TEST_F(MainFormTest, CtrlABackspaceEmptiesAndHomeEndSelectNothing)
{
    QLineEdit* id = main->searchID();
    type(id, "4321");
    QTest::keyClick(id, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(id->selectedText(), "4321");
    QTest::keyClick(id, Qt::Key_Backspace);
    EXPECT_EQ(id->text(), "");
    EXPECT_EQ(main->lastGoodID(), "");

    type(id, "4321");
    QTest::keyClick(id, Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(id->cursorPosition(), 0);
    EXPECT_FALSE(id->hasSelectedText());
    QTest::keyClick(id, Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(id->cursorPosition(), 4);
    EXPECT_FALSE(id->hasSelectedText());
    EXPECT_EQ(seam.beeps, 0);
}

TEST_F(MainFormTest, EnterRunsOneLookupAndInsertsNothing)
{
    type(main->searchID(), "1");
    QTest::keyClick(main->searchID(), Qt::Key_Return);
    EXPECT_EQ(main->searchID()->text(), "1");
    EXPECT_EQ(main->text(2)->text(), "BRIGHT FILLY");
    EXPECT_EQ(seam.beeps, 1); // the Enter itself is refused with a beep

    main->searchID()->clear();
    QTest::keyClick(main->searchID(), Qt::Key_Return);
    EXPECT_EQ(seam.beeps, 3); // one for the empty GO, one for the key: GO ran once
}

TEST_F(MainFormTest, AFoundHorseFillsTheChartAndTheProfile)
{
    lookUp("1");
    EXPECT_EQ(main->text(2)->text(), "BRIGHT FILLY");
    EXPECT_EQ(main->ageSex()->text(), " 3yo Filly");
    const char* lineage[] = {"STAR LANTERN (IRE)", "NORTH STAR", "RED CAP",     "OLD GREY",
                             "NOBODY ONE",         "NOBODY TWO", "NOBODY THREE"};
    for (int p = 0; p < 7; ++p)
        EXPECT_EQ(lineageBox(main, p)->text(), lineage[p]);
    EXPECT_EQ(named(main, "indicator")->text(), "");
    EXPECT_EQ(colourOf(main->text(2)), kFemale);
    EXPECT_EQ(colourOf(main->ageSex()), kFemale);

    for (int i = 0; i < 35; ++i) {
        const QString expected = (i == 0) ? "8" : (i == 6 || i == 7 || i == 13 || i == 14 || i == 17) ? "2" : "";
        EXPECT_EQ(ptText(i), expected) << "PT " << i;
    }
    EXPECT_EQ(ptText(35), "8");
    EXPECT_EQ(ptText(36), "2");
    EXPECT_EQ(ptText(37), "4");
    EXPECT_EQ(ptText(38), "2");
    EXPECT_EQ(ptText(39), "2");
    EXPECT_EQ(ptText(40), " 18");
    EXPECT_EQ(ptText(41), " 0.67");
    EXPECT_EQ(ptText(42), " 2.00");
    EXPECT_EQ(ptText(43), " 12.0");
    EXPECT_EQ(ptText(44), "  6.0");
    for (int n : {10, 11, 12, 13, 14, 15, 17})
        EXPECT_EQ(main->text(n)->text(), "") << "female box Text" << n;
}

TEST_F(MainFormTest, AFailedLookupShowsItsFailureAndNoEarlierNumbers)
{
    lookUp("1");
    lookUp("999");
    EXPECT_EQ(named(main, "indicator")->text(), "ID TOO LARGE");
    EXPECT_EQ(main->text(2)->text(), "");
    EXPECT_EQ(main->ageSex()->text(), "");
    for (int n = 3; n <= 9; ++n)
        EXPECT_EQ(main->text(n)->text(), "");
    for (int i = 0; i < 45; ++i)
        EXPECT_EQ(ptText(i), "") << i;
    EXPECT_EQ(colourOf(main->text(2)), kNeutral);
    EXPECT_TRUE(seam.warnings.empty());

    lookUp("1"); // the next horse found clears the failure
    EXPECT_EQ(named(main, "indicator")->text(), "");
    EXPECT_EQ(ptText(40), " 18");
}

TEST_F(MainFormTest, ColoursFollowTheSexWordExactly)
{
    lookUp("1");
    EXPECT_EQ(colourOf(main->text(2)), kFemale);
    lookUp("2");
    EXPECT_EQ(colourOf(main->text(2)), kMale);
    EXPECT_EQ(colourOf(main->ageSex()), kMale);
    EXPECT_EQ(ptText(41), "   -- ");
    EXPECT_EQ(ptText(42), "   -- ");
    lookUp("3"); // 'mare' in lower case: shown in the neutral colour, not the colt's
    EXPECT_EQ(main->ageSex()->text(), " 5yo mare");
    EXPECT_EQ(colourOf(main->text(2)), kNeutral);
    EXPECT_EQ(colourOf(main->ageSex()), kNeutral);
    lookUp("1");
    lookUp("4");
    EXPECT_EQ(main->ageSex()->text(), " 6yo Gelding");
    EXPECT_EQ(colourOf(main->text(2)), kNeutral);
    EXPECT_EQ(colourOf(main->ageSex()), kNeutral);
    lookUp("77");
    EXPECT_EQ(colourOf(main->text(2)), kNeutral);
    EXPECT_EQ(colourOf(main->ageSex()), kNeutral);
}

TEST_F(MainFormTest, GoWithAnEmptyBoxOnlyBeeps)
{
    lookUp("5");
    EXPECT_EQ(main->text(2)->text(), "WELL, WELL");
    EXPECT_EQ(ptText(41), " 0.50");
    EXPECT_EQ(ptText(42), " 3.00");
    main->searchID()->clear();
    QTest::mouseClick(named<QPushButton>(main, "GO"), Qt::LeftButton);
    EXPECT_EQ(seam.beeps, 1);
    EXPECT_EQ(main->text(2)->text(), "WELL, WELL");
    EXPECT_EQ(ptText(42), " 3.00");
}

TEST_F(MainFormTest, ABucketDamagedSinceTheSplitIsCutAgainAndAnswers)
{
    lookUp("2");
    const QString name = main->text(2)->text();
    const std::string whole = readFile(folder.bucketFile(0));
    for (const std::string& damaged : {std::string(), whole.substr(0, whole.size() / 2)}) {
        lookUp("1");
        if (damaged.empty())
            std::filesystem::remove(folder.bucketFile(0));
        else
            writeFile(folder.bucketFile(0), damaged);
        lookUp("2");
        EXPECT_TRUE(seam.warnings.empty());
        EXPECT_EQ(main->text(2)->text(), name);
        EXPECT_EQ(readFile(folder.bucketFile(0)), whole);
    }
}

TEST_F(MainFormTest, ClearEmptiesTextsButKeepsColoursAndProfile)
{
    lookUp("1");
    main->clear();
    EXPECT_EQ(main->text(2)->text(), "");
    EXPECT_EQ(main->text(9)->text(), "");
    EXPECT_EQ(colourOf(main->text(2)), kFemale);
    EXPECT_EQ(ptText(0), "8");
    EXPECT_EQ(main->searchID()->text(), "1");
}

TEST_F(MainFormTest, TabGoesFromTheIdBoxToGoAndThroughTheHorseAndItsSireLines)
{
    QWidget* expected[] = {named<QPushButton>(main, "GO"),
                           main->text(2),
                           main->text(3),
                           main->text(4),
                           main->text(5),
                           main->text(6),
                           main->text(7),
                           main->text(8),
                           main->text(9)};
    QWidget* at = main->searchID();
    for (QWidget* next : expected) {
        at = at->nextInFocusChain();
        while (at->focusPolicy() == Qt::NoFocus || !at->isVisible())
            at = at->nextInFocusChain();
        EXPECT_EQ(at, next);
    }
}
