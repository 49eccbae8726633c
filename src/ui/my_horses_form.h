#pragma once
// "My Horses": the player's own horses for the data folder, looked up as the
// breeding file has them now. Horses are added by ID here (or from the main and
// search windows), removed, sorted, and shown in the main window (GO).
#include <QWidget>
#include <cstdint>
#include <memory>
#include <vector>

#include "ui/latest_work.h"

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;

namespace quindle::ui {

class MyHorsesModel;
class Session;
class StableStore;

class MyHorsesForm : public QWidget {
    Q_OBJECT
public:
    // The rows are looked up in the session's data, again whenever it changes.
    MyHorsesForm(Session* session, StableStore* store, QWidget* parent = nullptr);

    // Scales the face, the rows and the columns to the main window's zoom (the
    // window's size too while it is not shown).
    void setZoom(int percent);

    // Looks the kept horses up again.
    void refresh();

    MyHorsesModel* model() const { return model_; }
    QTableView* table() const { return table_; }
    // The context menu for a right click at `at` in the table's viewport, on the
    // row clicked (selected if it was not); none below the rows.
    std::unique_ptr<QMenu> rowMenuAt(const QPoint& at);
    QLineEdit* idBox() const { return ids_; }
    bool busy() const { return work_.busy(); }

    // Adds the IDs typed (separated by blanks or commas); false when one was refused.
    bool addTyped();
    // The selected rows' horses.
    void removeSelected();
    void confirmSelected();
    void showSelected();
    // Takes My Horses of another data folder into this one's list.
    void importList();

signals:
    // The player asks for a horse to be shown in the main window.
    void showHorse(std::int32_t id);
    void openSeason();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // The status line and the buttons under the list.
    QHBoxLayout* makeButtons();
    // The horses selected and the one at the caret, by ID, across a new list.
    struct Choice {
        std::vector<std::int32_t> selected;
        std::int32_t current = 0;
        int currentRow = -1;
    };
    Choice choice() const;
    void choose(const Choice& choice);
    std::vector<std::int32_t> selectedIds() const;

    Session* session_;
    StableStore* store_;
    LatestWork work_{this};

    QLineEdit* ids_ = nullptr;
    QLabel* status_ = nullptr;
    QTableView* table_ = nullptr;
    MyHorsesModel* model_ = nullptr;
};

} // namespace quindle::ui
