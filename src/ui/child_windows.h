#pragma once
// The windows the main window opens (the mating window, the planner, the
// search, the comparison, My Horses and the season): each made once and
// brought to the front after, wired to the others, given the zoom and closed
// with the main window. What a window asks of the main window comes out as a
// signal; what the main window shows is read from its MainShown.
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "main_state/chosen_mating.h"
#include "main_state/main_shown.h"
#include "main_state/mating.h"
#include "main_state/record_stallion.h"
#include "compare/comparison.h"
#include "ui/placement.h"

class QWidget;

namespace quindle::ui {

class CompareForm;
class MyHorsesForm;
class PlannerForm;
class SearchForm;
class SeasonForm;
class Session;
class RosterStore;
class StableStore;
class SubForm;

class ChildWindows : public QObject {
    Q_OBJECT
public:
    // `main` is the main window: the parent of every child window and the one they open near.
    // `zoom` is the main window's: a window opened later takes it as it is then.
    ChildWindows(Session* session, StableStore* stable, RosterStore* roster, std::vector<Candidate>& candidates,
                 const MainShown& shown, std::function<int()> zoom, QWidget* main);

    // The mating window, with the names a blank box keeps; beside the main
    // window, or where the player last moved it.
    void openMatingWindow(const MatingNames& kept);
    // The planner opens on the best mares when the horse shown is a stallion.
    void openPlanner();
    void openSearch();
    void openCompare();
    void openMyHorses();
    void openSeason();
    void openFoalsOf(const std::string& sire);
    void openBestMares(const std::string& stallion);
    void openBestMares(const RecordStallion& stallion);
    // The mating window with this name in its Sire box, or his own record.
    void useAsSire(const std::string& sire, const MatingNames& kept);
    void useAsSireFromFile(const RecordStallion& stallion, const MatingNames& kept);
    void addToComparison(const Candidate& candidate);
    void addAllToComparison(const std::vector<Candidate>& candidates);

    // The main window looked up a horse (found or not) or showed a foal: the
    // planner and the search follow it.
    void mainShowsHorse(bool found);
    void mainShowsFoal();
    // Every open child window at the main window's zoom; the mating window
    // stays beside the main window when it stood there.
    void applyZoom();
    void closeAll();

    // Each window while it is open, else null.
    SubForm* subForm() const;
    PlannerForm* planner() const;
    SearchForm* search() const;
    CompareForm* compare() const;
    MyHorsesForm* myHorses() const;
    SeasonForm* season() const;

signals:
    void horseChosen(std::int32_t id);                // a row of the search or My Horses
    void matingChosen(const ChosenMating& mating);    // a row of the planner or the season
    void matingSubmitted(const ChosenMating& mating); // the mating window's Submit
    void typedMatingToCompare(const ChosenMating& mating);
    void shownToCompare(); // the comparison wants what the main window shows
    void zoomAsked(int percent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makeMatingWindow(const MatingNames& kept);
    std::optional<BesidePlace> matingWindowBeside() const;
    void placeMatingWindowBeside();
    void bringUp(QWidget* window) const;
    void placeNear(QWidget* window, int fraction) const;

    Session* session_;
    StableStore* stable_;
    RosterStore* roster_;
    std::vector<Candidate>& candidates_;
    const MainShown& shown_;
    std::function<int()> zoom_;
    QWidget* main_;
    QPointer<SubForm> subForm_;
    // The same window as an object, for the event filter: it also hears the
    // window's last events from inside its destructor, when it is no SubForm any more.
    QPointer<QObject> subFormObject_;
    std::optional<QPoint> subFormPos_; // where the player moved the mating window
    QPointer<PlannerForm> planner_;
    QPointer<SearchForm> search_;
    QPointer<CompareForm> compare_;
    QPointer<MyHorsesForm> myHorses_;
    QPointer<SeasonForm> season_;
};

} // namespace quindle::ui
