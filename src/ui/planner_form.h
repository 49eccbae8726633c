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
#include "data/data_folder.h"
#include "planner/sire_plan.h"
#include "ui/latest_work.h"

class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QTableView;

namespace quindle::ui {

class MainForm;
class PlannerModel;

class PlannerForm : public QWidget {
    Q_OBJECT
public:
    explicit PlannerForm(MainForm* main);

    PlannerModel* model() const { return model_; }
    QTableView* table() const { return table_; }
    // True while a plan is being computed.
    bool busy() const { return work_.busy(); }

    // Scales the face, the rows and the columns to the main window's zoom.
    void setZoom(int percent);
    // Plans again for the horse the main window shows (the mare by her lines).
    void planForShownHorse();
    // Shows the mating of a table row in the main window.
    void submitRow(int row);
    // Writes the rows as shown to a CSV file (`path`, ending in .csv), under a
    // line naming the mare; false after telling why not.
    bool exportTo(const QString& path);
    // The mare's line, then the selected rows as tab-separated text.
    QString selectedText() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Outcome;
    void replan();
    void applyFilters();
    void showCount();
    void exportClick();
    QString plannedForLine() const;

    MainForm* main_;
    std::int32_t mareId_ = 0;
    QString plannedFor_; // the mare (or her typed lines) of the plan shown
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
