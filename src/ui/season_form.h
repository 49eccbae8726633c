#pragma once
// The season: for every filly and mare of the player's horses (or the IDs
// typed), the best stallions of the sire list under one target, in one table
// grouped by mare. A stallion's row is shown in the main window as the mating
// window's Submit would show that mating.
#include <QStringList>
#include <QWidget>
#include <memory>

#include <optional>
#include <utility>
#include <vector>

#include "boxes/chosen_mating.h"
#include "boxes/mating.h"
#include "compare/comparison.h"
#include "data/chef_table.h"
#include "data/data_folder.h"
#include "planner/plan_query.h"
#include "planner/season.h"
#include "planner/season_assign.h"
#include "ui/latest_work.h"
#include "ui/target_boxes.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QStandardItemModel;
class QTreeView;
class QVBoxLayout;

namespace quindle::ui {

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

signals:
    // The player asks for a mating to be shown in the main window.
    void showMating(const quindle::ChosenMating& mating);
    void comparisonAsked(const std::vector<quindle::Candidate>& candidates); // the rows selected, in order

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void applyTarget();
    // One stallion per mare, his book and no repeated sires: the rules of the season decided.
    void buildRules(QVBoxLayout* layout);
    // The rows a mare's line shows, with their ranks: her target's, or in a decided season the one stallion given her.
    std::vector<std::pair<std::size_t, std::uint32_t>> shownRows(std::size_t dam) const;
    void rebuild();
    void exportClick();
    QFont damLineFont() const;

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
    AssignRules rules_;
    QLabel* status_ = nullptr;
    QTreeView* tree_ = nullptr;
    QStandardItemModel* model_ = nullptr;
};

} // namespace quindle::ui
