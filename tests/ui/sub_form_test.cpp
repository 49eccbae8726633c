// The mating window: its name boxes and the submission into the main window.
#include <QLineEdit>
#include <QPushButton>
#include <QPointer>
#include <QTest>

#include "gui_fixture.h"
#include "lookup/horse_lookup.h"
#include "ui/sub_form.h"
#include "ui/twips.h"

using namespace quindle;
using quindle::testing::GuiTest;
using quindle::testing::lineageBox;
using quindle::testing::named;
using quindle::testing::ptBox;
using quindle::testing::text16Box;

class SubFormTest : public GuiTest {
protected:
    ui::SubForm* open()
    {
        QTest::mouseClick(named<QPushButton>(main, "HypoMate"), Qt::LeftButton);
        ui::SubForm* sub = main->subForm();
        EXPECT_NE(sub, nullptr);
        return sub;
    }
    void submit(ui::SubForm* sub) { QTest::mouseClick(sub->submitButton(), Qt::LeftButton); }
};

TEST_F(SubFormTest, OpensBesideTheMainWindowAsEnterLineage)
{
    ui::SubForm* sub = open();
    EXPECT_EQ(sub->windowTitle(), "Enter Lineage");
    EXPECT_TRUE(sub->isVisible());
    EXPECT_EQ(sub->size(), QSize(ui::px(4185), ui::px(1500)));
    EXPECT_FALSE(sub->frameGeometry().intersects(main->frameGeometry()));
    EXPECT_EQ(sub->box(2)->geometry(), ui::twipsRect(120, 1080, 2535, 285));
}

TEST_F(SubFormTest, TypedNamesAreUpperCasedAndLeadingSpacesRefused)
{
    QLineEdit* box = open()->box(0);
    type(box, " ");
    EXPECT_EQ(box->text(), "");
    type(box, "mr. red-cap");
    EXPECT_EQ(box->text(), "MR. RED-CAP");
    EXPECT_EQ(box->cursorPosition(), 11);
    type(box, " ");
    EXPECT_EQ(box->text(), "MR. RED-CAP "); // a space after a name stays
    EXPECT_EQ(seam.beeps, 0);
}

TEST_F(SubFormTest, PastesAreCleanedOrRefusedKeepingTheCaret)
{
    ui::SubForm* sub = open();
    QLineEdit* box = sub->box(1);
    paste(box, "  north star (ire)");
    EXPECT_EQ(box->text(), "NORTH STAR (IRE)");
    EXPECT_EQ(box->cursorPosition(), 16);

    box->clear();
    paste(box, "red\tcap\r\nx");
    EXPECT_EQ(box->text(), "RED CAP X");

    box->setText("XY");
    box->selectAll();
    paste(box, "abc1");
    EXPECT_EQ(box->text(), "XY");
    EXPECT_EQ(box->cursorPosition(), 2);
    EXPECT_EQ(sub->lastGoodName(1), "XY");
}

TEST_F(SubFormTest, RefusedCharactersLeaveTextAndCaret)
{
    QLineEdit* box = open()->box(2);
    type(box, "ABCD");
    box->setCursorPosition(2);
    for (const QString key : {"1", "!", ","}) {
        type(box, key);
        EXPECT_EQ(box->text(), "ABCD");
        EXPECT_EQ(box->cursorPosition(), 2) << key.toStdString();
    }
}

TEST_F(SubFormTest, CtrlAAndShiftHomeEnd)
{
    QLineEdit* box = open()->box(0);
    type(box, "RED CAP");
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(box->selectedText(), "RED CAP");
    QTest::keyClick(box, Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(box->cursorPosition(), 0);
    EXPECT_FALSE(box->hasSelectedText());
    QTest::keyClick(box, Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(box->cursorPosition(), 7);
    EXPECT_FALSE(box->hasSelectedText());
}

TEST_F(SubFormTest, SubmittingRightAfterStartUpShowsAnEmptyFoal)
{
    submit(open());
    EXPECT_EQ(main->ageSex()->text(), " New Foal");
    EXPECT_EQ(main->text(2)->text(), "");
    EXPECT_EQ(ptBox(main, 40)->text(), " 0");
    EXPECT_EQ(ptBox(main, 41)->text(), "   -- ");
    EXPECT_EQ(ptBox(main, 43)->text(), "  0.0");
}

TEST_F(SubFormTest, AFoalAfterAFailedLookupIsShownWithoutTheFailure)
{
    lookUp("999");
    ui::SubForm* sub = open();
    type(sub->box(0), "RED CAP");
    submit(sub);
    EXPECT_EQ(named(main, "indicator")->text(), "");
    EXPECT_EQ(main->text(4)->text(), "OLD GREY");
    EXPECT_EQ(ptBox(main, 40)->text(), " 16"); // RED CAP 8, OLD GREY 4, NORTH STAR 4
}

TEST_F(SubFormTest, ASireAloneKeepsTheShownDamLine)
{
    lookUp("1");
    ui::SubForm* sub = open();
    type(sub->box(0), "mr. red-cap  ");
    submit(sub);
    EXPECT_EQ(sub->box(0)->text(), "MR. RED-CAP"); // trailing spaces go, in the box too
    EXPECT_EQ(sub->lastGoodName(0), "MR. RED-CAP");
    EXPECT_EQ(main->text(3)->text(), "MR. RED-CAP");
    EXPECT_EQ(main->text(4)->text(), "NORTH STAR");
    EXPECT_EQ(main->text(7)->text(), "OLD GREY");
    EXPECT_EQ(main->text(6)->text(), "STAR LANTERN");
    EXPECT_EQ(main->text(5)->text(), "RED CAP");      // kept
    EXPECT_EQ(main->text(8)->text(), "OLD GREY");     // looked up again for RED CAP
    EXPECT_EQ(main->text(9)->text(), "NOBODY THREE"); // kept
    EXPECT_EQ(main->ageSex()->text(), " New Foal");
    EXPECT_EQ(main->text(2)->text(), "");
    EXPECT_EQ(colourOf(main->text(2)), ui::toQColor(kNeutralColour));
    EXPECT_EQ(main->searchID()->text(), "");
    EXPECT_EQ(main->lastGoodID(), "");
    // Sire's Sire NORTH STAR (I 2, C 2), Sire's Sire's Sire STAR LANTERN (B 2),
    // Dam-Sire RED CAP (S 2, P 2), Sire's Dam-Sire OLD GREY (C 2), Dam-Sire's Sire OLD GREY (C 2).
    EXPECT_EQ(ptBox(main, 0)->text(), "");
    EXPECT_EQ(ptBox(main, 6)->text(), "2");
    EXPECT_EQ(ptBox(main, 15)->text(), "2");
    EXPECT_EQ(ptBox(main, 40)->text(), " 14");
}

TEST_F(SubFormTest, EnterInEachBoxSubmitsOnce)
{
    ui::SubForm* sub = open();
    type(sub->box(0), "RED CAP");
    for (int i = 0; i < 3; ++i) {
        main->text(4)->setText("marker");
        QTest::keyClick(sub->box(i), Qt::Key_Return);
        EXPECT_EQ(main->text(4)->text(), "OLD GREY") << i;
        EXPECT_EQ(sub->box(i)->text(), i == 0 ? "RED CAP" : "");
    }
    EXPECT_EQ(seam.beeps, 0);
}

TEST_F(SubFormTest, SameNameAsSireAndDamSireFillsAllFourLines)
{
    ui::SubForm* sub = open();
    type(sub->box(0), "NORTH STAR (IRE)");
    type(sub->box(1), "NORTH STAR (IRE)");
    submit(sub);
    EXPECT_EQ(main->text(4)->text(), "STAR LANTERN");
    EXPECT_EQ(main->text(7)->text(), "RED CAP");
    EXPECT_EQ(main->text(6)->text(), "OLD GREY");
    EXPECT_EQ(main->text(8)->text(), "STAR LANTERN");
}

TEST_F(SubFormTest, ASireNotInTheListLeavesItsLineEmpty)
{
    lookUp("1");
    ui::SubForm* sub = open();
    type(sub->box(0), "UNKNOWN");
    submit(sub);
    EXPECT_EQ(main->text(3)->text(), "UNKNOWN");
    EXPECT_EQ(main->text(4)->text(), "");
    EXPECT_EQ(main->text(6)->text(), "");
    EXPECT_EQ(main->text(7)->text(), "");
    EXPECT_TRUE(seam.warnings.empty());
}

TEST_F(SubFormTest, ClearAfterASubmissionKeepsTheFoal)
{
    ui::SubForm* sub = open();
    type(sub->box(0), "RED CAP");
    type(sub->box(2), "OLD GREY");
    submit(sub);
    QTest::mouseClick(sub->clearButton(), Qt::LeftButton);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(sub->box(i)->text(), "");
        EXPECT_EQ(sub->lastGoodName(i), "");
    }
    EXPECT_EQ(main->text(3)->text(), "RED CAP");
    EXPECT_EQ(main->text(9)->text(), "OLD GREY");
}

TEST_F(SubFormTest, ASecondClickKeepsTheBoxesClosingDiscardsThem)
{
    ui::SubForm* sub = open();
    type(sub->box(0), "RED CAP");
    sub->move(0, 0);
    EXPECT_EQ(open(), sub);
    EXPECT_EQ(sub->box(0)->text(), "RED CAP");
    EXPECT_FALSE(sub->frameGeometry().intersects(main->frameGeometry()));

    sub->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(main->subForm(), nullptr);
    EXPECT_EQ(open()->box(0)->text(), "");
}

TEST_F(SubFormTest, ClosingTheMainWindowClosesTheMatingWindow)
{
    QPointer<ui::SubForm> sub = open();
    main->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(sub.isNull() || !sub->isVisible());
}

TEST_F(SubFormTest, AnUnreadableSireListWarnsAndStillShowsTheProfile)
{
    ui::SubForm* sub = open();
    type(sub->box(0), "NORTH STAR (IRE)");
    std::filesystem::rename(folder.sireList(), folder.sireList() + ".away");
    submit(sub);
    std::filesystem::rename(folder.sireList() + ".away", folder.sireList());
    ASSERT_EQ(seam.warnings.size(), 1u);
    EXPECT_TRUE(seam.warnings[0].second.contains("QN_SireList"));
    EXPECT_EQ(main->text(4)->text(), "");
    EXPECT_EQ(ptBox(main, 40)->text(), " 8"); // NORTH STAR as Sire: I 4, C 4
}

TEST_F(SubFormTest, AnOverlongPasteIsRefused)
{
    QLineEdit* box = open()->box(0);
    type(box, "AB");
    paste(box, QString(40000, QChar('A')));
    EXPECT_EQ(box->text(), "AB");
}
