// Where the windows stand and how large they are, on the screens a player has:
// none covers the main window's answer, none runs off its screen.
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>

#include "gui_fixture.h"
#include "ui/compare_chart.h"
#include "ui/compare_form.h"
#include "ui/main_form.h"
#include "ui/search_form.h"
#include "ui/season_form.h"
#include "ui/sub_form.h"

using namespace quindle;
using namespace quindle::testing;

namespace {

QScreen* screenNamed(const QString& name)
{
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->name() == name)
            return screen;
    return nullptr;
}

} // namespace

class WindowPlacesTest : public GuiTest {
protected:
    // The main window where a window manager centres it on `screen`, at `zoom`.
    void centreOn(QScreen* screen, int zoom)
    {
        main->setScreen(screen);
        main->setZoom(zoom);
        const QRect area = screen->availableGeometry();
        main->move(area.center() - QPoint(main->frameGeometry().width() / 2, main->frameGeometry().height() / 2));
    }
    ui::SubForm* openMating()
    {
        QTest::mouseClick(named<QPushButton>(main, "HypoMate"), Qt::LeftButton);
        return main->subForm();
    }
};

TEST_F(WindowPlacesTest, TheMatingWindowCoversNoneOfTheMainWindowAtAnySizeAndKeepsThePlayersPlace)
{
    for (const char* name : {"large", "laptop"})
        for (int zoom : {100, 150, 200}) {
            QScreen* screen = screenNamed(QString::fromLatin1(name));
            ASSERT_NE(screen, nullptr);
            centreOn(screen, zoom);
            ui::SubForm* sub = openMating();
            ASSERT_NE(sub, nullptr);
            const QRect area = screen->availableGeometry();
            EXPECT_FALSE(sub->frameGeometry().intersects(main->frameGeometry()))
                << name << " at " << main->zoom() << " %: the mating window covers the answer";
            EXPECT_TRUE(area.contains(sub->frameGeometry())) << name << " at " << main->zoom() << " %";
            EXPECT_TRUE(area.contains(main->frameGeometry())) << name << " at " << main->zoom() << " %";
            sub->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }

    // A place the player moved it to, over the main window if so wished, is kept.
    ui::SubForm* sub = openMating();
    const QPoint moved = main->pos() + QPoint(40, 40);
    sub->move(moved);
    sub->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(openMating()->pos(), moved);
}

TEST_F(WindowPlacesTest, OpenWindowsFollowAZoomChangeAndStayInsideTheScreen)
{
    QScreen* laptop = screenNamed(QStringLiteral("laptop"));
    ASSERT_NE(laptop, nullptr);
    centreOn(laptop, 100);
    main->openSeason();
    main->openSearch();
    ui::SeasonForm* season = main->seasonForm();
    ui::SearchForm* search = main->searchForm();
    ASSERT_TRUE(season && search);
    const QSize searchBefore = search->size();
    ui::SubForm* sub = openMating();

    QTest::keyClick(main.get(), Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(main.get(), Qt::Key_Plus, Qt::ControlModifier);
    ASSERT_EQ(main->zoom(), 150);
    QCoreApplication::processEvents();
    const QRect area = laptop->availableGeometry();
    for (QWidget* window : std::initializer_list<QWidget*>{season, search, sub, main.get()})
        EXPECT_TRUE(area.contains(window->frameGeometry()))
            << window->windowTitle().toStdString() << " runs off the screen: " << window->frameGeometry().x() << ","
            << window->frameGeometry().y() << " " << window->frameGeometry().width() << "x"
            << window->frameGeometry().height();
    // On the large screen at the largest zoom, the season wider than at 100 %.
    QScreen* large = screenNamed(QStringLiteral("large"));
    centreOn(large, 100);
    season->move(large->availableGeometry().topRight() - QPoint(season->frameGeometry().width() + 100, 0));
    search->move(large->availableGeometry().center());
    main->setZoom(250);
    QCoreApplication::processEvents();
    for (QWidget* window : std::initializer_list<QWidget*>{season, search, main.get()})
        EXPECT_TRUE(large->availableGeometry().contains(window->frameGeometry()))
            << window->windowTitle().toStdString() << " runs off the screen at 250 %: " << window->frameGeometry().x()
            << "," << window->frameGeometry().y() << " " << window->frameGeometry().width() << "x"
            << window->frameGeometry().height();

    // The search grows with its text, as far as the screen lets it.
    EXPECT_GT(search->width(), searchBefore.width() * 5 / 4);
    // The mating window left beside the main window stays clear of it as it grows.
    EXPECT_FALSE(sub->frameGeometry().intersects(main->frameGeometry()));
}

TEST_F(WindowPlacesTest, TheComparisonOpensLargeEnoughForItsCandidatesTheTableBeforeTheChart)
{
    QScreen* large = screenNamed(QStringLiteral("large"));
    ASSERT_NE(large, nullptr);
    std::vector<Candidate> candidates;
    for (std::int32_t id = 1; id <= 5; ++id)
        candidates.push_back(Candidate{id, {}, {}, {}});
    candidates.push_back(Candidate{0, MatingNames{"RED CAP", "NORTH STAR (IRE)", "MR. RED-CAP"}, {}, {}});
    for (int zoom : {100, 200}) {
        centreOn(large, zoom);
        main->addAllToComparison(candidates);
        ui::CompareForm* compare = main->compareForm();
        ASSERT_NE(compare, nullptr);
        ASSERT_EQ(compare->shown().size(), 6u);
        QCoreApplication::processEvents();
        QTableWidget* table = compare->table();
        EXPECT_EQ(table->horizontalScrollBar()->maximum(), 0) << "candidates cut at " << zoom << " %";
        EXPECT_EQ(table->verticalScrollBar()->maximum(), 0) << "rows scroll away at " << zoom << " %";
        EXPECT_GT(table->height(), compare->chart()->height());
        EXPECT_TRUE(large->availableGeometry().contains(compare->frameGeometry()));
        compare->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
