#pragma once
// The mating planner: every stallion of the sire list with one mare, ranked in
// a table the player sorts and filters; a row is shown in the main window as
// the mating window's Submit would show it.
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "data/chef_table.h"
#include "boxes/mating.h"
#include "data/data_folder.h"
#include "planner/sire_plan.h"
#include "ui/latest_work.h"

class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QTableView;

namespace quindle::ui {

class PlannerModel;
class Session;

class PlannerForm : public QWidget {
    Q_OBJECT
public:
    // Plans for `shownHorse` (0: none shown) on the session's data, beside `parent`.
    PlannerForm(Session* session, std::int32_t shownHorse, QWidget* parent);

    PlannerModel* model() const { return model_; }
    QTableView* table() const { return table_; }
    // True while a plan is being computed.
    bool busy() const { return work_.busy(); }

    // Plans again for the horse the main window now shows (the mare by her
    // lines); 0, a foal or nothing, keeps the mare planned for.
    void planForShownHorse(std::int32_t id);
    // Asks for the mating of a table row to be shown in the main window.
    void submitRow(int row);
    // Writes the rows as shown to a CSV file; false after telling why not.
    bool exportTo(const QString& path);
    // The selected rows as tab-separated text.
    QString selectedText() const;

signals:
    // The mating of a row is to be shown, as the mating window's Submit shows one.
    void matingChosen(const MatingNames& names);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Outcome;
    void replan();
    void applyFilters();
    void showCount();
    void exportClick();

    Session* session_;
    std::int32_t mareId_ = 0;
    LatestWork work_{this};

    QRadioButton* shownMare_ = nullptr;
    QRadioButton* typedMare_ = nullptr;
    std::array<QLineEdit*, 2> mareNames_{};
    QLabel* status_ = nullptr;
    QLineEdit* diMin_ = nullptr;
    QLineEdit* diMax_ = nullptr;
    QLineEdit* cdMin_ = nullptr;
    QLineEdit* cdMax_ = nullptr;
    QSpinBox* minTotal_ = nullptr;
    QLineEdit* sireFilter_ = nullptr;
    QLabel* count_ = nullptr;
    QTableView* table_ = nullptr;
    PlannerModel* model_ = nullptr;
};

} // namespace quindle::ui
