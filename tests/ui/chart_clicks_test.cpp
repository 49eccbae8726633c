// The pedigree chart's names answer clicks; Alt+Left and Alt+Right go through
// what the main window showed.
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include "export/boxes_text.h"
#include "gui_fixture.h"
#include "ui/best_mares_pane.h"
#include "ui/horse_copier.h"
#include "ui/mares_model.h"
#include "ui/planner_form.h"
#include "ui/search_form.h"
#include "ui/search_model.h"
#include "ui/sub_form.h"

using namespace quindle;
using namespace quindle::testing;

namespace {

class ChartClicksTest : public GuiTest {
protected:
    void TearDown() override
    {
        menu_.reset(); // before the window that owns it
        GuiTest::TearDown();
    }
    // The menu's entry with this text, or null.
    QAction* entry(int box, const QString& text)
    {
        // Near the top of the box: the horse's own box holds the age and sex box in its middle.
        const QRect place = main->text(box)->geometry();
        menu_ = main->findChild<ui::HorseCopier*>()->menuAt(place.topLeft() + QPoint(place.width() / 2, 8));
        for (QAction* action : menu_->actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }
    std::string shown() const { return boxesPlain(main->readBoxes()); }
    void back() { QTest::keyClick(main.get(), Qt::Key_Left, Qt::AltModifier); }
    void forward() { QTest::keyClick(main.get(), Qt::Key_Right, Qt::AltModifier); }

private:
    std::unique_ptr<QMenu> menu_;
};

} // namespace

TEST_F(ChartClicksTest, ANameOffersItsFoalsItsBestMaresAndTheMatingWindow)
{
    lookUp("1");                                // BRIGHT FILLY: Sire STAR LANTERN (IRE), Dam-Sire RED CAP
    EXPECT_NE(entry(3, "Copy Horse"), nullptr); // the copies stay

    QAction* foals = entry(3, "Foals of STAR LANTERN (IRE)");
    ASSERT_NE(foals, nullptr);
    foals->trigger();
    ui::SearchForm* search = main->searchForm();
    ASSERT_NE(search, nullptr);
    EXPECT_TRUE(search->bySire()->isChecked());
    EXPECT_EQ(search->textBox()->text(), "STAR LANTERN (IRE)");
    EXPECT_SOON(!search->busy() && search->model()->rowCount() == 1, 10000);
    EXPECT_EQ(search->model()->idAt(0), 1);

    QAction* mares = entry(5, "Best mares for RED CAP");
    ASSERT_NE(mares, nullptr);
    mares->trigger();
    ui::PlannerForm* planner = main->plannerForm();
    ASSERT_NE(planner, nullptr);
    EXPECT_EQ(planner->directions()->currentWidget(), planner->maresPane());
    EXPECT_EQ(planner->maresPane()->stallionBox()->text(), "RED CAP");
    EXPECT_SOON(!planner->busy(), 10000);
    EXPECT_EQ(planner->maresPane()->model()->rowCount(), 2);

    QAction* sire = entry(4, "Use as Sire in Hypo Mate");
    ASSERT_NE(sire, nullptr);
    sire->trigger();
    ASSERT_NE(main->subForm(), nullptr);
    EXPECT_EQ(main->subForm()->box(0)->text(), main->text(4)->text());
    EXPECT_FALSE(main->text(4)->text().isEmpty());

    // A double click does the first entry, as the tooltip says.
    EXPECT_TRUE(main->text(9)->toolTip().contains("Double click: Foals of " + main->text(9)->text()));
    search->textBox()->clear();
    QTest::mouseDClick(main->text(9), Qt::LeftButton);
    EXPECT_EQ(search->textBox()->text(), main->text(9)->text());

    // An empty box, and a filly's own name, offer none of them; a colt's own name does.
    EXPECT_EQ(entry(11, "Use as Sire in Hypo Mate"), nullptr);
    EXPECT_EQ(entry(2, "Use as Sire in Hypo Mate"), nullptr);
    EXPECT_TRUE(main->text(2)->toolTip().isEmpty());
    lookUp("2");
    EXPECT_NE(entry(2, "Best mares for DARK COLT"), nullptr);
    main->clear();
    EXPECT_EQ(entry(3, "Use as Sire in Hypo Mate"), nullptr);
}

TEST_F(ChartClicksTest, ANamePickedOnTheChartIsTakenWholeWhateverItsCharacters)
{
    TempDir other;
    chooseAnotherFolder(other, guiSireList() + "GR\xDCNFELD (GER),A,B,C\r\n",
                        "1,ACCENT FILLY,3,Filly\r\n11,GR\xDCNFELD (GER),A,B,C\r\n12,RED CAP,D,E,F\r\n13,G,H,I,J\r\n");
    lookUp("1");
    ASSERT_EQ(main->text(3)->text(), QString::fromUtf8("GR\u00DCNFELD (GER)"));
    QAction* sire = entry(3, QStringLiteral("Use as Sire in Hypo Mate"));
    ASSERT_NE(sire, nullptr);
    EXPECT_TRUE(sire->isEnabled());
    sire->trigger();
    ASSERT_NE(main->subForm(), nullptr);
    EXPECT_EQ(main->subForm()->box(0)->text(), QString::fromUtf8("GR\u00DCNFELD (GER)"));
    // Submitted with his sire line from the list, as the command line plans him.
    main->subForm()->submitClick();
    EXPECT_EQ(main->text(3)->text(), QString::fromUtf8("GR\u00DCNFELD (GER)"));
    EXPECT_EQ(main->text(4)->text(), "A");
    // Typing over him meets the filter again.
    main->subForm()->box(0)->selectAll();
    type(main->subForm()->box(0), "RED CAP");
    EXPECT_EQ(main->subForm()->box(0)->text(), "RED CAP");

    // A mating chosen elsewhere puts its names in whole.
    main->showChosenMating({{"GR\xDC"
                             "NFELD (GER)",
                             "RED CAP", ""},
                            std::nullopt,
                            {}});
    EXPECT_EQ(main->subForm()->box(0)->text(), QString::fromUtf8("GR\u00DCNFELD (GER)"));
    EXPECT_EQ(main->subForm()->box(1)->text(), "RED CAP");
    // The best mares for him, not for the stallion asked for before.
    lookUp("1");
    QAction* best = entry(3, QString::fromUtf8("Best mares for GR\u00DCNFELD (GER)"));
    ASSERT_NE(best, nullptr);
    main->openPlanner();
    ui::PlannerForm* planner = main->plannerForm();
    ASSERT_NE(planner, nullptr);
    planner->showMaresFor("RED CAP");
    best->trigger();
    EXPECT_EQ(planner->maresPane()->stallionBox()->text(), QString::fromUtf8("GR\u00DCNFELD (GER)"));
    EXPECT_SOON(!planner->busy(), 10000);
    EXPECT_TRUE(named<QLabel>(planner->maresPane(), "maresStatus")
                    ->text()
                    .startsWith(QString::fromUtf8("Best mares for GR\u00DCNFELD (GER)")));
    EXPECT_EQ(planner->maresPane()->model()->rowCount(), 1);
}

TEST_F(ChartClicksTest, AltLeftAndRightGoThroughTheHorsesAndMatingsShown)
{
    std::vector<std::string> fresh;
    for (const char* id : {"1", "2", "5"}) {
        lookUp(id);
        fresh.push_back(shown());
    }
    lookUp("5"); // the same horse again is no new step, nor the same mating
    for (int twice = 0; twice < 2; ++twice)
        main->submitMating({"RED CAP", "NORTH STAR (IRE)", "OLD GREY"});
    fresh.push_back(shown());

    // Back through all four, each exactly as it was shown first; then a beep.
    const int beeps = seam.beeps;
    for (int step = 2; step >= 0; --step) {
        back();
        EXPECT_EQ(shown(), fresh[static_cast<std::size_t>(step)]) << step;
    }
    EXPECT_EQ(main->searchID()->text(), "1");
    back();
    EXPECT_EQ(seam.beeps, beeps + 1);
    EXPECT_EQ(shown(), fresh[0]);
    for (std::size_t step = 1; step < 4; ++step) {
        forward();
        EXPECT_EQ(shown(), fresh[step]) << step;
    }
    EXPECT_EQ(main->ageSex()->text(), " New Foal");
    forward();
    EXPECT_EQ(seam.beeps, beeps + 2);

    // A new show after going back drops what lay ahead.
    back();
    back();
    EXPECT_EQ(shown(), fresh[1]);
    lookUp("3");
    forward();
    EXPECT_EQ(seam.beeps, beeps + 3);
    back();
    EXPECT_EQ(shown(), fresh[1]);
}
