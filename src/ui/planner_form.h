#pragma once
// The mating planner: every stallion of the sire list with one mare, ranked in
// a table the player sorts and filters; a row is shown in the main window as
// the mating window's Submit would show it.
#include <QWidget>
#include <utility>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "compare/comparison.h"
#include "data/chef_table.h"
#include "main_state/mating.h"
#include "data/data_folder.h"
#include "planner/sire_plan.h"
#include "ui/latest_work.h"
#include "ui/target_boxes.h"

class QLabel;
class QLayout;
class QLineEdit;
class QRadioButton;
class QTabWidget;
class QTableView;

namespace quindle {
struct MarePlan;
}

namespace quindle::ui {

class BestMaresPane;
class PlannerModel;
class Session;
class StableStore;

class PlannerForm : public QWidget {
    Q_OBJECT
public:
    // Plans for `shownHorse` (0: none shown) on the session's data, beside
    // `parent`; `stable` (may be null) offers the best mares among My Horses.
    PlannerForm(Session* session, std::int32_t shownHorse, QWidget* parent, StableStore* stable = nullptr);

    PlannerModel* model() const { return model_; }
    QTableView* table() const { return table_; }
    // The other direction: the best mares for a stallion.
    BestMaresPane* maresPane() const { return mares_; }
    QTabWidget* directions() const { return directions_; }
    // True while a plan is being computed, in either direction.
    bool busy() const;
    // Turns to the best mares for `stallion` (as the sire list holds the name) and plans them.
    void showMaresFor(const std::string& stallion);
    void showMaresFor(const RecordStallion& stallion);

    // Scales the face, the rows and the columns to the main window's zoom (the
    // window's size too while it is not shown).
    void setZoom(int percent);
    // Turns to the stallions for the horse the main window now shows and plans
    // again (the mare by her lines); 0, a foal or nothing, keeps the mare planned for.
    void planForShownHorse(std::int32_t id);
    // Plans for the mare of these lines, as if typed into her boxes: the
    // mating window's Dam-Sire and Dam's Dam-Sire.
    void planForLines(const QString& damSire, const QString& damDamSire);
    // What the main window shows now when it is not the mare planned for (a
    // foal, a stallion, nothing), said beside her; empty when it shows her.
    void setMainWindowShows(const QString& what);
    // Asks for the mating of a table row to be shown in the main window.
    void submitRow(int row);
    // Writes the rows as shown to a CSV file (`path`, ending in .csv), under a
    // line naming the mare; false after telling why not.
    bool exportTo(const QString& path);
    // Adds the selected rows' matings to the comparison.
    void compareSelected();
    // The mare's line, then the selected rows as tab-separated text.
    QString selectedText() const;

signals:
    // The selected rows' matings are to be added to the comparison.
    void comparisonAsked(const std::vector<quindle::Candidate>& candidates); // the rows selected, in order
    // The mating of a row is to be shown, as the mating window's Submit shows one.
    void matingChosen(const ChosenMating& mating);
    // The stallion of a row (a name of the sire list, Latin-1) is to be added to the season's roster.
    void addToRoster(const std::string& stallion);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildMarePage();
    QLayout* buildMare();
    QLayout* buildFilters();
    QTableView* buildTable();
    QLayout* buildButtons();
    void replan();
    void showPlan(const MarePlan& planned);
    void applyFilters();
    void showCount();
    void exportClick();
    QString plannedForLine() const;

    Session* session_;
    std::int32_t mareId_ = 0;
    QString plannedFor_;    // the mare (or her typed lines) of the plan shown
    MareNamed plannedMare_; // the mare of the plan shown, when one of the file
    QString listCount_;     // the list's stallions and lines, when they differ
    ChosenMating matingOf(int row) const;
    LatestWork work_{this};
    std::pair<int, Qt::SortOrder> sortedBy_{-1, Qt::AscendingOrder}; // the table's sort (-1: the sire list's order)

    QRadioButton* shownMare_ = nullptr;
    QRadioButton* typedMare_ = nullptr;
    std::array<QLineEdit*, 2> mareNames_{};
    QLabel* status_ = nullptr;
    QTabWidget* directions_ = nullptr;
    BestMaresPane* mares_ = nullptr;
    TargetBoxes bounds_;
    QLineEdit* sireFilter_ = nullptr;
    QLabel* count_ = nullptr;
    QTableView* table_ = nullptr;
    PlannerModel* model_ = nullptr;
};

} // namespace quindle::ui
