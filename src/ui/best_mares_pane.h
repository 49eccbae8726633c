#pragma once
// The planner's other direction: one stallion with every filly and mare of the
// breeding file (or only the player's own), ranked by the foal's profile. A
// row is shown in the main window as the mating window's Submit would show
// that mating.
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "main_state/chosen_mating.h"
#include "main_state/mating.h"
#include "compare/comparison.h"
#include "planner/best_mares.h"
#include "ui/latest_work.h"
#include "ui/target_boxes.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTableView;
class QTimer;

namespace quindle::ui {

class EditGuard;
class MaresModel;
class Session;
class StableStore;

class BestMaresPane : public QWidget {
    Q_OBJECT
public:
    // On the session's data; `stable` (may be null) gives "only My Horses".
    BestMaresPane(Session* session, StableStore* stable, QWidget* parent);

    MaresModel* model() const { return model_; }
    QTableView* table() const { return table_; }
    QLineEdit* stallionBox() const { return stallion_; }
    bool busy() const { return work_.busy(); }
    // The filters, order and cut the boxes above the table give.
    MaresQuery query() const;

    // Puts the stallion's name into the box (taken whole: it was picked) and plans for him.
    void planFor(const std::string& stallion);
    // The same for a colt or horse of the breeding file: his own record gives the Sire's side.
    void planFor(const RecordStallion& stallion);
    // Plans again for the name in the box.
    void replan();
    void setZoom(int percent);
    // Asks for the mating of a table row to be shown in the main window.
    void submitRow(int row);
    // The stallion's line, then the selected rows as tab-separated text.
    QString selectedText() const;
    // Writes the rows as shown to a CSV file under a line naming the stallion;
    // false after telling why not.
    bool exportTo(const QString& path);
    void compareSelected();

signals:
    void matingChosen(const quindle::ChosenMating& mating);
    void comparisonAsked(const std::vector<quindle::Candidate>& candidates); // the rows selected, in order

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;

private:
    // No stallion typed: no rows, and what to do.
    void showNoStallion();
    struct Outcome;
    QWidget* buildTarget();
    void buildTable();
    void applyTarget();
    // Runs `change` to the rows, the selected mares staying selected.
    void keepSelection(const std::function<void()>& change);
    void sortFromHeader(int section);
    void showCount();
    void exportClick();
    ChosenMating matingOf(int row) const;
    // The stallion of the breeding file while the box holds his name.
    const RecordStallion* fromFile() const;

    Session* session_;
    StableStore* stable_;
    LatestWork work_{this};
    QString plannedFor_; // the line naming the stallion of the rows shown
    std::optional<RecordStallion> fromFile_;
    EditGuard* guard_ = nullptr;

    QLineEdit* stallion_ = nullptr;
    QTimer* typing_ = nullptr;
    QCheckBox* onlyMine_ = nullptr;
    QLabel* status_ = nullptr;
    TargetBoxes bounds_;
    QComboBox* sortBy_ = nullptr;
    QCheckBox* descending_ = nullptr;
    QSpinBox* top_ = nullptr;
    QLabel* count_ = nullptr;
    QTableView* table_ = nullptr;
    MaresModel* model_ = nullptr;
};

} // namespace quindle::ui
