#pragma once
// The season: for every filly and mare of the player's horses (or the IDs
// typed), the best stallions of the sire list under one target, in one table
// grouped by mare. A stallion's row is shown in the main window as the mating
// window's Submit would show that mating.
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>

#include <optional>
#include <utility>
#include <vector>

#include "app/kept_season.h"
#include "main_state/chosen_mating.h"
#include "main_state/mating.h"
#include "compare/comparison.h"
#include "data/chef_table.h"
#include "data/data_folder.h"
#include "planner/plan_query.h"
#include "planner/season.h"
#include "planner/season_assign.h"
#include "ui/latest_work.h"
#include "ui/target_boxes.h"

class QAction;
class QCheckBox;
class QHBoxLayout;
class QMenu;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QSplitter;
class QStandardItem;
class QStandardItemModel;
class QTreeView;
class QVBoxLayout;

namespace quindle::ui {

class SeasonRulesPane;
class RosterPane;
class RosterStore;
class Session;
class StableStore;

class SeasonForm : public QWidget {
    Q_OBJECT
public:
    // Planned on the session's data, again whenever it changes.
    SeasonForm(Session* session, StableStore* store, QWidget* parent = nullptr);

    // Plans again from the sire list and the mares as they are now.
    void replan();

    // Scales the face, the rows and the columns to the main window's zoom (the
    // window's size too while it is not shown).
    void setZoom(int percent);

    QTreeView* tree() const { return tree_; }
    QStandardItemModel* model() const { return model_; }
    const SeasonPlan* season() const { return season_.get(); }
    // The season decided (one stallion per mare), while it is asked for; null otherwise.
    const SeasonAssignment* assignment() const { return plan_ ? &*plan_ : nullptr; }
    // The rules the season was decided under (while it is).
    const AssignRules& rules() const { return rules_; }
    bool busy() const { return work_.busy(); }
    // The target as the boxes above the table give it.
    PlanQuery query() const;
    // Shows the mating of a stallion's row (a child of a mare's row).
    void submit(const QModelIndex& index);
    // The selected stallions' rows into the comparison (Ctrl+Shift+A), each titled with its mare.
    void compareSelected();
    // The mating of a stallion's row, for its mare; none for a mare's row.
    std::optional<ChosenMating> matingAt(const QModelIndex& index) const;
    // The selected rows as tab-separated text, a mare's row as her line.
    QString selectedText() const;
    // Writes the rows as shown to a CSV file; false after telling why not.
    bool exportTo(const QString& path);

    // What the season keeps for this data folder (season_form_kept.cpp): the
    // target, the rules and the player's decisions, read again when the window opens.
    const KeptSeason& kept() const { return kept_.season(); }
    SeasonRulesPane* rulesPane() const { return rulesPane_; }
    // The menu of a row: a stallion's (accept, lock, rule out) or a mare's (clear her decision).
    std::unique_ptr<QMenu> rowMenu(const QModelIndex& index);
    // The actions on the current row, as the menu and the shortcuts give them.
    void acceptCurrent();
    void lockCurrent();
    void ruleOutPairCurrent();
    void ruleOutStallionCurrent();
    void clearDecisionCurrent();
    void clearSeason();
    // Keeps whether the season uses the player's roster or the whole sire list (read back as kept().useRoster).
    void keepUseRoster(bool useRoster);
    // The roster pane beside the table, on the main window's roster; the plan
    // is made again when the roster or the choice changes.
    void attachRoster(RosterStore* roster);
    RosterPane* rosterPane() const { return rosterPane_; }
    // Whether the season decided keeps to the roster (else the whole sire list).
    bool usesRoster() const;
    void setUsesRoster(bool uses);

signals:
    // The player asks for a mating to be shown in the main window.
    void showMating(const quindle::ChosenMating& mating);
    void comparisonAsked(const std::vector<quindle::Candidate>& candidates); // the rows selected, in order

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Where a row comes from, kept on its first cell (beside the miniature
    // bars' roles, which stand on a cell of their own): the mare's place, and
    // the stallion's row of her plan (-1 on a mare's own line).
    static constexpr int kDamRole = Qt::UserRole + 11;
    static constexpr int kRowRole = Qt::UserRole + 12;

    void applyTarget();
    // One stallion per mare, his book and no repeated sires: the rules of the season decided.
    void buildMares(QVBoxLayout* layout);
    void buildTarget(QVBoxLayout* layout);
    void buildRules(QVBoxLayout* layout);
    void buildTable(QVBoxLayout* layout);
    // A stallion's row under mare `d`: row `r` of her plan, ranked `rank` (0: not in her list).
    QList<QStandardItem*> stallionRow(std::size_t d, std::size_t rank, std::uint32_t r, int scale);
    void showStatus();
    // The rows a mare's line shows, with their ranks: her target's, or in a decided season the one stallion given her.
    std::vector<std::pair<std::size_t, std::uint32_t>> shownRows(std::size_t dam) const;
    void rebuild();
    // The row of a mare given a colt or horse of the roster, and its mating.
    QList<QStandardItem*> recordRow(std::size_t dam, const RecordFoal& foal, int scale) const;
    std::optional<ChosenMating> recordMating(const SeasonDam& dam, StallionNumber stallion) const;
    void exportClick();
    QFont damLineFont() const;

    // The season kept (season_form_kept.cpp).
    void buildKeeping(QHBoxLayout* tableRow);
    void openKept();
    void restoreBoxes();
    void keepBoxes();
    // Applies a change to the season kept, tells why when it could not be saved, and plans again.
    void changeKept(const std::function<bool(KeptSeason&)>& edit);
    // The mare and stallion of a stallion's row; none for a mare's row.
    std::optional<KeptPair> pairAt(const QModelIndex& index) const;
    std::optional<std::int32_t> mareAt(const QModelIndex& index) const;
    // What a mare's line and a stallion's rank cell say of the season kept.
    QString keptLine(std::size_t dam) const;
    void markKeptRow(std::size_t dam, std::uint32_t row, QStandardItem* rank) const;
    // The rules not kept and the entries marked, for the status.
    QStringList keptMessages() const;

    Session* session_;
    StableStore* store_;
    std::shared_ptr<SeasonPlan> season_;
    QString listError_;
    QStringList refusedIds_; // the typed parts that are no ID
    LatestWork work_{this};

    QRadioButton* fromStable_ = nullptr;
    QRadioButton* fromIds_ = nullptr;
    QLineEdit* ids_ = nullptr;
    TargetBoxes bounds_;
    QComboBox* sortBy_ = nullptr;
    QCheckBox* descending_ = nullptr;
    QSpinBox* perMare_ = nullptr;
    QCheckBox* assign_ = nullptr;
    QSpinBox* book_ = nullptr;
    QCheckBox* noRepeats_ = nullptr;
    std::optional<SeasonAssignment> plan_;
    RosterPane* rosterPane_ = nullptr;
    AssignRules rules_;
    QLabel* status_ = nullptr;
    QTreeView* tree_ = nullptr;
    QStandardItemModel* model_ = nullptr;

    KeptSeasonBook kept_;
    std::vector<MarkedEntry> marked_;   // looked up when the season was planned
    std::vector<std::string> keptTold_; // the rules the last plan could not keep
    std::shared_ptr<const SireIndex> sires_;
    bool restoring_ = false; // the boxes take what was kept: nothing is written
    bool unsavedTold_ = false;
    SeasonRulesPane* rulesPane_ = nullptr;
    QSplitter* sidePanes_ = nullptr; // beside the table: the roster above the rules
    QAction* accept_ = nullptr;
    QAction* lock_ = nullptr;
    QAction* ruleOutPair_ = nullptr;
    QAction* ruleOutStallion_ = nullptr;
    QAction* clearDecision_ = nullptr;
    QAction* clearSeason_ = nullptr;
};

} // namespace quindle::ui
