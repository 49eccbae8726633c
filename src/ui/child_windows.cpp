#include "ui/child_windows.h"

#include <QEvent>
#include <QLineEdit>
#include <QScreen>
#include <QWidget>

#include "ui/compare_form.h"
#include "ui/latin1.h"
#include "ui/my_horses_form.h"
#include "ui/planner_form.h"
#include "ui/search_form.h"
#include "ui/season_form.h"
#include "ui/session.h"
#include "ui/roster_store.h"
#include "ui/stable_store.h"
#include "ui/sub_form.h"
#include "ui/zoom.h"

namespace quindle::ui {

ChildWindows::ChildWindows(Session* session, StableStore* stable, RosterStore* roster,
                           std::vector<Candidate>& candidates, const MainShown& shown, std::function<int()> zoom,
                           QWidget* main)
    : QObject(main),
      session_(session),
      stable_(stable),
      roster_(roster),
      candidates_(candidates),
      shown_(shown),
      zoom_(std::move(zoom)),
      main_(main),
      subFormPos_(savedMatingWindowPlace())
{
}

SubForm* ChildWindows::subForm() const { return subForm_.data(); }

PlannerForm* ChildWindows::planner() const { return planner_.data(); }

SearchForm* ChildWindows::search() const { return search_.data(); }

CompareForm* ChildWindows::compare() const { return compare_.data(); }

MyHorsesForm* ChildWindows::myHorses() const { return myHorses_.data(); }

SeasonForm* ChildWindows::season() const { return season_.data(); }

void ChildWindows::bringUp(QWidget* window) const
{
    window->show();
    window->raise();
    window->activateWindow();
}

void ChildWindows::placeNear(QWidget* window, int fraction) const
{
    // Each window opens at its own step into the main window, so none hides another.
    placeOnScreen(window, main_->pos() + QPoint(main_->width() / fraction, main_->height() / fraction), main_);
}

void ChildWindows::makeMatingWindow(const MatingNames& kept)
{
    subForm_ = new SubForm(session_, main_);
    connect(subForm_, &SubForm::submitted, this, &ChildWindows::matingSubmitted);
    connect(subForm_, &SubForm::plannerRequested, this, [this] {
        openPlanner();
        // For the mare the typed lines make: her sire and her dam-sire.
        const QString damSire = subForm_->box(1)->text().trimmed(), damDamSire = subForm_->box(2)->text().trimmed();
        if (!damSire.isEmpty() || !damDamSire.isEmpty())
            planner_->planForLines(damSire, damDamSire);
    });
    connect(subForm_, &SubForm::comparisonAsked, this, &ChildWindows::typedMatingToCompare);
    subForm_->showKept(kept);
    addZoomKeys(subForm_, zoom_, [this](int percent) { emit zoomAsked(percent); });
    subFormObject_ = subForm_.data();
    subForm_->installEventFilter(this);
    ui::applyZoom(subForm_, zoom_());
}

void ChildWindows::openMatingWindow(const MatingNames& kept)
{
    const bool reopened = !subForm_;
    if (!subForm_)
        makeMatingWindow(kept);
    subForm_->hide();
    bringUp(subForm_);
    // Where the player last moved it before closing it, or beside the main window.
    if (reopened && subFormPos_)
        placeOnScreen(subForm_, *subFormPos_, main_);
    else
        placeMatingWindowBeside();
}

std::optional<BesidePlace> ChildWindows::matingWindowBeside() const
{
    const QScreen* where = main_->screen();
    if (!where || !subForm_)
        return std::nullopt;
    const QSize frame = subForm_->frameGeometry().size().expandedTo(subForm_->size() + QSize(16, 40));
    return placeBeside(main_->frameGeometry(), frame, where->availableGeometry());
}

void ChildWindows::placeMatingWindowBeside()
{
    const std::optional<BesidePlace> place = matingWindowBeside();
    if (!place)
        return;
    if (place->otherAt != main_->frameGeometry().topLeft())
        main_->move(place->otherAt); // the only way both are read: the main window steps aside
    subForm_->move(place->windowAt);
}

bool ChildWindows::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Close && watched == subFormObject_ && subForm_) {
        if (const auto beside = matingWindowBeside(); !beside || subForm_->pos() != beside->windowAt)
            subFormPos_ = subForm_->pos(); // moved by the player: kept for the next runs too
        else
            subFormPos_.reset();
        saveMatingWindowPlace(subFormPos_);
    }
    return QObject::eventFilter(watched, event);
}

void ChildWindows::openPlanner()
{
    if (!planner_) {
        planner_ = new PlannerForm(session_, shown_.horse, main_, stable_);
        connect(planner_, &PlannerForm::matingChosen, this, &ChildWindows::matingChosen);
        connect(planner_, &PlannerForm::comparisonAsked, this, &ChildWindows::addAllToComparison);
        connect(planner_, &PlannerForm::addToRoster, this, [this](const std::string& stallion) {
            roster_->add({RosterKey{0, stallion}}, planner_);
        });
        planner_->setZoom(zoom_());
        placeNear(planner_, 3);
        if (shown_.stallion)
            planner_->showMaresFor(*shown_.stallion);
    }
    bringUp(planner_);
}

void ChildWindows::openSearch()
{
    if (!search_) {
        search_ = new SearchForm(session_, main_);
        connect(search_, &SearchForm::horseChosen, this, &ChildWindows::horseChosen);
        search_->markShownFoal(shown_.horse);
        search_->setZoom(zoom_());
        placeNear(search_, 4);
        connect(search_, &SearchForm::addToMyHorses, this, [this](std::int32_t id) { stable_->add(id, search_); });
        connect(search_, &SearchForm::addToRoster, this, [this](std::int32_t id) {
            roster_->add({RosterKey{id, {}}}, search_);
        });
    }
    bringUp(search_);
    search_->textBox()->setFocus();
}

void ChildWindows::openCompare()
{
    if (!compare_) {
        compare_ = new CompareForm(session_, candidates_, main_);
        connect(compare_, &CompareForm::addShownRequested, this, &ChildWindows::shownToCompare);
        compare_->setZoom(zoom_());
        placeNear(compare_, 5);
    }
    bringUp(compare_);
}

void ChildWindows::openMyHorses()
{
    if (!myHorses_) {
        myHorses_ = new MyHorsesForm(session_, stable_, main_);
        connect(myHorses_, &MyHorsesForm::showHorse, this, &ChildWindows::horseChosen);
        connect(myHorses_, &MyHorsesForm::openSeason, this, &ChildWindows::openSeason);
        myHorses_->setZoom(zoom_());
        placeNear(myHorses_, 5);
    }
    bringUp(myHorses_);
}

void ChildWindows::openSeason()
{
    if (!season_) {
        season_ = new SeasonForm(session_, stable_, main_);
        season_->attachRoster(roster_);
        connect(season_, &SeasonForm::showMating, this, &ChildWindows::matingChosen);
        connect(season_, &SeasonForm::comparisonAsked, this, &ChildWindows::addAllToComparison);
        season_->setZoom(zoom_());
        placeNear(season_, 4);
    }
    bringUp(season_);
}

void ChildWindows::openFoalsOf(const std::string& sire)
{
    openSearch();
    search_->showFoalsOf(fromLatin1(sire));
}

void ChildWindows::openBestMares(const std::string& stallion)
{
    openPlanner();
    planner_->showMaresFor(stallion);
}

void ChildWindows::openBestMares(const RecordStallion& stallion)
{
    openPlanner();
    planner_->showMaresFor(stallion);
}

void ChildWindows::useAsSire(const std::string& sire, const MatingNames& kept)
{
    openMatingWindow(kept);
    subForm_->setNames({sire, toLatin1(subForm_->box(1)->text()), toLatin1(subForm_->box(2)->text())});
}

void ChildWindows::useAsSireFromFile(const RecordStallion& stallion, const MatingNames& kept)
{
    openMatingWindow(kept);
    subForm_->useSireFromFile(stallion);
}

void ChildWindows::addToComparison(const Candidate& candidate)
{
    openCompare();
    compare_->add(candidate);
}

void ChildWindows::addAllToComparison(const std::vector<Candidate>& candidates)
{
    openCompare();
    compare_->add(candidates);
}

void ChildWindows::mainShowsHorse(bool found)
{
    if (planner_)
        planner_->setMainWindowShows(!found             ? QStringLiteral("no horse")
                                     : !shown_.stallion ? QString()
                                                        : QStringLiteral("a stallion"));
    if (found && planner_) {
        if (!shown_.stallion)
            planner_->planForShownHorse(shown_.horse);
        else
            planner_->showMaresFor(*shown_.stallion); // the mare planned for stays on her tab
    }
    if (search_)
        search_->markShownFoal(shown_.horse);
}

void ChildWindows::mainShowsFoal()
{
    if (planner_)
        planner_->setMainWindowShows(QStringLiteral("a foal"));
    if (search_)
        search_->markShownFoal(shown_.horse);
}

void ChildWindows::applyZoom()
{
    const int zoom = zoom_();
    if (subForm_) {
        const auto place = matingWindowBeside();
        const bool beside = place && subForm_->pos() == place->windowAt;
        ui::applyZoom(subForm_, zoom);
        if (beside)
            placeMatingWindowBeside(); // clear of the grown main window
        else
            placeOnScreen(subForm_, subForm_->frameGeometry().topLeft(), subForm_);
    }
    if (planner_)
        planner_->setZoom(zoom);
    if (search_)
        search_->setZoom(zoom);
    if (compare_)
        compare_->setZoom(zoom);
    if (myHorses_)
        myHorses_->setZoom(zoom);
    if (season_)
        season_->setZoom(zoom);
}

void ChildWindows::closeAll()
{
    for (QWidget* window : std::initializer_list<QWidget*>{subForm_, planner_, search_, compare_, myHorses_, season_})
        if (window)
            window->close();
}

} // namespace quindle::ui
