#pragma once
// MainForm: the pedigree chart, the profile grid, the ID box and GO.
#include <QPointer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "main_state/chosen_mating.h"
#include "main_state/main_boxes.h"
#include "main_state/main_shown.h"
#include "main_state/mating.h"
#include "main_state/record_stallion.h"
#include "main_state/shown_history.h"
#include "compare/comparison.h"
#include "data/chef_table.h"
#include "data/data_folder.h"
#include "ui/card_actions.h"
#include "ui/child_windows.h"
#include "ui/main_form_boxes.h"
#include "ui/session.h"
#include "ui/stable_commands.h"

class QLineEdit;
class QMenu;
class QPushButton;

namespace quindle::ui {

class ChartNames;
class EditGuard;
class ProfileChart;
class RosterStore;
class StableStore;

class MainForm : public QWidget {
    Q_OBJECT
public:
    // The main window on the open data every window shares.
    explicit MainForm(Session* session, QWidget* parent = nullptr);
    // The same on data of its own (tests, tools).
    MainForm(DataFolder folder, ChefTable chefs, QWidget* parent = nullptr);
    ~MainForm() override;

    // The window's operations.
    void clear();
    void goClick();
    void hypoMateClick();
    // Shows the foal of a hypothetical mating, as the mating window's Submit does.
    void submitMating(const MatingNames& names);
    // The same for a mating picked anywhere: with a Sire of the breeding file,
    // for a mare. Blank names keep the boxes' (and, with a mare shown, the
    // mating is hers).
    void submitChosen(const ChosenMating& mating);
    // Opens the mating planner (or brings it to the front); it opens on the
    // best mares when the horse shown is a stallion.
    void openPlanner() { windows_->openPlanner(); }
    // The planner's best mares for a stallion, or for the colt or horse shown.
    void openBestMares(const std::string& stallion) { windows_->openBestMares(stallion); }
    void openBestMaresFor(const RecordStallion& stallion) { windows_->openBestMares(stallion); }
    // The search window's foals of a stallion.
    void openFoalsOf(const std::string& sire) { windows_->openFoalsOf(sire); }
    // The mating window with this name in its Sire box, taken whole.
    void useAsSire(const std::string& sire);
    // The same with the colt or horse shown: his own record gives the Sire's side.
    void useAsSireFromFile(const RecordStallion& stallion);
    // The colt or horse shown, when he is one.
    const std::optional<RecordStallion>& shownStallion() const { return shown_.stallion; }
    // Back and forward (Alt+Left, Alt+Right) through the horses and matings
    // shown in this run, each shown again as a fresh lookup or submission
    // would; a beep at either end.
    void goBack();
    void goForward();
    const ShownHistory& history() const { return history_; }
    // From now on a lookup first checks the breeding file against what start-up
    // cut; a changed file is cut again (under the progress window), then answered.
    void watchBreedingFile(std::string stampPath);
    // Asks for another data folder and starts up on it.
    void chooseDataFolder();
    // Says which version and data folder this is.
    void about();
    // Zoom in percent (100 to 250), kept between runs; Ctrl+plus, Ctrl+minus, Ctrl+0.
    int zoom() const { return zoom_; }
    void setZoom(int percent);
    // Opens the search by name (or brings it to the front).
    void openSearch() { windows_->openSearch(); }
    // Raises the window and gives it the keyboard: another window showed something here.
    void bringToFront();
    // Shows a horse as typing its ID and GO would (a row picked in the search).
    void showHorse(std::int32_t id);
    // Shows a mating chosen in the planner, with its names in the mating window when it is open.
    void showChosenMating(const ChosenMating& mating);

    // The chart pane beside the profile: shown or hidden (Ctrl+K, the context
    // menu), remembered between runs; the window grows to hold it.
    bool chartShown() const;
    void setChartShown(bool shown);
    ProfileChart* chart() const { return chart_; }
    // The card of the horse or foal shown: Ctrl+P prints it (where Qt can
    // print), "Save as PDF…" writes it. False after telling why not.
    void printCard() { card_->print(); }
    void saveCardAsPdf() { card_->saveAsPdf(); }
    bool writeCardPdf(const QString& path) { return card_->writePdf(path); }
    // The comparison of candidates, kept for the run: the shown horse or foal
    // is added (Ctrl+Shift+A); a mating or a horse can be added from elsewhere.
    void openCompare() { windows_->openCompare(); }
    void compareShown();
    void addToComparison(const Candidate& candidate) { windows_->addToComparison(candidate); }
    void addAllToComparison(const std::vector<Candidate>& candidates) { windows_->addAllToComparison(candidates); }
    CompareForm* compareForm() const { return windows_->compare(); }
    std::vector<Candidate>& candidates() { return candidates_; }
    // The mating last submitted while its foal is shown, whole: its names as
    // the foal has them, its Sire's record, its mare.
    const std::optional<ChosenMating>& shownChosen() const { return shown_.chosen; }
    // The window's own actions for a context menu.
    void addWindowActions(QMenu* menu);
    // The player's own horses for this data folder, and the windows over them.
    StableStore* stable() const { return stable_; }
    // The stallions of the season's roster for this data folder.
    RosterStore* roster() const { return roster_; }
    void openMyHorses() { windows_->openMyHorses(); }
    void openSeason() { windows_->openSeason(); }
    // Adds the horse the last GO found to My Horses; false when none is shown.
    bool addShownHorse() { return stableCommands_->addShownHorse(); }
    MyHorsesForm* myHorsesForm() const { return windows_->myHorses(); }
    SeasonForm* seasonForm() const { return windows_->season(); }

    // The boxes, by their names: text(n) for Text2 .. Text17.
    QLineEdit* text(int n) const;
    QLineEdit* ageSex() const { return boxes_.ageSex; }
    QLineEdit* searchID() const { return boxes_.searchID; }
    SubForm* subForm() const { return windows_->subForm(); }
    PlannerForm* plannerForm() const { return windows_->planner(); }
    SearchForm* searchForm() const { return windows_->search(); }
    // The horse found by the last GO while it is shown, else 0.
    std::int32_t shownHorse() const { return shown_.horse; }
    Session* session() const { return session_; }
    const DataFolder& folder() const { return session_->folder(); }
    std::int32_t requestedID() const { return requestedID_; }
    QString lastGoodID() const;

    // The boxes' texts and colours, for the window-free operations.
    MainBoxes readBoxes() const;
    void writeBoxes(const MainBoxes& boxes);
    const ChefTable& chefs() const { return session_->chefs(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    int fittingZoom(int percent) const;
    void wireCommands();
    void buildChartPane();
    void showChart();
    bool searchKeyPress(QKeyEvent* event);
    void warnAboutBucket(const std::string& error);
    void folderReplaced();
    void showDataFolder();
    void markRepeatedSires(const MainBoxes& boxes);
    void buildChartNames();
    void showAgain(const std::optional<ShownEntry>& entry);
    void showForWhom();
    ChosenMating forShown(ChosenMating mating) const;
    HorseCard shownCard() const;

    Session* session_;
    std::int32_t requestedID_ = 0;
    MainShown shown_;
    ShownHistory history_;
    bool showingAgain_ = false; // going back or forward: the history stays as it is
    ChartNames* chartNames_ = nullptr;
    Rgb text2Colour_ = kNeutralColour;
    Rgb ageSexColour_ = kNeutralColour;

    MainFormBoxes boxes_;
    EditGuard* idGuard_ = nullptr;
    int zoom_ = 100;
    ProfileChart* chart_ = nullptr;
    std::vector<Candidate> candidates_;
    StableStore* stable_ = nullptr;
    RosterStore* roster_ = nullptr;
    ChildWindows* windows_ = nullptr; // the windows it opens, and what passes between them
    StableCommands* stableCommands_ = nullptr;
    CardActions* card_ = nullptr;
};

} // namespace quindle::ui
