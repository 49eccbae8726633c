// Reading the windows: whole names, built-in fonts, colours under any theme, zoom.
#include <QFile>
#include <QFontMetrics>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "gui_fixture.h"
#include "ui/fit_text.h"
#include "ui/fonts.h"
#include "ui/planner_form.h"
#include "ui/sub_form.h"
#include "ui/twips.h"
#include "ui/zoom.h"

using namespace quindle;
using quindle::testing::GuiTest;
using quindle::testing::lineageBox;
using quindle::testing::named;
using quindle::testing::ptBox;
using quindle::testing::text16Box;

class ReadingTest : public GuiTest {
protected:
    ui::SubForm* openMating()
    {
        QTest::mouseClick(named<QPushButton>(main, "HypoMate"), Qt::LeftButton);
        return main->subForm();
    }
    // Every caption of a window is shown whole, or its tooltip holds it.
    template <class Fitted>
    static void expectNothingSilentlyCut(QWidget* window, const char* what)
    {
        // By their C++ type: findChildren matches by the nearest class Qt knows.
        std::vector<const Fitted*> widgets;
        for (const QWidget* child : window->findChildren<QWidget*>())
            if (const auto* fitted = dynamic_cast<const Fitted*>(child))
                widgets.push_back(fitted);
        EXPECT_FALSE(widgets.empty()) << what;
        for (const Fitted* w : widgets) {
            const ui::FittedText shown = w->shown();
            if (shown.whole)
                EXPECT_EQ(shown.text, w->text());
            else
                EXPECT_EQ(w->toolTip(), w->text()) << what << " " << w->text().toStdString();
        }
    }
};

TEST_F(ReadingTest, ALongNameIsElidedAndWholeInItsTooltip)
{
    const QString longName = "THE VERY LONG NAME OF A SIRE (IRE)";
    ui::SubForm* sub = openMating();
    type(sub->box(0), longName);
    type(sub->box(1), "RED CAP");
    QTest::mouseClick(sub->submitButton(), Qt::LeftButton);

    auto* sire = static_cast<ui::NameBox*>(lineageBox(main, 0));
    EXPECT_EQ(sire->text(), longName); // the box still holds the whole name
    EXPECT_TRUE(sire->shown().text.endsWith(QChar(0x2026))) << sire->shown().text.toStdString();
    EXPECT_EQ(sire->toolTip().split('\n').first(), longName); // then what a double click does
    // Tab to it selects the whole name, and the box still shows how it begins.
    main->activateWindow();
    EXPECT_SOON(QApplication::activeWindow() == main.get(), 5000);
    lineageBox(main, 0)->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(sire->selectedText(), longName);
    EXPECT_EQ(sire->cursorPosition(), 0);

    auto* damSire = static_cast<ui::NameBox*>(lineageBox(main, 2));
    EXPECT_EQ(damSire->shown().text, "RED CAP");
    EXPECT_EQ(damSire->toolTip(), "Double click: Foals of RED CAP (more on the right button)"); // no name line

    // Zoom scales the box and its face together: still elided, still whole in its tooltip.
    main->setZoom(250);
    EXPECT_TRUE(sire->shown().text.endsWith(QChar(0x2026)));
    EXPECT_EQ(sire->toolTip().split('\n').first(), longName);
}

TEST(FitText, WholeThenSmallerThenElided)
{
    const QFont font = ui::windowFont();
    const QString name = "NORTOR SEAELMIS (IRE)";
    const int width = QFontMetrics(font).horizontalAdvance(name);
    const ui::FittedText whole = ui::fitText(name, font, width);
    EXPECT_TRUE(whole.whole);
    EXPECT_EQ(whole.text, name);
    const ui::FittedText smaller = ui::fitText(name, font, width - 4);
    EXPECT_FALSE(smaller.whole);
    EXPECT_EQ(smaller.text, name);
    EXPECT_LT(smaller.font.pixelSize(), font.pixelSize());
    const ui::FittedText elided = ui::fitText(name, font, width / 2);
    EXPECT_FALSE(elided.whole);
    EXPECT_TRUE(elided.text.endsWith(QChar(0x2026))) << elided.text.toStdString();
    EXPECT_LE(QFontMetrics(elided.font).horizontalAdvance(elided.text), width / 2);
}

TEST_F(ReadingTest, NoCaptionOrButtonIsSilentlyCutAtAnyZoom)
{
    ui::SubForm* sub = openMating();
    for (const int zoom : {100, 175, 250}) {
        main->setZoom(zoom);
        expectNothingSilentlyCut<ui::FitLabel>(sub, "mating window label");
        expectNothingSilentlyCut<ui::FitButton>(sub, "mating window button");
        expectNothingSilentlyCut<ui::FitButton>(main.get(), "main window button");
        expectNothingSilentlyCut<ui::NameBox>(main.get(), "main window box");
    }
}

TEST_F(ReadingTest, BothWindowsUseTheBuiltInFaces)
{
    const QStringList families = ui::loadBuiltInFonts();
    const QString condensed = ui::windowFont().family(); // "DejaVu Sans" on Windows, a condensed width of it
    EXPECT_TRUE(condensed.startsWith("DejaVu Sans") && families.contains(condensed))
        << families.join(", ").toStdString();
    EXPECT_TRUE(families.contains("DejaVu Sans Mono"));
    EXPECT_TRUE(QFile::exists(":/fonts/LICENSE-DejaVu.txt"));
    EXPECT_EQ(QFontInfo(main->text(2)->font()).family(), condensed);
    EXPECT_EQ(QFontInfo(text16Box(main, 7)->font()).family(), "DejaVu Sans Mono");
    EXPECT_EQ(QFontInfo(openMating()->box(0)->font()).family(), condensed);
}

TEST_F(ReadingTest, BoxTextsStayDarkOnThePastelColoursUnderADarkTheme)
{
    const QPalette before = QApplication::palette();
    QPalette dark = before;
    dark.setColor(QPalette::Window, QColor(40, 40, 40));
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Text, Qt::white);
    QApplication::setPalette(dark);
    main = std::make_unique<ui::MainForm>(folder, main->chefs());
    lookUp("1");
    for (QLineEdit* box : {main->text(2), main->ageSex(), main->text(3), main->text(9), main->text(11)}) {
        EXPECT_LT(box->palette().color(QPalette::Text).lightness(), 60) << box->text().toStdString();
        EXPECT_GT(box->palette().color(QPalette::Base).lightness(), 150);
    }
    EXPECT_EQ(main->searchID()->palette().color(QPalette::Base), QColor(30, 30, 30)); // the rest follows the theme
    QApplication::setPalette(before);
}

TEST_F(ReadingTest, ZoomScalesTheWindowTogetherAndIsRememberedForTheNextStart)
{
    const QRect designed = ui::twipsRect(5880, 5520, 655, 285);
    const int designedFont = main->font().pixelSize();
    QTest::keyClick(main->searchID(), Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(main->searchID(), Qt::Key_Equal, Qt::ControlModifier);
    QTest::keyClick(main->searchID(), Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(main->searchID(), Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(main->zoom(), 200);
    EXPECT_EQ(main->searchID()->geometry(), QRect(designed.topLeft() * 2, designed.size() * 2));
    EXPECT_EQ(main->size(), QSize(ui::px(7470), ui::px(6855)) * 2);
    EXPECT_EQ(main->font().pixelSize(), designedFont * 2);
    EXPECT_EQ(text16Box(main, 7)->font().pixelSize(), 16); // its own face, scaled too
    EXPECT_EQ(main->searchID()->text(), "");               // the keys type nothing

    // The mating window opens beside the zoomed window, zoomed as well.
    ui::SubForm* sub = openMating();
    EXPECT_EQ(sub->size(), QSize(ui::px(4185), ui::px(1500)) * 2);
    EXPECT_TRUE(sub->screen()->availableGeometry().contains(sub->frameGeometry())) << sub->x() << "," << sub->y();
    QTest::keyClick(sub->box(0), Qt::Key_Minus, Qt::ControlModifier); // its keys zoom both windows
    EXPECT_EQ(main->zoom(), 175);
    EXPECT_EQ(sub->size(), QSize(ui::px(4185) * 7 / 4, ui::px(1500) * 7 / 4));
    QTest::keyClick(sub->box(0), Qt::Key_Plus, Qt::ControlModifier);

    // The planner, laid out by layouts, takes the zoom in its face.
    const QFont plannerFont = QApplication::font();
    main->openPlanner();
    const QFont zoomedPlanner = main->plannerForm()->font();
    EXPECT_EQ(zoomedPlanner.pixelSize() > 0 ? zoomedPlanner.pixelSize() : zoomedPlanner.pointSizeF(),
              2 * (plannerFont.pixelSize() > 0 ? plannerFont.pixelSize() : plannerFont.pointSizeF()));
    EXPECT_SOON(!main->plannerForm()->busy(), 10000);

    main = std::make_unique<ui::MainForm>(folder, main->chefs());
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    EXPECT_EQ(main->zoom(), 200);
    EXPECT_EQ(main->searchID()->geometry(), QRect(designed.topLeft() * 2, designed.size() * 2));

    for (int i = 0; i < 9; ++i)
        QTest::keyClick(main->searchID(), Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(main->zoom(), 250);
    QTest::keyClick(main->searchID(), Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(main->zoom(), 100);
    EXPECT_EQ(main->searchID()->geometry(), designed);
    QTest::keyClick(main->searchID(), Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(main->zoom(), 100);
}
